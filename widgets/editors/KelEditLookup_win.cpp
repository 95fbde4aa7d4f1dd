// TKelEdit's attached label, lookup drop-down and persistence.
#include <algorithm>

#include "framework/gui/ini_file.h"
#include "framework/gui/registry_ini_file.h"
#include "widgets/editors/KelEdit.h"
#include "widgets/editors/KelEditLocale.h"

namespace kel {
namespace {

constexpr int kItemHeight = 12;

}  // namespace

// --- drop-down window ----------------------------------------------------------

TListHintWindow::TListHintWindow(fw::TComponent* owner) : fw::THintWindow(owner) {
    SetColor(fw::clWindow);
}

void TListHintWindow::CreateParams(fw::TCreateParams& p) {
    fw::THintWindow::CreateParams(p);
    p.winClassName = L"TListHintWindow";
    p.style = WS_POPUP | WS_BORDER;
    p.exStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
    OSVERSIONINFOW v{};
    v.dwOSVersionInfoSize = sizeof v;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (GetVersionExW(&v) && v.dwPlatformId == VER_PLATFORM_WIN32_NT &&
        (v.dwMajorVersion > 5 || (v.dwMajorVersion == 5 && v.dwMinorVersion >= 1))) {
        p.classStyle |= CS_DROPSHADOW;
    }
#pragma GCC diagnostic pop
}

LRESULT TListHintWindow::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_NCHITTEST: {
            POINT p{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
            ::ScreenToClient(Handle(), &p);
            return p.x > Width() - 10 && p.y > Height() - 10 ? HTBOTTOMRIGHT : HTNOWHERE;
        }
        case WM_NCLBUTTONDOWN:
            return DefaultHandler(msg, wParam, lParam);
        case WM_ACTIVATE:
            if (LOWORD(wParam) == WA_INACTIVE) {
                SetVisible(false);
            } else if (list_ && list_->CanFocus() && !list_->Destroying()) {
                list_->SetFocus();
            }
            break;
        default:
            break;
    }
    return fw::THintWindow::WndProc(msg, wParam, lParam);
}

void TKelEdit::CreateLookupWindow() {
    list_window_ = new TListHintWindow(this);
    auto* list = new fw::TListBox(list_window_);
    list->SetSorted(true);
    list->SetItemHeight(kItemHeight);
    list->SetBorderStyle(fw::TBorderStyle::bsNone);
    list->SetTabStop(true);
    list->SetParent(list_window_);
    list->SetAlign(fw::TAlign::alClient);
    list->SetTabOrder(0);
    list->OnKeyPress = [this](fw::TComponent*, wchar_t& key) {
        if (key == L'\r') SelectLookupItem();
    };
    list->OnMouseUp = [this](fw::TComponent*, fw::TMouseButton, fw::TShiftState, int, int) { SelectLookupItem(); };
    list_window_->SetListControl(list);
}

bool TKelEdit::LookupShown() const {
    return list_window_ && list_window_->Visible() && list_window_->HandleAllocated() &&
           IsWindowVisible(list_window_->Handle());
}

void TKelEdit::HideLookup() {
    if (!list_window_) return;
    if (list_window_->Visible()) list_window_->SetVisible(false);
}

void TKelEdit::UpdateLookupList() {
    if (!lookup_.Enabled || !list_window_ || !list_window_->ListControl()) return;
    const TLookupPart part = LookupPart(lookup_, Text());
    if (static_cast<int>(part.Typed.size()) < lookup_.NumChars()) {
        HideLookup();
        return;
    }
    fw::TListBox* list = list_window_->ListControl();
    const POINT origin = ClientToScreen(POINT{0, 0});
    list_window_->SetCaption(L"  ");
    list->SetColor(lookup_.Color);
    list->Font().SetName(L"Arial");
    list->Font().SetSize(8);
    list_window_->SetColor(fw::clWindow);
    int height = lookup_.DisplayCount * kItemHeight + 4;
    const int top = origin.y + Height() - 6;
    const int left = origin.x + 8 + PosFromCharPoint(static_cast<int>(Prefix().size()) + part.Start).X;
    list_window_->HandleNeeded();
    list->Clear();
    const std::vector<TLookupMatch> matches = LookupMatches(lookup_, part.Typed, LocaleUpperText);
    for (const TLookupMatch& m : matches) list->AddItem(m.Text, m.Index);
    const int count = static_cast<int>(matches.size());
    if (count > 0) list->SetItemIndex(0);
    if (count < lookup_.DisplayCount) height = count * kItemHeight + 4;
    int width = 50;
    {
        HDC dc = GetDC(list_window_->Handle());
        fw::SelectGuard font(dc, list_window_->Font().Handle());
        for (const TLookupMatch& m : matches) {
            SIZE size{};
            GetTextExtentPoint32W(dc, m.Text.c_str(), static_cast<int>(m.Text.size()), &size);
            width = std::max(width, static_cast<int>(size.cx));
        }
        ReleaseDC(list_window_->Handle(), dc);
    }
    if (count > lookup_.DisplayCount) width += GetSystemMetrics(SM_CXHSCROLL);
    if (count == 0) {
        HideLookup();
        return;
    }
    HWND window = list_window_->Handle();
    SetWindowLongPtrW(window, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(Handle()));
    SetWindowPos(window, HWND_TOPMOST, left, top, width, height, SWP_NOACTIVATE | SWP_SHOWWINDOW);
    list_window_->SetVisible(true);
    list_window_->SetBounds(left, top, width, height);
}

void TKelEdit::SelectLookupItem() {
    fw::TListBox* list = list_window_ ? list_window_->ListControl() : nullptr;
    // Only an entry of the shown list is taken: a list hidden earlier keeps
    // its last selection, which a later Alt must not put into the edit.
    const int selected = list && LookupShown() ? list->ItemIndex() : -1;
    const std::wstring item = selected >= 0 ? list->Item(selected) : std::wstring();
    const int index = selected >= 0 ? static_cast<int>(list->ItemData(selected)) : -1;
    if (HandleAllocated()) {
        HWND top = GetAncestor(Handle(), GA_ROOT);
        SetForegroundWindow(top);
        SetActiveWindow(top);
        SetFocus();
    }
    HideLookup();
    if (selected < 0) return;
    std::wstring value = LookupValue(lookup_, index, item);
    FireEvent(OnLookupSelect, this, value);
    FireEvent(OnLookupIndexSelect, this, index, value);
    if (lookup_.Multi) {
        SetText(ValueAfterLookup(lookup_, Text(), value));
        const int end = static_cast<int>(Prefix().size() + Text().size());
        SetSelection(end, end);
    } else {
        SetText(value);
        SelectValue();
    }
}

void TKelEdit::MoveLookupSelection(uint16_t key) {
    fw::TListBox* list = list_window_ ? list_window_->ListControl() : nullptr;
    if (!list) return;
    const int count = list->Count();
    if (count == 0) return;
    const int at = list->ItemIndex();
    const int page = lookup_.DisplayCount;
    int to = at;
    switch (key) {
        case vk::Home: to = 0; break;
        case vk::End: to = count - 1; break;
        case vk::Next: to = std::min(at + page, count - 1); break;
        case vk::Prior: to = at > page ? at - page : 0; break;
        case vk::Up: to = std::max(at - 1, 0); break;
        case vk::Down: to = std::min(at + 1, count - 1); break;
        default: break;
    }
    list->SetItemIndex(to);
}

// --- label ------------------------------------------------------------------------

void TKelEdit::CreateLabel() {
    label_ = new fw::TLabel(this);
    label_->SetParentFont(ParentFont());
    label_->OnClick = [this](fw::TComponent*) { FireEvent(OnLabelClick, this); };
    label_->OnDblClick = [this](fw::TComponent*) { FireEvent(OnLabelDblClick, this); };
    if (Parent()) label_->SetParent(Parent());
}

std::wstring TKelEdit::LabelCaption() const { return label_ ? label_->Caption() : std::wstring(); }

void TKelEdit::SetLabelCaption(const std::wstring& caption) {
    if (!label_) CreateLabel();
    label_->SetCaption(caption);
    PlaceLabel();
}

void TKelEdit::SetLabelPosition(TLabelPosition position) {
    label_position_ = position;
    PlaceLabel();
}

void TKelEdit::SetLabelMargin(int margin) {
    label_margin_ = margin;
    PlaceLabel();
}

void TKelEdit::SetLabelTransparent(bool v) {
    label_transparent_ = v;
    PlaceLabel();
}

void TKelEdit::SetLabelAlwaysEnabled(bool v) {
    label_always_enabled_ = v;
    if (v && label_) label_->SetEnabled(true);
}

void TKelEdit::SetLabelFont(const fw::TFont& font) {
    if (!ParentFont()) label_font_->Assign(font);
    PlaceLabel();
}

void TKelEdit::SetLabelFontStyle(bool bold) {
    const fw::TFontStyles style = label_->Font().Style();
    label_->Font().SetStyle(bold ? style | fw::fsBold : style & ~static_cast<fw::TFontStyles>(fw::fsBold));
}

void TKelEdit::PlaceLabel() {
    if (!label_) return;
    label_->SetTransparent(label_transparent_);
    const fw::TFontStyles bold = label_->Font().Style() & fw::fsBold;
    label_->Font().Assign(label_uses_edit_font_ ? Font() : *label_font_);
    // A label made bold by the focus stays so while it is placed again.
    if (bold && focus_label_ && Focused()) label_->Font().SetStyle(label_->Font().Style() | fw::fsBold);
    int captionWidth = 0;
    {
        HDC dc = GetDC(nullptr);
        fw::SelectGuard font(dc, label_->Font().Handle());
        SIZE size{};
        const std::wstring caption = label_->Caption();
        GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &size);
        captionWidth = size.cx;
        ReleaseDC(nullptr, dc);
    }
    const TEditPoint at = LabelPlacement(label_position_, TIntRect{Left(), Top(), Left() + Width(), Top() + Height()},
                                         label_->Width(), label_->Height(), label_margin_, captionWidth);
    label_->SetBounds(at.X, at.Y, label_->Width(), label_->Height());
    label_->SetVisible(Visible());
}

// --- persistence ---------------------------------------------------------------

namespace {

std::wstring ProgramPath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

}  // namespace

void TKelEdit::SavePersistence() {
    // An edit without a name has no entry to keep its text under.
    if (!persistence_.Enable || Name().empty()) return;
    if (persistence_.Location == TPersistenceLocation::plInifile) {
        if (persistence_.Key.empty()) persistence_.Key = DefaultIniFileName(ProgramPath());
        if (persistence_.Section.empty()) persistence_.Section = Name();
        fw::TIniFile ini(persistence_.Key);
        SaveEditEntries(ini, persistence_.Section, Name(), WindowText(), lookup_);
    } else {
        fw::TRegistryIniFile reg(persistence_.Key);
        SaveEditEntries(reg, persistence_.Section, Name(), WindowText(), lookup_);
    }
}

void TKelEdit::LoadPersistence() {
    if (!persistence_.Enable || Name().empty()) return;
    std::optional<std::wstring> text;
    if (persistence_.Location == TPersistenceLocation::plInifile) {
        if (persistence_.Key.empty()) persistence_.Key = DefaultIniFileName(ProgramPath());
        if (persistence_.Section.empty()) persistence_.Section = Name();
        text = LoadEditEntries(fw::TIniFile(persistence_.Key), persistence_.Section, Name(), lookup_);
    } else {
        text = LoadEditEntries(fw::TRegistryIniFile(persistence_.Key), persistence_.Section, Name(), lookup_);
    }
    if (text) WriteWindowText(*text);
}

}  // namespace kel

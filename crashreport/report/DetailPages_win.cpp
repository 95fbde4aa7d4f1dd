// The detail pages of the full report dialog: rich-text pages for the
// general part, the assembler listing and the CPU section, and owner-drawn
// lists with folding groups for the call stack, modules and processes.
#include <windows.h>

#include <commctrl.h>
#include <richedit.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "crashreport/capture/DrevnikReport.h"
#include "crashreport/capture/DrevnikSystem.h"
#include "crashreport/capture/DrevnikUtils.h"
#include "crashreport/debuginfo/DrevnikCallStack.h"
#include "crashreport/debuginfo/DrevnikProcesses.h"
#include "crashreport/report/DialogToolkit.h"
#include "crashreport/report/ReportDialogText.h"
#include "crashreport/report/ReportDialogs.h"
#include "crashreport/report/ReportListRows.h"
#include "crashreport/report/ReportState.h"
#include "crashreport/report/ReportText.h"

namespace drevnik {
namespace {

constexpr const char* kIniFile = "DrevnikLog.ini";
constexpr const char* kCoordinates = "Coordinates";
constexpr int kIdLabel = 102;
constexpr int kIdContent = 103;

struct TColumnDef {
    int Title;
    const char* Key;
    int Width;
    bool Right;
};

const std::vector<TColumnDef>& ColumnsOf(int page) {
    static const std::vector<TColumnDef> stack = {{92, "Col0", 89, false},  {93, "Col1", 92, false},
                                                  {94, "Col2", 126, false}, {95, "Col3", 126, false},
                                                  {96, "Col4", 200, false}, {97, "Col5", 61, true}};
    // Columns 5 and 6 keep their widths under each other's key.
    static const std::vector<TColumnDef> modules = {{126, "ColMod0", 80, false},  {127, "ColMod1", 96, false},
                                                    {128, "ColMod2", 175, false}, {129, "ColMod3", 50, true},
                                                    {130, "ColMod4", 54, true},   {131, "ColMod6", 80, false},
                                                    {132, "ColMod5", 712, false}};
    static const std::vector<TColumnDef> processes = {
        {133, "ColPro0", 48, false}, {134, "ColPro1", 134, false}, {135, "ColPro2", 232, false},
        {136, "ColPro3", 56, true},  {137, "ColPro4", 57, true},   {138, "ColPro5", 47, true},
        {139, "ColPro6", 52, true},  {140, "ColPro7", 330, false}};
    return page == 1 ? stack : page == 2 ? modules : processes;
}

// ---- Owner-drawn list rows ---------------------------------------------------------------

class TListViewItems {
public:
    explicit TListViewItems(HWND list) : list_(list) {
        static constexpr COLORREF kBrushColours[6] = {0xF1DACC, 0xFFFFFF, 0xC56A31, 0xE2B598, 0xE0A47B, 0xC2CBCE};
        for (int i = 0; i < 6; ++i) brushes_[i] = CreateSolidBrush(kBrushColours[i]);
        static constexpr const char* kBitmaps[6] = {"DV_DLL", "DV_BPL", "DV_VCL", "DV_PAS", "DV_PLUS", "DV_MINUS"};
        for (int i = 0; i < 6; ++i)
            bitmaps_[i] = static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), kBitmaps[i], IMAGE_BITMAP, 0, 0, 0));
        images_ = ImageList_Create(16, 16, ILC_COLORDDB, 4, 4);
        for (int i = 0; i < 4; ++i) ImageList_Add(images_, bitmaps_[i], nullptr);
        SendMessageA(list_, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images_));
    }
    ~TListViewItems() {
        if (boldFont_ != nullptr) DeleteObject(boldFont_);
        for (HBRUSH brush : brushes_) DeleteObject(brush);
        for (HBITMAP bitmap : bitmaps_)
            if (bitmap != nullptr) DeleteObject(bitmap);
        // The list keeps its image list until it goes; detach it first.
        if (IsWindow(list_)) SendMessageA(list_, LVM_SETIMAGELIST, LVSIL_SMALL, 0);
        ImageList_Destroy(images_);
    }
    TListViewItems(const TListViewItems&) = delete;
    TListViewItems& operator=(const TListViewItems&) = delete;

    void AddRow(const TRowSpec& spec) {
        if (!rows_) PrepareMetrics();
        rows_->AddRow(spec.Cells, spec.Caption, spec.Head, spec.UserValue, spec.Image);
        ShowRow(static_cast<int>(rows_->Rows().size()) - 1, -1);
    }

    int RowOfListItem(int item) const { return rows_ ? rows_->RowOfListItem(item) : -1; }

    void ToggleGroup(int item, POINT point, bool onlyOnSign) {
        if (!rows_) return;
        const int rowIndex = rows_->RowOfListItem(item);
        if (rowIndex < 0) return;
        const TListRow& row = rows_->Row(rowIndex);
        RECT bounds{};
        bounds.left = LVIR_BOUNDS;
        SendMessageA(list_, LVM_GETITEMRECT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&bounds));
        if (!row.Head) return;
        if (onlyOnSign && !HitsExpandSign(row, point.x - bounds.left, point.y - bounds.top, indentStep_)) return;
        SendMessageA(list_, WM_SETREDRAW, FALSE, 0);
        try {
            for (const TListChange& change : rows_->ToggleGroup(item)) {
                if (change.Insert)
                    ShowRow(change.Row, change.Position);
                else
                    SendMessageA(list_, LVM_DELETEITEM, static_cast<WPARAM>(change.Position), 0);
            }
        } catch (...) {
            SendMessageA(list_, WM_SETREDRAW, TRUE, 0);
            throw;
        }
        SendMessageA(list_, WM_SETREDRAW, TRUE, 0);
        SendMessageA(list_, LVM_REDRAWITEMS, static_cast<WPARAM>(item), static_cast<LPARAM>(item));
        UpdateWindow(list_);
    }

    // Draws into the context the message brings: it is clipped and placed
    // for this item, whatever the list does with its own.
    bool DrawItem(const DRAWITEMSTRUCT& draw) {
        if (!rows_) return true;
        const int rowIndex = static_cast<int>(draw.itemData);
        if (rowIndex < 0 || rowIndex >= static_cast<int>(rows_->Rows().size())) return true;
        const TListRow& row = rows_->Row(rowIndex);
        HDC dc = draw.hDC;
        const int saved = SaveDC(dc);
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(list_, WM_GETFONT, 0, 0)));
        SetBkMode(dc, TRANSPARENT);
        const RECT& item = draw.rcItem;
        const bool selected = (draw.itemState & ODS_SELECTED) != 0;
        int x0 = item.left;
        const int d = indentStep_ * row.Indent;
        RECT back{x0 + d + 2, item.top, item.right, item.bottom};
        FillRect(dc, &back, selected ? brushes_[0] : brushes_[1]);
        SetTextColor(dc, 0);
        if (row.Head) {
            COLORREF colour = 0x606060;
            if (row.UserValue == 1)
                colour = 0x800000;
            else if (row.UserValue == 3)
                colour = 0x000080;
            else if (row.UserValue == 0)
                x0 += indentStep_;
            RECT underline{x0 + 2, item.bottom - 2, item.right, item.bottom};
            FillRect(dc, &underline, brushes_[4]);
            SelectObject(dc, boldFont_);
            SetTextColor(dc, colour);
            RECT text{x0 + 15, item.top - 1, item.right, item.bottom};
            DrawTextA(dc, row.Caption.c_str(), static_cast<int>(row.Caption.size()), &text,
                      DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
            DrawTransparentBitmap(dc, bitmaps_[row.Expanded ? 5 : 4], x0 + 1, item.top + 1, 13, 13);
        } else {
            if (row.Image >= 0 && row.Image < 4)
                DrawTransparentBitmap(dc, bitmaps_[row.Image], x0 + d + 2, item.top, 16, 16);
            int x = x0;
            for (std::size_t c = 0; c < row.Cells.size() && c < alignments_.size(); ++c) {
                const int width = static_cast<int>(SendMessageA(list_, LVM_GETCOLUMNWIDTH, c, 0));
                RECT cell{x + (c == 0 ? 20 : 6), item.top, x + width - (c == 0 ? 2 : 6), item.bottom};
                x += width;
                if (!row.Separator) {
                    RECT line{x0 + d + 2, item.bottom - 1, item.right, item.bottom};
                    FillRect(dc, &line, brushes_[5]);
                }
                UINT format = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS;
                if (alignments_[c] == 1) format |= DT_RIGHT;
                if (alignments_[c] == 2) format |= DT_CENTER;
                DrawTextA(dc, row.Cells[c].c_str(), static_cast<int>(row.Cells[c].size()), &cell, format);
            }
            SetTextColor(dc, 0);
        }
        if ((draw.itemState & ODS_FOCUS) != 0) {
            RECT focus{x0 + d + 2, item.top, item.right, item.bottom};
            FrameRect(dc, &focus, selected && GetFocus() == list_ ? brushes_[2] : brushes_[3]);
        }
        RestoreDC(dc, saved);
        return true;
    }

private:
    void PrepareMetrics() {
        HWND header = reinterpret_cast<HWND>(SendMessageA(list_, LVM_GETHEADER, 0, 0));
        const int columns = header != nullptr ? static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
        alignments_.assign(static_cast<std::size_t>(std::clamp(columns, 0, 16)), 0);
        for (std::size_t c = 0; c < alignments_.size(); ++c) {
            LVCOLUMNA column{};
            column.mask = LVCF_FMT;
            if (SendMessageA(list_, LVM_GETCOLUMNA, c, reinterpret_cast<LPARAM>(&column)) == 0) continue;
            const int format = column.fmt & LVCFMT_JUSTIFYMASK;
            alignments_[c] = format == LVCFMT_RIGHT ? 1 : format == LVCFMT_CENTER ? 2 : 0;
        }
        HFONT font = reinterpret_cast<HFONT>(SendMessageA(list_, WM_GETFONT, 0, 0));
        HDC dc = GetDC(list_);
        HGDIOBJ old = SelectObject(dc, font);
        std::string indent;
        SIZE size{};
        do {
            indent += ' ';
            GetTextExtentPoint32A(dc, indent.c_str(), static_cast<int>(indent.size()), &size);
        } while (size.cx < 14 && indent.size() < 64);
        SelectObject(dc, old);
        ReleaseDC(list_, dc);
        indentStep_ = size.cx;
        LOGFONTA bold{};
        GetObjectA(font != nullptr ? font : GetStockObject(DEFAULT_GUI_FONT), sizeof bold, &bold);
        bold.lfWeight = 700;
        boldFont_ = CreateFontIndirectA(&bold);
        rows_.emplace(indent);
    }

    void ShowRow(int rowIndex, int position) {
        const TListRow& row = rows_->Row(rowIndex);
        if (row.Cells.empty()) return;
        if (position < 0) position = static_cast<int>(SendMessageA(list_, LVM_GETITEMCOUNT, 0, 0));
        std::string first = row.Cells[0];
        LVITEMA item{};
        item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
        item.iItem = position;
        item.pszText = first.data();
        item.iImage = row.Image;
        item.lParam = rowIndex;
        const int at = static_cast<int>(SendMessageA(list_, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
        for (std::size_t c = 1; c < row.Cells.size(); ++c) {
            std::string text = row.Cells[c];
            LVITEMA sub{};
            sub.iSubItem = static_cast<int>(c);
            sub.pszText = text.data();
            SendMessageA(list_, LVM_SETITEMTEXTA, static_cast<WPARAM>(at), reinterpret_cast<LPARAM>(&sub));
        }
    }

    HWND list_;
    HBRUSH brushes_[6]{};
    HBITMAP bitmaps_[6]{};
    HIMAGELIST images_ = nullptr;
    HFONT boldFont_ = nullptr;
    int indentStep_ = 14;
    std::vector<int> alignments_;
    std::optional<TListRows> rows_;
};

// ---- Page state ---------------------------------------------------------------------------

struct TPage {
    HWND Window = nullptr;
    int Number = 0;
    std::unique_ptr<TListViewItems> Items;
    std::vector<double> BuildTimes;  // call stack: per row, the module's data build time
};
TPage gPage;

void AddListColumn(HWND list, int number, int width, const std::string& title, bool right) {
    std::string text = title;
    LVCOLUMNA column{};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    column.fmt = right ? LVCFMT_RIGHT : LVCFMT_LEFT;
    column.cx = width;
    column.pszText = text.data();
    column.iSubItem = number;
    SendMessageA(list, LVM_INSERTCOLUMNA, static_cast<WPARAM>(number), reinterpret_cast<LPARAM>(&column));
}

std::string ListCellText(HWND list, int item, int column) {
    char buffer[257] = {};
    LVITEMA sub{};
    sub.iSubItem = column;
    sub.pszText = buffer;
    sub.cchTextMax = 256;
    SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&sub));
    return buffer;
}

void SendToIdeMailslot(const std::string& name, const std::array<uint8_t, kIdeRecordSize>& record) {
    DWORD parent = GetParentProcessId();
    if (parent != 0 && ProcessHasIdeWindow(parent)) {
        if (HMODULE user32 = GetModuleHandleA("user32.dll")) {
            using TAllow = BOOL(WINAPI*)(DWORD);
            if (const auto allow =
                    reinterpret_cast<TAllow>(reinterpret_cast<void*>(GetProcAddress(user32, "AllowSetForegroundWindow"))))
                allow(parent);
        }
    } else {
        parent = 0;
    }
    const std::string path = "\\\\.\\mailslot\\" + name + std::to_string(parent);
    const std::u16string wide = AnsiToUtf16(path);
    HANDLE slot = CreateFileW(reinterpret_cast<const wchar_t*>(wide.c_str()), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (slot == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(slot, record.data(), static_cast<DWORD>(record.size()), &written, nullptr);
    CloseHandle(slot);
}

void SendSourceLocationToIde(const std::string& lineText, const std::string& unit, const std::string& className,
                             double buildTime, std::string offsetText, const std::string& routine) {
    if (lineText.empty()) return;
    if (offsetText.empty()) offsetText = "-1";
    const auto record = BuildIdeSourceRecord(unit, className, routine, ParseStoredInt(lineText, 0),
                                             ParseStoredInt(offsetText, -1), buildTime);
    SendToIdeMailslot("DrevnikLog", record);
}

// ---- Rich-text pages ---------------------------------------------------------------------

struct TRtfSource {
    const std::string* Text;
    std::size_t Offset;
};

DWORD CALLBACK RtfStreamReader(DWORD_PTR cookie, LPBYTE buffer, LONG count, LONG* read) {
    try {
        auto* source = reinterpret_cast<TRtfSource*>(cookie);
        const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(std::max<LONG>(count, 0)),
                                                    source->Text->size() - source->Offset);
        std::memcpy(buffer, source->Text->data() + source->Offset, n);
        source->Offset += n;
        *read = static_cast<LONG>(n);
        return 0;
    } catch (...) {
        return 1;
    }
}

void LoadRtfText(HWND richEdit, const std::string& rtf) {
    TRtfSource source{&rtf, 0};
    EDITSTREAM stream{};
    stream.dwCookie = reinterpret_cast<DWORD_PTR>(&source);
    stream.pfnCallback = RtfStreamReader;
    SendMessageA(richEdit, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&stream));
}

void SetRichEditBackground(HWND richEdit, int32_t colour) {
    const COLORREF value = colour < 0 ? GetSysColor(colour & 0xFF) : static_cast<COLORREF>(colour);
    SendMessageA(richEdit, EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(value));
}

std::string PageRtf(int page, HWND window) {
    const TReportTexts& texts = CurrentReportTexts();
    const TDialogToolkit& t = DialogToolkit();
    TRtfFont font;
    font.Charset = GetUserCharset();
    font.Face = t.FixedFace;
    font.PointSize = t.PointSize;
    if (page == 0) return GeneralPartToRtf(texts.GeneralText, font);
    if (page == 4) return AssemblerPartToRtf(texts.AssemblerText, font);
    const int dashes = MeasureTextWidth(window, t.FixedFont, std::string(21, '-'));
    return CpuPartToRtf(texts.CpuText, font, 15 * dashes);
}

void FillList(HWND page, int number) {
    const TDrevnikModuleOptions& options = DialogOptions();
    const TReportState& state = ReportState();
    const TDrevnikExceptionRecord* record = state.CurrentReport.load();
    std::vector<TRowSpec> rows;
    if (number == 1) {
        const TDrevnikStackList* stack = record != nullptr && record->StackList != nullptr ? record->StackList
                                                                                           : state.ExceptionCallStack.get();
        if (stack != nullptr) {
            rows = CallStackRows(*stack, options.StackFlags(), [&options](const TCallStackEntry& entry) {
                return ThreadBlockCaption(options, entry, false, ReportThreadFacts);
            });
            // The module build time of each row, taken from the entry: no
            // lookup (and no lock) while the other threads are suspended.
            const TStackKindSet kinds = StackEntryKindsFromOptions(options.StackFlags());
            std::size_t next = 0;
            for (int i = 0; i < stack->Count() && next < rows.size(); ++i) {
                const TCallStackEntry& e = (*stack)[i];
                if (!StackKindInSet(kinds, e.EntryKind)) continue;
                if (e.ModuleRecord != nullptr && e.ModuleRecord->ModuleKind == mkProgram && e.EntryKind == 3) continue;
                while (next < rows.size() && rows[next].Cells[0].empty()) {
                    gPage.BuildTimes.push_back(0);
                    ++next;
                }
                if (next < rows.size()) {
                    gPage.BuildTimes.push_back(e.ModuleRecord != nullptr ? e.ModuleRecord->DataBuildTime : 0);
                    ++next;
                }
            }
        }
    } else if (number == 2) {
        const TDrevnikModulesList* modules = record != nullptr ? record->Modules : nullptr;
        if (modules != nullptr) rows = ModuleRows(*modules);
    } else if (state.Processes) {
        rows = ProcessRows(*state.Processes);
    }
    for (const TRowSpec& row : rows) gPage.Items->AddRow(row);
    SetDlgItemTextA(page, kIdLabel, DialogText(number == 1 ? 8 : number == 2 ? 10 : 12).c_str());
}

void InitPage(HWND page, int number) {
    gPage.Window = page;
    gPage.Number = number;
    const TDialogToolkit& t = DialogToolkit();
    HWND content = GetDlgItem(page, kIdContent);
    HWND label = GetDlgItem(page, kIdLabel);
    SendMessageA(label, WM_SETFONT, reinterpret_cast<WPARAM>(t.MessageFont), TRUE);
    static constexpr int kLabels[6] = {6, 8, 10, 12, 14, 16};
    SetWindowTextA(label, DialogText(kLabels[number]).c_str());
    if (number == 0 || number == 4 || number == 5) {
        SendMessageA(content, WM_SETFONT, reinterpret_cast<WPARAM>(t.FixedFont), TRUE);
        LoadRtfText(content, PageRtf(number, page));
        SendMessageA(content, EM_SETSEL, 0, 0);
        SendMessageA(content, EM_SCROLLCARET, 0, 0);
        SetRichEditBackground(content, 0xFFFFFF);
        return;
    }
    SendMessageA(content, WM_SETFONT, reinterpret_cast<WPARAM>(t.ListFont), TRUE);
    gPage.Items = std::make_unique<TListViewItems>(content);
    for (std::size_t c = 0; c < ColumnsOf(number).size(); ++c) {
        const TColumnDef& def = ColumnsOf(number)[c];
        int width = ParseStoredInt(ReadIniString(kIniFile, kCoordinates, def.Key, ""), def.Width);
        if (width < 0) width = def.Width;
        AddListColumn(content, static_cast<int>(c), width, DialogText(def.Title), def.Right);
    }
    SendMessageA(content, LVM_SETBKCOLOR, 0, 0xFFFFFF);
    SendMessageA(content, LVM_SETTEXTBKCOLOR, 0, 0xFFFFFF);
    SendMessageA(content, LVM_SETTEXTCOLOR, 0, 0);
    SendMessageA(content, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    FillList(page, number);
}

void DestroyPage(HWND page) {
    if (gPage.Items) {
        gPage.Items.reset();
        HWND list = GetDlgItem(page, kIdContent);
        for (std::size_t c = 0; c < ColumnsOf(gPage.Number).size(); ++c) {
            const int width = static_cast<int>(SendMessageA(list, LVM_GETCOLUMNWIDTH, c, 0));
            WriteIniString(kIniFile, kCoordinates, ColumnsOf(gPage.Number)[c].Key, std::to_string(width));
        }
    }
    gPage.BuildTimes.clear();
    if (gPage.Window == page) gPage.Window = nullptr;
}

void ActivateCallStackItem(HWND list) {
    const int item = static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    if (item < 0 || !gPage.Items) return;
    const std::string lineCell = Trim(ListCellText(list, item, 5));
    if (!lineCell.empty()) {
        const TLineCell cell = SplitLineCell(lineCell);
        const int row = gPage.Items->RowOfListItem(item);
        const double buildTime =
            row >= 0 && static_cast<std::size_t>(row) < gPage.BuildTimes.size() ? gPage.BuildTimes[row] : 0;
        SendSourceLocationToIde(cell.Line, Trim(ListCellText(list, item, 2)), Trim(ListCellText(list, item, 3)),
                                buildTime, cell.Offset, Trim(ListCellText(list, item, 4)));
        return;
    }
    POINT p{};
    GetCursorPos(&p);
    ScreenToClient(list, &p);
    gPage.Items->ToggleGroup(item, p, false);
}

INT_PTR PageProc(int number, HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        const bool ownLook = (DialogOptions().DialogFlags() & dgOwnLook) != 0;
        if (IsUserInputMessage(message)) RestartAutoCloseCount();
        switch (message) {
            case WM_INITDIALOG:
                InitPage(page, number);
                return TRUE;
            case WM_DRAWITEM:
                if (gPage.Items && wParam == kIdContent) {
                    gPage.Items->DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
                    return TRUE;
                }
                return FALSE;
            case WM_NOTIFY: {
                const auto* header = reinterpret_cast<const NMHDR*>(lParam);
                if (number == 1 && header->idFrom == kIdContent && gPage.Items) {
                    if (header->code == NM_CLICK) {
                        const int item = static_cast<int>(
                            SendMessageA(header->hwndFrom, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
                        if (item >= 0) {
                            POINT p{};
                            GetCursorPos(&p);
                            ScreenToClient(header->hwndFrom, &p);
                            gPage.Items->ToggleGroup(item, p, true);
                        }
                    } else if (header->code == LVN_ITEMACTIVATE) {
                        ActivateCallStackItem(header->hwndFrom);
                    }
                }
                return FALSE;
            }
            case WM_CTLCOLORDLG:
                if (ownLook) return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
                return FALSE;
            case WM_CTLCOLORSTATIC: {
                HDC dc = reinterpret_cast<HDC>(wParam);
                if (reinterpret_cast<HWND>(lParam) == GetDlgItem(page, kIdContent)) {
                    SetBkMode(dc, OPAQUE);
                    SetTextColor(dc, 0);
                    return reinterpret_cast<INT_PTR>(GetStockObject(WHITE_BRUSH));
                }
                if (ownLook) {
                    SetBkMode(dc, TRANSPARENT);
                    SetTextColor(dc, 0);
                    return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
                }
                return FALSE;
            }
            case WM_DESTROY:
                DestroyPage(page);
                return TRUE;
            default:
                return FALSE;
        }
    } catch (...) {
        return FALSE;
    }
}

template <int N>
INT_PTR CALLBACK PageProcOf(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    return PageProc(N, page, message, wParam, lParam);
}

}  // namespace

INT_PTR CALLBACK GeneralPageProc(HWND p, UINT m, WPARAM w, LPARAM l) { return PageProcOf<0>(p, m, w, l); }
INT_PTR CALLBACK CallStackPageProc(HWND p, UINT m, WPARAM w, LPARAM l) { return PageProcOf<1>(p, m, w, l); }
INT_PTR CALLBACK ModulesPageProc(HWND p, UINT m, WPARAM w, LPARAM l) { return PageProcOf<2>(p, m, w, l); }
INT_PTR CALLBACK ProcessesPageProc(HWND p, UINT m, WPARAM w, LPARAM l) { return PageProcOf<3>(p, m, w, l); }
INT_PTR CALLBACK AssemblerPageProc(HWND p, UINT m, WPARAM w, LPARAM l) { return PageProcOf<4>(p, m, w, l); }
INT_PTR CALLBACK CpuPageProc(HWND p, UINT m, WPARAM w, LPARAM l) { return PageProcOf<5>(p, m, w, l); }

HWND CurrentDetailPage() { return gPage.Window; }

void DestroyDetailPage() {
    if (gPage.Window != nullptr) DestroyWindow(gPage.Window);
    gPage.Window = nullptr;
}

void ShowDetailPage(HWND dialog, int n) {
    const TDrevnikModuleOptions& options = DialogOptions();
    const int page = PageOfTab(n, (options.LogFlags() & lgModulesAndProcesses) != 0,
                               (options.LogFlags() & lgAssemblerAndCpu) != 0);
    if (page < 0 || page > 5) return;
    RestartAutoCloseCount();
    DestroyDetailPage();
    static constexpr const char* kTemplates[6] = {"DV_TAB_GENERAL",       "DV_TAB_CALLSTACK", "DV_TAB_MODULESLIST",
                                                  "DV_TAB_PROCESSESLIST", "DV_TAB_ASSEMBLER", "DV_TAB_CPU"};
    static constexpr DLGPROC kProcs[6] = {GeneralPageProc,   CallStackPageProc, ModulesPageProc,
                                          ProcessesPageProc, AssemblerPageProc, CpuPageProc};
    HWND window = CreateDialogParamA(GetModuleHandleA(nullptr), kTemplates[page], GetDlgItem(dialog, kIdTabs),
                                     kProcs[page], 0);
    gPage.Window = window;
    FitPageToTab(dialog);
    // The text was streamed in before the page had its size: show its start.
    if (window != nullptr) SendDlgItemMessageA(window, kIdContent, WM_VSCROLL, SB_TOP, 0);
}

void FitPageToTab(HWND dialog) {
    HWND tabs = GetDlgItem(dialog, kIdTabs);
    if (gPage.Window == nullptr || tabs == nullptr) return;
    RECT r{};
    GetWindowRect(tabs, &r);
    OffsetRect(&r, -r.left, -r.top);
    SendMessageA(tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
    r.left -= 3;
    r.top -= 1;
    SetWindowPos(gPage.Window, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    if (HWND content = GetDlgItem(gPage.Window, kIdContent))
        SetWindowPos(content, nullptr, r.left + 3, 20, (r.right - r.left) - 8, (r.bottom - r.top) - 24,
                     SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace drevnik

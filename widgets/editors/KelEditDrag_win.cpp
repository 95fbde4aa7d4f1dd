// TKelEdit's OLE drag and drop: its drop target, the drop mark, and the
// drag of its selected text.
#include <algorithm>

#include "framework/gui/application.h"
#include "widgets/editors/KelEdDD.h"
#include "widgets/editors/KelEdit.h"

namespace kel {

// The drop target of one edit; the edit detaches it when it goes.
class TEditDropTarget final : public TAEDropTarget {
public:
    explicit TEditDropTarget(TKelEdit* edit) : edit_(edit) {}
    void Detach() { edit_ = nullptr; }

    HRESULT STDMETHODCALLTYPE DragLeave() override {
        // The mark goes with the drag.
        if (edit_) fw::GuardCallback(edit_, [this] { edit_->HideDropCaret(); });
        return S_OK;
    }

protected:
    void CheckDragOver(POINT pt, bool& allow) override {
        TAEDropTarget::CheckDragOver(pt, allow);
        if (edit_) edit_->UpdateDropCaret();
    }
    void HandleDroppedText(POINT pt, const std::wstring& text) override {
        if (!edit_ || !edit_->InsertDroppedText(pt, text, (KeyState() & MK_CONTROL) != 0)) RefuseDrop();
    }

private:
    TKelEdit* edit_;
};

void TKelEdit::SetOleDropTarget(bool v) {
    ole_drop_target_ = v;
    if (v) {
        RegisterDropTarget();
    } else {
        RevokeDropTarget();
    }
}

void TKelEdit::RegisterDropTarget() {
    if (!HandleAllocated() || drop_registered_) return;
    if (!drop_target_) drop_target_ = new TEditDropTarget(this);
    drop_registered_ = SUCCEEDED(RegisterDragDrop(Handle(), drop_target_));
}

void TKelEdit::RevokeDropTarget() {
    if (drop_registered_ && HandleAllocated()) RevokeDragDrop(Handle());
    drop_registered_ = false;
}

void TKelEdit::ReleaseDropTarget() {
    if (!drop_target_) return;
    drop_target_->Detach();
    drop_target_->Release();
    drop_target_ = nullptr;
}

bool TKelEdit::MousePressForDrag(POINT p) {
    const int at = CharFromPos(p);
    int start = 0, end = 0;
    GetSelection(start, end);
    if (end > start && Focused() && start <= at && at <= end) {
        drag_armed_ = true;
        return true;
    }
    return false;
}

void TKelEdit::MouseMoveForDrag() {
    int start = 0, end = 0;
    GetSelection(start, end);
    if (end <= start || !drag_armed_ || !ole_drop_source_) return;
    const std::wstring text = SelText();
    dropped_on_selection_ = false;
    dropped_here_ = false;
    is_drag_source_ = true;
    DWORD effect = DROPEFFECT_NONE;
    HRESULT result = DRAGDROP_S_CANCEL;
    try {
        result = RunOleDrag(text, std::string(), DROPEFFECT_COPY | DROPEFFECT_MOVE, effect);
    } catch (...) {
        is_drag_source_ = false;
        drag_armed_ = false;
        throw;
    }
    is_drag_source_ = false;
    drag_armed_ = false;
    // A move takes the text away here, unless it was dropped back onto its
    // own selection or moved inside this edit (done by the drop itself).
    if (result == DRAGDROP_S_DROP && (effect & DROPEFFECT_MOVE) && !dropped_on_selection_ && !dropped_here_ &&
        HandleAllocated()) {
        ClearSelection();
        HideDropCaret();
        Invalidate();
    }
}

void TKelEdit::MouseReleaseForDrag(POINT p) {
    if (drag_armed_) {
        const int at = CharFromPos(p);
        SetSelection(at, at);
        Click();
    }
    drag_armed_ = false;
}

void TKelEdit::InvalidateDropColumn(TEditPoint p) {
    if (p.X == -1 || p.Y == -1 || !HandleAllocated()) return;
    const int h = Font().Height() < 0 ? -Font().Height() : Font().Height();
    RECT r{p.X, p.Y, p.X + 1, p.Y + h};
    InvalidateRect(Handle(), &r, TRUE);
}

void TKelEdit::UpdateDropCaret() {
    if (!HandleAllocated()) return;
    POINT cursor{};
    GetCursorPos(&cursor);
    const TEditPoint p = PosFromCharPoint(CharFromPos(ScreenToClient(cursor)));
    if (p == drop_caret_) return;
    InvalidateDropColumn(drop_caret_);
    InvalidateDropColumn(p);
    drop_caret_ = p;
}

void TKelEdit::HideDropCaret() {
    const TEditPoint old = drop_caret_;
    drop_caret_ = TEditPoint{-1, -1};
    InvalidateDropColumn(old);
}

bool TKelEdit::InsertDroppedText(POINT screen, const std::wstring& text, bool ctrl) {
    if (!HandleAllocated()) return false;
    const int at = CharFromPos(ScreenToClient(screen));
    int start = 0, end = 0;
    GetSelection(start, end);
    if (is_drag_source_ && start <= at && at <= end) {
        dropped_on_selection_ = true;
        HideDropCaret();
        return true;
    }
    HideDropCaret();
    // The value the text goes into: without the dragged part when it moves
    // within this edit; the drop position shifts with what went.
    std::wstring window = WindowText();
    int drop = at;
    if (is_drag_source_ && !ctrl) {
        window.erase(static_cast<size_t>(start), static_cast<size_t>(end - start));
        if (drop > end) drop -= end - start;
        dropped_here_ = true;
    }
    const int prefix = static_cast<int>(Prefix().size());
    const std::wstring value = ValueOfWindowText(window, Prefix(), Suffix());
    const int inValue = std::clamp(drop - prefix, 0, static_cast<int>(value.size()));
    const bool taken = core_.DropText(value, inValue, text);
    if (!taken) dropped_here_ = false;
    Invalidate();
    return taken;
}

}  // namespace kel

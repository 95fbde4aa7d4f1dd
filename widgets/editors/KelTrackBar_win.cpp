// The trackbar's properties, position rules and pointer, wheel and key
// handling.
#include "widgets/editors/KelTrackBar.h"

#include <algorithm>
#include <climits>

namespace kel::trackbar {

TCustomTrackBar::TCustomTrackBar(fw::TComponent* owner) : fw::TCustomControl(owner) {
    width_ = 150;
    height_ = 26;
    tab_stop_ = true;
    color_ = fw::clNone;
    auto repaint = [this] { Invalidate(); };
    background_ = std::make_unique<TGDIPPicture>();
    background_->OnChange = repaint;
    backgroundDisabled_ = std::make_unique<TGDIPPicture>();
    backgroundDisabled_->OnChange = repaint;
    thumb_ = std::make_unique<TTrackBarThumb>(this);
    thumb_->OnChange = repaint;
    slider_ = std::make_unique<TTrackBarSlider>(this);
    slider_->OnChange = repaint;
    tick_ = std::make_unique<TTrackBarTick>();
    tick_->OnChange = [this] {
        MeasureTickText();
        Invalidate();
    };
    rateActive_ = std::make_unique<TGDIPPicture>();
    rateActive_->OnChange = repaint;
    rateInActive_ = std::make_unique<TGDIPPicture>();
    rateInActive_->OnChange = repaint;
    buttons_ = std::make_unique<TTrackBarButtons>(this);
    buttons_->OnChange = repaint;
    label_ = std::make_unique<TTrackBarLabel>();
    label_->OnChange = repaint;
    SetParentBackground(true);
    double_buffered_ = true;
    trackHint_ = ShowHint();
    hint_ = new TTrackHintWindow(this);
}

TCustomTrackBar::~TCustomTrackBar() {
    // The groups call back into the control while they go; unhook them first.
    for (TTrackBarGroup* g : std::initializer_list<TTrackBarGroup*>{slider_.get(), thumb_.get(), tick_.get(),
                                                                     buttons_.get(), label_.get()})
        g->OnChange = nullptr;
    if (tickImages_) tickImages_->RemoveFreeNotification(this);
}

void TCustomTrackBar::CreateParams(fw::TCreateParams& params) {
    fw::TCustomControl::CreateParams(params);
    params.classStyle &= ~static_cast<UINT>(CS_DBLCLKS);
}

void TCustomTrackBar::SetMin(int v) {
    if (v == min_) return;
    min_ = v;
    if (v > position_) SetPosition(v);
    Invalidate();
}

void TCustomTrackBar::SetMax(int v) {
    if (v == max_) return;
    max_ = v;
    if (v < position_) SetPosition(v);
    Invalidate();
}

void TCustomTrackBar::SetOrientation(TTrackBarOrientation v) {
    if (v == orientation_) return;
    orientation_ = v;
    // Nothing in the window's styles depends on the orientation, so the
    // window stays; only its sides swap.
    SetBounds(left_, top_, height_, width_);
    Invalidate();
}

void TCustomTrackBar::SetTickImages(fw::TImageList* v) {
    if (v == tickImages_) return;
    if (tickImages_) tickImages_->RemoveFreeNotification(this);
    tickImages_ = v;
    if (v) v->FreeNotification(this);
    Invalidate();
}

void TCustomTrackBar::Notification(fw::TComponent* component, fw::TOperation operation) {
    fw::TCustomControl::Notification(component, operation);
    if (operation == fw::TOperation::opRemove && component == tickImages_) {
        tickImages_ = nullptr;
        Invalidate();
    }
}

void TCustomTrackBar::SetTransparent(bool v) {
    if (v == transparent_) return;
    transparent_ = v;
    SetParentBackground(v);
    Invalidate();
}

void TCustomTrackBar::Loaded() {
    MeasureTickText();
    Invalidate();
    buttons_->AdoptPictureSize();
    thumb_->AdoptPictureSize();
}

bool TCustomTrackBar::AllowThumbPointerChange(const TTrackBarThumb&, TThumbPointer&) { return true; }

void TCustomTrackBar::MeasureTickText() {
    fw::TBitmap probe(1, 1);
    probe.Canvas().Font().Assign(tick_->Font());
    tickTextHeight_ = probe.Canvas().TextHeight(L"gh") + 2 * TickTextMargin;
}

SIZE TCustomTrackBar::RateCellSize() const {
    auto size = [](TGDIPPicture& p) {
        if (p.Empty()) return SIZE{0, 0};
        p.UpdateImageSize();
        return SIZE{p.Width(), p.Height()};
    };
    const SIZE a = size(*rateActive_), b = size(*rateInActive_);
    return SIZE{std::max(a.cx, b.cx), std::max(a.cy, b.cy)};
}

TTrackBarMetrics TCustomTrackBar::Metrics() {
    TTrackBarMetrics m;
    m.ClientWidth = width_;
    m.ClientHeight = height_;
    m.Vertical = orientation_ == trVertical;
    m.Min = min_;
    m.Max = max_;
    m.Position = position_;
    m.FrameWidth = FrameWidth;
    m.InnerMargin = InnerMargin;
    m.Slider.Visible = slider_->Visible();
    m.Slider.Size = slider_->Size();
    m.Slider.Offset = slider_->Offset();
    m.Slider.Border3D = slider_->Border3D();
    m.Thumb.Shape = thumb_->Shape();
    m.Thumb.Size = thumb_->Size();
    m.Thumb.Width = thumb_->Width();
    m.Thumb.Pointer = thumb_->ThumbPointer();
    m.Thumb.PictureEmpty = thumb_->Picture().Empty();
    m.Tick.Style = tick_->Style();
    m.Tick.Position = tick_->Position();
    m.Tick.Size = tick_->Size();
    m.Tick.Spacing = tick_->Spacing();
    m.Tick.ShowText = tick_->ShowText();
    m.TickTextHeight = tickTextHeight_;
    m.Buttons.Visible = buttons_->Visible();
    m.Buttons.Size = buttons_->Size();
    m.Buttons.Spacing = buttons_->Spacing();
    m.Label.Visible = label_->Visible();
    m.Label.Position = label_->Position();
    m.Label.Spacing = label_->Spacing();
    if (label_->Visible()) {
        std::wstring text;
        GetTrackLabelText(text);
        if (text.empty() && HasTrackLabelEvent()) text = L"Pos";
        fw::TBitmap probe(1, 1);
        probe.Canvas().Font().Assign(label_->Font());
        const SIZE s = probe.Canvas().TextExtent(text);
        m.Label.TextWidth = s.cx;
        m.Label.TextHeight = s.cy;
    }
    return m;
}

TTrackBarLayout TCustomTrackBar::Layout() { return TTrackBarLayout(Metrics()); }

TRect TCustomTrackBar::GetThumbRect() { return Layout().Thumb(); }

void TCustomTrackBar::GetTrackLabelText(std::wstring& text) {
    text = FormatTrackLabel(label_->Format(), position_);
    if (OnGetTrackLabelText) OnGetTrackLabelText(this, position_, text);
}

void TCustomTrackBar::Change() {
    if (OnChange) OnChange(this);
}

void TCustomTrackBar::InvalidateRect(const TRect& r) {
    if (!HandleAllocated() || IsNone(r)) return;
    RECT rc{r.Left, r.Top, r.Right, r.Bottom};
    ::InvalidateRect(handle_, &rc, TRUE);
}

void TCustomTrackBar::RepaintNow() {
    Invalidate();
    if (HandleAllocated()) UpdateWindow(handle_);
}

void TCustomTrackBar::SetPosition(int v) {
    const std::optional<int> target = ResolvePosition(v, position_, min_, max_);
    if (!target) return;
    const TTrackBarLayout before = Layout();
    const TRect oldThumb = before.Thumb();
    const int old = position_;
    position_ = *target;
    const TTrackBarLayout after = Layout();
    if (RateMode()) {
        // From the old value to the new one, over the values that have cells.
        const SIZE cell = RateCellSize();
        const int64_t last = after.LastRateValue(cell.cx, cell.cy);
        const int64_t from = std::min<int64_t>(old, last), to = std::min<int64_t>(position_, last);
        const int64_t step = to >= from ? 1 : -1;
        for (int64_t i = from;; i += step) {
            DrawRateCell(static_cast<int>(i));
            if (i == to) break;
        }
    } else {
        for (const TRect& r : after.PositionChangeAreas(oldThumb, after.Thumb(), slider_->ShowsCompleted(),
                                                         tick_->ShowImageAtThumbOnly()))
            InvalidateRect(r);
        InvalidateTrackLabel();
    }
    Change();
}

void TCustomTrackBar::InvalidateTrackLabel() {
    if (!label_->Visible()) return;
    InvalidateRect(Layout().LabelRepaintArea(!OnGetTrackLabelText));
}

void TCustomTrackBar::StepDown() {
    if (position_ > min_) SetPosition(OffsetPosition(position_, -static_cast<int64_t>(buttons_->Step())));
}

void TCustomTrackBar::StepUp() {
    if (position_ < max_) SetPosition(OffsetPosition(position_, buttons_->Step()));
}

void TCustomTrackBar::PageStepTowardsClick() {
    const int dir = Layout().PageStepToward(clickPoint_.x, clickPoint_.y);
    if (dir != 0) SetPosition(OffsetPosition(position_, static_cast<int64_t>(dir) * pageSize_));
}

void TCustomTrackBar::StartRepeatTimer() {
    if (!repeatTimer_) {
        repeatTimer_ = new fw::TTimer(this);
        repeatTimer_->OnTimer = [this](fw::TComponent*) { RepeatTimerTick(); };
    }
    repeatTimer_->SetInterval(buttons_->InitRepeatPause());
    repeatTimer_->SetEnabled(true);
}

void TCustomTrackBar::RepeatTimerTick() {
    repeatTimer_->SetInterval(buttons_->RepeatPause());
    if (!HandleAllocated() || GetCapture() != handle_) return;
    try {
        if (paging_) {
            PageStepTowardsClick();
        } else if (minPressed_) {
            StepDown();
        } else if (maxPressed_) {
            StepUp();
        } else {
            repeatTimer_->SetEnabled(false);
        }
    } catch (...) {
        repeatTimer_->SetEnabled(false);
        throw;
    }
}

void TCustomTrackBar::MouseDown(fw::TMouseButton button, fw::TShiftState shift, int x, int y) {
    fw::TCustomControl::MouseDown(button, shift, x, y);
    if (!Focused() && CanFocus()) SetFocus();
    const TTrackBarLayout lay = Layout();
    const bool onMin = buttons_->Visible() && Contains(lay.MinButton(), x, y);
    const bool onMax = buttons_->Visible() && Contains(lay.MaxButton(), x, y);
    const bool left = button == fw::TMouseButton::mbLeft;
    const TRect thumb = GetThumbRect();
    if (!RateMode() && !Contains(thumb, x, y) && left && moveOnClick_ == mcMove && !onMin && !onMax) {
        SetPosition(lay.ValueFromPoint(x, y));
        return;
    }
    if (!left || RateMode()) return;
    if (Contains(thumb, x, y)) {
        if (CanDragThumb()) {
            dragging_ = true;
            thumbDown_ = true;
            DrawThumb();
        }
    } else if (Contains(Inflated(lay.Track(), 4, 4), x, y)) {
        if (CanPageStep()) {
            paging_ = true;
            clickPoint_ = POINT{x, y};
            PageStepTowardsClick();
            StartRepeatTimer();
        }
    } else if (buttons_->Visible()) {
        if (onMin && !minPressed_) {
            minPressed_ = true;
            InvalidateRect(lay.MinButton());
            if (buttons_->RepeatClick()) StartRepeatTimer();
        }
        if (onMax && !maxPressed_) {
            maxPressed_ = true;
            InvalidateRect(lay.MaxButton());
            if (buttons_->RepeatClick()) StartRepeatTimer();
        }
    }
}

void TCustomTrackBar::ShowDragHint(int value) {
    lastHintValue_ = value;
    std::wstring text = std::to_wstring(value);
    if (OnGetTrackHint) OnGetTrackHint(this, value, text);
    RECT r = hint_->CalcHintRect(100, text);
    hint_->SetColor(fw::clInfoBk);
    POINT cursor{0, 0};
    GetCursorPos(&cursor);
    OffsetRect(&r, cursor.x + 10, cursor.y);
    hint_->ActivateHint(r, text);
    hintShowing_ = true;
}

void TCustomTrackBar::MouseMove(fw::TShiftState shift, int x, int y) {
    fw::TCustomControl::MouseMove(shift, x, y);
    if (RateMode()) return;
    const TTrackBarLayout lay = Layout();
    if (dragging_) {
        const int v = lay.ValueFromPoint(x, y);
        if (v != position_ && trackHint_ && v != lastHintValue_) ShowDragHint(v);
        paging_ = false;
        SetPosition(v);
        return;
    }
    if (buttons_->Visible()) {
        auto track = [&](bool inside, bool& hot, bool& pressed, const TRect& r) {
            if (inside && !hot) {
                hot = true;
                InvalidateRect(r);
            } else if (!inside && hot) {
                hot = false;
                pressed = false;
                InvalidateRect(r);
            }
        };
        track(Contains(lay.MinButton(), x, y), minHot_, minPressed_, lay.MinButton());
        track(Contains(lay.MaxButton(), x, y), maxHot_, maxPressed_, lay.MaxButton());
    }
    const TRect thumb = GetThumbRect();
    if (Contains(thumb, x, y) && CanDragThumb()) {
        if (!thumbHot_) {
            thumbHot_ = true;
            DrawThumb();
        }
    } else if (thumbHot_) {
        thumbHot_ = false;
        thumbDown_ = false;
        DrawThumb();
    }
}

void TCustomTrackBar::MouseUp(fw::TMouseButton button, fw::TShiftState shift, int x, int y) {
    if (repeatTimer_) repeatTimer_->SetEnabled(false);
    paging_ = false;
    const bool left = button == fw::TMouseButton::mbLeft;
    if (RateMode()) {
        if (left) {
            const SIZE cell = RateCellSize();
            if (const std::optional<int> v = Layout().RateClickValue(x, y, cell.cx, cell.cy)) SetPosition(*v);
        }
    } else if (left) {
        if (hintShowing_) hint_->ReleaseHint();
        hintShowing_ = false;
        dragging_ = false;
        if (thumbDown_) {
            thumbDown_ = false;
            if (!Contains(GetThumbRect(), x, y)) thumbHot_ = false;
            DrawThumb();
        }
        if (buttons_->Visible()) {
            const TTrackBarLayout lay = Layout();
            if (Contains(lay.MinButton(), x, y) && minPressed_) {
                minPressed_ = false;
                InvalidateRect(lay.MinButton());
                StepDown();
            }
            if (Contains(lay.MaxButton(), x, y) && maxPressed_) {
                maxPressed_ = false;
                InvalidateRect(lay.MaxButton());
                StepUp();
            }
        }
    }
    fw::TCustomControl::MouseUp(button, shift, x, y);
}

void TCustomTrackBar::MouseLeave() {
    fw::TCustomControl::MouseLeave();
    const TTrackBarLayout lay = Layout();
    if (minHot_ || minPressed_) {
        minHot_ = minPressed_ = false;
        InvalidateRect(lay.MinButton());
    }
    if (maxHot_ || maxPressed_) {
        maxHot_ = maxPressed_ = false;
        InvalidateRect(lay.MaxButton());
    }
    if ((thumbHot_ || thumbDown_) && !dragging_) {
        thumbHot_ = thumbDown_ = false;
        DrawThumb();
    }
}

bool TCustomTrackBar::DoMouseWheel(fw::TShiftState shift, int wheelDelta, POINT mousePos) {
    fw::TCustomControl::DoMouseWheel(shift, wheelDelta, mousePos);
    if (wheelDelta < 0) {
        if (position_ > min_) SetPosition(position_ - 1);
    } else if (position_ < max_) {
        SetPosition(position_ + 1);
    }
    return true;
}

void TCustomTrackBar::KeyDown(WORD& key, fw::TShiftState shift) {
    fw::TCustomControl::KeyDown(key, shift);
    if (const std::optional<int> v = KeyTarget(key, (shift & fw::ssShift) != 0, orientation_ == trVertical,
                                               position_, GetMinPosition(), GetMaxPosition(), pageSize_))
        SetPosition(*v);
}

void TCustomTrackBar::DoEnter() {
    fw::TCustomControl::DoEnter();
    RepaintNow();
}

void TCustomTrackBar::DoExit() {
    fw::TCustomControl::DoExit();
    RepaintNow();
}

void TCustomTrackBar::EnabledChanged() { Invalidate(); }

void TCustomTrackBar::EraseBackground(HDC dc) {
    // An opaque bar without a fill colour shows what lies beneath; the
    // fresh double-buffer bitmap would otherwise come out black.
    if (!transparent_ && parent_ && (Enabled() ? color_ : colorDisabled_) == fw::clNone) {
        PaintParentBackground(this, dc);
        return;
    }
    fw::TCustomControl::EraseBackground(dc);
}

LRESULT TCustomTrackBar::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_GETDLGCODE) return fw::TCustomControl::WndProc(msg, wParam, lParam) | DLGC_WANTARROWS;
    return fw::TCustomControl::WndProc(msg, wParam, lParam);
}

void TCustomTrackBar::DrawThumb() {
    // Repaints the thumb's area through the one paint routine.
    InvalidateRect(Inflated(GetThumbRect(), 1, 1));
}

}  // namespace kel::trackbar

// TKelTrackBar: an integer Position between Min and Max on a horizontal or
// vertical slider bar, with tick marks, a thumb in one of ten shapes or from
// pictures, optional auto-repeat buttons, a value label, a value hint while
// dragging, and a rate mode that shows a row of pictures instead.
// Layout and value rules live in TTrackBarLayout; this class holds the
// properties, the pointer and key states, and paints.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "framework/gui/custom_control.h"
#include "framework/gui/hint_window.h"
#include "framework/gui/image_list.h"
#include "framework/gui/timer.h"
#include "widgets/drawing/GDIPicture.h"
#include "widgets/drawing/KelGDIPColors.h"
#include "widgets/drawing/StylePreset.h"
#include "widgets/editors/KelTrackBarGroups.h"
#include "widgets/editors/KelTrackBarLayout.h"

namespace kel::trackbar {

class TTrackHintWindow;

using kel::IStylePreset;

using TDrawTickEvent =
    std::function<void(fw::TComponent* sender, fw::TCanvas& canvas, POINT location, int position, TTickMark tickPos,
                       int& length, fw::TColor& color, fw::TColor& textColor, std::wstring& text, bool& defaultDraw)>;
using TGetTrackHintEvent = std::function<void(fw::TComponent* sender, int position, std::wstring& hint)>;
using TGetTrackLabelEvent = std::function<void(fw::TComponent* sender, int position, std::wstring& value)>;
using TGetTickMarkTextEvent = std::function<void(fw::TComponent* sender, int index, std::wstring& value)>;

class TCustomTrackBar : public fw::TCustomControl, public IStylePreset {
public:
    explicit TCustomTrackBar(fw::TComponent* owner);
    ~TCustomTrackBar() override;

    int Min() const { return min_; }
    void SetMin(int v);
    int Max() const { return max_; }
    void SetMax(int v);
    int Position() const { return position_; }
    virtual void SetPosition(int v);
    int PageSize() const { return pageSize_; }
    void SetPageSize(int v) { pageSize_ = v; }
    TTrackBarOrientation Orientation() const { return orientation_; }
    void SetOrientation(TTrackBarOrientation v);
    TMoveOnClick MoveOnClick() const { return moveOnClick_; }
    void SetMoveOnClick(TMoveOnClick v) { moveOnClick_ = v; }

    TTrackBarSlider& Slider() const { return *slider_; }
    void SetSlider(const TTrackBarSlider& v) { slider_->Assign(v); }
    TTrackBarThumb& Thumb() const { return *thumb_; }
    void SetThumb(const TTrackBarThumb& v) { thumb_->Assign(v); }
    TTrackBarTick& TickMark() const { return *tick_; }
    void SetTickMark(const TTrackBarTick& v) { tick_->Assign(v); }
    TTrackBarButtons& Buttons() const { return *buttons_; }
    void SetButtons(const TTrackBarButtons& v) { buttons_->Assign(v); }
    TTrackBarLabel& TrackLabel() const { return *label_; }
    void SetTrackLabel(const TTrackBarLabel& v) { label_->Assign(v); }
    fw::TImageList* TickImages() const { return tickImages_; }
    void SetTickImages(fw::TImageList* v);

    bool TrackHint() const { return trackHint_; }
    void SetTrackHint(bool v) { trackHint_ = v; }
    bool ShowFocus() const { return showFocus_; }
    void SetShowFocus(bool v) { showFocus_ = v; }
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool v);
    // Color is the control's own colour; clNone (the initial value) fills
    // nothing.
    fw::TColor ColorTo() const { return colorTo_; }
    void SetColorTo(fw::TColor v) { StoreAndRepaint(colorTo_, v); }
    fw::TColor ColorDisabled() const { return colorDisabled_; }
    void SetColorDisabled(fw::TColor v) { colorDisabled_ = v; }
    fw::TColor ColorDisabledTo() const { return colorDisabledTo_; }
    void SetColorDisabledTo(fw::TColor v) { colorDisabledTo_ = v; }
    TGradientDirection Direction() const { return direction_; }
    void SetDirection(TGradientDirection v) { StoreAndRepaint(direction_, v); }
    fw::TColor BorderColor() const { return borderColor_; }
    void SetBorderColor(fw::TColor v) { StoreAndRepaint(borderColor_, v); }
    fw::TColor BorderColorDisabled() const { return borderColorDisabled_; }
    void SetBorderColorDisabled(fw::TColor v) { borderColorDisabled_ = v; }
    TGDIPPicture& BackGround() const { return *background_; }
    void SetBackGround(const TGDIPPicture& p) { background_->Assign(&p); }
    TGDIPPicture& BackGroundDisabled() const { return *backgroundDisabled_; }
    void SetBackGroundDisabled(const TGDIPPicture& p) { backgroundDisabled_->Assign(&p); }
    bool BackGroundStretched() const { return backgroundStretched_; }
    void SetBackGroundStretched(bool v) { StoreAndRepaint(backgroundStretched_, v); }
    TGDIPPicture& RateActive() const { return *rateActive_; }
    void SetRateActive(const TGDIPPicture& p) { rateActive_->Assign(&p); }
    TGDIPPicture& RateInActive() const { return *rateInActive_; }
    void SetRateInActive(const TGDIPPicture& p) { rateInActive_->Assign(&p); }

    fw::TNotifyEvent OnChange;
    TDrawTickEvent OnDrawTick;
    TGetTrackHintEvent OnGetTrackHint;
    TGetTrackLabelEvent OnGetTrackLabelText;
    TGetTickMarkTextEvent OnGetTickMarkText;

    // After the properties were read from a stored form: measures the tick
    // text and lets the buttons and the thumb take their pictures' sizes.
    void Loaded();
    void ApplyStylePreset(int style) override;

    // The layout at the current properties, built afresh on each use.
    TTrackBarLayout Layout();
    bool RateMode() const { return !rateActive_->Empty() && !rateInActive_->Empty(); }
    // Rate cell size: the larger picture width and height.
    SIZE RateCellSize() const;
    int TickTextHeight() const { return tickTextHeight_; }
    // The value hint shown while dragging (for tests).
    TTrackHintWindow& HintWindow() const { return *hint_; }
    bool HintShowing() const { return hintShowing_; }

    virtual bool AllowThumbPointerChange(const TTrackBarThumb& thumb, TThumbPointer& pointer);

    void MouseDown(fw::TMouseButton button, fw::TShiftState shift, int x, int y) override;
    void MouseMove(fw::TShiftState shift, int x, int y) override;
    void MouseUp(fw::TMouseButton button, fw::TShiftState shift, int x, int y) override;
    void MouseLeave() override;
    bool DoMouseWheel(fw::TShiftState shift, int wheelDelta, POINT mousePos) override;
    void KeyDown(WORD& key, fw::TShiftState shift) override;

protected:
    virtual void RepeatTimerTick();
    virtual bool CanPageStep() { return true; }
    virtual void GetTrackLabelText(std::wstring& text);
    virtual bool CanDragThumb() { return true; }
    virtual bool IsValidPosition(int v) { return v >= min_ && v <= max_; }
    virtual int GetMinPosition() { return min_; }
    virtual int GetMaxPosition() { return max_; }
    virtual TRect GetThumbRect();
    virtual bool HasTrackLabelEvent() { return static_cast<bool>(OnGetTrackLabelText); }
    virtual void StepDown();
    virtual void StepUp();
    virtual void PageStepTowardsClick();
    virtual int GetThumbLength() { return thumb_->Width(); }
    virtual void DrawSlider();
    virtual void DrawThumb();
    virtual void InvalidateTrackLabel();
    virtual void Change();

    void Notification(fw::TComponent* component, fw::TOperation operation) override;
    void Paint() override;
    void DoEnter() override;
    void DoExit() override;
    void EnabledChanged() override;
    void EraseBackground(HDC dc) override;
    void CreateParams(fw::TCreateParams& params) override;
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    template <class T>
    void StoreAndRepaint(T& field, const T& v) {
        if (field == v) return;
        field = v;
        Invalidate();
    }
    TTrackBarMetrics Metrics();
    void MeasureTickText();
    void StartRepeatTimer();
    void InvalidateRect(const TRect& r);
    void RepaintNow();
    void ShowDragHint(int value);

    // Painting (KelTrackBarPaint_win.cpp).
    void DrawBackground();
    void DrawTrackLabel();
    void DrawTickMarks();
    void DrawButtons();
    void DrawButton(bool maxButton);
    void DrawRates();
    void DrawRateCell(int value);
    void PaintThumb(const TRect& r, int value, bool down, bool hot);

    int min_ = 0;
    int max_ = 10;
    int position_ = 0;
    int pageSize_ = 1;
    TTrackBarOrientation orientation_ = trHorizontal;
    TMoveOnClick moveOnClick_ = mcStep;
    std::unique_ptr<TTrackBarSlider> slider_;
    std::unique_ptr<TTrackBarThumb> thumb_;
    std::unique_ptr<TTrackBarTick> tick_;
    std::unique_ptr<TTrackBarButtons> buttons_;
    std::unique_ptr<TTrackBarLabel> label_;
    fw::TImageList* tickImages_ = nullptr;
    bool trackHint_ = false;
    bool showFocus_ = false;
    bool transparent_ = true;
    fw::TColor colorTo_ = fw::clNone;
    fw::TColor colorDisabled_ = fw::clNone;
    fw::TColor colorDisabledTo_ = fw::clNone;
    TGradientDirection direction_ = gdHorizontal;
    fw::TColor borderColor_ = fw::clNone;
    fw::TColor borderColorDisabled_ = fw::clNone;
    std::unique_ptr<TGDIPPicture> background_, backgroundDisabled_, rateActive_, rateInActive_;
    bool backgroundStretched_ = false;

    static constexpr int FrameWidth = 1;
    static constexpr int InnerMargin = 2;
    static constexpr int TickTextMargin = 2;
    int tickTextHeight_ = 0;

    bool thumbHot_ = false;
    bool thumbDown_ = false;
    bool dragging_ = false;
    bool minHot_ = false;
    bool minPressed_ = false;
    bool maxHot_ = false;
    bool maxPressed_ = false;
    bool paging_ = false;
    bool hintShowing_ = false;
    POINT clickPoint_{0, 0};
    fw::TTimer* repeatTimer_ = nullptr;
    int lastHintValue_ = -1;
    TTrackHintWindow* hint_ = nullptr;
};

class TKelTrackBar : public TCustomTrackBar, public IKelVersion {
public:
    explicit TKelTrackBar(fw::TComponent* owner) : TCustomTrackBar(owner) {}
    uint32_t GetVersionNr() const override { return 0x01060200; }
    std::wstring Version() const { return GetVersion(); }
};

// The value hint: a borderless, shadowed box with a 3D edge and the text
// centred, kept inside the monitor.
class TTrackHintWindow : public fw::THintWindow {
public:
    explicit TTrackHintWindow(fw::TComponent* owner) : fw::THintWindow(owner) {}
    // (0, 0, text width, text height) of the text in the window's font.
    RECT CalcHintRect(int maxWidth, const std::wstring& hint);
    // Places the window at the rectangle's top-left, sized to the text plus
    // margins and pushed inside the monitor, and shows it without
    // activating it.
    void ActivateHint(RECT rect, const std::wstring& hint);

protected:
    void CreateParams(fw::TCreateParams& params) override;
    void Paint() override;
};

}  // namespace kel::trackbar

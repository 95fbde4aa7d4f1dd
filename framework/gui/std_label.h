// TLabel: a graphic control that draws its caption, in one line or wrapped.
#pragma once

#include "framework/gui/controls.h"

namespace fw {

enum class TAlignment { taLeftJustify, taRightJustify, taCenter };

class TLabel : public TGraphicControl {
public:
    explicit TLabel(TComponent* owner);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool v);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment a);
    bool AutoSize() const { return auto_size_; }
    void SetAutoSize(bool v);
    // Breaks the caption into lines at the label's width; AutoSize then
    // sets the height only.
    bool WordWrap() const { return word_wrap_; }
    void SetWordWrap(bool v);
    void SetCaption(const std::wstring& caption) override;

protected:
    void Paint() override;
    void FontChanged() override;

private:
    void AdjustSize();
    bool transparent_ = true;
    bool auto_size_ = true;
    bool word_wrap_ = false;
    TAlignment alignment_ = TAlignment::taLeftJustify;
};

}  // namespace fw

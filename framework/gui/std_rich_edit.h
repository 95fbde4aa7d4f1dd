// TRichEdit: Windows' rich edit control (RICHED20.DLL) as a read-only,
// multi-line text area whose lines are added with their own colour and
// weight.
#pragma once

#include <string>

#include "framework/gui/custom_edit.h"

namespace fw {

class TRichEdit : public TWinControl {
public:
    explicit TRichEdit(TComponent* owner);

    // Set before the window is made.
    bool ReadOnly() const { return read_only_; }
    void SetReadOnly(bool v) { read_only_ = v; }
    TBorderStyle BorderStyle() const { return border_style_; }
    void SetBorderStyle(TBorderStyle style) { border_style_ = style; }
    void SetColor(TColor color) override;

    void Clear();
    // Adds `text` at the end in the colour and weight given.
    void Append(const std::wstring& text, TColor color, bool bold);
    // The whole text; line ends as the control keeps them (CR).
    std::wstring Text() const;
    // Stops and restarts redrawing around a batch of changes.
    void BeginUpdate();
    void EndUpdate();
    // EM_SCROLLCARET's answer.
    LRESULT ScrollCaret();
    void SetSelStart(int pos);

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateHandleDone() override;

private:
    bool read_only_ = false;
    TBorderStyle border_style_ = TBorderStyle::bsSingle;
};

}  // namespace fw

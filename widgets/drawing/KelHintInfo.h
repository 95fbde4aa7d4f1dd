// The rich hint data that buttons and pages publish as OfficeHint: a title,
// note lines and a picture, plus two texts that are not streamed.
#pragma once

#include <string>

#include "framework/core/string_list.h"
#include "widgets/drawing/GDIPicture.h"

namespace kel {

class TKelHintInfo {
public:
    TKelHintInfo() = default;
    TKelHintInfo(const TKelHintInfo&) = delete;
    TKelHintInfo& operator=(const TKelHintInfo&) = delete;

    const std::wstring& Title() const { return title_; }
    void SetTitle(const std::wstring& title) { title_ = title; }
    fw::TStringList& Notes() { return notes_; }
    const fw::TStringList& Notes() const { return notes_; }
    // Copies the lines.
    void SetNotes(const fw::TStringList& notes) { notes_ = notes; }
    TGDIPPicture& Picture() { return picture_; }
    const TGDIPPicture& Picture() const { return picture_; }
    // Copies the picture's contents.
    void SetPicture(const TGDIPPicture& picture) { picture_.Assign(&picture); }
    bool ShowHelp() const { return showHelp_; }
    void SetShowHelp(bool value) { showHelp_ = value; }
    // Not streamed.
    const std::wstring& WideTitle() const { return wideTitle_; }
    void SetWideTitle(const std::wstring& text) { wideTitle_ = text; }
    const std::wstring& WideNotes() const { return wideNotes_; }
    void SetWideNotes(const std::wstring& text) { wideNotes_ = text; }

    // Copies everything from another hint info; nil is ignored.
    void Assign(const TKelHintInfo* source);

private:
    std::wstring title_;
    fw::TStringList notes_;
    TGDIPPicture picture_;
    bool showHelp_ = false;
    std::wstring wideTitle_;
    std::wstring wideNotes_;
};

}  // namespace kel

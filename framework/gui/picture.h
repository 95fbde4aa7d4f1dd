// TPicture: the holder through which components and standard controls
// publish a picture of any graphic class. It owns one graphic (or none),
// passes its changes on, and copies another holder's graphic into a new
// graphic of the same class.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>

#include "framework/core/graphic.h"

namespace fw {

class TPicture {
public:
    TPicture() = default;
    ~TPicture();
    TPicture(const TPicture&) = delete;
    TPicture& operator=(const TPicture&) = delete;

    // Fired when the graphic is replaced or changes.
    std::function<void()> OnChange;

    TGraphic* Graphic() const { return graphic_.get(); }
    // Takes the graphic over; nullptr leaves the holder empty.
    void SetGraphic(std::unique_ptr<TGraphic> graphic);
    // A copy of the other holder's graphic; nil or an empty holder clears.
    void Assign(const TPicture* source);

    // 0 without a graphic.
    int Width() const { return graphic_ ? graphic_->Width() : 0; }
    int Height() const { return graphic_ ? graphic_->Height() : 0; }
    // Nothing without a graphic.
    void Draw(TCanvas& canvas, const RECT& rect);

private:
    void Changed() {
        if (OnChange) OnChange();
    }
    std::unique_ptr<TGraphic> graphic_;
};

}  // namespace fw

#include "widgets/drawing/KelHintInfo.h"

namespace kel {

void TKelHintInfo::Assign(const TKelHintInfo* source) {
    if (!source || source == this) return;
    title_ = source->title_;
    notes_ = source->notes_;
    showHelp_ = source->showHelp_;
    picture_.Assign(&source->picture_);
    wideTitle_ = source->wideTitle_;
    wideNotes_ = source->wideNotes_;
}

}  // namespace kel

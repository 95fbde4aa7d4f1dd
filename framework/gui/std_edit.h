// TEdit: a single-line edit, Windows' EDIT class as it is.
#pragma once

#include "framework/gui/custom_edit.h"

namespace fw {

class TEdit : public TCustomEdit {
public:
    explicit TEdit(TComponent* owner) : TCustomEdit(owner) {}
};

}  // namespace fw

// A settings record whose every group differs from the defaults, for the
// settings file's tests.
#pragma once

#include "common/GeneralSettings.h"

namespace common::test {

inline TGeneralSettings ChangedSettings() {
    TGeneralSettings s;
    s.Language = 2;
    s.Theme = 1;
    s.LineThickness = 5;
    s.BackgroundColour = {0.0, 1.0, 0.0, 3, 0.0};
    s.ServerIP = L"127.0.0.1";
    s.ServerPort = 4000;
    return s;
}

}  // namespace common::test

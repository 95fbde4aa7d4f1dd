// The updater's reader of lines 1 and 2 of the display program's settings.
#include "Updater/oruResourceManager.h"

#include <gtest/gtest.h>

#include "framework/core/exceptions.h"

namespace oru {
namespace {

TEST(UpdaterSettings, ReadsLanguageAndThemeFromLinesOneAndTwo) {
    struct Row {
        const char* text;
        bool ok;
        int language, theme;  // expected; -9 is the value before the read
    };
    const Row rows[] = {
        {"2\r\n1\r\n0\r\n0\r\n320\r\n", true, 2, 1},
        {"1 us flag\r\n0 light\r\n", true, 1, 0},
        {"1\r1\r", true, 1, 1},
        {"1\n", true, 1, 0},  // the file ends after line 1
        {"", true, 0, 0},
        {"1\r\nx\r\n", false, 1, -9},
        {"dark\r\n1\r\n", false, -9, -9},
        {"1\r\n0x1\r\n", false, 1, -9},
    };
    for (const auto& r : rows) {
        int language = -9, theme = -9;
        try {
            ReadLanguageAndTheme(r.text, language, theme);
            EXPECT_TRUE(r.ok) << r.text;
        } catch (const fw::EInOutError& e) {
            EXPECT_FALSE(r.ok) << r.text;
            EXPECT_EQ(e.Message(), L"Invalid numeric input");
        }
        EXPECT_EQ(language, r.language) << r.text;
        EXPECT_EQ(theme, r.theme) << r.text;
    }
}

}  // namespace
}  // namespace oru

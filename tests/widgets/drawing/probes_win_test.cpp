// The uxtheme binders and the composition probe, bound by name.
#include <gtest/gtest.h>

#include "widgets/drawing/KelDWM.h"
#include "widgets/drawing/UxThemeBinder.h"

namespace kel {
namespace {

TEST(UxThemeBinder, BindsOnceRebindsAfterReleaseAndClearsCellsOnRelease) {
    TUxThemeBinder& b = AOBXPVS;
    EXPECT_STREQ(b.ModuleName(), "AOBXPVS");
    b.BindUxTheme();
    ASSERT_TRUE(b.Loaded());
    EXPECT_EQ(b.MissingEntries(), 0);
    ASSERT_NE(b.OpenThemeData, nullptr);
    ASSERT_NE(b.IsThemeActive, nullptr);
    ASSERT_NE(b.DrawThemeBackground, nullptr);
    ASSERT_NE(b.EnableTheming, nullptr);  // the last cell of the table
    auto open = b.OpenThemeData;

    b.BindUxTheme();  // already bound: nothing changes
    EXPECT_EQ(b.OpenThemeData, open);

    // The cells work: a button theme opens and closes.
    HTHEME theme = b.OpenThemeData(nullptr, L"button");
    if (theme) {
        EXPECT_EQ(b.CloseThemeData(theme), S_OK);
    }

    b.UnbindUxTheme();
    EXPECT_FALSE(b.Loaded());
    EXPECT_EQ(b.OpenThemeData, nullptr);
    EXPECT_EQ(b.EnableTheming, nullptr);
    b.BindUxTheme();
    EXPECT_TRUE(b.Loaded());
    EXPECT_NE(b.OpenThemeData, nullptr);
    b.UnbindUxTheme();
}

TEST(UxThemeBinder, MissingLibraryOrEntriesLeaveNullCellsInsteadOfFailing) {
    TUxThemeBinder none("TESTNONE", L"kel_no_such_uxtheme.dll");
    none.BindUxTheme();
    EXPECT_FALSE(none.Loaded());
    EXPECT_EQ(none.OpenThemeData, nullptr);

    // A library that exports none of the 45 names binds, every cell null.
    TUxThemeBinder foreign("TESTFOREIGN", L"kernel32.dll");
    foreign.BindUxTheme();
    EXPECT_TRUE(foreign.Loaded());
    EXPECT_EQ(foreign.MissingEntries(), TUxThemeBinder::kEntryCount);
    EXPECT_EQ(foreign.OpenThemeData, nullptr);
    EXPECT_EQ(foreign.EnableTheming, nullptr);
    foreign.UnbindUxTheme();

    // The four modules keep separate tables.
    ASXPVS.BindUxTheme();
    EXPECT_TRUE(ASXPVS.Loaded());
    EXPECT_FALSE(AEBXPVS.Loaded());
    EXPECT_EQ(AEBXPVS.OpenThemeData, nullptr);
    ASXPVS.UnbindUxTheme();
}

TEST(DwmProbe, CompositionIsOffUnderWineAndAbsentPiecesMeanNotImplemented) {
    // Wine answers S_OK with FALSE.
    TDwmProbe probe;
    BOOL enabled = TRUE;
    EXPECT_EQ(probe.CallDwmIsCompositionEnabled(enabled), S_OK);
    EXPECT_FALSE(enabled);
    EXPECT_FALSE(probe.IsDwmCompositing());
    EXPECT_TRUE(probe.LibraryLoaded());
    probe.UnloadDwmLibrary();
    EXPECT_FALSE(probe.LibraryLoaded());

    // Before version 6 the library is never loaded.
    TDwmProbe xp(L"DWMAPI.DLL", 5);
    EXPECT_FALSE(xp.IsDwmCompositing());
    EXPECT_FALSE(xp.LibraryLoaded());

    struct Row {
        const wchar_t* library;
        bool loads;
    } rows[] = {{L"kel_no_such_dwmapi.dll", false}, {L"kernel32.dll", true}};
    for (const Row& r : rows) {
        TDwmProbe missing(r.library, 6);
        for (int call = 0; call < 2; ++call) {
            BOOL flag = 7;
            EXPECT_EQ(missing.CallDwmIsCompositionEnabled(flag), E_NOTIMPL);
            EXPECT_EQ(flag, 7);  // left unset
        }
        EXPECT_FALSE(missing.IsDwmCompositing());
        EXPECT_EQ(missing.LibraryLoaded(), r.loads);
    }

    // A library whose composition is on.
    TDwmProbe on(L"kel_fake_dwmapi.dll", 6);
    EXPECT_TRUE(on.IsDwmCompositing());

    // The process's probe.
    EXPECT_FALSE(IsDwmCompositing());
    UnloadDwmLibrary();
}

}  // namespace
}  // namespace kel

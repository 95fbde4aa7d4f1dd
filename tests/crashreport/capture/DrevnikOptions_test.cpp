#include "crashreport/capture/DrevnikOptions.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

#include "crashreport/capture/DrevnikCore.h"
#include "crashreport/capture/DrevnikExceptionFilters.h"
#include "crashreport/capture/DrevnikUtils.h"
#include "framework/core/exceptions.h"
#include "tests/crashreport/capture/DrevnikOptionsFixtures.h"
#include "tests/crashreport/capture/DrevnikTestFolder.h"

namespace drevnik {
namespace {

TEST(DrevnikOptions, DefaultsAndModuleLookup) {
    const TDrevnikModuleOptions o(GetProgramFileName());
    EXPECT_EQ(o.ModuleHandle(), LibraryModuleHandle());
    EXPECT_EQ(o.UpdateCount(), 0);
    EXPECT_EQ(o.SmtpPort(), 25);
    EXPECT_EQ(o.ProxyPort(), 8080);
    EXPECT_EQ(o.BuildFlags(), 1);
    EXPECT_EQ(o.TerminateButtonAction(), caRestart);
    EXPECT_FALSE(o.FreezeWatchEnabled());
    EXPECT_EQ(o.FreezeTimeoutSecs(), 60);
    EXPECT_EQ(o.ReportItemMask(), 0xFFFF'FFFF'FFFFull);
    EXPECT_EQ(o.DialogKind(), dkMsStyle);
    EXPECT_EQ(o.TextsLanguage(), "English");
    EXPECT_FALSE(o.ActivationMark());
    EXPECT_TRUE(o.FiltersEnabled());
    EXPECT_FALSE(o.AppendReportToMessage());
    EXPECT_TRUE(o.WriteLogFile());
    EXPECT_EQ(o.LogFlags(), 0x30);
    EXPECT_EQ(o.SendFlags(), 0x0051);
    EXPECT_EQ(o.StartPage(), 0);
    EXPECT_EQ(o.LogKeepCount(), 32);
    EXPECT_EQ(o.TerminateButtonAfter(), 3);
    EXPECT_EQ(o.EmailMode(), emNone);
    EXPECT_EQ(o.WebMode(), wmNone);
    EXPECT_EQ(o.DialogFlags(), 399);
    EXPECT_EQ(o.AutoCloseSecs(), 0);
    EXPECT_EQ(o.AutoCrashAction(), caRestart);
    EXPECT_EQ(o.AutoCrashCount(), 10u);
    EXPECT_EQ(o.AutoCrashMinutes(), 1);
    EXPECT_EQ(o.StackFlags(), 0x0F);
    EXPECT_EQ(o.BehaviourFlags(), 0x0058);
    EXPECT_EQ(o.LeakFlags(), 0x1E);
    EXPECT_EQ(o.WebPort(), 0);
    EXPECT_TRUE(o.Active());
    EXPECT_FALSE(o.SmtpFrom().empty());
    EXPECT_EQ(o.Filters().Count(), 0);
    for (int i = 0; i < static_cast<int>(kCustomizedTextCount); ++i) {
        EXPECT_EQ(o.Texts()[i], DefaultText(i));
    }
    const std::string& page = o.HtmlPageTemplate();
    EXPECT_EQ(page.rfind("<html>\r\n  <head>\r\n  </head>\r\n  <body TopMargin=10 LeftMargin=10>\r\n", 0), 0u);
    EXPECT_NE(page.find("\r\n            <%HTML_TAG%>\r\n"), std::string::npos);
    EXPECT_EQ(page.substr(page.size() - 18), "  </body>\r\n</html>");

    EXPECT_EQ(TDrevnikModuleOptions("").ModuleHandle(), 0u);
    EXPECT_EQ(TDrevnikModuleOptions("no_such_module.dll").ModuleHandle(), 0u);
}

TEST(DrevnikOptions, EverySetterStoresAndPublishesOnce) {
    using Change = std::function<void(TDrevnikModuleOptions&)>;
    const std::pair<const char*, Change> changes[] = {
        {"SmtpFrom", [](auto& o) { o.SetSmtpFrom("a@b"); }},
        {"SmtpHost", [](auto& o) { o.SetSmtpHost("h"); }},
        {"SmtpPort", [](auto& o) { o.SetSmtpPort(26); }},
        {"SmtpUser", [](auto& o) { o.SetSmtpUser("u"); }},
        {"SmtpPassword", [](auto& o) { o.SetSmtpPassword("p"); }},
        {"ProxyUrl", [](auto& o) { o.SetProxyUrl("u"); }},
        {"ProxyPort", [](auto& o) { o.SetProxyPort(1); }},
        {"ProxyUser", [](auto& o) { o.SetProxyUser("u"); }},
        {"ProxyPassword", [](auto& o) { o.SetProxyPassword("p"); }},
        {"TrackerUser", [](auto& o) { o.SetTrackerUser("u"); }},
        {"TrackerPassword", [](auto& o) { o.SetTrackerPassword("p"); }},
        {"TrackerAssignTo", [](auto& o) { o.SetTrackerAssignTo("a"); }},
        {"TrackerProject", [](auto& o) { o.SetTrackerProject("p"); }},
        {"TrackerCategory", [](auto& o) { o.SetTrackerCategory("c"); }},
        {"TrackerTrialId", [](auto& o) { o.SetTrackerTrialId("t"); }},
        {"ZipPassword", [](auto& o) { o.SetZipPassword("z"); }},
        {"PreBuildCommand", [](auto& o) { o.SetPreBuildCommand("c"); }},
        {"PostBuildSuccessCommand", [](auto& o) { o.SetPostBuildSuccessCommand("c"); }},
        {"PostBuildFailureCommand", [](auto& o) { o.SetPostBuildFailureCommand("c"); }},
        {"BuildFlags", [](auto& o) { o.SetBuildFlags(2); }},
        {"TerminateButtonAction", [](auto& o) { o.SetTerminateButtonAction(caNone); }},
        {"FreezeWatch", [](auto& o) { o.SetFreezeWatch(true); }},
        {"FreezeTimeout", [](auto& o) { o.SetFreezeTimeout(5); }},
        {"ReportItemMask", [](auto& o) { o.SetReportItemMask(1); }},
        {"DialogKind", [](auto& o) { o.SetDialogKind(dkFull); }},
        {"TextsLanguage", [](auto& o) { o.SetTextsLanguage("NL"); }},
        {"ActivationMark", [](auto& o) { o.SetActivationMark(true); }},
        {"FiltersEnabled", [](auto& o) { o.SetFiltersEnabled(false); }},
        {"AppendReportToMessage", [](auto& o) { o.SetAppendReportToMessage(true); }},
        {"WriteLogFile", [](auto& o) { o.SetWriteLogFile(false); }},
        {"LogFlags", [](auto& o) { o.SetLogFlags(1); }},
        {"SendFlags", [](auto& o) { o.SetSendFlags(1); }},
        {"StartPage", [](auto& o) { o.SetStartPage(dpCpu); }},
        {"LogKeepCount", [](auto& o) { o.SetLogKeepCount(5); }},
        {"TerminateButtonAfter", [](auto& o) { o.SetTerminateButtonAfter(5); }},
        {"OutputPath", [](auto& o) { o.SetOutputPath("C:\\x"); }},
        {"EmailRecipients", [](auto& o) { o.SetEmailRecipients("r"); }},
        {"EmailSubject", [](auto& o) { o.SetEmailSubject("s"); }},
        {"EmailMessage", [](auto& o) { o.SetEmailMessage("m"); }},
        {"EmailMode", [](auto& o) { o.SetEmailMode(emClient); }},
        {"WebMode", [](auto& o) { o.SetWebMode(wmFtp); }},
        {"AttachFiles", [](auto& o) { o.SetAttachFiles("f"); }},
        {"DialogOptions", [](auto& o) { o.SetDialogOptions(1); }},
        {"AutoCloseSecs", [](auto& o) { o.SetAutoCloseSecs(1); }},
        {"SupportUrl", [](auto& o) { o.SetSupportUrl("u"); }},
        {"HtmlPageTemplate", [](auto& o) { o.SetHtmlPageTemplate("t"); }},
        {"AutoCrashAction", [](auto& o) { o.SetAutoCrashAction(caNone); }},
        {"AutoCrashCount", [](auto& o) { o.SetAutoCrashCount(1); }},
        {"AutoCrashMinutes", [](auto& o) { o.SetAutoCrashMinutes(2); }},
        {"StackFlags", [](auto& o) { o.SetStackFlags(1); }},
        {"BehaviourFlags", [](auto& o) { o.SetBehaviourFlags(1); }},
        {"WebUrl", [](auto& o) { o.SetWebUrl("u"); }},
        {"WebPort", [](auto& o) { o.SetWebPort(1); }},
        {"WebPassword", [](auto& o) { o.SetWebPassword("p"); }},
        {"WebUser", [](auto& o) { o.SetWebUser("u"); }},
        {"ReproduceText", [](auto& o) { o.SetReproduceText("r"); }},
        {"Active", [](auto& o) { o.SetActive(false); }},
        {"Text", [](auto& o) { o.SetText(txtFrozen, "Frozen!"); }},
        {"Filters.Add", [](auto& o) { o.Filters().Add({}); }},
    };
    const TDrevnikModuleOptions defaults("");
    for (const auto& [name, change] : changes) {
        CountingOptions o;
        o.SetModuleHandle(LibraryModuleHandle());
        o.published = 0;
        change(o);
        EXPECT_EQ(o.published, 1) << name;
        EXPECT_TRUE(o.Values() != defaults.Values() || o.Filters().Count() != 0) << name << " stored nothing";
    }
}

TEST(DrevnikOptions, PublishingFollowsTheUpdateBracketAndTheModule) {
    CountingOptions own;
    own.SetModuleHandle(LibraryModuleHandle());
    own.published = 0;
    own.BeginUpdate();
    own.BeginUpdate();
    own.SetSmtpHost("a");
    own.Filters().Add({});
    own.EndUpdate();
    own.SetSmtpHost("b");
    own.EndUpdate();
    EXPECT_EQ(own.published, 0);
    own.Changed();
    EXPECT_EQ(own.published, 1);

    own.published = 0;
    own.SetDefaults();
    EXPECT_EQ(own.published, 1);
    own.Filters().Add({});
    own.Filters().Add({});
    own.Filters().Delete(0);
    own.Filters().Clear();
    EXPECT_EQ(own.published, 5);
    EXPECT_THROW(own.Filters().Delete(0), fw::EInvalidOperation);

    // Options of any other module never publish.
    CountingOptions other;
    other.SetModuleHandle(LibraryModuleHandle() + 0x10000);
    FillEveryField(other);
    other.SetDefaults();
    other.Changed();
    EXPECT_EQ(other.published, 0);
    CountingOptions none;
    FillEveryField(none);
    EXPECT_EQ(none.published, 0);
}

TEST(DrevnikOptions, LogKeepCountIsAtLeastOne) {
    TDrevnikModuleOptions o("");
    for (const auto& [given, kept] : {std::pair{0, 1}, {-5, 1}, {1, 1}, {40, 40}}) {
        o.SetLogKeepCount(given);
        EXPECT_EQ(o.LogKeepCount(), kept) << given;
    }
}

TEST(DrevnikOptions, AssignCopiesAllButModuleAndActive) {
    TDrevnikModuleOptions source("");
    FillEveryField(source, "source");
    source.SetModuleName("C:\\elsewhere\\Other.dll");
    source.SetModuleHandle(0x7000);

    CountingOptions target(GetProgramFileName());
    target.published = 0;
    target.Assign(&source);
    EXPECT_EQ(target.published, 1);
    TDrevnikOptionValues expected = source.Values();
    expected.Active = true;  // not copied
    EXPECT_TRUE(target.Values() == expected);
    EXPECT_EQ(target.Filters().Items(), source.Filters().Items());
    EXPECT_EQ(target.ModuleName(), GetProgramFileName());
    EXPECT_EQ(target.ModuleHandle(), LibraryModuleHandle());

    target.published = 0;
    target.Assign(&target);
    EXPECT_EQ(target.published, 0);
    EXPECT_TRUE(target.Values() == expected);
    try {
        target.Assign(nullptr);
        ADD_FAILURE() << "no exception";
    } catch (const fw::EConvertError& e) {
        EXPECT_EQ(e.Message(), L"Impossible to assign nil as TDrevnikModuleOptions.");
    }
}

TEST(DrevnikOptions, TextsExpandVariablesAtEachRead) {
    TDrevnikModuleOptions o("");
    o.SetText(txtDialogCaption, "Error in %DREVNIK_TEST_MODULE%");
    SetEnvironmentText("DREVNIK_TEST_MODULE", "Quorvex.exe");
    EXPECT_EQ(o.GetText(txtDialogCaption), "Error in Quorvex.exe");
    SetEnvironmentText("DREVNIK_TEST_MODULE", "Brimlet.exe");
    EXPECT_EQ(o.GetText(txtDialogCaption), "Error in Brimlet.exe");
    EXPECT_EQ(o.Texts()[txtDialogCaption], "Error in %DREVNIK_TEST_MODULE%");
    EXPECT_EQ(o.GetText(-1), "");
    EXPECT_EQ(o.GetText(158), "");
}

TEST(DrevnikOptions, DescribeExceptionNamesTheClassChain) {
    using Chain = std::vector<std::string>;
    EXPECT_EQ(DescribeException(fw::EAbort()).ClassChain, (Chain{"EAbort", "Exception", "TObject"}));
    EXPECT_EQ(DescribeException(fw::EExternal(L"av", fw::EExternal::Kind::AccessViolation, 0xC0000005, 0)).ClassChain,
              (Chain{"EAccessViolation", "EExternal", "Exception", "TObject"}));
    EXPECT_EQ(DescribeException(fw::EExternal(L"div", fw::EExternal::Kind::IntDivideByZero, 0xC0000094, 0)).ClassChain,
              (Chain{"EDivByZero", "EIntError", "EExternal", "Exception", "TObject"}));
    EXPECT_EQ(DescribeException(fw::EOutOfMemory(L"oom")).ClassChain,
              (Chain{"EOutOfMemory", "EHeapException", "Exception", "TObject"}));
    EXPECT_EQ(DescribeException(std::runtime_error("x")).ClassChain, (Chain{"runtime_error", "std::exception"}));

    struct EFrozenTest : fw::Exception {
        using Exception::Exception;
    };
    // Unknown descendants of known classes are named by their own type first.
    EXPECT_EQ(DescribeException(EFrozenTest(L"f")).ClassChain.front(), "EFrozenTest");
    EXPECT_EQ(DescribeException(EFrozenTest(L"f")).ClassChain[1], "Exception");

    const TExceptionClassInfo activeX = DescribeException(TActiveXException("x", "EOleError", {"EOleSysError"}));
    EXPECT_TRUE(activeX.IsActiveX);
    EXPECT_EQ(activeX.ActiveXClassNames, Chain{"EOleSysError"});
}

TEST(DrevnikOptions, FindMatchingFilter) {
    TDrevnikModuleOptions o("");
    o.Filters().Add({false, "EAbort", "", fsAnyException, fdNoDialog, fhIgnore, caNone});                  // 0
    o.Filters().Add({true, "EAbort ", "", fsAnyException, fdNoDialog, fhIgnore, caNone});                  // 1
    o.Filters().Add({true, "EAccessViolation", "", fsHandledOnly, fdMessageBox, fhFullReport, caNone});    // 2
    o.Filters().Add({true, "eexternal", "", fsUnhandledOnly, fdFull, fhFullReport, caRestart});             // 3
    o.Filters().Add({true, "EOleSysError", "", fsHandledOnly, fdMsStyle, fhFullReport, caNone});            // 4
    o.Filters().Add({true, "runtime_error", "", fsAnyException, fdMsStyle, fhFrameworkOnly, caNone});      // 5

    const TExceptionClassInfo abort = DescribeException(fw::EAbort());
    const TExceptionClassInfo av =
        DescribeException(fw::EExternal(L"av", fw::EExternal::Kind::AccessViolation, 0xC0000005, 0));
    const TExceptionClassInfo convert = DescribeException(fw::EConvertError(L"c"));
    const TExceptionClassInfo std = DescribeException(std::runtime_error("r"));
    const TExceptionClassInfo activeX = DescribeException(TActiveXException("x", "EOleError", {"EOleSysError"}));
    const TExceptionClassInfo activeXOther = DescribeException(TActiveXException("x", "EOleError", {"eolesyserror"}));

    const struct {
        const char* what;
        const TExceptionClassInfo& e;
        bool handled;
        int expected;
    } cases[] = {
        {"disabled filter skipped, trimmed name matches", abort, false, 1},
        {"scope 1 with a handled exception", av, true, 2},
        {"scope 1 skips an unhandled one; ancestor name, any case", av, false, 3},
        {"no filter for the class or its ancestors", convert, false, -1},
        {"foreign exception by its type name", std, true, 5},
        {"ActiveX by its class list, scope ignored", activeX, false, 4},
        {"ActiveX names compare exactly", activeXOther, true, -1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FindMatchingFilter(o, c.e, c.handled), c.expected) << c.what;
    }
    o.SetFiltersEnabled(false);
    EXPECT_EQ(FindMatchingFilter(o, abort, false), -1);
}

TEST(DrevnikOptions, LogFilePathRules) {
    TestFolder root("logpath");
    TestAppData appData(root);
    const std::string program = ChangeFileExt(ExtractFileName(GetProgramFileName()), "");
    TDrevnikModuleOptions o("");

    o.SetOutputPath(root.Path() + "logs");
    EXPECT_EQ(o.GetLogFilePath("C:\\elsewhere\\App.dvf"), root.Path() + "logs\\App.dvf");
    EXPECT_TRUE(FolderExists(root.Path() + "logs"));

    o.SetOutputPath(root.Path() + "custom\\Shared.DVF");
    EXPECT_EQ(o.GetLogFilePath("C:\\elsewhere\\App.dvf"), root.Path() + "custom\\Shared.DVF");
    EXPECT_TRUE(FolderExists(root.Path() + "custom"));

    o.SetOutputPath("");
    EXPECT_EQ(o.GetLogFilePath(root.Path() + "own\\App.dvf"), root.Path() + "own\\App.dvf");

    // A folder that cannot be made (a file stands in its way) moves the log.
    ASSERT_TRUE(WriteWholeFile(root.Path() + "file", "x"));
    EXPECT_EQ(o.GetLogFilePath(root.Path() + "file\\App.dvf"),
              GetLibraryAppDataFolder() + "\\" + program + "\\App.dvf");

    o.SetModuleName(root.Path() + "bin\\App.vshost.exe");
    EXPECT_EQ(o.GetModuleLogFileName(), root.Path() + "bin\\App.dvf");
    o.SetLogFlags(lgComputerNameInLogName);
    EXPECT_EQ(o.GetModuleLogFileName(), root.Path() + "bin\\App_" + GetSafeComputerName() + ".dvf");
    EXPECT_EQ(o.GetModuleLogFileName(root.Path() + "x\\Named.exe"),
              root.Path() + "x\\Named_" + GetSafeComputerName() + ".dvf");

    EXPECT_EQ(MakeSafeComputerName("PC:1*?\"/\\<>|"), "PC_1________");
    EXPECT_EQ(MakeSafeComputerName("WORKSTATION-7"), "WORKSTATION-7");
}

}  // namespace
}  // namespace drevnik

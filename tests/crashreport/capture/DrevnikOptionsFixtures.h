// Options objects for the capture tests.
#pragma once

#include "crashreport/capture/DrevnikOptions.h"

namespace drevnik {

// Counts publications instead of publishing.
class CountingOptions : public TDrevnikModuleOptions {
public:
    explicit CountingOptions(std::string moduleName = {}) : TDrevnikModuleOptions(std::move(moduleName)) {}
    void NotifyChanged() override { ++published; }
    int published = 0;
};

// Gives every field a value other than its default, the way an application's
// options would differ; `tag` varies the texts.
inline void FillEveryField(TDrevnikModuleOptions& o, const std::string& tag = "x") {
    o.SetSmtpFrom("from@" + tag + ".example");
    o.SetSmtpHost("smtp." + tag + ".example");
    o.SetSmtpPort(2525);
    o.SetSmtpUser("smtp user");
    o.SetSmtpPassword("smtp \xE9 secret");
    o.SetProxyUrl("proxy." + tag + ".example");
    o.SetProxyPort(3128);
    o.SetProxyUser("proxy user");
    o.SetProxyPassword("proxy secret");
    o.SetTrackerUser("tracker user");
    o.SetTrackerPassword("tracker secret");
    o.SetTrackerAssignTo("developer");
    o.SetTrackerProject("Quorvex");
    o.SetTrackerCategory("Crash");
    o.SetTrackerTrialId("trial-7");
    o.SetZipPassword("zip secret");
    o.SetPreBuildCommand("pre");
    o.SetPostBuildSuccessCommand("post ok");
    o.SetPostBuildFailureCommand("post failed");
    o.SetBuildFlags(0x81);
    o.SetTerminateButtonAction(caTerminate);
    o.SetFreezeWatch(true);
    o.SetFreezeTimeout(95);
    o.SetReportItemMask(0xA5A5'5A5A'F00Full);
    o.SetDialogKind(dkFull);
    o.SetTextsLanguage("Nederlands");
    o.SetActivationMark(true);
    o.SetFiltersEnabled(false);
    o.SetAppendReportToMessage(true);
    o.SetWriteLogFile(false);
    o.SetLogFlags(0x2D);
    o.SetSendFlags(0x03A6);
    o.SetStartPage(dpAssembler);
    o.SetLogKeepCount(7);
    o.SetTerminateButtonAfter(11);
    o.SetOutputPath("C:\\Logs\\" + tag);
    o.SetEmailRecipients("a@example.com;b@example.com");
    o.SetEmailSubject("Crash of " + tag);
    o.SetEmailMessage("Line one\r\nLine two");
    o.SetEmailMode(emSmtpDirect);
    o.SetWebMode(wmMantis);
    o.SetAttachFiles("%TEMP%\\a.txt;b.txt");
    o.SetDialogOptions(0x0271);
    o.SetAutoCloseSecs(30);
    o.SetSupportUrl("http://support.example/" + tag);
    o.SetHtmlPageTemplate("<p><%HTML_TAG%></p>");
    o.SetAutoCrashAction(caTerminate);
    o.SetAutoCrashCount(4);
    o.SetAutoCrashMinutes(9);
    o.SetStackFlags(0x05);
    o.SetBehaviourFlags(0x01A3);
    o.StoreLeakFlags(0x41);
    o.SetWebUrl("http://bugs.example/" + tag);
    o.SetWebPort(8081);
    o.SetWebPassword("web secret");
    o.SetWebUser("web user");
    o.SetReproduceText("clicked twice");
    o.SetActive(false);
    for (int i = 0; i < static_cast<int>(kCustomizedTextCount); ++i) {
        o.SetText(i, "Text " + std::to_string(i) + " " + tag);
    }
    o.Filters().Clear();
    o.Filters().Add({true, "EAccessViolation", "Memory fault in %_ExceptModuleName%", fsUnhandledOnly, fdMsStyle,
                     fhFullReport, caRestart});
    o.Filters().Add({false, "EAbort", "", fsAnyException, fdNoDialog, fhIgnore, caNone});
}

}  // namespace drevnik

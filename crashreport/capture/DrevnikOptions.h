// The options of one module that carries the crash-report library: what the
// library does for it, which report items it writes, how it sends, its
// exception filters and its 158 texts. Every setter publishes the change
// (Changed, bracketed by BeginUpdate/EndUpdate); only the options of the
// module that holds this copy of the library publish.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "crashreport/capture/DrevnikSystem.h"
#include "crashreport/capture/DrevnikTexts.h"

namespace drevnik {

class TDrevnikByteReader;

// ---- Enumerations --------------------------------------------------------------

enum TCloseAction : uint8_t { caNone = 0, caTerminate = 1, caRestart = 2 };
enum TDialogKind : uint8_t { dkNone = 0, dkMessageBox = 1, dkMsStyle = 2, dkFull = 3 };
enum TEmailMode : uint8_t { emNone = 0, emClient = 1, emSmtpClient = 2, emSmtpDirect = 3 };
enum TWebMode : uint8_t { wmNone = 0, wmHttp = 1, wmHttps = 2, wmFtp = 3, wmBugzilla = 4, wmFogBugz = 5, wmMantis = 6 };
// StartPage: the detail page shown first.
enum TDetailPage : uint8_t { dpGeneral = 0, dpCallStack = 1, dpModules = 2, dpProcesses = 3, dpAssembler = 4, dpCpu = 5 };

// ---- Option sets (masks) ---------------------------------------------------------

// LogFlags
constexpr uint8_t lgCountDuplicates = 1u << 0;
constexpr uint8_t lgAskReproduceSteps = 1u << 1;
constexpr uint8_t lgNewLogOnVersionChange = 1u << 2;
constexpr uint8_t lgComputerNameInLogName = 1u << 3;
constexpr uint8_t lgModulesAndProcesses = 1u << 4;
constexpr uint8_t lgAssemblerAndCpu = 1u << 5;

// SendFlags
constexpr uint16_t sdShowProgress = 1u << 0;
constexpr uint16_t sdShowResult = 1u << 1;
constexpr uint16_t sdWholeLog = 1u << 2;
constexpr uint16_t sdAttachXml = 1u << 3;
constexpr uint16_t sdAttachScreenshot = 1u << 4;
constexpr uint16_t sdScreenshotActiveOnly = 1u << 5;
constexpr uint16_t sdAttachLastHtmlPage = 1u << 6;
constexpr uint16_t sdSendInThread = 1u << 7;
constexpr uint16_t sdStampDateTime = 1u << 8;
constexpr uint16_t sdStampComputerName = 1u << 9;

// DialogFlags
constexpr uint16_t dgSendChecked = 1u << 0;
constexpr uint16_t dgScreenshotChecked = 1u << 1;
constexpr uint16_t dgShowCopyCheck = 1u << 2;
constexpr uint16_t dgShowDetailsButton = 1u << 3;
constexpr uint16_t dgOpenDetailed = 1u << 4;
constexpr uint16_t dgTopMost = 1u << 5;
constexpr uint16_t dgOwnLook = 1u << 6;
constexpr uint16_t dgShowSendCheck = 1u << 7;
constexpr uint16_t dgShowScreenshotCheck = 1u << 8;
constexpr uint16_t dgShowHelpButton = 1u << 9;

// StackFlags
constexpr uint8_t stProcNameEntries = 1u << 0;
constexpr uint8_t stUnitProcEntries = 1u << 1;
constexpr uint8_t stFrameworkThreads = 1u << 2;
constexpr uint8_t stOtherThreads = 1u << 3;
constexpr uint8_t stConvertedMark = 1u << 4;

// BehaviourFlags
constexpr uint16_t bhPauseFrameworkThreads = 1u << 0;
constexpr uint16_t bhKeepMainThreadRunning = 1u << 1;
constexpr uint16_t bhPauseOtherThreads = 1u << 2;
constexpr uint16_t bhUseMainModuleOptions = 1u << 3;
constexpr uint16_t bhClipboardOnSendFailure = 1u << 4;
constexpr uint16_t bhKeepZipOnSendFailure = 1u << 5;
constexpr uint16_t bhSafecallExceptions = 1u << 6;
constexpr uint16_t bhCallFrameworkHandler = 1u << 7;
constexpr uint16_t bhReportHandledExceptions = 1u << 8;

// ReportItemMask: bit n shows item n of the report's general part.
constexpr uint64_t kAllReportItems = (uint64_t{1} << 48) - 1;
constexpr uint64_t ReportItemBit(int bit) { return uint64_t{1} << bit; }
constexpr uint64_t riItem1_1 = ReportItemBit(0), riItem1_2 = ReportItemBit(1), riItem1_3 = ReportItemBit(2),
                   riItem1_4 = ReportItemBit(3), riItem1_5 = ReportItemBit(4), riItem1_6 = ReportItemBit(5);
constexpr uint64_t riItem2_1 = ReportItemBit(6), riItem2_2 = ReportItemBit(7), riItem2_3 = ReportItemBit(8),
                   riItem2_4 = ReportItemBit(9), riItem2_5 = ReportItemBit(10), riItem2_6 = ReportItemBit(11),
                   riItem2_7 = ReportItemBit(12), riItem2_8 = ReportItemBit(13), riItem2_9 = ReportItemBit(14),
                   riItem2_10 = ReportItemBit(15);
constexpr uint64_t riItem3_1 = ReportItemBit(16), riItem3_2 = ReportItemBit(17), riItem3_3 = ReportItemBit(18),
                   riItem3_5 = ReportItemBit(19), riItem3_4 = ReportItemBit(20);
constexpr uint64_t riItem4_1 = ReportItemBit(21), riItem4_2 = ReportItemBit(22), riItem4_3 = ReportItemBit(23),
                   riItem4_4 = ReportItemBit(24);
constexpr uint64_t riItem5_1 = ReportItemBit(25), riItem5_2 = ReportItemBit(26), riItem5_3 = ReportItemBit(27),
                   riItem5_4 = ReportItemBit(28), riItem5_5 = ReportItemBit(29), riItem5_6 = ReportItemBit(30),
                   riItem5_7 = ReportItemBit(31), riItem5_8 = ReportItemBit(32), riItem5_9 = ReportItemBit(33),
                   riItem5_10 = ReportItemBit(34), riItem5_11 = ReportItemBit(35);
constexpr uint64_t riItem6_1 = ReportItemBit(36), riItem6_2 = ReportItemBit(37), riItem6_3 = ReportItemBit(38),
                   riItem6_4 = ReportItemBit(39), riItem6_5 = ReportItemBit(40);
constexpr uint64_t riItem7_1 = ReportItemBit(41), riItem7_2 = ReportItemBit(42), riItem7_3 = ReportItemBit(43),
                   riItem7_4 = ReportItemBit(44), riItem7_5 = ReportItemBit(45), riItem7_6 = ReportItemBit(46);
constexpr uint64_t riCustomData = ReportItemBit(47);

// ---- Exception filters -----------------------------------------------------------

enum TFilterScope : uint8_t { fsAnyException = 0, fsHandledOnly = 1, fsUnhandledOnly = 2 };
enum TFilterDialog : uint8_t { fdNoDialog = 0, fdOptionsDialog = 1, fdMessageBox = 2, fdMsStyle = 3, fdFull = 4 };
enum TFilterHandling : uint8_t { fhIgnore = 0, fhFrameworkOnly = 1, fhFullReport = 2 };

struct TDrevnikExceptionFilter {
    bool Enabled = true;
    std::string ExceptClass;     // class name the filter applies to
    std::string ReplaceMessage;  // shown instead of the message when not empty after %NAME% expansion
    uint8_t Scope = fsAnyException;
    uint8_t DialogChoice = fdOptionsDialog;
    uint8_t Handling = fhFullReport;
    uint8_t CloseAction = caNone;  // with Handling 2

    bool operator==(const TDrevnikExceptionFilter&) const = default;
};

class TDrevnikModuleOptions;

// The filters of one options object, which it owns; Add, Delete and Clear
// publish through the owner.
class TDrevnikExceptionsFilters {
public:
    explicit TDrevnikExceptionsFilters(TDrevnikModuleOptions* owner) : owner_(owner) {}
    TDrevnikExceptionsFilters(const TDrevnikExceptionsFilters&) = delete;
    TDrevnikExceptionsFilters& operator=(const TDrevnikExceptionsFilters&) = delete;

    int Add(const TDrevnikExceptionFilter& filter);
    void Delete(int index);  // fw::EInvalidOperation for an index outside the list
    void Clear();
    void Assign(const TDrevnikExceptionsFilters& source);
    const TDrevnikExceptionFilter& GetItem(int index) const;
    int Count() const { return static_cast<int>(items_.size()); }
    const std::vector<TDrevnikExceptionFilter>& Items() const { return items_; }

private:
    friend class TDrevnikModuleOptions;
    void CheckIndex(int index) const;

    TDrevnikModuleOptions* owner_;
    std::vector<TDrevnikExceptionFilter> items_;
};

// ---- Option values -------------------------------------------------------------------

// Every value of an options object except the update counter, the owning
// module's name and handle and the filters. The member initializers are the
// defaults.
struct TDrevnikOptionValues {
    std::string SmtpFrom = "crashreport@example.com";
    std::string SmtpHost;
    std::string SmtpUser;
    std::string SmtpPassword;
    uint16_t SmtpPort = 25;
    std::string ProxyUrl;
    std::string ProxyUser;
    std::string ProxyPassword;
    uint16_t ProxyPort = 8080;
    std::string TrackerUser;
    std::string TrackerPassword;
    std::string TrackerAssignTo;
    std::string TrackerProject;
    std::string TrackerCategory;
    std::string TrackerTrialId;
    std::string ZipPassword;
    std::string PreBuildCommand;          // kept and copied only; not stored
    std::string PostBuildSuccessCommand;  // kept and copied only; not stored
    std::string PostBuildFailureCommand;  // kept and copied only; not stored
    uint8_t BuildFlags = 1;
    uint8_t TerminateButtonAction = caRestart;
    bool FreezeWatchEnabled = false;
    int32_t FreezeTimeoutSecs = 60;
    uint64_t ReportItemMask = kAllReportItems;
    uint8_t DialogKind = dkMsStyle;
    TCustomizedTexts Texts = MakeDefaultTexts();
    std::string TextsLanguage = "English";
    bool ActivationMark = false;
    bool FiltersEnabled = true;
    bool AppendReportToMessage = false;
    bool WriteLogFile = true;
    uint8_t LogFlags = lgModulesAndProcesses | lgAssemblerAndCpu;
    uint16_t SendFlags = sdShowProgress | sdAttachScreenshot | sdAttachLastHtmlPage;
    uint8_t StartPage = dpGeneral;
    int32_t LogKeepCount = 32;
    int32_t TerminateButtonAfter = 3;
    std::string OutputPath;
    std::string EmailRecipients;
    std::string EmailSubject;
    std::string EmailMessage;
    uint8_t EmailMode = emNone;
    uint8_t WebMode = wmNone;
    std::string AttachFiles;
    uint16_t DialogFlags = dgSendChecked | dgScreenshotChecked | dgShowCopyCheck | dgShowDetailsButton |
                           dgShowSendCheck | dgShowScreenshotCheck;
    int32_t AutoCloseSecs = 0;
    std::string SupportUrl;
    std::string HtmlPageTemplate = DefaultHtmlPageTemplate();
    uint8_t AutoCrashAction = caRestart;
    uint32_t AutoCrashCount = 10;
    int32_t AutoCrashMinutes = 1;
    uint8_t StackFlags = stProcNameEntries | stUnitProcEntries | stFrameworkThreads | stOtherThreads;
    uint16_t BehaviourFlags = bhUseMainModuleOptions | bhClipboardOnSendFailure | bhSafecallExceptions;
    uint8_t LeakFlags = 0x1E;
    std::string WebUrl;
    int32_t WebPort = 0;
    std::string WebPassword;
    std::string WebUser;
    std::string ReproduceText;  // set by the dialogs; not stored
    bool Active = true;

    static TCustomizedTexts MakeDefaultTexts() {
        TCustomizedTexts texts;
        FillDefaultTexts(texts);
        return texts;
    }
    // The web error page; "<%HTML_TAG%>" stands for the message.
    static std::string DefaultHtmlPageTemplate();

    bool operator==(const TDrevnikOptionValues&) const = default;
};

// ---- Options object ---------------------------------------------------------------------

class TDrevnikModuleOptions {
public:
    // Stores the module's file name and looks up its handle (0 when the name
    // is empty or no such module is loaded), then sets the defaults.
    explicit TDrevnikModuleOptions(std::string moduleName);
    virtual ~TDrevnikModuleOptions();
    TDrevnikModuleOptions(const TDrevnikModuleOptions&) = delete;
    TDrevnikModuleOptions& operator=(const TDrevnikModuleOptions&) = delete;

    virtual void SetActive(bool value);
    virtual void SetFreezeWatch(bool value);
    // Copies everything but ModuleName, ModuleHandle and Active; publishes
    // once. Raises fw::EConvertError for nullptr; nothing for itself.
    virtual void Assign(const TDrevnikModuleOptions* source);
    virtual void SetDefaults();
    // Appends the current layout (version 6000 and later).
    virtual void SaveToStream(std::string& stream) const;
    // Creates or overwrites the file; fw::EInOutError when it cannot.
    virtual void SaveToFile(std::string_view fileName) const;
    // Reads the layout that OptionsLayoutVersion() names (see LoadFromStreamAs).
    virtual void LoadFromStream(TDrevnikByteReader& stream);
    // Opens the file denying others write access; fw::EInOutError when it
    // cannot, EDrevnikStreamError for bad contents.
    virtual void LoadFromFile(std::string_view fileName);
    virtual void NotifyChanged() {}
    virtual void ReloadShared() {}

    // Reads the layout of `version`. The stream is read into a copy first:
    // bad or cut data raises EDrevnikStreamError and leaves these options
    // untouched and unpublished; a good stream replaces the stored fields and
    // publishes once.
    void LoadFromStreamAs(TDrevnikByteReader& stream, uint16_t version);

    void BeginUpdate() { ++updateCount_; }
    void EndUpdate() { --updateCount_; }
    int32_t UpdateCount() const { return updateCount_; }
    // Publishes (NotifyChanged) outside BeginUpdate/EndUpdate, and only for
    // the options of the module that holds this copy of the library.
    void Changed();

    // Text `index` with %NAME% variables expanded; empty outside 0..157.
    std::string GetText(int index) const;
    void SetText(int index, std::string text);

    // Where the log file goes for the file name `fileName` (see the .cpp).
    std::string GetLogFilePath(std::string_view fileName) const;
    // The log file of this module (or of `fileName`): extension ".dvf",
    // placed by GetLogFilePath, with "_" and the computer name before the
    // extension when lgComputerNameInLogName is set.
    std::string GetModuleLogFileName(std::string_view fileName = {}) const;

    const TDrevnikOptionValues& Values() const { return v_; }
    TDrevnikExceptionsFilters& Filters() { return filters_; }
    const TDrevnikExceptionsFilters& Filters() const { return filters_; }

    const std::string& ModuleName() const { return moduleName_; }
    TModuleHandle ModuleHandle() const { return moduleHandle_; }
    const std::string& SmtpFrom() const { return v_.SmtpFrom; }
    const std::string& SmtpHost() const { return v_.SmtpHost; }
    const std::string& SmtpUser() const { return v_.SmtpUser; }
    const std::string& SmtpPassword() const { return v_.SmtpPassword; }
    uint16_t SmtpPort() const { return v_.SmtpPort; }
    const std::string& ProxyUrl() const { return v_.ProxyUrl; }
    const std::string& ProxyUser() const { return v_.ProxyUser; }
    const std::string& ProxyPassword() const { return v_.ProxyPassword; }
    uint16_t ProxyPort() const { return v_.ProxyPort; }
    const std::string& TrackerUser() const { return v_.TrackerUser; }
    const std::string& TrackerPassword() const { return v_.TrackerPassword; }
    const std::string& TrackerAssignTo() const { return v_.TrackerAssignTo; }
    const std::string& TrackerProject() const { return v_.TrackerProject; }
    const std::string& TrackerCategory() const { return v_.TrackerCategory; }
    const std::string& TrackerTrialId() const { return v_.TrackerTrialId; }
    const std::string& ZipPassword() const { return v_.ZipPassword; }
    const std::string& PreBuildCommand() const { return v_.PreBuildCommand; }
    const std::string& PostBuildSuccessCommand() const { return v_.PostBuildSuccessCommand; }
    const std::string& PostBuildFailureCommand() const { return v_.PostBuildFailureCommand; }
    uint8_t BuildFlags() const { return v_.BuildFlags; }
    uint8_t TerminateButtonAction() const { return v_.TerminateButtonAction; }
    bool FreezeWatchEnabled() const { return v_.FreezeWatchEnabled; }
    int32_t FreezeTimeoutSecs() const { return v_.FreezeTimeoutSecs; }
    uint64_t ReportItemMask() const { return v_.ReportItemMask; }
    uint8_t DialogKind() const { return v_.DialogKind; }
    const TCustomizedTexts& Texts() const { return v_.Texts; }
    const std::string& TextsLanguage() const { return v_.TextsLanguage; }
    bool ActivationMark() const { return v_.ActivationMark; }
    bool FiltersEnabled() const { return v_.FiltersEnabled; }
    bool AppendReportToMessage() const { return v_.AppendReportToMessage; }
    bool WriteLogFile() const { return v_.WriteLogFile; }
    uint8_t LogFlags() const { return v_.LogFlags; }
    uint16_t SendFlags() const { return v_.SendFlags; }
    uint8_t StartPage() const { return v_.StartPage; }
    int32_t LogKeepCount() const { return v_.LogKeepCount; }
    int32_t TerminateButtonAfter() const { return v_.TerminateButtonAfter; }
    const std::string& OutputPath() const { return v_.OutputPath; }
    const std::string& EmailRecipients() const { return v_.EmailRecipients; }
    const std::string& EmailSubject() const { return v_.EmailSubject; }
    const std::string& EmailMessage() const { return v_.EmailMessage; }
    uint8_t EmailMode() const { return v_.EmailMode; }
    uint8_t WebMode() const { return v_.WebMode; }
    const std::string& AttachFiles() const { return v_.AttachFiles; }
    uint16_t DialogFlags() const { return v_.DialogFlags; }
    int32_t AutoCloseSecs() const { return v_.AutoCloseSecs; }
    const std::string& SupportUrl() const { return v_.SupportUrl; }
    const std::string& HtmlPageTemplate() const { return v_.HtmlPageTemplate; }
    uint8_t AutoCrashAction() const { return v_.AutoCrashAction; }
    uint32_t AutoCrashCount() const { return v_.AutoCrashCount; }
    int32_t AutoCrashMinutes() const { return v_.AutoCrashMinutes; }
    uint8_t StackFlags() const { return v_.StackFlags; }
    uint16_t BehaviourFlags() const { return v_.BehaviourFlags; }
    uint8_t LeakFlags() const { return v_.LeakFlags; }
    const std::string& WebUrl() const { return v_.WebUrl; }
    int32_t WebPort() const { return v_.WebPort; }
    const std::string& WebPassword() const { return v_.WebPassword; }
    const std::string& WebUser() const { return v_.WebUser; }
    const std::string& ReproduceText() const { return v_.ReproduceText; }
    bool Active() const { return v_.Active; }

    void SetSmtpFrom(std::string value) { Store(v_.SmtpFrom, std::move(value)); }
    void SetSmtpHost(std::string value) { Store(v_.SmtpHost, std::move(value)); }
    void SetSmtpPort(uint16_t value) { Store(v_.SmtpPort, value); }
    void SetSmtpUser(std::string value) { Store(v_.SmtpUser, std::move(value)); }
    void SetSmtpPassword(std::string value) { Store(v_.SmtpPassword, std::move(value)); }
    void SetProxyUrl(std::string value) { Store(v_.ProxyUrl, std::move(value)); }
    void SetProxyPort(uint16_t value) { Store(v_.ProxyPort, value); }
    void SetProxyUser(std::string value) { Store(v_.ProxyUser, std::move(value)); }
    void SetProxyPassword(std::string value) { Store(v_.ProxyPassword, std::move(value)); }
    void SetTrackerUser(std::string value) { Store(v_.TrackerUser, std::move(value)); }
    void SetTrackerPassword(std::string value) { Store(v_.TrackerPassword, std::move(value)); }
    void SetTrackerAssignTo(std::string value) { Store(v_.TrackerAssignTo, std::move(value)); }
    void SetTrackerProject(std::string value) { Store(v_.TrackerProject, std::move(value)); }
    void SetTrackerCategory(std::string value) { Store(v_.TrackerCategory, std::move(value)); }
    void SetTrackerTrialId(std::string value) { Store(v_.TrackerTrialId, std::move(value)); }
    void SetZipPassword(std::string value) { Store(v_.ZipPassword, std::move(value)); }
    void SetPreBuildCommand(std::string value) { Store(v_.PreBuildCommand, std::move(value)); }
    void SetPostBuildSuccessCommand(std::string value) { Store(v_.PostBuildSuccessCommand, std::move(value)); }
    void SetPostBuildFailureCommand(std::string value) { Store(v_.PostBuildFailureCommand, std::move(value)); }
    void SetBuildFlags(uint8_t value) { Store(v_.BuildFlags, value); }
    void SetTerminateButtonAction(uint8_t value) { Store(v_.TerminateButtonAction, value); }
    void SetFreezeTimeout(int32_t value) { Store(v_.FreezeTimeoutSecs, value); }
    void SetModuleName(std::string value) { Store(moduleName_, std::move(value)); }
    void SetModuleHandle(TModuleHandle value) { Store(moduleHandle_, value); }
    void SetReportItemMask(uint64_t value) { Store(v_.ReportItemMask, value & kAllReportItems); }
    void SetDialogKind(uint8_t value) { Store(v_.DialogKind, value); }
    void SetTextsLanguage(std::string value) { Store(v_.TextsLanguage, std::move(value)); }
    void SetActivationMark(bool value) { Store(v_.ActivationMark, value); }
    void SetFiltersEnabled(bool value) { Store(v_.FiltersEnabled, value); }
    void SetAppendReportToMessage(bool value) { Store(v_.AppendReportToMessage, value); }
    void SetWriteLogFile(bool value) { Store(v_.WriteLogFile, value); }
    void SetLogFlags(uint8_t value) { Store(v_.LogFlags, value); }
    void SetSendFlags(uint16_t value) { Store(v_.SendFlags, value); }
    void SetStartPage(uint8_t value) { Store(v_.StartPage, value); }
    void SetLogKeepCount(int32_t value) { Store(v_.LogKeepCount, value < 1 ? 1 : value); }
    void SetTerminateButtonAfter(int32_t value) { Store(v_.TerminateButtonAfter, value); }
    void SetOutputPath(std::string value) { Store(v_.OutputPath, std::move(value)); }
    void SetEmailRecipients(std::string value) { Store(v_.EmailRecipients, std::move(value)); }
    void SetEmailSubject(std::string value) { Store(v_.EmailSubject, std::move(value)); }
    void SetEmailMessage(std::string value) { Store(v_.EmailMessage, std::move(value)); }
    void SetEmailMode(uint8_t value) { Store(v_.EmailMode, value); }
    void SetWebMode(uint8_t value) { Store(v_.WebMode, value); }
    void SetAttachFiles(std::string value) { Store(v_.AttachFiles, std::move(value)); }
    void SetDialogOptions(uint16_t value) { Store(v_.DialogFlags, value); }
    void SetAutoCloseSecs(int32_t value) { Store(v_.AutoCloseSecs, value); }
    void SetSupportUrl(std::string value) { Store(v_.SupportUrl, std::move(value)); }
    void SetHtmlPageTemplate(std::string value) { Store(v_.HtmlPageTemplate, std::move(value)); }
    void SetAutoCrashAction(uint8_t value) { Store(v_.AutoCrashAction, value); }
    void SetAutoCrashCount(uint32_t value) { Store(v_.AutoCrashCount, value); }
    void SetAutoCrashMinutes(int32_t value) { Store(v_.AutoCrashMinutes, value); }
    void SetStackFlags(uint8_t value) { Store(v_.StackFlags, value); }
    void SetBehaviourFlags(uint16_t value) { Store(v_.BehaviourFlags, value); }
    void SetWebUrl(std::string value) { Store(v_.WebUrl, std::move(value)); }
    void SetWebPort(int32_t value) { Store(v_.WebPort, value); }
    void SetWebPassword(std::string value) { Store(v_.WebPassword, std::move(value)); }
    void SetWebUser(std::string value) { Store(v_.WebUser, std::move(value)); }
    void SetReproduceText(std::string value) { Store(v_.ReproduceText, std::move(value)); }
    // LeakFlags has no setter of its own: stored as is, nothing published.
    void StoreLeakFlags(uint8_t value) { v_.LeakFlags = value; }

protected:
    template <class T, class V>
    void Store(T& field, V&& value) {
        field = std::forward<V>(value);
        Changed();
    }
    // The value behind Active and FreezeWatchEnabled, for the overrides.
    TDrevnikOptionValues& MutableValues() { return v_; }

private:
    int32_t updateCount_ = 0;
    std::string moduleName_;
    TModuleHandle moduleHandle_ = 0;
    TDrevnikExceptionsFilters filters_{this};
    TDrevnikOptionValues v_;
};

// The class the library creates: the options of the library's own module
// start and stop the freeze watchdog with Active and FreezeWatchEnabled, and
// every change is published in the module's shared block.
class TDrevnikModuleOptionsEx : public TDrevnikModuleOptions {
public:
    using TDrevnikModuleOptions::TDrevnikModuleOptions;
    void SetActive(bool value) override;
    void SetFreezeWatch(bool value) override;
    void NotifyChanged() override;
    void ReloadShared() override;

private:
    void UpdateFreezeWatchdog();
};

// ---- Module-level operations ----------------------------------------------------------

// Which options object belongs to the module holding this copy of the
// library: filled by the module list once the module's record exists.
using TCurrentOptionsProvider = TDrevnikModuleOptionsEx* (*)();
void SetCurrentOptionsProvider(TCurrentOptionsProvider provider);
// nullptr while the library is not active in this module.
TDrevnikModuleOptionsEx* FindCurrentDrevnikLogOptions();
// Raises EAssertionFailed while the library is not active in this module.
TDrevnikModuleOptionsEx& CurrentDrevnikLogOptions();

// The freeze watchdog's start and stop, filled in by the library's start-up.
void SetFreezeWatchdogControl(void (*start)(), void (*stop)());

// "_" stands in for the double quote and * / : < > ? \ | of a computer name.
std::string MakeSafeComputerName(std::string_view name);
std::string GetSafeComputerName();

}  // namespace drevnik

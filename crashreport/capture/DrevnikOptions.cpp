#include "crashreport/capture/DrevnikOptions.h"

#include <atomic>

#include "crashreport/capture/DrevnikByteReader.h"
#include "crashreport/capture/DrevnikCore.h"
#include "crashreport/capture/DrevnikShared.h"
#include "crashreport/capture/DrevnikUtils.h"
#include "framework/core/exceptions.h"
#include "framework/core/text_codec.h"

namespace drevnik {
namespace {

std::atomic<TCurrentOptionsProvider> gCurrentOptionsProvider{nullptr};
std::atomic<void (*)()> gStartFreezeWatchdog{nullptr};
std::atomic<void (*)()> gStopFreezeWatchdog{nullptr};

// Counts a bulk operation as one change: nothing is published inside.
class UpdateScope {
public:
    explicit UpdateScope(TDrevnikModuleOptions& options) : options_(options) { options_.BeginUpdate(); }
    ~UpdateScope() { options_.EndUpdate(); }
    UpdateScope(const UpdateScope&) = delete;
    UpdateScope& operator=(const UpdateScope&) = delete;

private:
    TDrevnikModuleOptions& options_;
};

TModuleHandle OwnModule() {
    static const TModuleHandle own = LibraryModuleHandle();
    return own;
}

bool EndsWith(std::string_view text, std::string_view tail) {
    return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

}  // namespace

// ---- Filters -----------------------------------------------------------------------

int TDrevnikExceptionsFilters::Add(const TDrevnikExceptionFilter& filter) {
    items_.push_back(filter);
    owner_->Changed();
    return Count() - 1;
}

void TDrevnikExceptionsFilters::CheckIndex(int index) const {
    if (index < 0 || index >= Count()) {
        throw fw::EInvalidOperation(L"Exception filter index out of bounds (" + std::to_wstring(index) + L")");
    }
}

void TDrevnikExceptionsFilters::Delete(int index) {
    CheckIndex(index);
    items_.erase(items_.begin() + index);
    owner_->Changed();
}

void TDrevnikExceptionsFilters::Clear() {
    items_.clear();
    owner_->Changed();
}

void TDrevnikExceptionsFilters::Assign(const TDrevnikExceptionsFilters& source) {
    if (&source == this) {
        return;
    }
    Clear();
    for (const TDrevnikExceptionFilter& filter : source.items_) {
        Add(filter);
    }
}

const TDrevnikExceptionFilter& TDrevnikExceptionsFilters::GetItem(int index) const {
    CheckIndex(index);
    return items_[static_cast<std::size_t>(index)];
}

// ---- Options -----------------------------------------------------------------------

std::string TDrevnikOptionValues::DefaultHtmlPageTemplate() {
    return "<html>\r\n"
           "  <head>\r\n"
           "  </head>\r\n"
           "  <body TopMargin=10 LeftMargin=10>\r\n"
           "    <table width=\"100%\" border=\"0\">\r\n"
           "      <tr>\r\n"
           "        <td nowrap>\r\n"
           "          <font face=\"Lucida Console, Courier\" size=\"2\">\r\n"
           "            <%HTML_TAG%>\r\n"
           "          </font>\r\n"
           "        </td>\r\n"
           "      </tr>\r\n"
           "    </table>\r\n"
           "  </body>\r\n"
           "</html>";
}

TDrevnikModuleOptions::TDrevnikModuleOptions(std::string moduleName)
    : moduleName_(std::move(moduleName)), moduleHandle_(FindModuleHandle(moduleName_)) {
    SetDefaults();
    updateCount_ = 0;
}

TDrevnikModuleOptions::~TDrevnikModuleOptions() { BeginUpdate(); }

void TDrevnikModuleOptions::Changed() {
    if (updateCount_ <= 0 && moduleHandle_ != 0 && moduleHandle_ == OwnModule()) {
        NotifyChanged();
    }
}

void TDrevnikModuleOptions::SetActive(bool value) { Store(v_.Active, value); }
void TDrevnikModuleOptions::SetFreezeWatch(bool value) { Store(v_.FreezeWatchEnabled, value); }

void TDrevnikModuleOptions::SetDefaults() {
    {
        UpdateScope scope(*this);
        v_ = TDrevnikOptionValues{};
        filters_.Clear();
    }
    Changed();
}

void TDrevnikModuleOptions::Assign(const TDrevnikModuleOptions* source) {
    if (source == nullptr) {
        throw fw::EConvertError(L"Impossible to assign nil as TDrevnikModuleOptions.");
    }
    if (source == this) {
        return;
    }
    {
        UpdateScope scope(*this);
        const TDrevnikOptionValues& s = source->v_;
        filters_.Assign(source->filters_);
        v_.Texts = s.Texts;
        SetTextsLanguage(s.TextsLanguage);
        SetSmtpFrom(s.SmtpFrom);
        SetSmtpHost(s.SmtpHost);
        SetSmtpPort(s.SmtpPort);
        SetSmtpUser(s.SmtpUser);
        SetSmtpPassword(s.SmtpPassword);
        SetProxyUrl(s.ProxyUrl);
        SetProxyPort(s.ProxyPort);
        SetProxyUser(s.ProxyUser);
        SetProxyPassword(s.ProxyPassword);
        SetTrackerUser(s.TrackerUser);
        SetTrackerPassword(s.TrackerPassword);
        SetTrackerAssignTo(s.TrackerAssignTo);
        SetTrackerProject(s.TrackerProject);
        SetTrackerCategory(s.TrackerCategory);
        SetTrackerTrialId(s.TrackerTrialId);
        SetZipPassword(s.ZipPassword);
        SetPreBuildCommand(s.PreBuildCommand);
        SetPostBuildSuccessCommand(s.PostBuildSuccessCommand);
        SetPostBuildFailureCommand(s.PostBuildFailureCommand);
        SetBuildFlags(s.BuildFlags);
        SetTerminateButtonAction(s.TerminateButtonAction);
        SetFreezeTimeout(s.FreezeTimeoutSecs);
        SetReportItemMask(s.ReportItemMask);
        SetDialogKind(s.DialogKind);
        SetActivationMark(s.ActivationMark);
        SetFiltersEnabled(s.FiltersEnabled);
        SetAppendReportToMessage(s.AppendReportToMessage);
        SetWriteLogFile(s.WriteLogFile);
        SetLogFlags(s.LogFlags);
        SetSendFlags(s.SendFlags);
        SetStartPage(s.StartPage);
        SetLogKeepCount(s.LogKeepCount);
        SetTerminateButtonAfter(s.TerminateButtonAfter);
        SetOutputPath(s.OutputPath);
        SetEmailRecipients(s.EmailRecipients);
        SetEmailSubject(s.EmailSubject);
        SetEmailMessage(s.EmailMessage);
        SetEmailMode(s.EmailMode);
        SetWebMode(s.WebMode);
        SetAttachFiles(s.AttachFiles);
        SetDialogOptions(s.DialogFlags);
        SetAutoCloseSecs(s.AutoCloseSecs);
        SetSupportUrl(s.SupportUrl);
        SetHtmlPageTemplate(s.HtmlPageTemplate);
        SetAutoCrashAction(s.AutoCrashAction);
        SetAutoCrashCount(s.AutoCrashCount);
        SetAutoCrashMinutes(s.AutoCrashMinutes);
        SetStackFlags(s.StackFlags);
        SetBehaviourFlags(s.BehaviourFlags);
        SetWebUrl(s.WebUrl);
        SetWebPort(s.WebPort);
        SetWebPassword(s.WebPassword);
        SetWebUser(s.WebUser);
        SetFreezeWatch(s.FreezeWatchEnabled);
        v_.LeakFlags = s.LeakFlags;
        v_.ReproduceText = s.ReproduceText;
    }
    Changed();
}

std::string TDrevnikModuleOptions::GetText(int index) const {
    if (index < 0 || index >= static_cast<int>(kCustomizedTextCount)) {
        return std::string();
    }
    return ExpandVariables(v_.Texts[static_cast<std::size_t>(index)]);
}

void TDrevnikModuleOptions::SetText(int index, std::string text) {
    if (index < 0 || index >= static_cast<int>(kCustomizedTextCount)) {
        return;
    }
    Store(v_.Texts[static_cast<std::size_t>(index)], std::move(text));
}

void TDrevnikModuleOptions::SaveToFile(std::string_view fileName) const {
    std::string data;
    SaveToStream(data);
    if (!WriteWholeFile(fileName, data)) {
        throw fw::EInOutError(L"Cannot create file \"" + fw::AnsiToWide(fileName) + L"\"");
    }
}

void TDrevnikModuleOptions::LoadFromFile(std::string_view fileName) {
    // Options streams are a few kilobytes; anything near this is no options file.
    constexpr std::size_t kMaxOptionsFile = 16u << 20;
    std::string data;
    if (!ReadWholeFile(fileName, data, kMaxOptionsFile)) {
        throw fw::EInOutError(L"Cannot open file \"" + fw::AnsiToWide(fileName) + L"\"");
    }
    TDrevnikByteReader reader(data, "Options file \"" + std::string(fileName) + "\"");
    LoadFromStream(reader);
}

// The log file path for `fileName`:
// 1. OutputPath itself when it names a ".dvf" file (any case);
// 2. else OutputPath as folder, or the folder of `fileName` when OutputPath is
//    empty, followed by the file name part of `fileName`;
// 3. its folder is created with every parent, and a place that cannot be
//    written moves into the library's application-data folder (program
//    sub-folder).
std::string TDrevnikModuleOptions::GetLogFilePath(std::string_view fileName) const {
    std::string path;
    if (EndsWith(LowerCase(v_.OutputPath), ".dvf")) {
        path = v_.OutputPath;
    } else {
        const std::string folder = v_.OutputPath.empty() ? ExtractFilePath(fileName) : AddTrailingBackslash(v_.OutputPath);
        path = folder + ExtractFileName(fileName);
    }
    ForceFolders(ExtractFilePath(path));
    EnsureWritableFile(path, true, false);
    return path;
}

std::string TDrevnikModuleOptions::GetModuleLogFileName(std::string_view fileName) const {
    const std::string name = fileName.empty() ? RemoveVsHostSuffix(moduleName_) : std::string(fileName);
    std::string path = GetLogFilePath(ChangeFileExt(name, ".dvf"));
    if ((v_.LogFlags & lgComputerNameInLogName) != 0) {
        const std::string extension = ExtractFileExt(path);
        path = ChangeFileExt(path, "") + "_" + GetSafeComputerName() + extension;
    }
    return path;
}

// ---- Run-time class ------------------------------------------------------------------

void TDrevnikModuleOptionsEx::SetActive(bool value) {
    if (this != FindCurrentDrevnikLogOptions()) {
        TDrevnikModuleOptions::SetActive(value);
        return;
    }
    if (Active() != value) {
        TDrevnikModuleOptions::SetActive(value);
        UpdateFreezeWatchdog();
    }
}

void TDrevnikModuleOptionsEx::SetFreezeWatch(bool value) {
    if (this != FindCurrentDrevnikLogOptions()) {
        TDrevnikModuleOptions::SetFreezeWatch(value);
        return;
    }
    if (FreezeWatchEnabled() != value) {
        TDrevnikModuleOptions::SetFreezeWatch(value);
        UpdateFreezeWatchdog();
    }
}

void TDrevnikModuleOptionsEx::UpdateFreezeWatchdog() {
    const auto control = Active() && FreezeWatchEnabled() ? gStartFreezeWatchdog.load() : gStopFreezeWatchdog.load();
    if (control != nullptr) {
        control();
    }
}

void TDrevnikModuleOptionsEx::NotifyChanged() { PublishSharedOptions(this); }
void TDrevnikModuleOptionsEx::ReloadShared() { LoadSharedOptions(this); }

// ---- Module level ----------------------------------------------------------------------

void SetCurrentOptionsProvider(TCurrentOptionsProvider provider) { gCurrentOptionsProvider.store(provider); }

TDrevnikModuleOptionsEx* FindCurrentDrevnikLogOptions() {
    const TCurrentOptionsProvider provider = gCurrentOptionsProvider.load();
    return provider != nullptr ? provider() : nullptr;
}

TDrevnikModuleOptionsEx& CurrentDrevnikLogOptions() {
    if (TDrevnikModuleOptionsEx* options = FindCurrentDrevnikLogOptions()) {
        return *options;
    }
    throw EAssertionFailed(fw::AnsiToWide(
        "\r\nCannot use 'CurrentDrevnikLogOptions' function in module \"" +
        ExtractFileName(GetLibraryModuleFileName()) +
        "\" without activate DrevnikLog.\r\nTo activate DrevnikLog use the new IDE \"Project/DrevnikLog Options...\" "
        "menu. (ExceptionLog)"));
}

void SetFreezeWatchdogControl(void (*start)(), void (*stop)()) {
    gStartFreezeWatchdog.store(start);
    gStopFreezeWatchdog.store(stop);
}

std::string MakeSafeComputerName(std::string_view name) {
    std::string result(name);
    for (char& c : result) {
        if (std::string_view("\"*/:<>?\\|").find(c) != std::string_view::npos) {
            c = '_';
        }
    }
    return result;
}

std::string GetSafeComputerName() { return MakeSafeComputerName(GetComputerNameText()); }

}  // namespace drevnik

#include "crashreport/capture/DrevnikOptionsStream.h"

#include <atomic>
#include <utility>
#include <vector>

#include "crashreport/capture/DrevnikByteReader.h"
#include "crashreport/capture/DrevnikOptions.h"

namespace drevnik {
namespace {

std::atomic<uint16_t> gOptionsLayoutVersion{kOwnOptionsLayoutVersion};

template <class T>
void SetBit(T& flags, T mask, bool on) {
    flags = on ? static_cast<T>(flags | mask) : static_cast<T>(flags & ~mask);
}

uint64_t ReadMaskBytes(TDrevnikByteReader& r, std::size_t count) {
    const std::string_view bytes = r.ReadBytes(count, "ReportItemMask");
    uint64_t mask = 0;
    for (std::size_t i = 0; i < count; ++i) {
        mask |= static_cast<uint64_t>(static_cast<uint8_t>(bytes[i])) << (8 * i);
    }
    return mask;
}

// Older layouts knew fewer report items: runs of "1" are inserted at the
// (1-based) places of the items they lacked, so old bits move to the items
// they stood for and the new items come out shown.
uint64_t ConvertOldMask(uint64_t mask, uint16_t version) {
    static const std::pair<int, int> kBefore500[] = {{5, 2}, {10, 1}, {13, 4}, {23, 4}, {31, 6}, {42, 7}};
    static const std::pair<int, int> kBefore6000[] = {{6, 1}, {10, 1}, {13, 4}, {23, 4}, {34, 3}, {41, 1}, {48, 1}};
    std::string text = MaskToBitText(mask);
    if (version < 500) {
        for (const auto& [position, count] : kBefore500) {
            text.insert(static_cast<std::size_t>(position - 1), static_cast<std::size_t>(count), '1');
        }
    } else {
        for (const auto& [position, count] : kBefore6000) {
            text.insert(static_cast<std::size_t>(position - 1), static_cast<std::size_t>(count), '1');
        }
    }
    return BitTextToMask(text.substr(0, 48));
}

bool InList(int index, std::initializer_list<int> list) {
    for (const int i : list) {
        if (i == index) {
            return true;
        }
    }
    return false;
}

bool InRange(int index, int first, int last) { return index >= first && index <= last; }

// Reads the stream of layout `V` over `v` (whose values stand for the fields
// the layout lacks) and into `filters`.
void ReadOptionValues(TDrevnikByteReader& r, uint16_t V, TDrevnikOptionValues& v,
                      std::vector<TDrevnikExceptionFilter>& filters) {
    v.ActivationMark = r.ReadBool("ActivationMark");
    v.FiltersEnabled = r.ReadBool("FiltersEnabled");
    v.LogFlags = r.ReadU8("LogFlags");
    if (V < 500) {
        bool show = r.ReadBool("ShowDialog");
        if (V < 450) {
            show = !show;  // stored inverted before 450
        }
        if (!show) {
            v.DialogKind = dkNone;
        }
    }
    v.AppendReportToMessage = r.ReadBool("AppendReportToMessage");
    if (V >= 450 && V < 500) {
        SetBit<uint16_t>(v.SendFlags, sdWholeLog, r.ReadBool("SendWholeLog"));
        SetBit<uint16_t>(v.SendFlags, sdAttachScreenshot, r.ReadBool("AttachScreenshot"));
        SetBit<uint16_t>(v.SendFlags, sdShowProgress, r.ReadBool("ShowSendProgress"));
    }
    if (V > 400) {
        v.WriteLogFile = r.ReadBool("WriteLogFile");
        v.StartPage = r.ReadU8("StartPage");
        if (V < 6000 && v.StartPage == 3) {
            v.StartPage = dpCpu;
        }
    }
    if (V > 402 && V < 500) {
        SetBit<uint16_t>(v.DialogFlags, dgOwnLook, r.ReadBool("OwnLook"));
    }
    std::string oldFreezeMessage;
    if (V >= 420) {
        v.FreezeWatchEnabled = r.ReadBool("FreezeWatchEnabled");
        v.FreezeTimeoutSecs = r.ReadI32("FreezeTimeoutSecs");
        if (V < 422) {
            v.FreezeTimeoutSecs /= 1000;  // milliseconds before 422
        }
        if (V < 6000) {
            oldFreezeMessage = ReadScrambledString(r, "FreezeMessage");
        }
        if (V >= 450) {
            v.SmtpFrom = ReadScrambledString(r, "SmtpFrom");
        }
        v.SmtpHost = ReadScrambledString(r, "SmtpHost");
    }
    if (V >= 450) {
        v.SmtpPort = r.ReadU16("SmtpPort");
    }
    if (V > 420) {
        v.SmtpUser = ReadScrambledString(r, "SmtpUser");
        v.SmtpPassword = ReadScrambledString(r, "SmtpPassword");
        v.TerminateButtonAction = r.ReadU8("TerminateButtonAction");
    }
    if (V < 6000 && !r.ReadBool("ShowTerminateButton")) {
        v.TerminateButtonAction = caNone;
    }
    v.LogKeepCount = r.ReadI32("LogKeepCount");
    if (v.LogKeepCount < 1) {
        v.LogKeepCount = 1;  // the log keeps at least one report, as SetLogKeepCount has it
    }
    v.TerminateButtonAfter = r.ReadI32("TerminateButtonAfter");
    v.EmailRecipients = ReadScrambledString(r, "EmailRecipients");
    v.EmailSubject = ReadScrambledString(r, "EmailSubject");
    v.EmailMode = r.ReadU8("EmailMode");
    if (V < 450 && v.EmailMode != emNone) {
        v.EmailMode = v.SmtpHost.empty() ? emClient : emSmtpClient;
    }
    if (V >= 6000) {
        v.ReportItemMask = ReadMaskBytes(r, 6);
    } else {
        v.ReportItemMask = ConvertOldMask(ReadMaskBytes(r, V < 500 ? 4 : 5), V);
    }
    if (V < 450) {
        r.ReadU8("Unused");
    }
    v.OutputPath = ReadScrambledString(r, "OutputPath");
    if (V >= 500) {
        v.WebMode = r.ReadU8("WebMode");
        v.WebUrl = ReadScrambledString(r, "WebUrl");
        v.WebUser = ReadScrambledString(r, "WebUser");
        v.WebPassword = ReadScrambledString(r, "WebPassword");
        v.WebPort = r.ReadI32("WebPort");
        v.AttachFiles = ReadScrambledString(r, "AttachFiles");
        v.SendFlags = r.ReadU16("SendFlags");
        if (V < 6000) {
            v.SendFlags &= static_cast<uint16_t>(~sdStampComputerName);
        }
        v.DialogFlags = V < 6000 ? r.ReadU8("DialogFlags") : r.ReadU16("DialogFlags");
        v.AutoCloseSecs = r.ReadI32("AutoCloseSecs");
        v.SupportUrl = ReadScrambledString(r, "SupportUrl");
        v.HtmlPageTemplate = ReadScrambledString(r, "HtmlPageTemplate");
        v.StackFlags = r.ReadU8("StackFlags");
        if (V < 6000) {
            v.BehaviourFlags = r.ReadU8("BehaviourFlags");
        } else {
            v.BehaviourFlags = r.ReadU16("BehaviourFlags");
            v.LeakFlags = r.ReadU8("LeakFlags");
        }
        v.AutoCrashAction = r.ReadU8("AutoCrashAction");
        v.AutoCrashCount = r.ReadU32("AutoCrashCount");
        v.AutoCrashMinutes = r.ReadI32("AutoCrashMinutes");
        if (V >= 6000) {
            v.BuildFlags = r.ReadU8("BuildFlags");
            v.DialogKind = r.ReadU8("DialogKind");
            v.ProxyUrl = ReadScrambledString(r, "ProxyUrl");
            v.ProxyUser = ReadScrambledString(r, "ProxyUser");
            v.ProxyPassword = ReadScrambledString(r, "ProxyPassword");
            v.ProxyPort = r.ReadU16("ProxyPort");
            v.TrackerUser = ReadScrambledString(r, "TrackerUser");
            v.TrackerPassword = ReadScrambledString(r, "TrackerPassword");
            v.TrackerAssignTo = ReadScrambledString(r, "TrackerAssignTo");
            v.TrackerProject = ReadScrambledString(r, "TrackerProject");
            v.TrackerCategory = ReadScrambledString(r, "TrackerCategory");
            v.TrackerTrialId = ReadScrambledString(r, "TrackerTrialId");
            v.ZipPassword = ReadScrambledString(r, "ZipPassword");
        }
    }
    if (V < 6000) {
        // Converted options carry the mark, whichever old layout they came from.
        v.StackFlags |= stConvertedMark;
    }

    const int32_t count = r.ReadI32("FilterCount");
    // Each record holds at least its two string lengths: a count beyond what
    // the data can hold is refused before anything is read into the list.
    if (count > 0 && static_cast<std::size_t>(count) > r.Remaining() / 8) {
        r.Fail("FilterCount", std::to_string(count) + " filters cannot fit in the " + std::to_string(r.Remaining()) +
                                  " bytes left");
    }
    filters.clear();
    for (int32_t i = 0; i < count; ++i) {
        TDrevnikExceptionFilter filter;
        filter.Enabled = V >= 6000 ? r.ReadBool("Filter.Enabled") : true;
        filter.ExceptClass = ReadScrambledString(r, "Filter.ExceptClass");
        filter.ReplaceMessage = ReadScrambledString(r, "Filter.ReplaceMessage");
        if (V >= 6000) {
            filter.Scope = r.ReadU8("Filter.Scope");
            filter.DialogChoice = r.ReadU8("Filter.DialogChoice");
            filter.Handling = r.ReadU8("Filter.Handling");
            filter.CloseAction = r.ReadU8("Filter.CloseAction");
        } else {
            filter.Scope = fsUnhandledOnly;
            filter.DialogChoice = filter.ReplaceMessage.empty() ? fdNoDialog : fdMessageBox;
            filter.Handling = fhIgnore;
            filter.CloseAction = caNone;
        }
        filters.push_back(std::move(filter));
    }

    v.EmailMessage = ReadScrambledString(r, "EmailMessage");
    for (int i = 0; i < static_cast<int>(kCustomizedTextCount); ++i) {
        if (i == txtCmpTotalMemory && V < 6000) {
            ReadScrambledString(r, "Texts");  // a text the old layout kept before this one
        }
        if (LayoutHasText(V, i)) {
            v.Texts[static_cast<std::size_t>(i)] = ReadScrambledString(r, "Texts");
        }
    }
    if (V >= 6000) {
        v.TextsLanguage = ReadScrambledString(r, "TextsLanguage");
    }
    if (!oldFreezeMessage.empty()) {
        v.Texts[txtFrozen] = oldFreezeMessage;
    }
}

}  // namespace

uint16_t OptionsLayoutVersion() { return gOptionsLayoutVersion.load(); }
void SetOptionsLayoutVersion(uint16_t version) { gOptionsLayoutVersion.store(version); }

void WriteScrambledString(std::string& stream, std::string_view text) {
    if (text.size() >= 2 && text.find("\r\n") == text.size() - 2) {
        text.remove_suffix(2);
    }
    WriteI32(stream, static_cast<int32_t>(text.size()));
    for (const char c : text) {
        stream.push_back(static_cast<char>(static_cast<uint8_t>(c) ^ OptionsKeyByte));
    }
}

std::string ReadScrambledString(TDrevnikByteReader& stream, const char* field) {
    const int32_t length = stream.ReadI32(field);
    if (length <= 0) {
        return std::string();
    }
    std::string text(stream.ReadBytes(static_cast<std::size_t>(length), field));
    for (char& c : text) {
        c = static_cast<char>(static_cast<uint8_t>(c) ^ OptionsKeyByte);
    }
    return text;
}

std::string MaskToBitText(uint64_t mask) {
    std::string text(48, '0');
    for (int bit = 0; bit < 48; ++bit) {
        if ((mask >> bit) & 1) {
            text[static_cast<std::size_t>(bit)] = '1';
        }
    }
    return text;
}

uint64_t BitTextToMask(std::string_view text) {
    uint64_t mask = 0;
    for (std::size_t bit = 0; bit < 48 && bit < text.size(); ++bit) {
        if (text[bit] == '1') {
            mask |= uint64_t{1} << bit;
        }
    }
    return mask;
}

bool LayoutHasText(uint16_t V, int i) {
    if ((i == 20 && V < 420) || (i == 19 && V < 421)) {
        return false;
    }
    if (V < 450 && (InList(i, {9, 10, 15, 16, 22, 23, 24, 41, 47, 48, 68, 81}) || i >= 110)) {
        return false;
    }
    if (V < 500 && (InList(i, {25, 42, 131, 144, 145}) || InRange(i, 72, 77) || InRange(i, 84, 91) ||
                    InRange(i, 98, 104))) {
        return false;
    }
    if (V >= 500 && V < 6000 && (i == 17 || i == 18)) {
        return false;
    }
    if (V < 6000 && (InList(i, {2, 21, 41, 43, 83, 113}) || InRange(i, 11, 14) || InRange(i, 26, 36) ||
                     InRange(i, 51, 60) || InRange(i, 105, 109) || InRange(i, 117, 122) || InRange(i, 133, 140) ||
                     InRange(i, 146, 157))) {
        return false;
    }
    return true;
}

void TDrevnikModuleOptions::SaveToStream(std::string& s) const {
    WriteBool(s, v_.ActivationMark);
    WriteBool(s, v_.FiltersEnabled);
    WriteU8(s, v_.LogFlags);
    WriteBool(s, v_.AppendReportToMessage);
    WriteBool(s, v_.WriteLogFile);
    WriteU8(s, v_.StartPage);
    WriteBool(s, v_.FreezeWatchEnabled);
    WriteI32(s, v_.FreezeTimeoutSecs);
    WriteScrambledString(s, v_.SmtpFrom);
    WriteScrambledString(s, v_.SmtpHost);
    WriteU16(s, v_.SmtpPort);
    WriteScrambledString(s, v_.SmtpUser);
    WriteScrambledString(s, v_.SmtpPassword);
    WriteU8(s, v_.TerminateButtonAction);
    WriteI32(s, v_.LogKeepCount);
    WriteI32(s, v_.TerminateButtonAfter);
    WriteScrambledString(s, v_.EmailRecipients);
    WriteScrambledString(s, v_.EmailSubject);
    WriteU8(s, v_.EmailMode);
    WriteLittle(s, v_.ReportItemMask, 6);
    WriteScrambledString(s, v_.OutputPath);
    WriteU8(s, v_.WebMode);
    WriteScrambledString(s, v_.WebUrl);
    WriteScrambledString(s, v_.WebUser);
    WriteScrambledString(s, v_.WebPassword);
    WriteI32(s, v_.WebPort);
    WriteScrambledString(s, v_.AttachFiles);
    WriteU16(s, v_.SendFlags);
    WriteU16(s, v_.DialogFlags);
    WriteI32(s, v_.AutoCloseSecs);
    WriteScrambledString(s, v_.SupportUrl);
    WriteScrambledString(s, v_.HtmlPageTemplate);
    WriteU8(s, v_.StackFlags);
    WriteU16(s, v_.BehaviourFlags);
    WriteU8(s, v_.LeakFlags);
    WriteU8(s, v_.AutoCrashAction);
    WriteU32(s, v_.AutoCrashCount);
    WriteI32(s, v_.AutoCrashMinutes);
    WriteU8(s, v_.BuildFlags);
    WriteU8(s, v_.DialogKind);
    WriteScrambledString(s, v_.ProxyUrl);
    WriteScrambledString(s, v_.ProxyUser);
    WriteScrambledString(s, v_.ProxyPassword);
    WriteU16(s, v_.ProxyPort);
    WriteScrambledString(s, v_.TrackerUser);
    WriteScrambledString(s, v_.TrackerPassword);
    WriteScrambledString(s, v_.TrackerAssignTo);
    WriteScrambledString(s, v_.TrackerProject);
    WriteScrambledString(s, v_.TrackerCategory);
    WriteScrambledString(s, v_.TrackerTrialId);
    WriteScrambledString(s, v_.ZipPassword);
    WriteI32(s, filters_.Count());
    for (const TDrevnikExceptionFilter& filter : filters_.Items()) {
        WriteBool(s, filter.Enabled);
        WriteScrambledString(s, filter.ExceptClass);
        WriteScrambledString(s, filter.ReplaceMessage);
        WriteU8(s, filter.Scope);
        WriteU8(s, filter.DialogChoice);
        WriteU8(s, filter.Handling);
        WriteU8(s, filter.CloseAction);
    }
    WriteScrambledString(s, v_.EmailMessage);
    for (const std::string& text : v_.Texts) {
        WriteScrambledString(s, text);
    }
    WriteScrambledString(s, v_.TextsLanguage);
}

void TDrevnikModuleOptions::LoadFromStream(TDrevnikByteReader& stream) {
    LoadFromStreamAs(stream, OptionsLayoutVersion());
}

void TDrevnikModuleOptions::LoadFromStreamAs(TDrevnikByteReader& stream, uint16_t version) {
    TDrevnikOptionValues values = v_;
    std::vector<TDrevnikExceptionFilter> filters;
    ReadOptionValues(stream, version, values, filters);
    // Only a stream read to its end replaces anything, so a cut or corrupt
    // one never leaves half-loaded options behind, nor publishes them.
    BeginUpdate();
    v_ = std::move(values);
    filters_.items_ = std::move(filters);
    EndUpdate();
    Changed();
}

}  // namespace drevnik

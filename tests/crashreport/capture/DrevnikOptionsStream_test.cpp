#include "crashreport/capture/DrevnikOptionsStream.h"

#include <gtest/gtest.h>

#include <initializer_list>

#include "crashreport/capture/DrevnikByteReader.h"
#include "crashreport/capture/DrevnikCore.h"
#include "crashreport/capture/DrevnikOptions.h"
#include "framework/core/exceptions.h"
#include "tests/crashreport/capture/DrevnikOptionsFixtures.h"
#include "tests/crashreport/capture/DrevnikTestFolder.h"

namespace drevnik {
namespace {

// Writes stream fixtures field by field.
class StreamBuilder {
public:
    StreamBuilder& U8(uint8_t v) { return Put(v, 1); }
    StreamBuilder& Bool(bool v) { return Put(v ? 1 : 0, 1); }
    StreamBuilder& U16(uint16_t v) { return Put(v, 2); }
    StreamBuilder& I32(int32_t v) { return Put(static_cast<uint32_t>(v), 4); }
    StreamBuilder& U32(uint32_t v) { return Put(v, 4); }
    StreamBuilder& Mask(uint64_t v, int bytes) { return Put(v, bytes); }
    StreamBuilder& Str(std::string_view text) {
        WriteScrambledString(bytes_, text);
        return *this;
    }
    const std::string& Bytes() const { return bytes_; }

private:
    StreamBuilder& Put(uint64_t v, int count) {
        for (int i = 0; i < count; ++i) {
            bytes_.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
        }
        return *this;
    }
    std::string bytes_;
};

uint64_t Bits(std::initializer_list<int> bits) {
    uint64_t mask = 0;
    for (const int bit : bits) {
        mask |= uint64_t{1} << bit;
    }
    return mask;
}

// Loads `bytes` in layout `version` and checks that every byte was used.
void Load(TDrevnikModuleOptions& o, const std::string& bytes, uint16_t version) {
    TDrevnikByteReader reader(bytes, "Options stream");
    o.LoadFromStreamAs(reader, version);
    EXPECT_EQ(reader.Remaining(), 0u) << "version " << version;
}

TEST(DrevnikOptionsStream, ScrambledStrings) {
    const struct {
        std::string text;
        int32_t storedLength;
    } cases[] = {
        {"abc\r\n", 3},       // a final CR LF is cut
        {"a\r\nb", 4},        // one in the middle stays
        {"a\r\nb\r\n", 6},    // an earlier one keeps the final one too
        {"\r\n", 0},
        {"\n", 1},
        {"", 0},
        {std::string("\xFF\x00\xD7", 3), 3},
    };
    for (const auto& c : cases) {
        std::string stream;
        WriteScrambledString(stream, c.text);
        ASSERT_EQ(stream.size(), 4u + static_cast<std::size_t>(c.storedLength)) << c.text;
        TDrevnikByteReader lengthReader(stream, "test");
        EXPECT_EQ(lengthReader.ReadI32("length"), c.storedLength);
        for (int32_t i = 0; i < c.storedLength; ++i) {
            EXPECT_EQ(static_cast<uint8_t>(stream[4 + i]), static_cast<uint8_t>(c.text[i]) ^ OptionsKeyByte);
        }
        TDrevnikByteReader reader(stream, "test");
        EXPECT_EQ(ReadScrambledString(reader, "text"), c.text.substr(0, static_cast<std::size_t>(c.storedLength)));
        EXPECT_EQ(reader.Remaining(), 0u);
    }

    // A negative length is an empty text with nothing behind it.
    const std::string negative = StreamBuilder().I32(-5).U8(7).Bytes();
    TDrevnikByteReader reader(negative, "test");
    EXPECT_EQ(ReadScrambledString(reader, "text"), "");
    EXPECT_EQ(reader.Remaining(), 1u);

    // A length beyond the data is refused before anything is allocated.
    const std::string huge = StreamBuilder().I32(0x7FFFFFF0).Str("abc").Bytes();
    TDrevnikByteReader hugeReader(huge, "Options stream");
    try {
        ReadScrambledString(hugeReader, "SmtpHost");
        ADD_FAILURE() << "no exception";
    } catch (const EDrevnikStreamError& e) {
        EXPECT_EQ(ExceptionMessageText(e),
                  "Options stream: SmtpHost: needs 2147483632 bytes at offset 4, only 7 left");
    }
}

TEST(DrevnikOptionsStream, BitText) {
    EXPECT_EQ(MaskToBitText(0b1101), "101100000000000000000000000000000000000000000000");
    EXPECT_EQ(MaskToBitText(kAllReportItems), std::string(48, '1'));
    EXPECT_EQ(BitTextToMask("1011"), 0b1101u);
    EXPECT_EQ(BitTextToMask(std::string(60, '1')), kAllReportItems);
    EXPECT_EQ(BitTextToMask("1x1"), 0b101u);
    for (const uint64_t mask : {uint64_t{0}, uint64_t{0xA5A5'5A5A'F00F}, kAllReportItems, uint64_t{1} << 47}) {
        EXPECT_EQ(BitTextToMask(MaskToBitText(mask)), mask);
    }
}

TEST(DrevnikOptionsStream, LayoutTextsByVersion) {
    const struct {
        uint16_t version;
        int index;
        bool present;
    } cases[] = {
        {419, 20, false}, {420, 20, true},   {420, 19, false},  {421, 19, true},   {449, 9, false},
        {449, 68, false}, {450, 68, true},   {449, 110, false}, {450, 110, true},  {499, 25, false},
        {499, 72, false}, {499, 145, false}, {500, 25, true},   {499, 17, true},   {500, 17, false},
        {5999, 18, false}, {6000, 17, true}, {5999, 2, false},  {5999, 113, false}, {5999, 112, true},
        {5999, 157, false}, {5999, 153, false}, {6000, 157, true}, {6025, 153, true}, {300, 0, true},
        {5999, 41, false}, {499, 41, false},  {6000, 41, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LayoutHasText(c.version, c.index), c.present) << c.version << " text " << c.index;
    }
}

// The current layout, written from the field table; `filterCountAt` receives
// the offset of the filter count.
std::string CurrentLayout(const TDrevnikModuleOptions& o, std::size_t* filterCountAt = nullptr) {
    const TDrevnikOptionValues& v = o.Values();
    StreamBuilder b;
    b.Bool(v.ActivationMark).Bool(v.FiltersEnabled).U8(v.LogFlags).Bool(v.AppendReportToMessage);
    b.Bool(v.WriteLogFile).U8(v.StartPage).Bool(v.FreezeWatchEnabled).I32(v.FreezeTimeoutSecs);
    b.Str(v.SmtpFrom).Str(v.SmtpHost).U16(v.SmtpPort).Str(v.SmtpUser).Str(v.SmtpPassword);
    b.U8(v.TerminateButtonAction).I32(v.LogKeepCount).I32(v.TerminateButtonAfter);
    b.Str(v.EmailRecipients).Str(v.EmailSubject).U8(v.EmailMode).Mask(v.ReportItemMask, 6).Str(v.OutputPath);
    b.U8(v.WebMode).Str(v.WebUrl).Str(v.WebUser).Str(v.WebPassword).I32(v.WebPort).Str(v.AttachFiles);
    b.U16(v.SendFlags).U16(v.DialogFlags).I32(v.AutoCloseSecs).Str(v.SupportUrl).Str(v.HtmlPageTemplate);
    b.U8(v.StackFlags).U16(v.BehaviourFlags).U8(v.LeakFlags).U8(v.AutoCrashAction).U32(v.AutoCrashCount);
    b.I32(v.AutoCrashMinutes).U8(v.BuildFlags).U8(v.DialogKind);
    b.Str(v.ProxyUrl).Str(v.ProxyUser).Str(v.ProxyPassword).U16(v.ProxyPort);
    b.Str(v.TrackerUser).Str(v.TrackerPassword).Str(v.TrackerAssignTo).Str(v.TrackerProject);
    b.Str(v.TrackerCategory).Str(v.TrackerTrialId).Str(v.ZipPassword);
    if (filterCountAt != nullptr) {
        *filterCountAt = b.Bytes().size();
    }
    b.I32(o.Filters().Count());
    for (const TDrevnikExceptionFilter& f : o.Filters().Items()) {
        b.Bool(f.Enabled).Str(f.ExceptClass).Str(f.ReplaceMessage);
        b.U8(f.Scope).U8(f.DialogChoice).U8(f.Handling).U8(f.CloseAction);
    }
    b.Str(v.EmailMessage);
    for (const std::string& text : v.Texts) {
        b.Str(text);
    }
    b.Str(v.TextsLanguage);
    return b.Bytes();
}

TEST(DrevnikOptionsStream, CurrentLayoutRoundTrip) {
    TDrevnikModuleOptions source("");
    FillEveryField(source, "round");
    source.SetText(txtDialogMessage, "Two lines\r\nhere\r\n");  // keeps its final CR LF
    source.SetText(txtDialogCaption, "Cut here\r\n");           // loses it
    source.SetEmailSubject("");

    std::string saved;
    source.SaveToStream(saved);
    EXPECT_EQ(saved, CurrentLayout(source));

    CountingOptions target(GetProgramFileName());
    target.SetReproduceText("kept");
    target.SetPreBuildCommand("kept too");
    target.published = 0;
    Load(target, saved, kOwnOptionsLayoutVersion);
    EXPECT_EQ(target.published, 1);

    TDrevnikOptionValues expected = source.Values();
    expected.Texts[txtDialogCaption] = "Cut here";
    // Not in the stream: these keep the loader's own values.
    expected.ReproduceText = "kept";
    expected.PreBuildCommand = "kept too";
    expected.PostBuildSuccessCommand = "";
    expected.PostBuildFailureCommand = "";
    expected.Active = true;
    EXPECT_TRUE(target.Values() == expected);
    EXPECT_EQ(target.Filters().Items(), source.Filters().Items());
    EXPECT_EQ(target.ModuleHandle(), LibraryModuleHandle());

    // The plain LoadFromStream reads the layout version set beforehand.
    SetOptionsLayoutVersion(kOwnOptionsLayoutVersion);
    TDrevnikModuleOptions again("");
    TDrevnikByteReader reader(saved, "Options stream");
    again.LoadFromStream(reader);
    EXPECT_EQ(again.Texts(), target.Texts());
    EXPECT_EQ(again.ZipPassword(), target.ZipPassword());
}

// Fields of the older layouts; names follow what each stood for.
struct OldFields {
    bool showDialog = true;  // stored inverted before 450
    bool sendWholeLog = true, sendScreenshot = false, sendProgress = false;
    bool ownLook = true;
    int32_t freezeTimeout = 45000;
    std::string freezeMessage = "It hangs.";
    std::string smtpHost = "old.smtp.example";
    bool showTerminate = true;
    uint8_t emailMode = emClient;
    uint64_t mask = 0;
    uint16_t sendFlags = sdShowResult | sdAttachXml | sdStampComputerName;
    uint8_t dialogFlags = 0xC5;
    uint8_t behaviourFlags = 0x85;
};

// A stream of an older layout `V`, written the way those versions stored it.
std::string OldLayout(uint16_t V, const OldFields& f) {
    StreamBuilder b;
    b.Bool(true).Bool(false).U8(0x13);  // ActivationMark, FiltersEnabled, LogFlags
    if (V < 500) {
        b.Bool(V < 450 ? !f.showDialog : f.showDialog);
    }
    b.Bool(true);  // AppendReportToMessage
    if (V >= 450 && V < 500) {
        b.Bool(f.sendWholeLog).Bool(f.sendScreenshot).Bool(f.sendProgress);
    }
    if (V > 400) {
        b.Bool(false).U8(3);  // WriteLogFile, StartPage
    }
    if (V > 402 && V < 500) {
        b.Bool(f.ownLook);
    }
    if (V >= 420) {
        b.Bool(true).I32(f.freezeTimeout).Str(f.freezeMessage);
        if (V >= 450) {
            b.Str("old@from.example");
        }
        b.Str(f.smtpHost);
    }
    if (V >= 450) {
        b.U16(587);
    }
    if (V > 420) {
        b.Str("old user").Str("old password").U8(caTerminate);
    }
    b.Bool(f.showTerminate);
    b.I32(9).I32(4).Str("old@recipient.example").Str("Old subject").U8(f.emailMode);
    b.Mask(f.mask, V < 500 ? 4 : 5);
    if (V < 450) {
        b.U8(0xEE);
    }
    b.Str("C:\\OldLogs");
    if (V >= 500) {
        b.U8(wmFtp).Str("ftp://old.example").Str("ftp user").Str("ftp password").I32(21).Str("old.txt");
        b.U16(f.sendFlags).U8(f.dialogFlags).I32(12).Str("http://old.example/support").Str("<%HTML_TAG%>");
        b.U8(0x03).U8(f.behaviourFlags).U8(caTerminate).U32(3).I32(2);
    }
    b.I32(2).Str("EOldError").Str("Replaced text").Str("ESilent").Str("");
    b.Str("Old message");
    for (int i = 0; i < static_cast<int>(kCustomizedTextCount); ++i) {
        if (i == txtCmpTotalMemory) {
            b.Str("dropped");
        }
        if (LayoutHasText(V, i)) {
            b.Str("Old " + std::to_string(i));
        }
    }
    return b.Bytes();
}

// Options that differ from the defaults everywhere, so untouched fields show.
void Prepare(TDrevnikModuleOptions& o) { FillEveryField(o, "keep"); }

TEST(DrevnikOptionsStream, FreezeFieldsAndTextsAroundVersion420) {
    const struct {
        uint16_t version;
        bool freezeRead;
        int32_t timeout;
        bool text19, text20, smtpUserRead;
    } cases[] = {
        {419, false, 95, false, false, false},
        {420, true, 45, false, true, false},
        {421, true, 45, true, true, true},
        {422, true, 45000, true, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.version);
        TDrevnikModuleOptions o("");
        Prepare(o);
        o.SetFreezeWatch(false);
        Load(o, OldLayout(c.version, OldFields{}), c.version);
        EXPECT_EQ(o.FreezeWatchEnabled(), c.freezeRead);
        EXPECT_EQ(o.FreezeTimeoutSecs(), c.timeout);
        EXPECT_EQ(o.Texts()[19], c.text19 ? "Old 19" : "Text 19 keep");
        EXPECT_EQ(o.Texts()[20], c.text20 ? "Old 20" : "Text 20 keep");
        EXPECT_EQ(o.SmtpUser(), c.smtpUserRead ? "old user" : "smtp user");
        EXPECT_EQ(o.SmtpHost(), c.freezeRead ? "old.smtp.example" : "smtp.keep.example");
        // The old freeze message becomes the frozen text.
        EXPECT_EQ(o.Texts()[txtFrozen], c.freezeRead ? "It hangs." : "Text 156 keep");
        EXPECT_EQ(o.Texts()[0], "Old 0");
        EXPECT_EQ(o.Texts()[68], "Text 68 keep");
        EXPECT_EQ(o.StartPage(), dpCpu);  // page 3 of old layouts is the CPU page
        EXPECT_EQ(o.DialogFlags() & dgOwnLook, dgOwnLook);
    }
}

TEST(DrevnikOptionsStream, VersionsBefore450) {
    OldFields f;
    f.emailMode = emClient;
    TDrevnikModuleOptions o("");
    Prepare(o);
    Load(o, OldLayout(449, f), 449);
    EXPECT_EQ(o.EmailMode(), emSmtpClient);  // mail mode 1 with an SMTP host
    EXPECT_EQ(o.SmtpFrom(), "from@keep.example");
    EXPECT_EQ(o.SmtpPort(), 2525);
    EXPECT_EQ(o.DialogKind(), dkFull);  // the dialog was on
    EXPECT_EQ(o.TerminateButtonAction(), caTerminate);
    EXPECT_EQ(o.LogKeepCount(), 9);

    f.smtpHost = "";
    f.showDialog = false;
    f.showTerminate = false;
    TDrevnikModuleOptions p("");
    Prepare(p);
    Load(p, OldLayout(449, f), 449);
    EXPECT_EQ(p.EmailMode(), emClient);
    EXPECT_EQ(p.DialogKind(), dkNone);
    EXPECT_EQ(p.TerminateButtonAction(), caNone);
    EXPECT_EQ(p.Texts()[110], "Text 110 keep");
    EXPECT_EQ(p.Texts()[92], "Old 92");
}

TEST(DrevnikOptionsStream, Versions450To499) {
    OldFields f;
    f.showDialog = false;
    TDrevnikModuleOptions o("");
    Prepare(o);
    o.SetSendFlags(sdShowProgress | sdAttachScreenshot);
    Load(o, OldLayout(460, f), 460);
    EXPECT_EQ(o.DialogKind(), dkNone);
    EXPECT_EQ(o.SendFlags(), sdWholeLog);  // the three old switches
    EXPECT_EQ(o.EmailMode(), emClient);   // no conversion from 450 on
    EXPECT_EQ(o.SmtpFrom(), "old@from.example");
    EXPECT_EQ(o.SmtpPort(), 587);
    EXPECT_EQ(o.Texts()[110], "Old 110");
    EXPECT_EQ(o.Texts()[25], "Text 25 keep");
    EXPECT_EQ(o.WebUrl(), "http://bugs.example/keep");  // web fields came with 500
}

TEST(DrevnikOptionsStream, Versions500To5999) {
    TDrevnikModuleOptions o("");
    Prepare(o);
    Load(o, OldLayout(550, OldFields{}), 550);
    EXPECT_EQ(o.WebMode(), wmFtp);
    EXPECT_EQ(o.WebUrl(), "ftp://old.example");
    EXPECT_EQ(o.WebPort(), 21);
    EXPECT_EQ(o.SendFlags(), sdShowResult | sdAttachXml);  // the computer-name stamp is cleared
    EXPECT_EQ(o.DialogFlags(), 0xC5);
    EXPECT_EQ(o.BehaviourFlags(), 0x85);
    EXPECT_EQ(o.StackFlags(), 0x03 | stConvertedMark);
    EXPECT_EQ(o.AutoCrashCount(), 3u);
    EXPECT_EQ(o.Texts()[17], "Text 17 keep");
    EXPECT_EQ(o.Texts()[25], "Old 25");
    EXPECT_EQ(o.Texts()[2], "Text 2 keep");
    EXPECT_EQ(o.Texts()[txtFrozen], "It hangs.");
    // What the old layouts did not carry stays as it was.
    EXPECT_EQ(o.LeakFlags(), 0x41);
    EXPECT_EQ(o.BuildFlags(), 0x81);
    EXPECT_EQ(o.DialogKind(), dkFull);
    EXPECT_EQ(o.ProxyUrl(), "proxy.keep.example");
    EXPECT_EQ(o.ProxyPort(), 3128);
    EXPECT_EQ(o.TrackerProject(), "Quorvex");
    EXPECT_EQ(o.ZipPassword(), "zip secret");
    EXPECT_EQ(o.TextsLanguage(), "Nederlands");
    // Old filters: enabled, unhandled only, a message box when they replace the text.
    ASSERT_EQ(o.Filters().Count(), 2);
    EXPECT_EQ(o.Filters().GetItem(0),
              (TDrevnikExceptionFilter{true, "EOldError", "Replaced text", fsUnhandledOnly, fdMessageBox, fhIgnore, caNone}));
    EXPECT_EQ(o.Filters().GetItem(1),
              (TDrevnikExceptionFilter{true, "ESilent", "", fsUnhandledOnly, fdNoDialog, fhIgnore, caNone}));
    EXPECT_EQ(o.EmailMessage(), "Old message");
}

TEST(DrevnikOptionsStream, OldReportItemMasksMoveToTheirItems) {
    const struct {
        uint16_t version;
        uint64_t old;
        uint64_t converted;
    } cases[] = {
        // Nothing shown before: only the items the old layout lacked come out shown.
        {449, 0, Bits({4, 5, 9, 12, 13, 14, 15, 22, 23, 24, 25, 30, 31, 32, 33, 34, 35, 41, 42, 43, 44, 45, 46, 47})},
        {550, 0, Bits({5, 9, 12, 13, 14, 15, 22, 23, 24, 25, 33, 34, 35, 40, 47})},
        // Old bit 4 stood for the item that now has bit 6.
        {449, Bits({4}), Bits({4, 5, 6, 9, 12, 13, 14, 15, 22, 23, 24, 25, 30, 31, 32, 33, 34, 35, 41, 42, 43, 44,
                               45, 46, 47})},
        {449, 0xFFFF'FFFF, kAllReportItems},
        {550, 0xFF'FFFF'FFFF, kAllReportItems},
    };
    for (const auto& c : cases) {
        OldFields f;
        f.mask = c.old;
        TDrevnikModuleOptions o("");
        Load(o, OldLayout(c.version, f), c.version);
        EXPECT_EQ(MaskToBitText(o.ReportItemMask()), MaskToBitText(c.converted)) << c.version << " " << c.old;
    }
}

TEST(DrevnikOptionsStream, CutOrCorruptStreamsChangeNothing) {
    TDrevnikModuleOptions source("");
    FillEveryField(source, "source");
    std::string current;
    source.SaveToStream(current);
    const std::string old = OldLayout(550, OldFields{});

    CountingOptions target(GetProgramFileName());
    Prepare(target);
    const TDrevnikOptionValues before = target.Values();
    const std::vector<TDrevnikExceptionFilter> filtersBefore = target.Filters().Items();
    target.published = 0;
    for (const auto& [bytes, version] : {std::pair{current, kOwnOptionsLayoutVersion}, {old, uint16_t{550}}}) {
        for (std::size_t cut = 0; cut < bytes.size(); ++cut) {
            TDrevnikByteReader reader(std::string_view(bytes).substr(0, cut), "Options stream");
            EXPECT_THROW(target.LoadFromStreamAs(reader, version), EDrevnikStreamError) << cut;
        }
    }
    EXPECT_EQ(target.published, 0);
    EXPECT_EQ(target.UpdateCount(), 0);
    EXPECT_TRUE(target.Values() == before);
    EXPECT_EQ(target.Filters().Items(), filtersBefore);

    // A filter count far beyond the data is refused at once.
    std::size_t countAt = 0;
    CurrentLayout(source, &countAt);
    std::string corrupt = current;
    corrupt.replace(countAt, 4, StreamBuilder().I32(0x7FFFFFFF).Bytes());
    TDrevnikByteReader reader(corrupt, "Options stream");
    try {
        target.LoadFromStreamAs(reader, kOwnOptionsLayoutVersion);
        ADD_FAILURE() << "no exception";
    } catch (const EDrevnikStreamError& e) {
        EXPECT_EQ(ExceptionMessageText(e).rfind("Options stream: FilterCount: 2147483647 filters cannot fit", 0), 0u)
            << ExceptionMessageText(e);
    }

    // A negative count means no filters; the rest loads.
    TDrevnikModuleOptions plain("");
    FillEveryField(plain, "plain");
    plain.Filters().Clear();
    std::string negative;
    plain.SaveToStream(negative);
    CurrentLayout(plain, &countAt);
    negative.replace(countAt, 4, StreamBuilder().I32(-1).Bytes());
    TDrevnikModuleOptions loaded("");
    Prepare(loaded);
    Load(loaded, negative, kOwnOptionsLayoutVersion);
    EXPECT_EQ(loaded.Filters().Count(), 0);
    EXPECT_EQ(loaded.Texts()[157], "Text 157 plain");
    EXPECT_EQ(target.published, 0);
}

TEST(DrevnikOptionsStream, Files) {
    TestFolder root("optionsfile");
    TDrevnikModuleOptions source("");
    FillEveryField(source, "file");
    source.SaveToFile(root.Path() + "options.bin");

    SetOptionsLayoutVersion(kOwnOptionsLayoutVersion);
    TDrevnikModuleOptions target("");
    target.LoadFromFile(root.Path() + "options.bin");
    EXPECT_EQ(target.SmtpHost(), "smtp.file.example");
    EXPECT_EQ(target.Texts()[157], "Text 157 file");
    EXPECT_EQ(target.Filters().Count(), 2);

    EXPECT_THROW(target.LoadFromFile(root.Path() + "missing.bin"), fw::EInOutError);
    EXPECT_THROW(source.SaveToFile(root.Path() + "missing\\options.bin"), fw::EInOutError);
    ASSERT_TRUE(WriteWholeFile(root.Path() + "garbage.bin", "\x01\x02\x03"));
    EXPECT_THROW(target.LoadFromFile(root.Path() + "garbage.bin"), EDrevnikStreamError);
    EXPECT_EQ(target.SmtpHost(), "smtp.file.example");
}

}  // namespace
}  // namespace drevnik

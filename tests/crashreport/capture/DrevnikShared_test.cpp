// Publishing options through the module's shared block, on the host's
// in-process stand-in and under Wine with real named mappings.
#include "crashreport/capture/DrevnikShared.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <thread>

#include "crashreport/capture/DrevnikCore.h"
#include "crashreport/capture/DrevnikOptions.h"
#include "crashreport/capture/DrevnikUtils.h"
#include "tests/crashreport/capture/DrevnikOptionsFixtures.h"

namespace drevnik {
namespace {

// Leaves no published block and no current options behind.
class SharedOptionsTest : public ::testing::Test {
protected:
    void TearDown() override {
        CloseSharedOptionsBlock();
        SetCurrentOptionsProvider(nullptr);
        SetFreezeWatchdogControl(nullptr, nullptr);
    }
};

// Reads the library module's block into options that publish nothing themselves.
bool LoadOwnBlock(TDrevnikModuleOptions& reader) {
    reader.BeginUpdate();  // stays quiet while it takes the block's values
    reader.SetModuleHandle(LibraryModuleHandle());
    const bool loaded = LoadSharedOptions(&reader);
    reader.SetModuleHandle(0);
    reader.EndUpdate();
    return loaded;
}

TEST_F(SharedOptionsTest, EveryChangeOfTheOwnModuleIsPublished) {
    TDrevnikModuleOptionsEx own(GetProgramFileName());
    ASSERT_EQ(own.ModuleHandle(), LibraryModuleHandle());
    FillEveryField(own, "shared");

    TDrevnikModuleOptions reader("");
    ASSERT_TRUE(LoadOwnBlock(reader));
    EXPECT_EQ(reader.SmtpHost(), "smtp.shared.example");
    EXPECT_EQ(reader.Texts(), own.Texts());
    EXPECT_EQ(reader.Filters().Items(), own.Filters().Items());

    // Inside an update nothing shows; the Changed after it publishes.
    own.BeginUpdate();
    own.SetSmtpHost("pending.example");
    ASSERT_TRUE(LoadOwnBlock(reader));
    EXPECT_EQ(reader.SmtpHost(), "smtp.shared.example");
    own.EndUpdate();
    own.Changed();
    ASSERT_TRUE(LoadOwnBlock(reader));
    EXPECT_EQ(reader.SmtpHost(), "pending.example");

    // The block is named after the process and the module.
    const std::string name = SharedBlockName(GetCurrentProcessIdValue(), LibraryModuleHandle());
    EXPECT_EQ(name.size(), 8 + 2 * sizeof(uintptr_t));
    EXPECT_EQ(name, UpperCase(name));

    // Start-up's empty block: marker 0, so a reader keeps its values.
    ResetSharedOptionsBlock(LibraryModuleHandle());
    reader.SetSmtpHost("mine");
    EXPECT_FALSE(LoadOwnBlock(reader));
    EXPECT_EQ(reader.SmtpHost(), "mine");
}

TEST_F(SharedOptionsTest, OtherModulesPublishNothing) {
    const TModuleHandle other = LibraryModuleHandle() + 0x10000;
    TDrevnikModuleOptionsEx options("");
    options.SetModuleHandle(other);
    FillEveryField(options);
    EXPECT_FALSE(OpenSharedBlock(other, 0));
    EXPECT_FALSE(LoadSharedOptions(&options));
    EXPECT_FALSE(LoadSharedOptions(nullptr));
}

TEST_F(SharedOptionsTest, BadBlocksLeaveTheOptionsAlone) {
    const TModuleHandle module = 0x7FFF0000;
    TDrevnikModuleOptions good("");
    FillEveryField(good, "good");
    std::string stream;
    good.SaveToStream(stream);

    const struct {
        const char* what;
        std::string data;
    } cases[] = {
        {"garbage", std::string("\x01\x05\x00\x00\x00" "abc", 8)},
        {"stream cut in half", "\x01" + stream.substr(0, stream.size() / 2)},
        {"huge string length", std::string(12, '\x01') + "\xF0\xFF\xFF\x7F" "abc"},
        {"marker 0", "\x00" + stream},
    };
    for (const auto& c : cases) {
        TSharedBlock block = OpenSharedBlock(module, c.data.size());
        ASSERT_TRUE(block) << c.what;
        ASSERT_EQ(block.Capacity(), c.data.size());
        std::memcpy(block.Data(), c.data.data(), c.data.size());

        CountingOptions target("");
        FillEveryField(target, "before");
        target.SetModuleHandle(module);
        const TDrevnikOptionValues before = target.Values();
        EXPECT_FALSE(LoadSharedOptions(&target)) << c.what;
        EXPECT_TRUE(target.Values() == before) << c.what;
        EXPECT_EQ(target.published, 0) << c.what;
    }

    // The same block with a whole stream loads.
    const std::string whole = "\x01" + stream;
    TSharedBlock block = OpenSharedBlock(module, whole.size());
    std::memcpy(block.Data(), whole.data(), whole.size());
    TDrevnikModuleOptions target("");
    target.SetModuleHandle(module);
    EXPECT_TRUE(LoadSharedOptions(&target));
    EXPECT_EQ(target.SmtpHost(), "smtp.good.example");
}

TEST_F(SharedOptionsTest, ReadersWaitForAWriterToFinish) {
    const TModuleHandle module = 0x7FFE0000;
    TDrevnikModuleOptions good("");
    FillEveryField(good, "whole");
    std::string stream(1, '\x01');
    good.SaveToStream(stream);
    TSharedBlock block = OpenSharedBlock(module, stream.size());
    ASSERT_TRUE(block);

    TDrevnikModuleOptions target("");
    target.SetModuleHandle(module);
    bool loaded = false;
    std::atomic<bool> done{false};
    std::thread reader;
    {
        // A writer halfway through its publication holds the lock.
        TSharedBlockLock lock(GetCurrentProcessIdValue(), module);
        ASSERT_TRUE(lock.Locked());
        std::memcpy(block.Data(), stream.data(), stream.size() / 2);
        reader = std::thread([&] {
            loaded = LoadSharedOptions(&target);
            done = true;
        });
        // Give a reader that ignored the lock the time to read the half
        // block; one that waits cannot finish, whatever the time.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(300);
        while (!done && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::yield();
        }
        EXPECT_FALSE(done);
        std::memcpy(block.Data() + stream.size() / 2, stream.data() + stream.size() / 2,
                    stream.size() - stream.size() / 2);
    }
    reader.join();
    EXPECT_TRUE(loaded);
    EXPECT_EQ(target.SmtpHost(), "smtp.whole.example");
}

TEST_F(SharedOptionsTest, ABlockHeldOpenKeepsItsSize) {
    TDrevnikModuleOptionsEx own(GetProgramFileName());
    own.SetEmailMessage("short");
    TDrevnikModuleOptions reader("");
    ASSERT_TRUE(LoadOwnBlock(reader));

    // Another holder keeps the block open: a longer publication cannot fit,
    // and readers get no options rather than a cut stream.
    TSharedBlock held = OpenSharedBlock(LibraryModuleHandle(), 0);
    ASSERT_TRUE(held);
    const std::size_t size = held.Capacity();
    own.SetEmailMessage(std::string(4000, 'm'));
    reader.SetEmailMessage("mine");
    EXPECT_FALSE(LoadOwnBlock(reader));
    EXPECT_EQ(reader.EmailMessage(), "mine");
    EXPECT_EQ(held.Capacity(), size);

    // Once it is let go, the next publication makes the block anew.
    held.Close();
    own.SetSmtpHost("after");
    ASSERT_TRUE(LoadOwnBlock(reader));
    EXPECT_EQ(reader.EmailMessage(), std::string(4000, 'm'));
}

TEST_F(SharedOptionsTest, OwnOptionsDriveTheFreezeWatchdog) {
    static int starts;
    static int stops;
    starts = stops = 0;
    SetFreezeWatchdogControl([] { ++starts; }, [] { ++stops; });
    static TDrevnikModuleOptionsEx* current;
    TDrevnikModuleOptionsEx own(GetProgramFileName());
    current = &own;

    EXPECT_THROW(CurrentDrevnikLogOptions(), EAssertionFailed);
    own.SetFreezeWatch(true);  // not yet the current options: no watchdog
    EXPECT_EQ(starts + stops, 0);

    SetCurrentOptionsProvider([] { return current; });
    EXPECT_EQ(&CurrentDrevnikLogOptions(), &own);
    own.SetFreezeWatch(false);
    EXPECT_EQ(stops, 1);
    own.SetFreezeWatch(true);
    EXPECT_EQ(starts, 1);
    own.SetFreezeWatch(true);  // no change, nothing to do
    EXPECT_EQ(starts, 1);
    own.SetActive(false);
    EXPECT_EQ(stops, 2);
    own.SetActive(true);
    EXPECT_EQ(starts, 2);
    EXPECT_TRUE(own.Active());

    TDrevnikModuleOptionsEx other("");
    other.SetFreezeWatch(true);
    other.SetActive(false);
    EXPECT_EQ(starts + stops, 4);
}

TEST_F(SharedOptionsTest, CurrentOptionsOutsideAnActiveLibraryFail) {
    try {
        CurrentDrevnikLogOptions();
        ADD_FAILURE() << "no assertion";
    } catch (const EAssertionFailed& e) {
        const std::string message = ExceptionMessageText(e);
        EXPECT_EQ(message.rfind("\r\nCannot use 'CurrentDrevnikLogOptions' function in module \"" +
                                    ExtractFileName(GetLibraryModuleFileName()) + "\" without activate DrevnikLog.\r\n",
                                0),
                  0u)
            << message;
        EXPECT_NE(message.find("(ExceptionLog)"), std::string::npos);
    }
}

}  // namespace
}  // namespace drevnik

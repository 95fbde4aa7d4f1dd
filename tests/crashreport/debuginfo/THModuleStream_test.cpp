// Reads through a view of memory that stop at the view's end and at the end
// of readable memory: a page followed by one that cannot be read.
#include "crashreport/debuginfo/THModuleStream.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/mman.h>
#endif

namespace drevnik {
namespace {

constexpr std::size_t kPage = 0x10000;  // a multiple of every page size in use

// Two pages, the second one unreadable.
class TGuardedPages {
public:
    TGuardedPages() {
#ifdef _WIN32
        memory_ = static_cast<char*>(VirtualAlloc(nullptr, 2 * kPage, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
        DWORD old = 0;
        VirtualProtect(memory_ + kPage, kPage, PAGE_NOACCESS, &old);
#else
        void* p = mmap(nullptr, 2 * kPage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        memory_ = p == MAP_FAILED ? nullptr : static_cast<char*>(p);
        if (memory_ != nullptr) mprotect(memory_ + kPage, kPage, PROT_NONE);
#endif
    }
    ~TGuardedPages() {
#ifdef _WIN32
        VirtualFree(memory_, 0, MEM_RELEASE);
#else
        munmap(memory_, 2 * kPage);
#endif
    }
    TGuardedPages(const TGuardedPages&) = delete;
    TGuardedPages& operator=(const TGuardedPages&) = delete;
    char* Memory() const { return memory_; }

private:
    char* memory_ = nullptr;
};

TEST(THModuleStream, ReadsStopAtUnreadableMemoryAndAtTheViewsEnd) {
    TGuardedPages pages;
    ASSERT_NE(pages.Memory(), nullptr);
    std::memcpy(pages.Memory() + 16, "\x34\x12\x78\x56", 4);
    THModuleStream stream(pages.Memory());
    uint32_t value = 0;
    EXPECT_TRUE(stream.ReadValueAt(16, value));
    EXPECT_EQ(value, 0x56781234u);
    char buffer[8];
    EXPECT_TRUE(stream.ReadAt(kPage - 8, buffer, 8));
    EXPECT_FALSE(stream.ReadAt(kPage - 4, buffer, 8)) << "crosses into the unreadable page";
    EXPECT_FALSE(stream.ReadAt(kPage, buffer, 1));

    stream.SetPosition(16);
    EXPECT_TRUE(stream.ReadChecked(&value, 4));
    EXPECT_EQ(stream.Position(), 20);
    stream.SetPosition(kPage - 2);
    EXPECT_FALSE(stream.ReadChecked(&value, 4));
    EXPECT_EQ(stream.Position(), static_cast<int64_t>(kPage - 2)) << "a failed read does not move";

    // Through the plain stream reads: what is readable, and no more.
    EXPECT_EQ(stream.Read(buffer, 8), 2u);
    EXPECT_EQ(stream.Read(buffer, 8), 0u);
    stream.SetPosition(kPage - 2);
    EXPECT_THROW(stream.ReadBuffer(buffer, 4), fw::EReadError);

    // A narrower view refuses what lies past it, readable or not.
    THModuleStream narrow(pages.Memory(), 32);
    EXPECT_TRUE(narrow.ReadAt(28, buffer, 4));
    EXPECT_FALSE(narrow.ReadAt(30, buffer, 4));
    EXPECT_FALSE(narrow.ReadAt(~std::size_t{0} - 1, buffer, 4)) << "an offset that wraps";
    narrow.SetSize(4);
    EXPECT_EQ(narrow.Size(), 4);
    EXPECT_EQ(narrow.Read(buffer, 8), 4u);
}

TEST(THModuleStream, TextsAreCutAtTheirNulOrWhereReadingMustStop) {
    TGuardedPages pages;
    ASSERT_NE(pages.Memory(), nullptr);
    std::strcpy(pages.Memory(), "KynAlpha");
    std::memcpy(pages.Memory() + kPage - 3, "Zed", 3);  // no NUL before the unreadable page
    THModuleStream stream(pages.Memory());
    std::string text;
    EXPECT_TRUE(stream.ReadTextAt(0, 256, text));
    EXPECT_EQ(text, "KynAlpha");
    EXPECT_TRUE(stream.ReadTextAt(0, 3, text));
    EXPECT_EQ(text, "Kyn");
    EXPECT_TRUE(stream.ReadTextAt(kPage - 3, 256, text));
    EXPECT_EQ(text, "Zed");
    EXPECT_FALSE(stream.ReadTextAt(kPage, 256, text));
    EXPECT_EQ(text, "");
    THModuleStream narrow(pages.Memory(), 5);
    EXPECT_TRUE(narrow.ReadTextAt(0, 256, text));
    EXPECT_EQ(text, "KynAl");
}

}  // namespace
}  // namespace drevnik

// System helpers that only mean something on Windows: memory regions,
// registry, INI files, modules, short path names, charset.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>

#include "crashreport/capture/DrevnikSystem.h"
#include "crashreport/capture/DrevnikUtils.h"
#include "tests/crashreport/capture/DrevnikTestFolder.h"

namespace drevnik {
namespace {

// Pages from VirtualAlloc, released at the end of the test.
class Pages {
public:
    Pages(std::size_t count, DWORD allocation, DWORD protect)
        : base_(static_cast<uint8_t*>(VirtualAlloc(nullptr, count * Size(), allocation, protect))) {}
    ~Pages() {
        if (base_ != nullptr) {
            VirtualFree(base_, 0, MEM_RELEASE);
        }
    }
    Pages(const Pages&) = delete;
    Pages& operator=(const Pages&) = delete;
    uint8_t* Page(std::size_t i) const { return base_ + i * Size(); }
    bool Protect(std::size_t i, DWORD protect) const {
        DWORD old;
        return VirtualProtect(Page(i), Size(), protect, &old) != 0;
    }
    static std::size_t Size() {
        SYSTEM_INFO info;
        GetSystemInfo(&info);
        return info.dwPageSize;
    }

private:
    uint8_t* base_;
};

TEST(DrevnikSystemWin, ReadableMemoryStopsAtGuardAndUncommittedPages) {
    const std::size_t page = Pages::Size();
    // Page 0 read/write, 1 read-only, 2 guard, 3 no access.
    Pages pages(4, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
    ASSERT_TRUE(pages.Protect(1, PAGE_READONLY));
    ASSERT_TRUE(pages.Protect(2, PAGE_READWRITE | PAGE_GUARD));
    ASSERT_TRUE(pages.Protect(3, PAGE_NOACCESS));
    Pages reserved(1, MEM_RESERVE, PAGE_READWRITE);
    ASSERT_NE(reserved.Page(0), nullptr);

    const struct {
        const uint8_t* address;
        std::size_t length;
        bool readable;
    } cases[] = {
        {pages.Page(0), page, true},
        {pages.Page(0) + page - 4, 8, true},       // read/write into read-only: two regions
        {pages.Page(1) + page - 4, 4, true},       // just up to the guard page
        {pages.Page(1) + page - 4, 8, false},      // across into the guard page
        {pages.Page(0), 3 * page, false},
        {pages.Page(2), 1, false},
        {pages.Page(3), 1, false},
        {reserved.Page(0), 1, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsReadableMemory(c.address, c.length), c.readable)
            << "offset " << (c.address - pages.Page(0)) << " length " << c.length;
    }
    EXPECT_EQ(GetReadableLength(pages.Page(0) + 16, 1), page - 16);  // the first region suffices
    EXPECT_EQ(GetReadableLength(pages.Page(0) + 16, page), 2 * page - 16);

    // The guard page is still armed: asking about it did not touch it.
    MEMORY_BASIC_INFORMATION info;
    ASSERT_EQ(VirtualQuery(pages.Page(2), &info, sizeof info), sizeof info);
    EXPECT_EQ(info.Protect, static_cast<DWORD>(PAGE_READWRITE | PAGE_GUARD));
}

TEST(DrevnikSystemWin, ImportThunkWithAnUnreadableSlotStaysPut) {
    const std::size_t page = Pages::Size();
    Pages pages(2, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
    ASSERT_TRUE(pages.Protect(1, PAGE_NOACCESS));
    uint8_t* code = pages.Page(0) + page - 16;
    code[0] = 0xFF;
    code[1] = 0x25;
#if defined(__x86_64__)
    const int32_t operand = 16 - 6 + 64;  // slot inside the no-access page
#else
    const int32_t operand = static_cast<int32_t>(reinterpret_cast<uintptr_t>(pages.Page(1) + 64));
#endif
    std::memcpy(code + 2, &operand, sizeof operand);
    const uintptr_t address = reinterpret_cast<uintptr_t>(code);
    EXPECT_EQ(ResolveImportThunk(address), address);
    // A thunk whose 8 bytes run into the no-access page is not read at all.
    EXPECT_EQ(ResolveImportThunk(reinterpret_cast<uintptr_t>(pages.Page(1) - 4)),
              reinterpret_cast<uintptr_t>(pages.Page(1) - 4));
}

TEST(DrevnikSystemWin, RegistryStringsKeepEveryRealCharacter) {
    // A key of this run's own: runs in one Wine prefix share the registry.
    const std::string base = "Software\\DrevnikTest" + std::to_string(GetCurrentProcessIdValue());
    const std::string values = base + "\\Values";
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, values.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const auto set = [key](const char* name, DWORD type, const void* data, DWORD size) {
        ASSERT_EQ(RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS) << name;
    };
    const DWORD number = 0x41;
    set("WithNul", REG_SZ, "abc", 4);
    set("WithoutNul", REG_SZ, "abc", 3);
    set("Empty", REG_SZ, "", 1);
    set("Expand", REG_EXPAND_SZ, "%TEMP%\\x", 9);
    set("Number", REG_DWORD, &number, sizeof number);
    set(nullptr, REG_SZ, "default", 8);
    RegCloseKey(key);

    const struct {
        uintptr_t root;
        std::string path;
        const char* value;
        const char* expected;
    } cases[] = {
        {kHkeyCurrentUser, values, "WithNul", "abc"},
        {kHkeyCurrentUser, "\\" + values, "WithNul", "abc"},
        {kHkeyCurrentUser, values, "WithoutNul", "abc"},
        {kHkeyCurrentUser, values, "Empty", ""},
        {kHkeyCurrentUser, values, "Expand", "%TEMP%\\x"},
        {kHkeyCurrentUser, values, "Number", ""},
        {kHkeyCurrentUser, values, "", "default"},
        {kHkeyCurrentUser, values, "Missing", ""},
        {kHkeyCurrentUser, base + "\\Missing", "WithNul", ""},
        {kHkeyLocalMachine, values, "WithNul", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ReadRegistryString(c.root, c.path, c.value), c.expected) << c.path << " " << c.value;
    }
    EXPECT_EQ(RegDeleteTreeA(HKEY_CURRENT_USER, base.c_str()), ERROR_SUCCESS);
}

TEST(DrevnikSystemWin, IniFilesLiveInTheLibraryFolderByDefault) {
    TestFolder root("ini");
    TestAppData appData(root);
    const std::string name = "DrevnikTest" + std::to_string(GetCurrentProcessIdValue()) + ".ini";

    EXPECT_EQ(ReadIniString(name, "Dialog", "Left", "12"), "12");
    EXPECT_TRUE(WriteIniString(name, "Dialog", "Left", "340"));
    EXPECT_TRUE(CanOpenForRead(GetLibraryDataFolder() + "\\" + name));
    EXPECT_EQ(ReadIniString(name, "Dialog", "Left", "12"), "340");
    EXPECT_EQ(ReadIniString(name, "Dialog", "Top", "7"), "7");

    const std::string full = root.Path() + "own.ini";
    EXPECT_TRUE(WriteIniString(full, "User", "Email", "a@b.example"));
    EXPECT_EQ(ReadIniString(full, "User", "Email", ""), "a@b.example");
}

TEST(DrevnikSystemWin, ModuleNames) {
    const std::string program = GetProgramFileName();
    EXPECT_TRUE(SameText(ExtractFileName(program), "crash_capture_tests.exe")) << program;
    EXPECT_EQ(GetModuleFileNameLong(LibraryModuleHandle()), ExpandLongPathName(program));
    EXPECT_EQ(GetLibraryModuleFileName(), GetModuleFileNameLong(LibraryModuleHandle()));
    EXPECT_TRUE(IsModuleHandle(LibraryModuleHandle()));
    EXPECT_EQ(FindModuleHandle(program), LibraryModuleHandle());

    const TModuleHandle kernel = FindModuleHandle("kernel32.dll");
    ASSERT_NE(kernel, 0u);
    EXPECT_TRUE(SameText(ExtractFileName(GetModuleFileNameLong(kernel)), "kernel32.dll"));
    EXPECT_EQ(FindModuleHandle(""), 0u);
    EXPECT_EQ(FindModuleHandle("no_such_module.dll"), 0u);
    EXPECT_FALSE(IsModuleHandle(0));
    EXPECT_FALSE(IsModuleHandle(0x1230));
    EXPECT_FALSE(GetCommandLineText().empty());
    EXPECT_EQ(GetCurrentProcessIdValue(), GetCurrentProcessId());
    EXPECT_FALSE(GetComputerNameText().empty());
}

TEST(DrevnikSystemWin, ShortPathNamesExpand) {
    TestFolder root("longname");
    const std::string folder = root.Path() + "A Rather Long Folder Name";
    const std::string file = folder + "\\Some Long File Name.txt";
    ASSERT_TRUE(ForceFolders(folder));
    ASSERT_TRUE(WriteWholeFile(file, "x"));
    char shortName[MAX_PATH];
    const DWORD n = GetShortPathNameA(file.c_str(), shortName, sizeof shortName);
    ASSERT_GT(n, 0u);
    const std::string shortPath(shortName, n);
    if (shortPath.find('~') == std::string::npos) {
        GTEST_SKIP() << "this file system gives no short names: " << shortPath;
    }
    EXPECT_TRUE(SameText(ExpandLongPathName(shortPath), ExpandLongPathName(file)));
    EXPECT_EQ(ExtractFileName(ExpandLongPathName(shortPath)), "Some Long File Name.txt");

    // A missing component ends the expansion; the rest stays as given.
    const std::string shortFolder = ExtractFilePath(shortPath);
    EXPECT_EQ(ExtractFileName(ExpandLongPathName(shortFolder + "MISSIN~1\\x")), "x");
    EXPECT_NE(ExpandLongPathName(shortFolder + "MISSIN~1\\x").find("A Rather Long Folder Name\\MISSIN~1\\x"),
              std::string::npos);
    EXPECT_EQ(ExpandLongPathName("C:\\no tilde here"), "C:\\no tilde here");
}

TEST(DrevnikSystemWin, FoldersAndCharset) {
    EXPECT_FALSE(GetWindowsFolder().empty());
    EXPECT_TRUE(FolderExists(GetWindowsFolder()));
    EXPECT_FALSE(IsWindows9x());
    EXPECT_EQ(GetLibraryDataFolder(), GetLibraryAppDataFolder());
    EXPECT_EQ(GetAppDataFolder(), GetShellFolderPath(26));
    EXPECT_EQ(ExtractFileName(GetLibraryAppDataFolder()), "DrevnikLog");
    const std::string temp = GetTempFolder();
    ASSERT_FALSE(temp.empty());
    EXPECT_EQ(temp.back(), '\\');
    if (GetACP() == 1252) {
        EXPECT_EQ(GetUserCharset(), ANSI_CHARSET);
    }
}

}  // namespace
}  // namespace drevnik

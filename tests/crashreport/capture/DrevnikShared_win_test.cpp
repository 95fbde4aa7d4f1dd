// A second process reads the options that this one published in its shared
// block. The test program starts itself again with an argument for that.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "crashreport/capture/DrevnikOptions.h"
#include "crashreport/capture/DrevnikShared.h"
#include "tests/crashreport/capture/DrevnikOptionsFixtures.h"

namespace drevnik {
namespace {

constexpr wchar_t kChildFlag[] = L"--drevnik-shared-child=";

// Exit codes of the child.
constexpr DWORD kChildSame = 0;
constexpr DWORD kChildDifferent = 3;
constexpr DWORD kChildNoOptions = 4;

// "<process id>:<module handle>:<tag>", all but the tag in hex.
DWORD RunChild(const std::wstring& argument) {
    const std::wstring line = GetCommandLineW();
    std::wstring self(MAX_PATH, L'\0');
    self.resize(GetModuleFileNameW(nullptr, self.data(), MAX_PATH));
    std::wstring command = L"\"" + self + L"\" " + kChildFlag + argument;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(self.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        return ~DWORD{0};
    }
    CloseHandle(process.hThread);
    DWORD code = ~DWORD{0};
    if (WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0) {
        GetExitCodeProcess(process.hProcess, &code);
    }
    CloseHandle(process.hProcess);
    return code;
}

// In the child: load the parent's block and compare with what the parent
// filled in; runs before main and ends the process.
int RunChildIfAsked() {
    const std::wstring line = GetCommandLineW();
    const std::size_t at = line.find(kChildFlag);
    if (at == std::wstring::npos) {
        return 0;
    }
    const wchar_t* cursor = line.c_str() + at + std::wcslen(kChildFlag);
    wchar_t* end = nullptr;
    const auto processId = static_cast<uint32_t>(std::wcstoul(cursor, &end, 16));
    const auto module = static_cast<TModuleHandle>(std::wcstoull(end + 1, &end, 16));
    std::string tag;
    for (const wchar_t* c = end + 1; *c != L'\0' && *c != L' '; ++c) {
        tag.push_back(static_cast<char>(*c));
    }

    TDrevnikModuleOptions loaded("");
    if (!LoadSharedOptionsOf(&loaded, processId, module)) {
        ExitProcess(kChildNoOptions);
    }
    TDrevnikModuleOptions expected("");
    FillEveryField(expected, tag);
    expected.SetReproduceText("");  // what the stream does not carry
    expected.SetPreBuildCommand("");
    expected.SetPostBuildSuccessCommand("");
    expected.SetPostBuildFailureCommand("");
    expected.SetActive(true);
    const bool same =
        loaded.Values() == expected.Values() && loaded.Filters().Items() == expected.Filters().Items();
    ExitProcess(same ? kChildSame : kChildDifferent);
}

const int gChild = RunChildIfAsked();

TEST(DrevnikSharedWin, SecondProcessLoadsTheSameOptions) {
    ASSERT_EQ(gChild, 0);
    TDrevnikModuleOptionsEx own(GetProgramFileName());
    ASSERT_EQ(own.ModuleHandle(), LibraryModuleHandle());
    wchar_t prefix[64];
    std::swprintf(prefix, 64, L"%lX:%llX:", static_cast<unsigned long>(GetCurrentProcessId()),
                  static_cast<unsigned long long>(own.ModuleHandle()));

    FillEveryField(own, "first");
    EXPECT_EQ(RunChild(std::wstring(prefix) + L"first"), kChildSame);

    FillEveryField(own, "second");
    EXPECT_EQ(RunChild(std::wstring(prefix) + L"second"), kChildSame);
    EXPECT_EQ(RunChild(std::wstring(prefix) + L"first"), kChildDifferent);

    CloseSharedOptionsBlock();
    EXPECT_EQ(RunChild(std::wstring(prefix) + L"second"), kChildNoOptions);
}

}  // namespace
}  // namespace drevnik

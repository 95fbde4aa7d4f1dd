// The facts against what the system says through other roads: ntdll's
// version, the wide-character names, Linux's own /proc files (Wine's drive
// Z: is the Unix root), the processor's brand string and the display
// settings.
#include "crashreport/debuginfo/DrevnikSystemFacts.h"

#include <windows.h>
#include <cpuid.h>

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <regex>
#include <string>

#include "crashreport/capture/DrevnikSystem.h"
#include "crashreport/capture/DrevnikUtils.h"
#include "tests/crashreport/debuginfo/DebugInfoWinTest.h"

namespace drevnik {
namespace {

std::string Narrow(const wchar_t* text) {
    char buffer[512] = {};
    WideCharToMultiByte(CP_ACP, 0, text, -1, buffer, sizeof buffer - 1, nullptr, nullptr);
    return buffer;
}

// The first number after `key` in a Linux /proc file; -1 without one.
double ProcValue(const char* file, const std::string& key) {
    std::ifstream in(std::string("Z:\\proc\\") + file);
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind(key, 0) == 0) return std::stod(line.substr(line.find_first_of("0123456789")));
    }
    return -1;
}

double LeadingNumber(const std::string& text) { return text.empty() ? -1 : std::stod(text); }

TEST(DrevnikSystemFacts, WindowsVersionAsNtdllTellsIt) {
    using TRtlGetVersion = LONG(WINAPI*)(OSVERSIONINFOEXW*);
    const auto rtlGetVersion = reinterpret_cast<TRtlGetVersion>(
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion")));
    ASSERT_NE(rtlGetVersion, nullptr);
    OSVERSIONINFOEXW info{};
    info.dwOSVersionInfoSize = sizeof info;
    ASSERT_EQ(rtlGetVersion(&info), 0);
    BOOL wow64 = FALSE;
    IsWow64Process(GetCurrentProcess(), &wow64);
    const TWindowsVersion ntdll{info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion, info.dwBuildNumber,
                                Narrow(info.szCSDVersion)};
    EXPECT_EQ(WindowsVersion().Major, ntdll.Major);
    EXPECT_EQ(WindowsVersion().Minor, ntdll.Minor);
    EXPECT_EQ(GetWindowsName(), WindowsNameFor(ntdll, info.wProductType == VER_NT_WORKSTATION, wow64 != FALSE));
    EXPECT_EQ(GetWindowsBuild(), std::to_string(info.dwBuildNumber));
    EXPECT_EQ(IsWindowsNT6OrLater(), info.dwMajorVersion >= 6);
    EXPECT_FALSE(IsWindowsNT4());
    EXPECT_FALSE(IsWindows95());
    EXPECT_TRUE(CanEnumDisplayDevices());
}

TEST(DrevnikSystemFacts, UserAndComputerNamesAsTheWideCallsGiveThem) {
    wchar_t name[256];
    DWORD length = 256;
    ASSERT_TRUE(GetUserNameW(name, &length));
    EXPECT_EQ(GetUserNameText(), Narrow(name));
    EXPECT_FALSE(GetUserNameText().empty());
    length = 256;
    ASSERT_TRUE(GetComputerNameW(name, &length));
    EXPECT_EQ(GetComputerNameText(), Narrow(name).substr(0, 15));
}

TEST(DrevnikSystemFacts, MemoryAndUpTimeAsLinuxCountsThem) {
    const double totalKb = ProcValue("meminfo", "MemTotal:");
    ASSERT_GT(totalKb, 0);
    const std::string total = GetTotalMemoryText();
    EXPECT_TRUE(std::regex_match(total, std::regex("[0-9]+ Mb"))) << total;
    EXPECT_NEAR(LeadingNumber(total), totalKb / 1024, 1.0);
    const double free = LeadingNumber(GetFreeMemoryText());
    EXPECT_GT(free, 0);
    EXPECT_LE(free, LeadingNumber(total));

    // Wine counts ticks from the host's boot.
    const double upSeconds = ProcValue("uptime", "");
    const std::string upTime = GetSystemUpTimeText();
    std::smatch parts;
    ASSERT_TRUE(std::regex_match(upTime, parts,
                                 std::regex("(?:([0-9]+) days?, )?(?:([0-9]+) hours?, )?(?:([0-9]+) minutes?, )?"
                                            "([0-9]+) seconds?")))
        << upTime;
    const auto part = [&parts](int i) { return parts[i].matched ? std::stod(parts[i].str()) : 0.0; };
    EXPECT_NEAR(part(1) * 86400 + part(2) * 3600 + part(3) * 60 + part(4), upSeconds, 5.0) << upTime;
}

TEST(DrevnikSystemFacts, ProcessorAsItsBrandStringNamesIt) {
    unsigned int words[12] = {};
    unsigned int highest = __get_cpuid_max(0x80000000u, nullptr);
    ASSERT_GE(highest, 0x80000004u);
    for (unsigned int leaf = 0; leaf < 3; ++leaf) {
        __get_cpuid(0x80000002u + leaf, &words[4 * leaf], &words[4 * leaf + 1], &words[4 * leaf + 2],
                    &words[4 * leaf + 3]);
    }
    char brand[49] = {};
    std::memcpy(brand, words, 48);
    EXPECT_EQ(GetProcessorName(), Trim(brand));
}

TEST(DrevnikSystemFacts, DisplayAsItsSettingsSayAndTheFirstAdapter) {
    DEVMODEW mode{};
    mode.dmSize = sizeof mode;
    ASSERT_TRUE(EnumDisplaySettingsW(nullptr, ENUM_CURRENT_SETTINGS, &mode));
    EXPECT_EQ(GetDisplayModeText(), std::to_string(mode.dmPelsWidth) + " x " + std::to_string(mode.dmPelsHeight) +
                                        ", " + std::to_string(mode.dmBitsPerPel) + " bit");
    EXPECT_GT(LeadingNumber(GetDisplayDpiText()), 0);

    DISPLAY_DEVICEW device{};
    device.cb = sizeof device;
    ASSERT_TRUE(EnumDisplayDevicesW(nullptr, 0, &device, 0));
    const std::string card = GetVideoCardText();
    EXPECT_EQ(card.rfind(Trim(Narrow(device.DeviceString)) + " (driver ", 0), 0u) << card;
    EXPECT_EQ(card.back(), ')');
}

TEST(DrevnikSystemFacts, PrinterPrivilegesAndNetworkInTheirForms) {
    using TGetDefaultPrinterW = BOOL(WINAPI*)(LPWSTR, LPDWORD);
    const HMODULE winspool = LoadLibraryW(L"winspool.drv");
    const auto getDefaultPrinter = reinterpret_cast<TGetDefaultPrinterW>(
        reinterpret_cast<void (*)()>(GetProcAddress(winspool, "GetDefaultPrinterW")));
    wchar_t printer[1024];
    DWORD length = 1024;
    if (getDefaultPrinter == nullptr || !getDefaultPrinter(printer, &length)) {
        EXPECT_EQ(GetDefaultPrinterText(), "") << "no default printer";
    } else {
        EXPECT_TRUE(std::regex_match(GetDefaultPrinterText(), std::regex(".+ \\(driver [^ ]*\\)")));
    }
    FreeLibrary(winspool);

    const std::string privileges = GetPrivilegesText();
    std::vector<std::string> lines;
    SplitText(privileges, lines, "\n", false, false);
    EXPECT_FALSE(lines.empty());
    for (const std::string& line : lines) {
        EXPECT_TRUE(std::regex_match(line, std::regex("Se[A-Za-z]+ +- (ON|OFF)|Se[A-Za-z]{29,} - (ON|OFF)"))) << line;
    }

    // However many adapters there are, every line names each of them once.
    const TNetworkFacts facts = GetNetworkFacts();
    const std::regex addresses("([0-9]{3}\\.[0-9]{3}\\.[0-9]{3}\\.[0-9]{3}( - )?)*");
    for (const std::string* line : {&facts.Addresses, &facts.Masks, &facts.Gateways}) {
        EXPECT_TRUE(std::regex_match(*line, addresses)) << *line;
        EXPECT_EQ(line->size(), facts.Addresses.size());
    }
    EXPECT_EQ(facts.Dhcp.empty(), facts.Addresses.empty());
}

TEST(DrevnikSystemFacts, ProgramAndDisk) {
    // The test program has no version resource: its name alone, no version.
    EXPECT_EQ(GetApplicationNameText(), "crash_debuginfo_tests.exe");
    EXPECT_EQ(GetProgramVersion(), "");
    const std::regex gigabytes("[0-9]+(\\.[0-9]{1,2})? Gb");
    EXPECT_TRUE(std::regex_match(GetTotalDiskText(), gigabytes)) << GetTotalDiskText();
    EXPECT_TRUE(std::regex_match(GetFreeDiskText(), gigabytes)) << GetFreeDiskText();
    EXPECT_EQ(GetStartDateText(EncodeDateTime(2024, 3, 5, 9, 7, 2)).rfind("Tue, 5 Mar 2024 09:07:02 ", 0), 0u);
    EXPECT_EQ(GetRegisteredOwner(), RegisteredValueText(ReadRegistryString(kHkeyLocalMachine,
                                                                           "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion",
                                                                           "RegisteredOwner"),
                                                        true));
}

}  // namespace
}  // namespace drevnik

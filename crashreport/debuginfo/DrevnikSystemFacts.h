// Facts about the operating system, the user, the computer and the running
// program for the general part of a report, each an 8-bit text ready to
// print: empty when the system does not give it, unless a fallback text is
// named. Nothing here raises or keeps state, except the e-mail address the
// user typed during this run. GetComputerNameText is the system helpers'.
//
// The rules that turn the system's answers into texts are platform-free and
// come first; the facts themselves ask Windows (DrevnikSystemFacts_win.cpp;
// the host build answers what a Linux host can, DrevnikSystemFacts_host.cpp).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace drevnik {

// ---- Windows version ---------------------------------------------------------------------

enum TWindowsPlatform : uint32_t { wpUnknown = 0, wpWindows9x = 1, wpWindowsNT = 2 };

struct TWindowsVersion {
    uint32_t Platform = wpUnknown;
    uint32_t Major = 0;
    uint32_t Minor = 0;
    uint32_t Build = 0;
    std::string ServicePack;
};

// The system's answer to GetVersionEx, asked once.
const TWindowsVersion& WindowsVersion();

bool IsWindows95();
bool IsWindowsNT4();
bool IsWindowsNT6OrLater();
// A 32-bit program on 64-bit Windows.
bool IsWow64();
// The product type of the extended version record is "workstation".
bool IsWorkstationProduct();
bool CanEnumDisplayDevices();

// "Microsoft Windows 7", "Microsoft Windows Server 2008 R2 (64 bit)", ...
std::string WindowsNameFor(const TWindowsVersion& version, bool workstation, bool wow64);
// The build number; on the 9x platform its low 16 bits only.
std::string WindowsBuildFor(const TWindowsVersion& version);
std::string GetWindowsName();
std::string GetWindowsBuild();

// ---- User, computer and program --------------------------------------------------------------

std::string GetUserNameText();
std::string GetRegisteredOwner();
std::string GetRegisteredOrganization();
std::string GetProcessorName();  // "Unknown processor" when the system names none
std::string GetTotalMemoryText();  // "16384 Mb"
std::string GetFreeMemoryText();
std::string GetTotalDiskText();  // "465.76 Gb", the drive of the library's module
std::string GetFreeDiskText();
std::string GetDisplayModeText();  // "1280 x 1024, 32 bit"
std::string GetDisplayDpiText();
std::string GetVideoCardText();
std::string GetDefaultPrinterText();
// One line per privilege of the process token: name padded to 31, " - ON"
// or " - OFF", CR LF.
std::string GetPrivilegesText();
// Time since the system started ("3 days, 2 hours, 0 second").
std::string GetSystemUpTimeText();
// The library's start time (a local date-time) in mail-header form.
std::string GetStartDateText(double libraryStartTime);
// "Quorvex.exe - (Quorvex scan-line display)": the program's file name and
// the description of its version resource when it has one.
std::string GetApplicationNameText();
std::string GetProgramVersion();

// The e-mail address the user last typed in the report dialog during this
// run; empty until one was typed.
std::string GetEnteredEmail();
void SetEnteredEmail(std::string_view email);

// The physical memory in bytes, total and available.
void GetPhysicalMemory(uint64_t& total, uint64_t& available);
// The size of the drive that holds the library's module, and its space free
// to this user, in bytes; false when the system does not say.
bool GetDiskSpace(uint64_t& total, uint64_t& freeToCaller);

// ---- Network ----------------------------------------------------------------------------------

// Six texts over all adapters, each value followed by " - " but the last.
struct TNetworkFacts {
    std::string Addresses;
    std::string Masks;
    std::string Gateways;
    std::string Dns1;
    std::string Dns2;
    std::string Dhcp;
};
TNetworkFacts GetNetworkFacts();

// What one adapter gives the network facts.
struct TAdapterFacts {
    bool DhcpEnabled = false;
    std::string Address;
    std::string Mask;
    std::string Gateway;
    // How the DNS servers were asked for: not at all (the size query gave
    // another answer), failed, or answered with up to two servers.
    enum TDnsState { dnsNotAsked, dnsFailed, dnsAnswered } DnsState = dnsNotAsked;
    std::string Dns1;
    std::string Dns2;  // empty when the adapter has one server
};
void AppendAdapterFacts(TNetworkFacts& facts, const TAdapterFacts& adapter);
// Removes the trailing " - " of every line.
void TrimListSeparators(TNetworkFacts& facts);
// Every dotted component padded to 3 digits; "000.000.000.000" for "".
std::string FormatIpAddress(std::string_view address);

// ---- Text rules ------------------------------------------------------------------------------------

// The folder part of a path without its final "\" (kept for a drive root),
// without a leading "\??\".
std::string CleanProcessPath(std::string_view path);
// Rounded kilobytes, halves to even, + " Kb"; empty for 0.
std::string FormatKb(uint64_t bytes);
// "6.0.25" -> "6.0.x"; unchanged with fewer than two dots.
std::string ShortenVersion(std::string_view version);
// "Normal", "Low", "High", "Real-Time", "Below-Normal", "Above-Normal"; empty otherwise.
std::string PriorityClassName(uint32_t priorityClass);
// The number, or "??" for 0.
std::string CountOrUnknown(uint64_t count);
// Rounded megabytes, halves to even, + " Mb".
std::string FormatMegabytes(uint64_t bytes);
// Gigabytes with at most two decimals ("0.##") + " Gb".
std::string FormatGigabytes(uint64_t bytes);
// The name padded with blanks to 31 characters, " - ON" or " - OFF", CR LF.
std::string FormatPrivilegeLine(std::string_view name, bool enabled);
// "name (driver version - RAM n MB)", the RAM part left out for 0 bytes.
std::string FormatVideoCard(std::string_view name, std::string_view version, uint64_t memoryBytes);
// "driver (driver version)" with every blank of the version removed.
std::string FormatPrinter(std::string_view driverName, std::string_view driverVersion);
// The name string, else "vendor - identifier", else "Unknown processor".
std::string FormatProcessorName(std::string_view nameString, std::string_view vendor, std::string_view identifier);
// A registered owner or organization: "Microsoft", the placeholder of
// Windows Vista and later, counts as empty there.
std::string RegisteredValueText(std::string_view value, bool nt6OrLater);
std::string FormatUpTime(uint64_t milliseconds);

}  // namespace drevnik

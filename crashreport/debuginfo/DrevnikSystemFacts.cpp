#include "crashreport/debuginfo/DrevnikSystemFacts.h"

#include <cmath>
#include <cstdio>
#include <mutex>

#include "crashreport/capture/DrevnikSystem.h"
#include "crashreport/capture/DrevnikUtils.h"
#include "crashreport/debuginfo/DrevnikModuleSystem.h"

namespace drevnik {
namespace {

constexpr std::string_view kListSeparator = " - ";
constexpr std::string_view kNoAddress = "000.000.000.000";

std::mutex gEmailLock;
std::string gEnteredEmail;

// The registry keys that may name the registered owner and organization,
// with the value name in the last one.
std::string ReadRegisteredValue(const char* ntValue, const char* acmeValue) {
    const bool nt6 = IsWindowsNT6OrLater();
    for (const char* key : {"\\SOFTWARE\\MICROSOFT\\WINDOWS NT\\CURRENTVERSION", "\\SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION"}) {
        std::string value = RegisteredValueText(ReadRegistryString(kHkeyLocalMachine, key, ntValue), nt6);
        if (!value.empty()) {
            return value;
        }
    }
    return RegisteredValueText(
        ReadRegistryString(kHkeyLocalMachine, "\\SOFTWARE\\MICROSOFT\\MS SETUP (ACME)\\USER INFO", acmeValue), nt6);
}

std::string Pad3(std::string_view part) {
    return part.size() >= 3 ? std::string(part) : std::string(3 - part.size(), '0') + std::string(part);
}

std::string AppendSeparated(std::string_view value) { return std::string(value) + std::string(kListSeparator); }

}  // namespace

// ---- Windows version ---------------------------------------------------------------------

bool IsWindows95() {
    const TWindowsVersion& v = WindowsVersion();
    return v.Platform == wpWindows9x && v.Minor < 10;
}

bool IsWindowsNT4() {
    const TWindowsVersion& v = WindowsVersion();
    return v.Platform == wpWindowsNT && v.Major < 5;
}

bool IsWindowsNT6OrLater() {
    const TWindowsVersion& v = WindowsVersion();
    return v.Platform == wpWindowsNT && v.Major > 5;
}

bool CanEnumDisplayDevices() {
    const TWindowsVersion& v = WindowsVersion();
    return !(v.Platform == wpWindows9x && v.Minor < 10) && !(v.Platform == wpWindowsNT && v.Major <= 4);
}

std::string WindowsNameFor(const TWindowsVersion& v, bool workstation, bool wow64) {
    const std::string number = std::to_string(v.Major) + "." + std::to_string(v.Minor);
    std::string edition;
    if (v.Platform == wpWindows9x) {
        const std::string servicePack = Trim(v.ServicePack);
        if (v.Minor < 10) {
            edition = servicePack == "B" ? "95 OSR 2" : "95";
        } else if (v.Minor < 90) {
            edition = servicePack == "A" ? "98 SE" : "98";
        } else if (v.Minor == 90) {
            edition = "ME";
        } else {
            edition = number;
        }
    } else if (v.Platform == wpWindowsNT) {
        if (v.Major == 4) {
            edition = "NT 4.0";
        } else if (v.Major == 5 && v.Minor == 0) {
            edition = "2000";
        } else if (v.Major == 5 && v.Minor == 1) {
            edition = "XP";
        } else if (v.Major == 5 && v.Minor == 2) {
            edition = workstation ? "XP" : "2003";
        } else if (v.Major == 6 && v.Minor == 0) {
            edition = workstation ? "Vista" : "Server 2008";
        } else if (v.Major == 6 && v.Minor == 1) {
            edition = workstation ? "7" : "Server 2008 R2";
        } else {
            edition = number;
        }
        if (wow64) {
            edition += " (64 bit)";
        }
    }
    return "Microsoft Windows " + edition;
}

std::string WindowsBuildFor(const TWindowsVersion& v) {
    return std::to_string(v.Platform == wpWindows9x ? v.Build & 0xFFFF : v.Build);
}

std::string GetWindowsName() {
    const TWindowsVersion& v = WindowsVersion();
    const bool nt = v.Platform == wpWindowsNT;
    return WindowsNameFor(v, nt && IsWorkstationProduct(), nt && IsWow64());
}

std::string GetWindowsBuild() { return WindowsBuildFor(WindowsVersion()); }

// ---- User, computer and program --------------------------------------------------------------

std::string GetRegisteredOwner() { return ReadRegisteredValue("RegisteredOwner", "DefName"); }
std::string GetRegisteredOrganization() { return ReadRegisteredValue("RegisteredOrganization", "DefCompany"); }

std::string GetProcessorName() {
    const char* key = "\\HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0";
    return FormatProcessorName(ReadRegistryString(kHkeyLocalMachine, key, "ProcessorNameString"),
                               ReadRegistryString(kHkeyLocalMachine, key, "VendorIdentifier"),
                               ReadRegistryString(kHkeyLocalMachine, key, "Identifier"));
}

std::string GetTotalMemoryText() {
    uint64_t total = 0;
    uint64_t available = 0;
    GetPhysicalMemory(total, available);
    return FormatMegabytes(total);
}

std::string GetFreeMemoryText() {
    uint64_t total = 0;
    uint64_t available = 0;
    GetPhysicalMemory(total, available);
    return FormatMegabytes(available);
}

std::string GetTotalDiskText() {
    uint64_t total = 0;
    uint64_t freeToCaller = 0;
    return GetDiskSpace(total, freeToCaller) ? FormatGigabytes(total) : std::string();
}

std::string GetFreeDiskText() {
    uint64_t total = 0;
    uint64_t freeToCaller = 0;
    return GetDiskSpace(total, freeToCaller) ? FormatGigabytes(freeToCaller) : std::string();
}

std::string GetStartDateText(double libraryStartTime) { return FormatRfc822Date(libraryStartTime); }

std::string GetApplicationNameText() {
    const std::string path = GetModuleFileNameLong(ProgramModuleHandle());
    // Under a ".vshost" host the program's own name without that part.
    std::string text = ExtractFileName(RemoveVsHostSuffix(path));
    std::string description;
    std::string version;
    GetFileVersionFacts(path, description, version);
    if (!description.empty()) {
        text += " - (" + description + ")";
    }
    return text;
}

std::string GetProgramVersion() {
    std::string description;
    std::string version;
    GetFileVersionFacts(GetProgramFileName(), description, version);
    return version;
}

std::string GetEnteredEmail() {
    std::lock_guard<std::mutex> lock(gEmailLock);
    return gEnteredEmail;
}

void SetEnteredEmail(std::string_view email) {
    std::lock_guard<std::mutex> lock(gEmailLock);
    gEnteredEmail.assign(email);
}

// ---- Network ----------------------------------------------------------------------------------

std::string FormatIpAddress(std::string_view address) {
    if (address.empty()) {
        return std::string(kNoAddress);
    }
    std::string result;
    std::size_t start = 0;
    for (;;) {
        const std::size_t dot = address.find('.', start);
        result += Pad3(address.substr(start, dot - start));
        if (dot == std::string_view::npos) {
            return result;
        }
        result += '.';
        start = dot + 1;
    }
}

void AppendAdapterFacts(TNetworkFacts& facts, const TAdapterFacts& adapter) {
    facts.Dhcp += adapter.DhcpEnabled ? "ON              - " : "OFF             - ";
    facts.Addresses += AppendSeparated(FormatIpAddress(adapter.Address));
    facts.Masks += AppendSeparated(FormatIpAddress(adapter.Mask));
    facts.Gateways += AppendSeparated(FormatIpAddress(adapter.Gateway));
    switch (adapter.DnsState) {
        case TAdapterFacts::dnsNotAsked:
            break;
        case TAdapterFacts::dnsFailed:
            facts.Dns1 += AppendSeparated(kNoAddress);
            facts.Dns2 += AppendSeparated(kNoAddress);
            break;
        case TAdapterFacts::dnsAnswered:
            facts.Dns1 += AppendSeparated(FormatIpAddress(adapter.Dns1));
            facts.Dns2 += AppendSeparated(FormatIpAddress(adapter.Dns2));
            break;
    }
}

void TrimListSeparators(TNetworkFacts& facts) {
    for (std::string* line : {&facts.Addresses, &facts.Masks, &facts.Gateways, &facts.Dns1, &facts.Dns2, &facts.Dhcp}) {
        if (line->size() >= kListSeparator.size() &&
            line->compare(line->size() - kListSeparator.size(), kListSeparator.size(), kListSeparator) == 0) {
            line->resize(line->size() - kListSeparator.size());
        }
    }
}

// ---- Text rules ------------------------------------------------------------------------------------

std::string CleanProcessPath(std::string_view path) {
    std::string folder = ExtractFilePath(path);
    if (folder.size() >= 2 && folder.back() == '\\' && folder[folder.size() - 2] != ':') {
        folder.pop_back();
    }
    if (folder.rfind("\\??\\", 0) == 0) {
        folder.erase(0, 4);
    }
    return folder;
}

std::string FormatKb(uint64_t bytes) {
    if (bytes == 0) {
        return std::string();
    }
    // nearbyint rounds halves to even in the default rounding mode.
    return std::to_string(static_cast<uint64_t>(std::nearbyint(static_cast<double>(bytes) / 1024.0))) + " Kb";
}

std::string ShortenVersion(std::string_view version) {
    const std::size_t first = version.find('.');
    const std::size_t second = first == std::string_view::npos ? first : version.find('.', first + 1);
    if (second == std::string_view::npos) {
        return std::string(version);
    }
    return std::string(version.substr(0, second + 1)) + "x";
}

std::string PriorityClassName(uint32_t priorityClass) {
    switch (priorityClass) {
        case 32: return "Normal";
        case 64: return "Low";
        case 128: return "High";
        case 256: return "Real-Time";
        case 0x4000: return "Below-Normal";
        case 0x8000: return "Above-Normal";
        default: return std::string();
    }
}

std::string CountOrUnknown(uint64_t count) { return count == 0 ? std::string("??") : std::to_string(count); }

std::string FormatMegabytes(uint64_t bytes) {
    return std::to_string(static_cast<uint64_t>(std::nearbyint(static_cast<double>(bytes) / 1048576.0))) + " Mb";
}

std::string FormatGigabytes(uint64_t bytes) {
    const double hundredths = std::floor(static_cast<double>(bytes) / 1073741824.0 * 100.0 + 0.5);
    char text[64];
    std::snprintf(text, sizeof text, "%.2f", hundredths / 100.0);
    std::string result = text;
    while (result.back() == '0') {
        result.pop_back();
    }
    if (result.back() == '.') {
        result.pop_back();
    }
    return result + " Gb";
}

std::string FormatPrivilegeLine(std::string_view name, bool enabled) {
    return PadTextRight(name, 31) + (enabled ? " - ON" : " - OFF") + "\r\n";
}

std::string FormatVideoCard(std::string_view name, std::string_view version, uint64_t memoryBytes) {
    std::string text = Trim(name) + " (driver " + std::string(version);
    if (memoryBytes != 0) {
        text += " - RAM " + std::to_string(memoryBytes / 1048576) + " MB";
    }
    return text + ")";
}

std::string FormatPrinter(std::string_view driverName, std::string_view driverVersion) {
    std::string version;
    for (char c : driverVersion) {
        if (c != ' ') {
            version += c;
        }
    }
    return std::string(driverName) + " (driver " + version + ")";
}

std::string FormatProcessorName(std::string_view nameString, std::string_view vendor, std::string_view identifier) {
    std::string name = Trim(nameString);
    if (name.empty()) {
        name = Trim(vendor);
        const std::string id = Trim(identifier);
        if (!name.empty() && !id.empty()) {
            name += " - " + id;
        }
    }
    return name.empty() ? std::string("Unknown processor") : name;
}

std::string RegisteredValueText(std::string_view value, bool nt6OrLater) {
    return nt6OrLater && value == "Microsoft" ? std::string() : std::string(value);
}

std::string FormatUpTime(uint64_t milliseconds) { return FormatTimeSpan(static_cast<double>(milliseconds) / 86400000.0); }

}  // namespace drevnik

// The facts as Windows gives them. Functions that older versions lack are
// bound by name; libraries loaded here are freed again and every handle and
// device context is released.
#include <windows.h>
#include <iphlpapi.h>
#include <winspool.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "crashreport/capture/DrevnikSystem.h"
#include "crashreport/capture/DrevnikUtils.h"
#include "crashreport/debuginfo/DrevnikModuleSystem.h"
#include "crashreport/debuginfo/DrevnikSystemFacts.h"
#include "crashreport/debuginfo/DrevnikWinHandles_win.h"

namespace drevnik {
namespace {

HMODULE Kernel32() { return GetModuleHandleW(L"kernel32.dll"); }

TWindowsVersion ReadWindowsVersion() {
    TWindowsVersion result;
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;
    if (GetVersionExA(&info)) {
        result.Platform = info.dwPlatformId;
        result.Major = info.dwMajorVersion;
        result.Minor = info.dwMinorVersion;
        result.Build = info.dwBuildNumber;
        result.ServicePack.assign(info.szCSDVersion, strnlen(info.szCSDVersion, sizeof info.szCSDVersion));
    }
    return result;
}

// The raw bytes of a registry value under HKEY_LOCAL_MACHINE; empty when missing.
std::vector<BYTE> ReadRegistryBytes(std::string_view keyPath, const char* valueName) {
    if (!keyPath.empty() && keyPath.front() == '\\') {
        keyPath.remove_prefix(1);
    }
    std::vector<BYTE> data;
    HKEY opened = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, std::string(keyPath).c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) {
        return data;
    }
    const TRegKey key(opened);
    DWORD size = 0;
    if (RegQueryValueExA(key.Get(), valueName, nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS || size == 0) {
        return data;
    }
    data.resize(size);
    if (RegQueryValueExA(key.Get(), valueName, nullptr, nullptr, data.data(), &size) != ERROR_SUCCESS) {
        data.clear();
    }
    data.resize(std::min<std::size_t>(data.size(), size));
    return data;
}

// A 4-byte value; 0 when missing or shorter.
uint32_t ReadRegistryDword(std::string_view keyPath, const char* valueName) {
    const std::vector<BYTE> data = ReadRegistryBytes(keyPath, valueName);
    uint32_t value = 0;
    if (data.size() >= sizeof value) {
        std::memcpy(&value, data.data(), sizeof value);
    }
    return value;
}

std::string ReadMachineString(std::string_view keyPath, std::string_view valueName) {
    return ReadRegistryString(kHkeyLocalMachine, keyPath, valueName);
}

// The name of a key's subkey by index (-1: the last one); empty when none.
std::string GetRegistrySubkeyName(std::string_view keyPath, int index) {
    HKEY opened = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, std::string(keyPath).c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) {
        return std::string();
    }
    const TRegKey key(opened);
    DWORD count = 0;
    if (index < 0 && (RegQueryInfoKeyA(key.Get(), nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr,
                                       nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS ||
                      count == 0)) {
        return std::string();
    }
    char name[256];
    DWORD length = sizeof name;
    const DWORD at = index < 0 ? count - 1 : static_cast<DWORD>(index);
    if (RegEnumKeyExA(key.Get(), at, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
        return std::string();
    }
    return std::string(name, length);
}

// The key of the first video device as the device map names it, from its
// "\SYSTEM" part on.
std::string VideoKeyFromDeviceMap() {
    const std::string value = ReadMachineString("Hardware\\Devicemap\\Video", "\\Device\\Video0");
    const std::size_t at = UpperCase(value).find("\\SYSTEM");
    return at == std::string::npos ? std::string() : value.substr(at);
}

struct TVideoCard {
    std::string Name;
    std::string Version;
    uint64_t Memory = 0;
};

TVideoCard ReadVideoCardEnumerated(const DISPLAY_DEVICEA& device, bool nt) {
    TVideoCard card;
    card.Name.assign(device.DeviceString, strnlen(device.DeviceString, sizeof device.DeviceString));
    if (nt) {
        std::string deviceKey = "System\\CurrentControlSet\\Enum\\" +
                                std::string(device.DeviceID, strnlen(device.DeviceID, sizeof device.DeviceID));
        deviceKey += "\\" + GetRegistrySubkeyName(deviceKey, 0);
        const std::string videoId = ReadMachineString(deviceKey + "\\Device Parameters", "VideoID");
        const std::string videoKey = !videoId.empty()
                                         ? "System\\CurrentControlSet\\Control\\Video\\" + videoId + "\\0000"
                                         : VideoKeyFromDeviceMap();
        card.Memory = ReadRegistryDword(videoKey, "HardwareInformation.MemorySize");
        const std::string driver = ReadMachineString(deviceKey, "Driver");
        card.Version = ReadMachineString("System\\CurrentControlSet\\Control\\Class\\" + driver, "DriverVersion");
    } else {
        const std::string deviceKey(device.DeviceKey, strnlen(device.DeviceKey, sizeof device.DeviceKey));
        card.Version = ReadMachineString(deviceKey, "Ver");
        card.Memory = ReadRegistryDword(deviceKey + "\\INFO", "VideoMemory");
    }
    return card;
}

TVideoCard ReadVideoCardFromRegistry(bool nt) {
    TVideoCard card;
    if (nt) {
        const std::string videoKey = VideoKeyFromDeviceMap();
        card.Memory = ReadRegistryDword(videoKey, "HardwareInformation.MemorySize");
        for (BYTE b : ReadRegistryBytes(videoKey, "HardwareInformation.AdapterString")) {
            if (b != 0) {
                card.Name += static_cast<char>(b);
            }
        }
        card.Version = GetProductVersionText(ReadMachineString(videoKey, "ImagePath"));
    } else {
        const std::string classKey = "System\\CurrentControlSet\\Services\\Class\\Display\\";
        std::string last = GetRegistrySubkeyName(classKey, -1);
        const std::string key = classKey + (last.empty() ? "0000" : last);
        card.Name = ReadMachineString(key, "DriverDesc");
        card.Version = ReadMachineString(key, "Ver");
        card.Memory = ReadRegistryDword(key + "\\INFO", "VideoMemory");
    }
    return card;
}

std::string GetDefaultPrinterName(HMODULE winspool) {
    if (IsWindowsNT4() || WindowsVersion().Platform == wpWindows9x) {
        char device[1024] = {};
        GetProfileStringA("windows", "device", "", device, 1023);
        const std::string entry = device;
        return entry.substr(0, entry.find(','));
    }
    using TGetDefaultPrinterA = BOOL(WINAPI*)(LPSTR, LPDWORD);
    const auto getDefault = BindProc<TGetDefaultPrinterA>(winspool, "GetDefaultPrinterA");
    char name[1024] = {};
    DWORD length = sizeof name;
    if (getDefault == nullptr || !getDefault(name, &length)) {
        return std::string();
    }
    return std::string(name, strnlen(name, sizeof name));
}

// One capability of the screen's device context; false without one.
bool ReadScreenCaps(int index, int& value) {
    const HDC screen = GetDC(nullptr);
    if (screen == nullptr) {
        return false;
    }
    value = GetDeviceCaps(screen, index);
    ReleaseDC(nullptr, screen);
    return true;
}

using TClosePrinter = BOOL(WINAPI*)(HANDLE);

// A printer opened through the bound winspool functions, closed on scope exit.
class TPrinterHandle {
public:
    TPrinterHandle(HANDLE printer, TClosePrinter close) : printer_(printer), close_(close) {}
    ~TPrinterHandle() { close_(printer_); }
    TPrinterHandle(const TPrinterHandle&) = delete;
    TPrinterHandle& operator=(const TPrinterHandle&) = delete;
    HANDLE Get() const { return printer_; }

private:
    HANDLE printer_;
    TClosePrinter close_;
};

}  // namespace

// ---- Windows version ---------------------------------------------------------------------

const TWindowsVersion& WindowsVersion() {
    static const TWindowsVersion version = ReadWindowsVersion();
    return version;
}

bool IsWow64() {
    using TIsWow64Process = BOOL(WINAPI*)(HANDLE, PBOOL);
    const auto isWow64 = BindProc<TIsWow64Process>(Kernel32(), "IsWow64Process");
    BOOL result = FALSE;
    return isWow64 != nullptr && isWow64(GetCurrentProcess(), &result) && result;
}

bool IsWorkstationProduct() {
    OSVERSIONINFOEXW info{};
    info.dwOSVersionInfoSize = sizeof info;
    return GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&info)) && info.wProductType == VER_NT_WORKSTATION;
}

// ---- User, computer and program --------------------------------------------------------------

void GetPhysicalMemory(uint64_t& total, uint64_t& available) {
    using TGlobalMemoryStatusEx = BOOL(WINAPI*)(MEMORYSTATUSEX*);
    if (const auto statusEx = BindProc<TGlobalMemoryStatusEx>(Kernel32(), "GlobalMemoryStatusEx")) {
        MEMORYSTATUSEX status{};
        status.dwLength = sizeof status;
        if (statusEx(&status)) {
            total = status.ullTotalPhys;
            available = status.ullAvailPhys;
            return;
        }
    }
    MEMORYSTATUS status{};
    status.dwLength = sizeof status;
    GlobalMemoryStatus(&status);
    total = status.dwTotalPhys;
    available = status.dwAvailPhys;
}

bool GetDiskSpace(uint64_t& total, uint64_t& freeToCaller) {
    using TGetDiskFreeSpaceExA = BOOL(WINAPI*)(LPCSTR, PULARGE_INTEGER, PULARGE_INTEGER, PULARGE_INTEGER);
    const auto diskFreeSpace = BindProc<TGetDiskFreeSpaceExA>(Kernel32(), "GetDiskFreeSpaceExA");
    const std::string module = GetLibraryModuleFileName();
    if (diskFreeSpace == nullptr || module.empty()) {
        return false;
    }
    const std::string root = module.substr(0, 1) + ":\\";
    ULARGE_INTEGER available;
    ULARGE_INTEGER size;
    if (!diskFreeSpace(root.c_str(), &available, &size, nullptr)) {
        return false;
    }
    total = size.QuadPart;
    freeToCaller = available.QuadPart;
    return true;
}

std::string GetUserNameText() {
    char name[256];
    DWORD length = sizeof name;
    if (!GetUserNameA(name, &length)) {
        return std::string();
    }
    return std::string(name, strnlen(name, sizeof name));
}

std::string GetDisplayModeText() {
    int bits = 0;
    if (!ReadScreenCaps(BITSPIXEL, bits)) {
        return std::string();
    }
    return std::to_string(GetSystemMetrics(SM_CXSCREEN)) + " x " + std::to_string(GetSystemMetrics(SM_CYSCREEN)) +
           ", " + std::to_string(bits) + " bit";
}

std::string GetDisplayDpiText() {
    int dpi = 0;
    return ReadScreenCaps(LOGPIXELSY, dpi) ? std::to_string(dpi) : std::string();
}

std::string GetVideoCardText() {
    using TEnumDisplayDevicesA = BOOL(WINAPI*)(LPCSTR, DWORD, DISPLAY_DEVICEA*, DWORD);
    const bool nt = WindowsVersion().Platform == wpWindowsNT;
    const auto enumDevices = BindProc<TEnumDisplayDevicesA>(GetModuleHandleW(L"user32.dll"), "EnumDisplayDevicesA");
    TVideoCard card;
    if (enumDevices != nullptr && CanEnumDisplayDevices()) {
        DISPLAY_DEVICEA device{};
        device.cb = sizeof device;
        if (enumDevices(nullptr, 0, &device, 0)) {
            card = ReadVideoCardEnumerated(device, nt);
        }
    } else {
        card = ReadVideoCardFromRegistry(nt);
    }
    return FormatVideoCard(card.Name, card.Version, card.Memory);
}

std::string GetDefaultPrinterText() {
    using TOpenPrinterA = BOOL(WINAPI*)(LPSTR, LPHANDLE, LPPRINTER_DEFAULTSA);
    using TGetPrinterDriverA = BOOL(WINAPI*)(HANDLE, LPSTR, DWORD, LPBYTE, DWORD, LPDWORD);
    const TLoadedLibrary winspool(LoadLibraryW(L"winspool.drv"));
    const auto openPrinter = BindProc<TOpenPrinterA>(winspool.Get(), "OpenPrinterA");
    const auto closePrinter = BindProc<TClosePrinter>(winspool.Get(), "ClosePrinter");
    const auto getDriver = BindProc<TGetPrinterDriverA>(winspool.Get(), "GetPrinterDriverA");
    if (openPrinter == nullptr || closePrinter == nullptr || getDriver == nullptr) {
        return std::string();
    }
    std::string name = GetDefaultPrinterName(winspool.Get());
    HANDLE opened = nullptr;
    if (name.empty() || !openPrinter(name.data(), &opened, nullptr) || opened == nullptr) {
        return std::string();
    }
    const TPrinterHandle printer(opened, closePrinter);
    DWORD needed = 0;
    getDriver(printer.Get(), nullptr, 2, nullptr, 0, &needed);
    if (needed < sizeof(DRIVER_INFO_2A)) {
        return std::string();
    }
    std::vector<BYTE> buffer(needed);
    if (!getDriver(printer.Get(), nullptr, 2, buffer.data(), needed, &needed)) {
        return std::string();
    }
    const auto* info = reinterpret_cast<const DRIVER_INFO_2A*>(buffer.data());
    if (info->pName == nullptr) {
        return std::string();
    }
    return FormatPrinter(info->pName, GetProductVersionText(info->pDriverPath != nullptr ? info->pDriverPath : ""));
}

std::string GetPrivilegesText() {
    HANDLE opened = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &opened)) {
        return std::string();
    }
    const TKernelHandle token(opened);
    DWORD size = 0;
    GetTokenInformation(token.Get(), TokenPrivileges, nullptr, 0, &size);
    if (size < sizeof(TOKEN_PRIVILEGES)) {
        return std::string();
    }
    std::vector<BYTE> buffer(size);
    if (!GetTokenInformation(token.Get(), TokenPrivileges, buffer.data(), size, &size)) {
        return std::string();
    }
    const auto* privileges = reinterpret_cast<const TOKEN_PRIVILEGES*>(buffer.data());
    const std::size_t fits = (buffer.size() - offsetof(TOKEN_PRIVILEGES, Privileges)) / sizeof(LUID_AND_ATTRIBUTES);
    std::string text;
    for (DWORD i = 0; i < privileges->PrivilegeCount && i < fits; ++i) {
        LUID luid = privileges->Privileges[i].Luid;
        DWORD length = 0;
        LookupPrivilegeNameW(nullptr, &luid, nullptr, &length);
        if (length == 0) {
            continue;
        }
        std::vector<char> name(length + 1);
        length = static_cast<DWORD>(name.size());
        if (!LookupPrivilegeNameA(nullptr, &luid, name.data(), &length)) {
            continue;
        }
        text += FormatPrivilegeLine(std::string_view(name.data(), strnlen(name.data(), name.size())),
                                    (privileges->Privileges[i].Attributes & SE_PRIVILEGE_ENABLED) != 0);
    }
    return text;
}

std::string GetSystemUpTimeText() {
    // GetTickCount wraps after 49.7 days; its 64-bit twin from Vista on does not.
    using TGetTickCount64 = ULONGLONG(WINAPI*)();
    const auto tickCount64 = BindProc<TGetTickCount64>(Kernel32(), "GetTickCount64");
    return FormatUpTime(tickCount64 != nullptr ? tickCount64() : GetTickCount());
}

// ---- Network ----------------------------------------------------------------------------------

TNetworkFacts GetNetworkFacts() {
    using TGetAdaptersInfo = DWORD(WINAPI*)(PIP_ADAPTER_INFO, PULONG);
    using TGetPerAdapterInfo = DWORD(WINAPI*)(ULONG, PIP_PER_ADAPTER_INFO, PULONG);
    TNetworkFacts facts;
    const TLoadedLibrary iphlpapi(LoadLibraryW(L"iphlpapi.dll"));
    const auto adaptersInfo = BindProc<TGetAdaptersInfo>(iphlpapi.Get(), "GetAdaptersInfo");
    const auto perAdapterInfo = BindProc<TGetPerAdapterInfo>(iphlpapi.Get(), "GetPerAdapterInfo");
    if (adaptersInfo == nullptr || perAdapterInfo == nullptr) {
        return facts;
    }
    ULONG size = 0;
    // A size below one record would have the list read past its buffer.
    if (adaptersInfo(nullptr, &size) != ERROR_BUFFER_OVERFLOW || size < sizeof(IP_ADAPTER_INFO)) {
        return facts;
    }
    std::vector<BYTE> buffer(size);
    auto* first = reinterpret_cast<IP_ADAPTER_INFO*>(buffer.data());
    if (adaptersInfo(first, &size) != ERROR_SUCCESS) {
        return facts;
    }
    for (const IP_ADAPTER_INFO* adapter = first; adapter != nullptr; adapter = adapter->Next) {
        TAdapterFacts entry;
        entry.DhcpEnabled = adapter->DhcpEnabled == 1;
        entry.Address = adapter->IpAddressList.IpAddress.String;
        entry.Mask = adapter->IpAddressList.IpMask.String;
        entry.Gateway = adapter->GatewayList.IpAddress.String;
        ULONG dnsSize = 0;
        if (perAdapterInfo(adapter->Index, nullptr, &dnsSize) == ERROR_BUFFER_OVERFLOW) {
            std::vector<BYTE> dnsBuffer(std::max<ULONG>(dnsSize, sizeof(IP_PER_ADAPTER_INFO)));
            auto* dns = reinterpret_cast<IP_PER_ADAPTER_INFO*>(dnsBuffer.data());
            if (perAdapterInfo(adapter->Index, dns, &dnsSize) == ERROR_SUCCESS) {
                entry.DnsState = TAdapterFacts::dnsAnswered;
                entry.Dns1 = dns->DnsServerList.IpAddress.String;
                if (dns->DnsServerList.Next != nullptr) {
                    entry.Dns2 = dns->DnsServerList.Next->IpAddress.String;
                }
            } else {
                entry.DnsState = TAdapterFacts::dnsFailed;
            }
        }
        AppendAdapterFacts(facts, entry);
    }
    TrimListSeparators(facts);
    return facts;
}

}  // namespace drevnik

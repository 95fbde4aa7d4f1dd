// Host stand-ins: what a Linux host can answer (user, memory, disk, up
// time); the Windows-only facts are empty and the version unknown.
#include <sys/statvfs.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>

#include "crashreport/capture/DrevnikSystem.h"
#include "crashreport/debuginfo/DrevnikSystemFacts.h"

namespace drevnik {
namespace {

uint64_t PhysicalPages(int name) {
    const long pages = sysconf(name);
    const long pageSize = sysconf(_SC_PAGESIZE);
    return pages > 0 && pageSize > 0 ? static_cast<uint64_t>(pages) * static_cast<uint64_t>(pageSize) : 0;
}

}  // namespace

bool GetDiskSpace(uint64_t& total, uint64_t& freeToCaller) {
    struct statvfs info;
    if (statvfs("/", &info) != 0) {
        return false;
    }
    total = static_cast<uint64_t>(info.f_blocks) * info.f_frsize;
    freeToCaller = static_cast<uint64_t>(info.f_bavail) * info.f_frsize;
    return true;
}

void GetPhysicalMemory(uint64_t& total, uint64_t& available) {
    total = PhysicalPages(_SC_PHYS_PAGES);
    available = PhysicalPages(_SC_AVPHYS_PAGES);
}

const TWindowsVersion& WindowsVersion() {
    static const TWindowsVersion version;
    return version;
}

bool IsWow64() { return false; }
bool IsWorkstationProduct() { return false; }

std::string GetUserNameText() {
    const char* user = std::getenv("USER");
    return user != nullptr ? std::string(user) : std::string();
}

std::string GetDisplayModeText() { return std::string(); }
std::string GetDisplayDpiText() { return std::string(); }
std::string GetVideoCardText() { return std::string(); }
std::string GetDefaultPrinterText() { return std::string(); }
std::string GetPrivilegesText() { return std::string(); }

std::string GetSystemUpTimeText() {
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    return FormatUpTime(static_cast<uint64_t>(now.tv_sec) * 1000 + static_cast<uint64_t>(now.tv_nsec / 1000000));
}

TNetworkFacts GetNetworkFacts() { return TNetworkFacts(); }

}  // namespace drevnik

// Host stand-ins: the host knows one module, the program that holds the
// library, and no version resources or runtime packages.
#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

#include "crashreport/debuginfo/DrevnikModuleSystem.h"

namespace drevnik {
namespace {

std::string ToUnixPath(std::string_view path) {
    std::string result(path);
    for (char& c : result) {
        if (c == '\\') c = '/';
    }
    return result;
}

}  // namespace

TModuleHandle ProgramModuleHandle() { return LibraryModuleHandle(); }

TModuleHandle FindModuleOfAddress(uintptr_t address) {
    Dl_info info;
    if (dladdr(reinterpret_cast<void*>(address), &info) == 0) {
        return 0;
    }
    return reinterpret_cast<TModuleHandle>(info.dli_fbase);
}

std::vector<TModuleHandle> EnumerateModulesPsapi() { return {LibraryModuleHandle()}; }
std::vector<TModuleHandle> EnumerateModulesToolhelp() { return {LibraryModuleHandle()}; }

uintptr_t ResolveLoadedForwarder(std::string_view) { return 0; }
bool HasPackageResources(std::string_view) { return false; }

void GetFileVersionFacts(std::string_view, std::string& description, std::string& version) {
    description.clear();
    version.clear();
}

std::string GetProductVersionText(std::string_view) { return std::string(); }

uint64_t GetFileSizeBytes(std::string_view filePath) {
    struct stat st;
    if (filePath.empty() || stat(ToUnixPath(filePath).c_str(), &st) != 0) {
        return 0;
    }
    return static_cast<uint64_t>(st.st_size);
}

bool ForceDeleteFile(std::string_view filePath) {
    const std::string path = ToUnixPath(filePath);
    struct stat st;
    if (stat(path.c_str(), &st) == 0 && (st.st_mode & S_IWUSR) == 0) {
        chmod(path.c_str(), st.st_mode | S_IWUSR);
    }
    return unlink(path.c_str()) == 0;
}

}  // namespace drevnik

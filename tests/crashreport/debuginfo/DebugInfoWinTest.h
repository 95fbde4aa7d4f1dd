// What the Windows tests of the debug-information facts share: the folder of
// the test program (the fixtures lie beside it) and objdump's export tables.
#pragma once

#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "crashreport/capture/DrevnikUtils.h"

namespace drevnik {

// The test program's folder, with its final "\".
inline std::string TestProgramFolder() {
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    return ExtractFilePath(std::string(path, length));
}

// A library loaded for a test and freed when the test ends.
class TLoadedFixture {
public:
    explicit TLoadedFixture(const std::string& fileName)
        : module_(LoadLibraryA((TestProgramFolder() + fileName).c_str())) {}
    ~TLoadedFixture() { Free(); }
    TLoadedFixture(const TLoadedFixture&) = delete;
    TLoadedFixture& operator=(const TLoadedFixture&) = delete;
    HMODULE Module() const { return module_; }
    uintptr_t Handle() const { return reinterpret_cast<uintptr_t>(module_); }
    void Free() {
        if (module_ != nullptr) FreeLibrary(module_);
        module_ = nullptr;
    }

private:
    HMODULE module_;
};

// objdump's view of a DLL's exports (make_export_reference.py): for each
// name, "rva <hex>" or "forward <target>".
struct TExportReference {
    bool Found = false;
    uint64_t FileSize = 0;
    std::map<std::string, std::string> Exports;
};

inline TExportReference LoadExportReference(const std::string& dllFileName) {
    TExportReference reference;
    const char* dir = std::getenv("KYN_EXPORT_REFERENCE");
    if (dir == nullptr) return reference;
    std::string path = std::string(dir) + "/" + LowerCase(dllFileName) + ".exports";
    if (path[0] == '/') path = "Z:" + path;  // Wine's drive for the Unix root
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::string first, kind, value;
        words >> first >> kind;
        if (first == "size") {
            reference.FileSize = std::stoull(kind);
            reference.Found = true;
        } else {
            words >> value;
            reference.Exports[first] = kind + " " + value;
        }
    }
    return reference;
}

}  // namespace drevnik

// Walks its own stack at the end of a call chain across three source files
// and writes every resolved row (address relative to the module, unit,
// class, routine, line) for check_walk.py to compare with addr2line. It also
// asks the MAP, TD32 and JCL files beside it about each row's address and
// fails when any answers differently from the library data.
//
//   walk_fixture ROWS_FILE
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "crashreport/debuginfo/DrevnikAddressLookup.h"
#include "crashreport/debuginfo/DrevnikCallStack.h"
#include "crashreport/debuginfo/DrevnikDebugInfoSources.h"
#include "crashreport/debuginfo/DrevnikModules.h"
#include "walk_fixture.h"

namespace walkfixture {

std::string gRowsFile;
volatile int gSinkMain = 0;

namespace {

using namespace drevnik;

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string FileName(const std::string& path) { return path.substr(path.find_last_of("\\/") + 1); }

int CompareExternal(const TCallStackEntry& row, TModuleHandle module, const std::string& stem) {
    const std::string tds = ReadAll(stem + ".tds"), jdbg = ReadAll(stem + ".jdbg");
    std::vector<std::unique_ptr<TDVDebugInfoSource>> sources;
    sources.push_back(std::make_unique<TDVDebugInfoMap>(module, std::make_unique<TDVMapScanner>(ReadAll(stem + ".map"))));
    sources.push_back(std::make_unique<TDVDebugInfoTD32>(
        module, std::make_unique<TDVTD32InfoScanner>(std::vector<uint8_t>(tds.begin(), tds.end()))));
    sources.push_back(std::make_unique<TDVDebugInfoJedy>(
        module, std::make_unique<TDVBinDebugScanner>(std::vector<uint8_t>(jdbg.begin(), jdbg.end()), true)));
    const char* names[] = {"MAP", "TD32", "JCL"};
    int failures = 0;
    for (std::size_t i = 0; i < sources.size(); ++i) {
        TDVLocationInfo location;
        TCallStackEntry e;
        const bool found = sources[i]->HasData() && sources[i]->LookupLocation(row.CodeAddress, location) &&
                           FillEntryFromLocation(location, e, true);
        if (!found || FileName(e.UnitFile) != FileName(row.UnitFile) || e.ClassPart != row.ClassPart ||
            e.RoutineName != row.RoutineName || e.SourceLine != row.SourceLine) {
            std::printf("%s differs at %p: %s %s.%s %d, library data: %s %s.%s %d\n", names[i],
                        reinterpret_cast<void*>(row.CodeAddress), e.UnitFile.c_str(), e.ClassPart.c_str(),
                        e.RoutineName.c_str(), e.SourceLine, row.UnitFile.c_str(), row.ClassPart.c_str(),
                        row.RoutineName.c_str(), row.SourceLine);
            ++failures;
        }
    }
    return failures;
}

}  // namespace

#if !defined(_WIN64)
__attribute__((noinline)) uintptr_t ReturnAddress() { return reinterpret_cast<uintptr_t>(__builtin_return_address(0)); }
#endif

__attribute__((noinline)) int WalkHere(int) {
    TStackScanParams params;
    params.ThreadId = GetCurrentThreadId();
#if defined(_WIN64)
    CONTEXT context{};
    RtlCaptureContext(&context);
    params.StackStart = context.Rsp;
    const uintptr_t pc = context.Rip;
#else
    // i686's RtlCaptureContext describes the caller's caller (it reads the
    // caller's saved frame pointer): this routine's own stack pointer and an
    // address in it instead.
    uintptr_t sp = 0;
    asm volatile("movl %%esp, %0" : "=r"(sp));
    params.StackStart = sp;
    const uintptr_t pc = ReturnAddress();
#endif
    // The committed region that holds this frame ends at the stack's top.
    MEMORY_BASIC_INFORMATION region{};
    VirtualQuery(reinterpret_cast<const void*>(params.StackStart), &region, sizeof region);
    params.StackEnd = reinterpret_cast<uintptr_t>(region.BaseAddress) + region.RegionSize - 4;
    TDrevnikStackList list;
    ScanStack(list, params, pc);

    const TModuleHandle module = reinterpret_cast<TModuleHandle>(GetModuleHandleW(nullptr));
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string stem = path;
    stem.erase(stem.rfind('.'));
    FILE* rows = std::fopen(gRowsFile.c_str(), "w");
    if (rows == nullptr) return 100;
    int failures = 0;
    for (int i = 0; i < list.Count(); ++i) {
        const TCallStackEntry& e = list[i];
        if (e.EntryKind != ekUnitRoutineLine || e.ModuleRecord == nullptr || e.ModuleRecord->ModuleHandle != module)
            continue;
        std::fprintf(rows, "%llx\t%s\t%s\t%s\t%d\n", static_cast<unsigned long long>(e.CodeAddress - module),
                     e.UnitFile.c_str(), e.ClassPart.c_str(), e.RoutineName.c_str(), e.SourceLine);
        failures += CompareExternal(e, module, stem);
    }
    std::fclose(rows);
    return failures;
}

}  // namespace walkfixture

int main(int argc, char** argv) {
    if (argc != 2) return 99;
    walkfixture::gRowsFile = argv[1];
    drevnik::InstallDebugInfoReaders();
    walkfixture::TOuter outer;
    const int failures = outer.Run(3);
    walkfixture::gSinkMain = failures;
    // Run adds 1, Twice doubles, Recurse adds 1 per level and 2 at the end.
    return (failures - 1) / 2 - 2 - 3;
}

#include "crashreport/capture/DrevnikShared.h"

#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <mutex>

#include "crashreport/capture/DrevnikByteReader.h"
#include "crashreport/capture/DrevnikOptions.h"
#include "crashreport/capture/DrevnikOptionsStream.h"

namespace drevnik {
namespace {

// The block this copy of the library published last, kept open so that it
// lives until the next publication or shut-down.
std::mutex gPublishedMutex;
TSharedBlock gPublished;

bool IsSaneOptions(const TDrevnikModuleOptions* options) {
    return options != nullptr && IsReadableMemory(options, sizeof *options) && options->ModuleHandle() != 0;
}

}  // namespace

std::string SharedBlockName(uint32_t processId, TModuleHandle module) {
    char name[40];
    std::snprintf(name, sizeof name, "%08" PRIX32 "%0*" PRIXPTR, processId, static_cast<int>(2 * sizeof(uintptr_t)),
                  module);
    return name;
}

TSharedBlock OpenSharedBlock(TModuleHandle module, std::size_t dataSize) {
    return OpenSharedBlockOf(GetCurrentProcessIdValue(), module, dataSize);
}

void CloseSharedBlock(TSharedBlock& block) { block.Close(); }

void PublishSharedOptions(const TDrevnikModuleOptions* options) {
    if (!IsSaneOptions(options)) {
        return;
    }
    std::string data(1, '\x01');
    options->SaveToStream(data);

    const TModuleHandle module = options->ModuleHandle();
    std::lock_guard<std::mutex> slot(gPublishedMutex);
    TSharedBlockLock lock(GetCurrentProcessIdValue(), module);
    if (!lock.Locked()) {
        return;
    }
    CloseSharedBlock(gPublished);
    gPublished = OpenSharedBlock(module, data.size());
    if (!gPublished || gPublished.Capacity() == 0) {
        return;
    }
    if (gPublished.Capacity() >= data.size()) {
        std::memcpy(gPublished.Data(), data.data(), data.size());
    } else {
        gPublished.Data()[0] = 0;
    }
}

bool LoadSharedOptionsOf(TDrevnikModuleOptions* options, uint32_t processId, TModuleHandle module) {
    if (options == nullptr || !IsReadableMemory(options, sizeof *options) || module == 0) {
        return false;
    }
    std::string bytes;
    {
        TSharedBlockLock lock(processId, module);
        if (!lock.Locked()) {
            return false;
        }
        TSharedBlock block = OpenSharedBlockOf(processId, module, 0);
        if (!block || block.Capacity() < 1 || block.Data()[0] == 0) {
            return false;
        }
        bytes.assign(reinterpret_cast<const char*>(block.Data()) + 1, block.Capacity() - 1);
    }
    SetOptionsLayoutVersion(kOwnOptionsLayoutVersion);
    try {
        TDrevnikByteReader reader(bytes, "Shared options block " + SharedBlockName(processId, module));
        options->LoadFromStreamAs(reader, kOwnOptionsLayoutVersion);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool LoadSharedOptions(TDrevnikModuleOptions* options) {
    if (!IsSaneOptions(options)) {
        return false;
    }
    return LoadSharedOptionsOf(options, GetCurrentProcessIdValue(), options->ModuleHandle());
}

void ResetSharedOptionsBlock(TModuleHandle module) {
    std::lock_guard<std::mutex> slot(gPublishedMutex);
    TSharedBlockLock lock(GetCurrentProcessIdValue(), module);
    CloseSharedBlock(gPublished);
    gPublished = OpenSharedBlock(module, 1);
    if (gPublished && gPublished.Capacity() >= 1 && lock.Locked()) {
        gPublished.Data()[0] = 0;
    }
}

void CloseSharedOptionsBlock() {
    std::lock_guard<std::mutex> slot(gPublishedMutex);
    CloseSharedBlock(gPublished);
}

}  // namespace drevnik

// Shared blocks as named file mappings backed by the paging file, and their
// lock as a named mutex beside them.
#include <windows.h>

#include <cstring>

#include "crashreport/capture/DrevnikShared.h"

namespace drevnik {

struct TSharedBlock::Impl {
    HANDLE mapping = nullptr;
    uint8_t* view = nullptr;
    std::size_t capacity = 0;
    ~Impl() {
        if (view != nullptr) {
            UnmapViewOfFile(view);
        }
        if (mapping != nullptr) {
            CloseHandle(mapping);
        }
    }
};

TSharedBlock::TSharedBlock() = default;
TSharedBlock::TSharedBlock(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
TSharedBlock::~TSharedBlock() = default;
TSharedBlock::TSharedBlock(TSharedBlock&&) noexcept = default;
TSharedBlock& TSharedBlock::operator=(TSharedBlock&&) noexcept = default;
uint8_t* TSharedBlock::Data() const { return impl_ ? impl_->view + 4 : nullptr; }
std::size_t TSharedBlock::Capacity() const { return impl_ ? impl_->capacity : 0; }
void TSharedBlock::Close() { impl_.reset(); }

TSharedBlock OpenSharedBlockOf(uint32_t processId, TModuleHandle module, std::size_t dataSize) {
    const std::string name = SharedBlockName(processId, module);
    auto impl = std::make_unique<TSharedBlock::Impl>();
    bool existed = true;
    if (dataSize == 0) {
        impl->mapping = OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, name.c_str());
    } else {
        if (dataSize > 0x7FFFFFF0u) {
            return TSharedBlock();
        }
        impl->mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                           static_cast<DWORD>(dataSize + 4), name.c_str());
        existed = GetLastError() == ERROR_ALREADY_EXISTS;
    }
    if (impl->mapping == nullptr) {
        return TSharedBlock();
    }
    impl->view = static_cast<uint8_t*>(MapViewOfFile(impl->mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0));
    MEMORY_BASIC_INFORMATION info;
    if (impl->view == nullptr || VirtualQuery(impl->view, &info, sizeof info) != sizeof info || info.RegionSize < 4) {
        return TSharedBlock();
    }
    uint32_t total;
    if (existed) {
        // The size word comes from another holder: trust it only within the mapping.
        std::memcpy(&total, impl->view, sizeof total);
        if (total < 4 || total > info.RegionSize) {
            return TSharedBlock();
        }
    } else {
        total = static_cast<uint32_t>(dataSize + 4);
        std::memcpy(impl->view, &total, sizeof total);
    }
    impl->capacity = total - 4;
    return TSharedBlock(std::move(impl));
}

struct TSharedBlockLock::Impl {
    HANDLE mutex = nullptr;
    bool locked = false;
};

TSharedBlockLock::TSharedBlockLock(uint32_t processId, TModuleHandle module, unsigned timeoutMs)
    : impl_(std::make_unique<Impl>()) {
    const std::string name = SharedBlockName(processId, module) + "_Lock";
    impl_->mutex = CreateMutexA(nullptr, FALSE, name.c_str());
    if (impl_->mutex != nullptr) {
        // An abandoned lock is ours now; what its holder left half written
        // fails to parse and is refused by the reader.
        const DWORD wait = WaitForSingleObject(impl_->mutex, timeoutMs);
        impl_->locked = wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED;
    }
}

TSharedBlockLock::~TSharedBlockLock() {
    if (impl_->locked) {
        ReleaseMutex(impl_->mutex);
    }
    if (impl_->mutex != nullptr) {
        CloseHandle(impl_->mutex);
    }
}

bool TSharedBlockLock::Locked() const { return impl_->locked; }

}  // namespace drevnik

// Host stand-in for the named shared blocks: blocks of this process only,
// kept by name while a holder has them open, as Windows keeps a mapping.
#include <chrono>
#include <cstring>
#include <map>
#include <mutex>
#include <vector>

#include "crashreport/capture/DrevnikShared.h"

namespace drevnik {
namespace {

using Region = std::vector<uint8_t>;

std::mutex& RegistryMutex() {
    static std::mutex mutex;
    return mutex;
}

std::map<std::string, std::weak_ptr<Region>>& Registry() {
    static auto* registry = new std::map<std::string, std::weak_ptr<Region>>;  // outlives every holder
    return *registry;
}

std::recursive_timed_mutex& BlockLock() {
    static auto* lock = new std::recursive_timed_mutex;
    return *lock;
}

}  // namespace

struct TSharedBlock::Impl {
    std::shared_ptr<Region> region;
    std::size_t capacity = 0;
};

TSharedBlock::TSharedBlock() = default;
TSharedBlock::TSharedBlock(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
TSharedBlock::~TSharedBlock() = default;
TSharedBlock::TSharedBlock(TSharedBlock&&) noexcept = default;
TSharedBlock& TSharedBlock::operator=(TSharedBlock&&) noexcept = default;
uint8_t* TSharedBlock::Data() const { return impl_ ? impl_->region->data() + 4 : nullptr; }
std::size_t TSharedBlock::Capacity() const { return impl_ ? impl_->capacity : 0; }
void TSharedBlock::Close() { impl_.reset(); }

TSharedBlock OpenSharedBlockOf(uint32_t processId, TModuleHandle module, std::size_t dataSize) {
    const std::string name = SharedBlockName(processId, module);
    std::lock_guard<std::mutex> guard(RegistryMutex());
    std::shared_ptr<Region> region = Registry()[name].lock();
    auto impl = std::make_unique<TSharedBlock::Impl>();
    uint32_t total;
    if (region) {
        std::memcpy(&total, region->data(), sizeof total);
        if (total < 4 || total > region->size()) {
            return TSharedBlock();
        }
    } else {
        if (dataSize == 0 || dataSize > 0x7FFFFFF0u) {
            Registry().erase(name);
            return TSharedBlock();
        }
        total = static_cast<uint32_t>(dataSize + 4);
        region = std::make_shared<Region>(total);
        std::memcpy(region->data(), &total, sizeof total);
        Registry()[name] = region;
    }
    impl->region = std::move(region);
    impl->capacity = total - 4;
    return TSharedBlock(std::move(impl));
}

struct TSharedBlockLock::Impl {
    bool locked = false;
};

TSharedBlockLock::TSharedBlockLock(uint32_t, TModuleHandle, unsigned timeoutMs) : impl_(std::make_unique<Impl>()) {
    impl_->locked = BlockLock().try_lock_for(std::chrono::milliseconds(timeoutMs));
}

TSharedBlockLock::~TSharedBlockLock() {
    if (impl_->locked) {
        BlockLock().unlock();
    }
}

bool TSharedBlockLock::Locked() const { return impl_->locked; }

}  // namespace drevnik

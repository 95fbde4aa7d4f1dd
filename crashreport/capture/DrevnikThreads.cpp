#include "crashreport/capture/DrevnikThreads.h"

#include "crashreport/capture/DrevnikSystem.h"

namespace drevnik {
namespace {

std::unique_ptr<TTrackedThread> CopyRecord(const TTrackedThread& source) {
    auto copy = std::make_unique<TTrackedThread>();
    copy->ThreadId = source.ThreadId;
    copy->ThreadHandle = TThreadHandle::DuplicateOf(source.ThreadHandle.Get());
    copy->ResumerThreadId = source.ResumerThreadId;
    copy->Priority = source.Priority;
    copy->ThreadObject = source.ThreadObject;
    copy->StackTop = source.StackTop;
    copy->OriginalExecute = source.OriginalExecute;
    copy->ThreadFunc = source.ThreadFunc;
    copy->StartRoutine = source.StartRoutine;
    copy->Parameter = source.Parameter;
    copy->ResumerStackStart = source.ResumerStackStart;
    copy->ResumerStack = source.ResumerStack;
    copy->ForeignCopy = source.ForeignCopy;
    return copy;
}

}  // namespace

TTrackedThreadWire ToWire(const TTrackedThread& record) {
    TTrackedThreadWire wire{};
    wire.ThreadId = record.ThreadId;
    wire.ThreadHandle = record.ThreadHandle.Get();
    wire.ResumerThreadId = record.ResumerThreadId;
    wire.Priority = record.Priority;
    wire.ThreadObject = reinterpret_cast<uintptr_t>(record.ThreadObject);
    wire.StackTop = record.StackTop;
    wire.OriginalExecute = record.OriginalExecute;
    wire.ThreadFunc = record.ThreadFunc;
    wire.StartRoutine = record.StartRoutine;
    wire.Parameter = record.Parameter;
    wire.ResumerStackSize = static_cast<uint32_t>(record.ResumerStack.size());
    wire.ResumerStack = reinterpret_cast<uintptr_t>(record.ResumerStack.data());
    wire.ForeignCopy = record.ForeignCopy ? 1 : 0;
    return wire;
}

std::unique_ptr<TTrackedThread> FromWire(const TTrackedThreadWire& wire) {
    auto record = std::make_unique<TTrackedThread>();
    record->ThreadId = wire.ThreadId;
    record->ThreadHandle = TThreadHandle::DuplicateOf(wire.ThreadHandle);
    record->ResumerThreadId = wire.ResumerThreadId;
    record->Priority = wire.Priority;
    record->ThreadObject = reinterpret_cast<void*>(wire.ThreadObject);
    record->StackTop = wire.StackTop;
    record->OriginalExecute = wire.OriginalExecute;
    record->ThreadFunc = wire.ThreadFunc;
    record->StartRoutine = wire.StartRoutine;
    record->Parameter = wire.Parameter;
    const auto* stack = reinterpret_cast<const uint8_t*>(wire.ResumerStack);
    if (stack != nullptr && wire.ResumerStackSize != 0 && IsReadableMemory(stack, wire.ResumerStackSize)) {
        record->ResumerStack.assign(stack, stack + wire.ResumerStackSize);  // the wire carries no start address
    }
    record->ForeignCopy = wire.ForeignCopy != 0;
    return record;
}

TDrevnikThreadsList::TDrevnikThreadsList() : lock_(std::make_unique<std::shared_mutex>()) {}

TDrevnikThreadsList::TDrevnikThreadsList(const TDrevnikThreadsList& source) {
    const auto guard = source.ReadLock();
    for (int i = 0; i < source.Count(); ++i) Add(CopyRecord(source.GetItem(i)));
}

std::shared_lock<std::shared_mutex> TDrevnikThreadsList::ReadLock() const {
    return lock_ ? std::shared_lock<std::shared_mutex>(*lock_) : std::shared_lock<std::shared_mutex>();
}

std::unique_lock<std::shared_mutex> TDrevnikThreadsList::WriteLock() const {
    return lock_ ? std::unique_lock<std::shared_mutex>(*lock_) : std::unique_lock<std::shared_mutex>();
}

int TDrevnikThreadsList::IndexOfHandle(uintptr_t handle) const {
    const uint32_t id = ThreadIdOfHandle(handle);
    for (int i = Count() - 1; i >= 0; --i) {
        const TTrackedThread& record = GetItem(i);
        if ((id != 0 && record.ThreadId == id) || (handle != 0 && record.ThreadHandle.Get() == handle)) return i;
    }
    return -1;
}

int TDrevnikThreadsList::IndexOfThreadObject(const void* object) const {
    for (int i = Count() - 1; i >= 0; --i) {
        if (GetItem(i).ThreadObject == object) return i;
    }
    return -1;
}

int TDrevnikThreadsList::IndexOfThreadId(uint32_t id) const {
    for (int i = Count() - 1; i >= 0; --i) {
        if (GetItem(i).ThreadId == id) return i;
    }
    return -1;
}

void TDrevnikThreadsList::RemoveCurrentThread() {
    const auto guard = WriteLock();
    const int index = IndexOfThreadId(CurrentThreadIdValue());
    if (index >= 0) Delete(index);
}

void TDrevnikThreadsList::PurgeDeadThreads() {
    const auto guard = WriteLock();
    for (int i = Count() - 1; i >= 0; --i) {
        if (!IsThreadRunning(GetItem(i).ThreadHandle.Get())) Delete(i);
    }
}

}  // namespace drevnik

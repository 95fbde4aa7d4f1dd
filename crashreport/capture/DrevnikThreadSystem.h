// The few thread facts the thread list asks the system for, and the handle
// type it keeps. Windows implements them in DrevnikThreadSystem_win.cpp; the
// host build has stand-ins without real thread handles.
#pragma once

#include <cstdint>
#include <utility>

namespace drevnik {

uint32_t CurrentThreadIdValue();
// A new handle to the same thread, with every access right; 0 on failure.
uintptr_t DuplicateThreadHandle(uintptr_t handle);
void CloseThreadHandle(uintptr_t handle);
// The id of the thread a handle names (also the current-thread pseudo-handle); 0 when unknown.
uint32_t ThreadIdOfHandle(uintptr_t handle);
// A valid handle whose thread has not ended (exit code STILL_ACTIVE).
bool IsThreadRunning(uintptr_t handle);
// Upper end (base) and lower limit of the calling thread's stack.
uintptr_t GetThreadStackBase();
uintptr_t GetThreadStackLimit();

// A thread handle that the holder owns: closed with its holder, never copied.
class TThreadHandle {
public:
    TThreadHandle() = default;
    explicit TThreadHandle(uintptr_t handle) : handle_(handle) {}
    ~TThreadHandle() { Reset(); }
    TThreadHandle(TThreadHandle&& other) noexcept : handle_(std::exchange(other.handle_, 0)) {}
    TThreadHandle& operator=(TThreadHandle&& other) noexcept {
        if (this != &other) {
            Reset();
            handle_ = std::exchange(other.handle_, 0);
        }
        return *this;
    }
    TThreadHandle(const TThreadHandle&) = delete;
    TThreadHandle& operator=(const TThreadHandle&) = delete;

    // A handle of its own to the thread that `handle` names.
    static TThreadHandle DuplicateOf(uintptr_t handle) { return TThreadHandle(DuplicateThreadHandle(handle)); }

    uintptr_t Get() const { return handle_; }
    explicit operator bool() const { return handle_ != 0; }
    void Reset() {
        if (handle_ != 0) CloseThreadHandle(std::exchange(handle_, 0));
    }

private:
    uintptr_t handle_ = 0;
};

}  // namespace drevnik

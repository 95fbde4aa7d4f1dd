// An owned handle of the operating system or a library, closed on scope
// exit; one type for every kind, told apart by the closing function object
// (which also says what the empty value is). Movable, never copied.
#pragma once

#include <utility>

namespace fw {

// Close is a function object with `static H Empty()` and `void operator()(H)`.
template <class H, class Close>
class TScopedHandle {
public:
    explicit TScopedHandle(H handle = Close::Empty()) : handle_(handle) {}
    ~TScopedHandle() { Reset(); }
    TScopedHandle(TScopedHandle&& other) noexcept : handle_(other.Release()) {}
    TScopedHandle& operator=(TScopedHandle&& other) noexcept {
        if (this != &other) Reset(other.Release());
        return *this;
    }
    TScopedHandle(const TScopedHandle&) = delete;
    TScopedHandle& operator=(const TScopedHandle&) = delete;

    H Get() const { return handle_; }
    explicit operator bool() const { return handle_ != Close::Empty(); }
    // Closes the handle held, if any, and holds `handle`.
    void Reset(H handle = Close::Empty()) {
        H old = std::exchange(handle_, handle);
        if (old != Close::Empty()) Close()(old);
    }
    // Gives the handle up without closing it.
    H Release() { return std::exchange(handle_, Close::Empty()); }

private:
    H handle_;
};

}  // namespace fw

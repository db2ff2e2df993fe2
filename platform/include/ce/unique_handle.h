// Owning wrapper for a kernel handle. Null and INVALID_HANDLE_VALUE both mean "none".
#pragma once

#include <windows.h>

#include <utility>

namespace ce {

class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(HANDLE h) : handle_(h) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        reset(other.release());
        return *this;
    }
    ~UniqueHandle() { reset(); }

    static bool IsValid(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    explicit operator bool() const { return IsValid(handle_); }
    HANDLE get() const { return handle_; }

    HANDLE release() { return std::exchange(handle_, nullptr); }
    void reset(HANDLE h = nullptr) {
        HANDLE old = std::exchange(handle_, h);
        if (IsValid(old))
            ::CloseHandle(old);
    }

private:
    HANDLE handle_ = nullptr;
};

} // namespace ce

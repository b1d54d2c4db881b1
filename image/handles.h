// Owner of a kernel handle (thread, event, file): closed when the owner goes or is reset.
#pragma once

#include <windows.h>

class WinHandle {
public:
    WinHandle() = default;
    explicit WinHandle(HANDLE h) : handle_(Valid(h) ? h : nullptr) {}
    ~WinHandle() { Reset(); }
    WinHandle(const WinHandle&) = delete;
    WinHandle& operator=(const WinHandle&) = delete;
    WinHandle(WinHandle&& other) noexcept : handle_(other.handle_) { other.handle_ = nullptr; }
    WinHandle& operator=(WinHandle&& other) noexcept {
        if (this != &other) {
            Reset();
            handle_ = other.handle_;
            other.handle_ = nullptr;
        }
        return *this;
    }

    HANDLE Get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }
    void Reset(HANDLE h = nullptr) {
        if (handle_) CloseHandle(handle_);
        handle_ = Valid(h) ? h : nullptr;
    }

private:
    // Creation calls report failure as null or as INVALID_HANDLE_VALUE, depending on the call.
    static bool Valid(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    HANDLE handle_ = nullptr;
};

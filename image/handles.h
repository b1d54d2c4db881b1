// Owners of the kernel and memory handles the program holds: closed or freed when the owner
// goes. The GDI ones are in gdi_objects.h.
#pragma once

#include <windows.h>

// Owner of a kernel handle (thread, process, event, file): closed when the owner goes or is reset.
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

// A movable, zero-filled global memory block, freed with the owner unless released to whoever
// frees it instead (the clipboard, a stream made to free its block). Null when memory is short.
class GlobalBlock {
public:
    GlobalBlock() = default;
    explicit GlobalBlock(size_t bytes) : block_(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes)) {}
    ~GlobalBlock() {
        if (block_) GlobalFree(block_);
    }
    GlobalBlock(const GlobalBlock&) = delete;
    GlobalBlock& operator=(const GlobalBlock&) = delete;
    GlobalBlock(GlobalBlock&& other) noexcept : block_(other.Release()) {}
    GlobalBlock& operator=(GlobalBlock&& other) noexcept {
        if (this != &other) {
            if (block_) GlobalFree(block_);
            block_ = other.Release();
        }
        return *this;
    }

    HGLOBAL Get() const { return block_; }
    explicit operator bool() const { return block_ != nullptr; }
    HGLOBAL Release() {
        HGLOBAL block = block_;
        block_ = nullptr;
        return block;
    }

private:
    HGLOBAL block_ = nullptr;
};

// Keeps a global memory block (owned or not) locked for the owner's lifetime; Data() is null when
// the block is null or cannot be locked.
class LockedGlobal {
public:
    explicit LockedGlobal(HGLOBAL block) : block_(block), data_(block ? GlobalLock(block) : nullptr) {}
    ~LockedGlobal() {
        if (data_) GlobalUnlock(block_);
    }
    LockedGlobal(const LockedGlobal&) = delete;
    LockedGlobal& operator=(const LockedGlobal&) = delete;
    BYTE* Data() const { return static_cast<BYTE*>(data_); }

private:
    HGLOBAL block_;
    void* data_;
};

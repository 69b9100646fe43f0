#pragma once
// Small RAII owners of Win32 handles; copying is deleted, a move hands the
// handle on.
#include <windows.h>

// Owns a handle of type H, closed with Closer::Close unless it is null or
// INVALID_HANDLE_VALUE.
template <class H, class Closer>
class UniqueOwner {
public:
    UniqueOwner() = default;
    explicit UniqueOwner(H h) : handle_(h) {}
    ~UniqueOwner() { Reset(); }
    UniqueOwner(const UniqueOwner&) = delete;
    UniqueOwner& operator=(const UniqueOwner&) = delete;
    UniqueOwner(UniqueOwner&& other) noexcept : handle_(other.Release()) {}
    UniqueOwner& operator=(UniqueOwner&& other) noexcept {
        if (this != &other) Reset(other.Release());
        return *this;
    }

    H Get() const { return handle_; }
    // For functions that hand out a new handle; one held is closed first.
    H* Out() {
        Reset();
        return &handle_;
    }
    explicit operator bool() const { return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE; }
    H Release() {
        H h = handle_;
        handle_ = nullptr;
        return h;
    }
    void Reset(H h = nullptr) {
        if (*this) Closer::Close(handle_);
        handle_ = h;
    }

private:
    H handle_ = nullptr;
};

struct HandleCloser { static void Close(HANDLE h) { CloseHandle(h); } };
struct RegKeyCloser { static void Close(HKEY key) { RegCloseKey(key); } };
struct ModuleCloser { static void Close(HMODULE module) { FreeLibrary(module); } };
using UniqueHandle = UniqueOwner<HANDLE, HandleCloser>;
using UniqueRegKey = UniqueOwner<HKEY, RegKeyCloser>;
using UniqueModule = UniqueOwner<HMODULE, ModuleCloser>;

#pragma once
// One move-only owner for every kind of Windows resource the project holds:
// kernel handles, mapped views, registry keys, GDI objects, window DCs.
#include <windows.h>
#include <utility>

template <typename Traits>
class UniqueHandle {
public:
    using value_type = typename Traits::type;

    UniqueHandle() noexcept : value_(Traits::invalid()) {}
    explicit UniqueHandle(value_type v) noexcept : value_(v) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& o) noexcept : value_(o.release()) {}
    UniqueHandle& operator=(UniqueHandle&& o) noexcept {
        if (this != &o) reset(o.release());
        return *this;
    }
    ~UniqueHandle() { reset(); }

    value_type get() const noexcept { return value_; }
    explicit operator bool() const noexcept { return value_ != Traits::invalid(); }

    value_type release() noexcept {
        value_type v = value_;
        value_ = Traits::invalid();
        return v;
    }
    void reset(value_type v = Traits::invalid()) noexcept {
        if (value_ != Traits::invalid()) Traits::close(value_);
        value_ = v;
    }

private:
    value_type value_;
};

struct KernelHandleTraits {  // mutexes, mappings, processes, events
    using type = HANDLE;
    static type invalid() { return nullptr; }
    static void close(type h) { CloseHandle(h); }
};
struct MappedViewTraits {
    using type = void*;
    static type invalid() { return nullptr; }
    static void close(type p) { UnmapViewOfFile(p); }
};
struct RegKeyTraits {
    using type = HKEY;
    static type invalid() { return nullptr; }
    static void close(type k) { RegCloseKey(k); }
};
struct GdiObjectTraits {
    using type = HGDIOBJ;
    static type invalid() { return nullptr; }
    static void close(type o) { DeleteObject(o); }
};

struct MemoryDcTraits {  // from CreateCompatibleDC
    using type = HDC;
    static type invalid() { return nullptr; }
    static void close(type dc) { DeleteDC(dc); }
};

using UniqueKernelHandle = UniqueHandle<KernelHandleTraits>;
using UniqueView = UniqueHandle<MappedViewTraits>;
using UniqueRegKey = UniqueHandle<RegKeyTraits>;
using UniqueGdiObject = UniqueHandle<GdiObjectTraits>;
using UniqueMemoryDC = UniqueHandle<MemoryDcTraits>;

// A DC from GetDC must go back to its window with ReleaseDC.
class UniqueWindowDC {
public:
    UniqueWindowDC() = default;
    UniqueWindowDC(HWND w, HDC dc) noexcept : window_(w), dc_(dc) {}
    UniqueWindowDC(const UniqueWindowDC&) = delete;
    UniqueWindowDC& operator=(const UniqueWindowDC&) = delete;
    UniqueWindowDC(UniqueWindowDC&& o) noexcept
        : window_(std::exchange(o.window_, nullptr)), dc_(std::exchange(o.dc_, nullptr)) {}
    UniqueWindowDC& operator=(UniqueWindowDC&& o) noexcept {
        if (this != &o) {
            reset();
            window_ = std::exchange(o.window_, nullptr);
            dc_ = std::exchange(o.dc_, nullptr);
        }
        return *this;
    }
    ~UniqueWindowDC() { reset(); }
    HDC get() const noexcept { return dc_; }
    explicit operator bool() const noexcept { return dc_ != nullptr; }
    void reset() noexcept {
        if (dc_) ReleaseDC(window_, dc_);
        window_ = nullptr;
        dc_ = nullptr;
    }

private:
    HWND window_ = nullptr;
    HDC dc_ = nullptr;
};

// Puts the previous object back into the DC when the scope ends.
class SelectGuard {
public:
    SelectGuard(HDC dc, HGDIOBJ obj) noexcept : dc_(dc), old_(SelectObject(dc, obj)) {}
    SelectGuard(const SelectGuard&) = delete;
    SelectGuard& operator=(const SelectGuard&) = delete;
    ~SelectGuard() {
        if (old_ && old_ != HGDI_ERROR) SelectObject(dc_, old_);
    }

private:
    HDC dc_;
    HGDIOBJ old_;
};

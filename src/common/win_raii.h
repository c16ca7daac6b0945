// Owners for the Win32 handles the program opens, so that every path out of
// a function closes what it opened.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <utility>

template <typename Traits>
class UniqueWinHandle {
public:
    using handle_type = typename Traits::handle_type;

    UniqueWinHandle() noexcept = default;
    explicit UniqueWinHandle(handle_type h) noexcept : m_h(h) {}
    ~UniqueWinHandle() { reset(); }

    UniqueWinHandle(UniqueWinHandle&& o) noexcept : m_h(o.release()) {}
    UniqueWinHandle& operator=(UniqueWinHandle&& o) noexcept {
        if (this != &o) reset(o.release());
        return *this;
    }
    UniqueWinHandle(const UniqueWinHandle&) = delete;
    UniqueWinHandle& operator=(const UniqueWinHandle&) = delete;

    handle_type get() const noexcept { return m_h; }
    bool valid() const noexcept { return m_h != Traits::invalid(); }
    explicit operator bool() const noexcept { return valid(); }

    handle_type release() noexcept { return std::exchange(m_h, Traits::invalid()); }
    void reset(handle_type h = Traits::invalid()) noexcept {
        if (valid()) Traits::close(m_h);
        m_h = h;
    }
    // For out-parameters of API calls.
    handle_type* put() noexcept { reset(); return &m_h; }

private:
    handle_type m_h = Traits::invalid();
};

struct FileHandleTraits {
    using handle_type = HANDLE;
    static HANDLE invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void close(HANDLE h) noexcept { ::CloseHandle(h); }
};
struct KernelHandleTraits {  // processes, threads, events: null when absent
    using handle_type = HANDLE;
    static HANDLE invalid() noexcept { return nullptr; }
    static void close(HANDLE h) noexcept { ::CloseHandle(h); }
};
struct FindHandleTraits {
    using handle_type = HANDLE;
    static HANDLE invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void close(HANDLE h) noexcept { ::FindClose(h); }
};
struct FindVolumeTraits {
    using handle_type = HANDLE;
    static HANDLE invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void close(HANDLE h) noexcept { ::FindVolumeClose(h); }
};
struct RegKeyTraits {
    using handle_type = HKEY;
    static HKEY invalid() noexcept { return nullptr; }
    static void close(HKEY h) noexcept { ::RegCloseKey(h); }
};
struct GdiObjectTraits {
    using handle_type = HGDIOBJ;
    static HGDIOBJ invalid() noexcept { return nullptr; }
    static void close(HGDIOBJ h) noexcept { ::DeleteObject(h); }
};
struct MemoryDcTraits {
    using handle_type = HDC;
    static HDC invalid() noexcept { return nullptr; }
    static void close(HDC h) noexcept { ::DeleteDC(h); }
};

struct ImageListTraits {
    using handle_type = HIMAGELIST;
    static HIMAGELIST invalid() noexcept { return nullptr; }
    static void close(HIMAGELIST h) noexcept { ::ImageList_Destroy(h); }
};
struct WindowTraits {  // a window of the program's own that no dialog owns
    using handle_type = HWND;
    static HWND invalid() noexcept { return nullptr; }
    static void close(HWND h) noexcept { ::DestroyWindow(h); }
};

using UniqueFile = UniqueWinHandle<FileHandleTraits>;
using UniqueKernelHandle = UniqueWinHandle<KernelHandleTraits>;
using UniqueFind = UniqueWinHandle<FindHandleTraits>;
using UniqueFindVolume = UniqueWinHandle<FindVolumeTraits>;
using UniqueRegKey = UniqueWinHandle<RegKeyTraits>;
using UniqueGdiObject = UniqueWinHandle<GdiObjectTraits>;
using UniqueMemoryDc = UniqueWinHandle<MemoryDcTraits>;
using UniqueImageList = UniqueWinHandle<ImageListTraits>;
using UniqueWindow = UniqueWinHandle<WindowTraits>;

// Selects an object into a device context for one scope and puts the
// previous one back.
class ScopedSelect {
public:
    ScopedSelect(HDC dc, HGDIOBJ obj) noexcept
        : m_dc(dc), m_old(obj ? ::SelectObject(dc, obj) : nullptr) {}
    ~ScopedSelect() { if (m_old) ::SelectObject(m_dc, m_old); }
    ScopedSelect(const ScopedSelect&) = delete;
    ScopedSelect& operator=(const ScopedSelect&) = delete;
private:
    HDC m_dc;
    HGDIOBJ m_old;
};

// A window's drawing context for one scope (GetDC, ReleaseDC).
class ScopedWindowDc {
public:
    explicit ScopedWindowDc(HWND wnd) noexcept : m_wnd(wnd), m_dc(::GetDC(wnd)) {}
    ~ScopedWindowDc() { if (m_dc) ::ReleaseDC(m_wnd, m_dc); }
    ScopedWindowDc(const ScopedWindowDc&) = delete;
    ScopedWindowDc& operator=(const ScopedWindowDc&) = delete;
    HDC get() const { return m_dc; }
private:
    HWND m_wnd;
    HDC m_dc;
};

// The wait cursor for the length of a scope, on every path out.
class ScopedWaitCursor {
public:
    ScopedWaitCursor() noexcept
        : m_old(::SetCursor(::LoadCursor(nullptr, IDC_WAIT))) {}
    ~ScopedWaitCursor() { ::SetCursor(m_old); }
    ScopedWaitCursor(const ScopedWaitCursor&) = delete;
    ScopedWaitCursor& operator=(const ScopedWaitCursor&) = delete;
private:
    HCURSOR m_old;
};

// A COM interface pointer of one owner: released when it goes.
template <typename T>
class ComRef {
public:
    ComRef() noexcept = default;
    ~ComRef() { reset(); }
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    T* get() const noexcept { return m_p; }
    T* operator->() const noexcept { return m_p; }
    explicit operator bool() const noexcept { return m_p != nullptr; }
    void reset() noexcept {
        if (m_p) m_p->Release();
        m_p = nullptr;
    }
    // For out-parameters of COM calls.
    T** put() noexcept {
        reset();
        return &m_p;
    }
    void** putVoid() noexcept { return reinterpret_cast<void**>(put()); }

private:
    T* m_p = nullptr;
};

// A BSTR of one owner, made from a wide string or handed out by a COM call.
class ScopedBstr {
public:
    ScopedBstr() noexcept = default;
    explicit ScopedBstr(const std::wstring& text)
        : m_b(::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
    ~ScopedBstr() { ::SysFreeString(m_b); }
    ScopedBstr(const ScopedBstr&) = delete;
    ScopedBstr& operator=(const ScopedBstr&) = delete;
    BSTR get() const noexcept { return m_b; }
    BSTR* put() noexcept {
        ::SysFreeString(m_b);
        m_b = nullptr;
        return &m_b;
    }
    std::wstring text() const { return m_b ? std::wstring(m_b, ::SysStringLen(m_b)) : std::wstring(); }

private:
    BSTR m_b = nullptr;
};

// COM on this thread for one scope, when it was not there yet in another
// mode; left as it was at the end.
class ScopedComApartment {
public:
    ScopedComApartment() : m_hr(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)) {}
    ~ScopedComApartment() {
        if (SUCCEEDED(m_hr)) ::CoUninitialize();
    }
    ScopedComApartment(const ScopedComApartment&) = delete;
    ScopedComApartment& operator=(const ScopedComApartment&) = delete;

private:
    HRESULT m_hr;
};

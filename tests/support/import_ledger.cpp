#include "import_ledger.h"

#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <utility>

namespace ledger {
namespace {

enum class Kind { Handle, View, Gdi, User };

std::mutex lock;
// (kind, object) -> what made it
std::map<std::pair<Kind, const void*>, std::string> heldObjects;
// Registered classes by name, with the background brush unregistering frees.
std::map<std::wstring, HBRUSH> classes;
Counts total;
std::map<const void*, size_t> heapBlocks;  // block -> bytes
HeapCounts heapTotal;
int mapViewCalls = 0;
int mapViewToFail = 0;
int dcs = 0;
int mutexReleaseCalls = 0;
int sleepCalls = 0;

void count(Counts& c, Kind kind, int delta) {
    switch (kind) {
    case Kind::Handle: c.handles += delta; break;
    case Kind::View: c.views += delta; break;
    case Kind::Gdi: c.gdi += delta; break;
    case Kind::User: c.user += delta; break;
    }
}

void acquired(Kind kind, const void* object, const char* what) {
    if (!object) return;
    std::lock_guard<std::mutex> g(lock);
    heldObjects[{kind, object}] = what;
    count(total, kind, 1);
}

void released(Kind kind, const void* object) {
    std::lock_guard<std::mutex> g(lock);
    heldObjects.erase({kind, object});
}

std::wstring classKey(LPCWSTR name) {
    if (IS_INTRESOURCE(name)) return L"#" + std::to_wstring(reinterpret_cast<ULONG_PTR>(name));
    return name;
}

HANDLE WINAPI hookCreateMutexW(LPSECURITY_ATTRIBUTES sa, BOOL owned, LPCWSTR name) {
    HANDLE h = CreateMutexW(sa, owned, name);
    acquired(Kind::Handle, h, "CreateMutexW");
    return h;
}

// Each write of a shared area ends with one: the count of writes.
BOOL WINAPI hookReleaseMutex(HANDLE mutex) {
    {
        std::lock_guard<std::mutex> g(lock);
        ++mutexReleaseCalls;
    }
    return ReleaseMutex(mutex);
}

void WINAPI hookSleep(DWORD ms) {
    {
        std::lock_guard<std::mutex> g(lock);
        ++sleepCalls;
    }
    Sleep(ms);
}

HANDLE WINAPI hookCreateFileMappingW(HANDLE file, LPSECURITY_ATTRIBUTES sa, DWORD protect,
                                     DWORD high, DWORD low, LPCWSTR name) {
    HANDLE h = CreateFileMappingW(file, sa, protect, high, low, name);
    acquired(Kind::Handle, h, "CreateFileMappingW");
    return h;
}

// A started program's process handle, when the caller asked to keep it.
BOOL WINAPI hookShellExecuteExW(SHELLEXECUTEINFOW* info) {
    const BOOL ok = ShellExecuteExW(info);
    if (ok && (info->fMask & SEE_MASK_NOCLOSEPROCESS))
        acquired(Kind::Handle, info->hProcess, "ShellExecuteExW");
    return ok;
}

// A started program's process and thread handles.
BOOL WINAPI hookCreateProcessW(LPCWSTR application, LPWSTR commandLine,
                               LPSECURITY_ATTRIBUTES processAttributes,
                               LPSECURITY_ATTRIBUTES threadAttributes, BOOL inherit, DWORD flags,
                               LPVOID environment, LPCWSTR folder, LPSTARTUPINFOW startup,
                               LPPROCESS_INFORMATION info) {
    const BOOL ok = CreateProcessW(application, commandLine, processAttributes, threadAttributes,
                                   inherit, flags, environment, folder, startup, info);
    if (ok) {
        acquired(Kind::Handle, info->hProcess, "CreateProcessW");
        acquired(Kind::Handle, info->hThread, "CreateProcessW");
    }
    return ok;
}

BOOL WINAPI hookCloseHandle(HANDLE h) {
    released(Kind::Handle, h);
    return CloseHandle(h);
}

LPVOID WINAPI hookMapViewOfFile(HANDLE mapping, DWORD access, DWORD high, DWORD low,
                                SIZE_T bytes) {
    {
        std::lock_guard<std::mutex> g(lock);
        if (++mapViewCalls == mapViewToFail) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return nullptr;
        }
    }
    void* view = MapViewOfFile(mapping, access, high, low, bytes);
    acquired(Kind::View, view, "MapViewOfFile");
    return view;
}

BOOL WINAPI hookUnmapViewOfFile(LPCVOID view) {
    released(Kind::View, view);
    return UnmapViewOfFile(view);
}

HDC WINAPI hookGetDC(HWND window) {
    HDC dc = GetDC(window);
    acquired(Kind::Gdi, dc, "GetDC");
    std::lock_guard<std::mutex> g(lock);
    ++dcs;
    return dc;
}

int WINAPI hookReleaseDC(HWND window, HDC dc) {
    released(Kind::Gdi, dc);
    return ReleaseDC(window, dc);
}

HDC WINAPI hookCreateCompatibleDC(HDC like) {
    HDC dc = CreateCompatibleDC(like);
    acquired(Kind::Gdi, dc, "CreateCompatibleDC");
    std::lock_guard<std::mutex> g(lock);
    ++dcs;
    return dc;
}

BOOL WINAPI hookDeleteDC(HDC dc) {
    released(Kind::Gdi, dc);
    return DeleteDC(dc);
}

HWND WINAPI hookCreateWindowExW(DWORD exStyle, LPCWSTR cls, LPCWSTR title, DWORD style, int x,
                                int y, int w, int h, HWND parent, HMENU menu, HINSTANCE inst,
                                LPVOID param) {
    HWND window =
        CreateWindowExW(exStyle, cls, title, style, x, y, w, h, parent, menu, inst, param);
    acquired(Kind::User, window, "CreateWindowExW");
    return window;
}

BOOL WINAPI hookDestroyWindow(HWND window) {
    released(Kind::User, window);
    return DestroyWindow(window);
}

HBRUSH WINAPI hookCreateSolidBrush(COLORREF colour) {
    HBRUSH brush = CreateSolidBrush(colour);
    acquired(Kind::Gdi, brush, "CreateSolidBrush");
    return brush;
}

BOOL WINAPI hookDeleteObject(HGDIOBJ object) {
    BOOL deleted = DeleteObject(object);
    if (deleted) released(Kind::Gdi, object);
    return deleted;
}

// A class is a USER object of its own; its background brush goes with it
// when the class is unregistered.
ATOM WINAPI hookRegisterClassExW(const WNDCLASSEXW* wc) {
    ATOM atom = RegisterClassExW(wc);
    if (atom && wc) {
        std::lock_guard<std::mutex> g(lock);
        classes[classKey(wc->lpszClassName)] = wc->hbrBackground;
        count(total, Kind::User, 1);
    }
    return atom;
}

BOOL WINAPI hookUnregisterClassW(LPCWSTR name, HINSTANCE instance) {
    BOOL done = UnregisterClassW(name, instance);
    if (!done) return done;
    HBRUSH brush = nullptr;
    {
        std::lock_guard<std::mutex> g(lock);
        auto it = classes.find(classKey(name));
        if (it == classes.end()) return done;
        brush = it->second;
        classes.erase(it);
    }
    if (brush) released(Kind::Gdi, brush);
    return done;
}

void heapAcquired(const void* block, size_t bytes) {
    if (!block) return;
    std::lock_guard<std::mutex> g(lock);
    heapBlocks[block] = bytes;
    ++heapTotal.blocks;
    heapTotal.bytes += static_cast<long long>(bytes);
}

void heapReleased(const void* block) {
    if (!block) return;
    std::lock_guard<std::mutex> g(lock);
    heapBlocks.erase(block);
}

void* __cdecl hookMalloc(size_t bytes) {
    void* block = malloc(bytes);
    heapAcquired(block, bytes);
    return block;
}

void* __cdecl hookCalloc(size_t count, size_t size) {
    void* block = calloc(count, size);
    heapAcquired(block, count * size);
    return block;
}

void* __cdecl hookRealloc(void* old, size_t bytes) {
    void* block = realloc(old, bytes);
    if (block || bytes == 0) heapReleased(old);
    heapAcquired(block, bytes);
    return block;
}

char* __cdecl hookStrdup(const char* text) {
    char* copy = _strdup(text);
    heapAcquired(copy, copy ? strlen(copy) + 1 : 0);
    return copy;
}

void __cdecl hookFree(void* block) {
    heapReleased(block);
    free(block);
}

struct Hook {
    const char* dll;
    const char* function;
    void* replacement;
};

const Hook kHooks[] = {
    {"kernel32.dll", "CreateMutexW", reinterpret_cast<void*>(&hookCreateMutexW)},
    {"kernel32.dll", "CreateFileMappingW", reinterpret_cast<void*>(&hookCreateFileMappingW)},
    {"kernel32.dll", "ReleaseMutex", reinterpret_cast<void*>(&hookReleaseMutex)},
    {"kernel32.dll", "Sleep", reinterpret_cast<void*>(&hookSleep)},
    {"kernel32.dll", "CloseHandle", reinterpret_cast<void*>(&hookCloseHandle)},
    {"shell32.dll", "ShellExecuteExW", reinterpret_cast<void*>(&hookShellExecuteExW)},
    {"kernel32.dll", "CreateProcessW", reinterpret_cast<void*>(&hookCreateProcessW)},
    {"kernel32.dll", "MapViewOfFile", reinterpret_cast<void*>(&hookMapViewOfFile)},
    {"kernel32.dll", "UnmapViewOfFile", reinterpret_cast<void*>(&hookUnmapViewOfFile)},
    {"user32.dll", "GetDC", reinterpret_cast<void*>(&hookGetDC)},
    {"user32.dll", "ReleaseDC", reinterpret_cast<void*>(&hookReleaseDC)},
    {"user32.dll", "CreateWindowExW", reinterpret_cast<void*>(&hookCreateWindowExW)},
    {"user32.dll", "DestroyWindow", reinterpret_cast<void*>(&hookDestroyWindow)},
    {"gdi32.dll", "CreateSolidBrush", reinterpret_cast<void*>(&hookCreateSolidBrush)},
    {"gdi32.dll", "DeleteObject", reinterpret_cast<void*>(&hookDeleteObject)},
    {"gdi32.dll", "CreateCompatibleDC", reinterpret_cast<void*>(&hookCreateCompatibleDC)},
    {"gdi32.dll", "DeleteDC", reinterpret_cast<void*>(&hookDeleteDC)},
    {"user32.dll", "RegisterClassExW", reinterpret_cast<void*>(&hookRegisterClassExW)},
    {"user32.dll", "UnregisterClassW", reinterpret_cast<void*>(&hookUnregisterClassW)},
    {"msvcrt.dll", "malloc", reinterpret_cast<void*>(&hookMalloc)},
    {"msvcrt.dll", "calloc", reinterpret_cast<void*>(&hookCalloc)},
    {"msvcrt.dll", "realloc", reinterpret_cast<void*>(&hookRealloc)},
    {"msvcrt.dll", "_strdup", reinterpret_cast<void*>(&hookStrdup)},
    {"msvcrt.dll", "free", reinterpret_cast<void*>(&hookFree)},
};

void patchSlot(ULONG_PTR* slot, void* replacement) {
    DWORD old = 0;
    VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &old);
    *slot = reinterpret_cast<ULONG_PTR>(replacement);
    VirtualProtect(slot, sizeof *slot, old, &old);
}

}  // namespace

void attach(HMODULE dll) {
    auto base = reinterpret_cast<BYTE*>(dll);
    auto nt = reinterpret_cast<IMAGE_NT_HEADERS*>(
        base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const IMAGE_DATA_DIRECTORY& dir =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    auto desc = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress);
    for (; desc->Name; ++desc) {
        const char* dllName = reinterpret_cast<const char*>(base + desc->Name);
        auto names = reinterpret_cast<IMAGE_THUNK_DATA*>(
            base + (desc->OriginalFirstThunk ? desc->OriginalFirstThunk : desc->FirstThunk));
        auto slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + desc->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            auto byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            for (const Hook& hook : kHooks)
                if (_stricmp(dllName, hook.dll) == 0 &&
                    std::strcmp(reinterpret_cast<const char*>(byName->Name), hook.function) == 0)
                    patchSlot(&slots->u1.Function, hook.replacement);
        }
    }
}

void reset() {
    std::lock_guard<std::mutex> g(lock);
    heldObjects.clear();
    classes.clear();
    total = Counts{};
    heapBlocks.clear();
    heapTotal = HeapCounts{};
    mapViewCalls = 0;
    mapViewToFail = 0;
    dcs = 0;
    mutexReleaseCalls = 0;
    sleepCalls = 0;
}

std::vector<std::string> outstanding() {
    std::lock_guard<std::mutex> g(lock);
    std::vector<std::string> out;
    for (const auto& [key, what] : heldObjects) {
        char line[96];
        std::snprintf(line, sizeof line, "%s -> %p", what.c_str(), key.second);
        out.push_back(line);
    }
    for (const auto& [name, brush] : classes) {
        char line[160];
        std::snprintf(line, sizeof line, "RegisterClassExW -> %ls", name.c_str());
        out.push_back(line);
    }
    return out;
}

void failMapView(int nth) {
    std::lock_guard<std::mutex> g(lock);
    mapViewCalls = 0;
    mapViewToFail = nth;
}

int dcsTaken() {
    std::lock_guard<std::mutex> g(lock);
    return dcs;
}

int mutexReleases() {
    std::lock_guard<std::mutex> g(lock);
    return mutexReleaseCalls;
}

int sleeps() {
    std::lock_guard<std::mutex> g(lock);
    return sleepCalls;
}

Counts held() {
    std::lock_guard<std::mutex> g(lock);
    Counts c;
    for (const auto& entry : heldObjects) count(c, entry.first.first, 1);
    c.user += static_cast<int>(classes.size());
    return c;
}

Counts acquiredTotal() {
    std::lock_guard<std::mutex> g(lock);
    return total;
}

HeapCounts heapHeld() {
    std::lock_guard<std::mutex> g(lock);
    HeapCounts c;
    for (const auto& [block, bytes] : heapBlocks) {
        ++c.blocks;
        c.bytes += static_cast<long long>(bytes);
    }
    return c;
}

HeapCounts heapAllocated() {
    std::lock_guard<std::mutex> g(lock);
    return heapTotal;
}

}  // namespace ledger

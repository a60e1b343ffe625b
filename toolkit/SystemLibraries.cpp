#include "toolkit/SystemLibraries.h"

#include <string>

namespace {

bool searchNarrowed = false;

}  // namespace

void NarrowLibrarySearch() {
    using TSetDefaultDllDirectories = BOOL(WINAPI*)(DWORD);
    auto set = reinterpret_cast<TSetDefaultDllDirectories>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
    searchNarrowed = set != nullptr && set(LOAD_LIBRARY_SEARCH_SYSTEM32) != FALSE;
}

HMODULE SystemLibrary(const wchar_t* name) {
    if (searchNarrowed) return LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    // Without the narrowed search the flag is unknown too: the library by its full path.
    wchar_t folder[MAX_PATH];
    UINT n = GetSystemDirectoryW(folder, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return nullptr;
    return LoadLibraryW((std::wstring(folder, n) + L"\\" + name).c_str());
}

bool PlaySystemSound(const wchar_t* file, DWORD flags) {
    using TPlaySound = BOOL(WINAPI*)(LPCWSTR, HMODULE, DWORD);
    static const TPlaySound play = [] {
        HMODULE winmm = SystemLibrary(L"winmm.dll");
        return winmm != nullptr ? reinterpret_cast<TPlaySound>(reinterpret_cast<void*>(GetProcAddress(winmm, "PlaySoundW")))
                                : nullptr;
    }();
    return play != nullptr && play(file, nullptr, flags) != FALSE;
}

// Libraries from the system folder only. A portable program is unpacked anywhere (Downloads, a USB
// stick), and Windows looks for any library that is not one of its known DLLs in the program's own
// folder first: one planted there would run inside it. The program imports only known DLLs (and
// comctl32, which the manifest binds); the rest is loaded from the system folder when first needed.
#pragma once

#include <windows.h>

// Narrows the search for libraries that anything in the process loads by name to the system
// folder. The very first thing the program does; a system without the call (Windows 7 before its
// update) starts all the same.
void NarrowLibrarySearch();

// The system folder's library of that name ("winmm.dll"), loaded once; null where it cannot be.
HMODULE SystemLibrary(const wchar_t* name);

// PlaySoundW of the system's winmm, which is not a known DLL; false where it cannot be had.
bool PlaySystemSound(const wchar_t* file, DWORD flags);

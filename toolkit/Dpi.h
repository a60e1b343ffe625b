// Lengths drawn for 96 dots per inch, at the dots per inch a window is shown at.
#pragma once

#include <windows.h>

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

constexpr int kDefaultDpi = 96;

// v pixels at 96 dpi, at dpi: rounded to nearest, halves away from zero, as MulDiv rounds; every
// length of the program goes through here so that gaps and cells add up the same everywhere.
inline int ScaleForDpi(int v, int dpi) { return MulDiv(v, dpi, kDefaultDpi); }

// The system's DPI: what every window has where there is one DPI for all monitors.
int SystemDpi();
// The DPI of the monitor a window is on, where the system tells windows apart; else the system's.
int WindowDpi(HWND window);

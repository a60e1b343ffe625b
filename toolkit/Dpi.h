// Lengths drawn for 96 dots per inch, at the dots per inch a window is shown at.
#pragma once

#include <windows.h>

#include "toolkit/Classes.h"

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif
#ifndef WM_GETDPISCALEDSIZE
#define WM_GETDPISCALEDSIZE 0x02E4
#endif

constexpr int kDefaultDpi = 96;

// The system's DPI: what every window has where there is one DPI for all monitors.
int SystemDpi();
// The DPI of the monitor a window is on, where the system tells windows apart; else the system's.
int WindowDpi(HWND window);

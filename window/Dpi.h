#pragma once

#include <windows.h>

// The DPI Windows draws `window` at: its monitor's on Windows 10 and later,
// the system's before.
int WindowDpi(HWND window);

// The outer size of `window` when its client area is `client` pixels, with
// the frame Windows draws at `dpi`.
SIZE OuterSizeForClient(HWND window, SIZE client, int dpi);

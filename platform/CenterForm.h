#pragma once

#include <windows.h>

// Where a window's edge goes to centre `windowExtent` on `screenExtent`. A
// window larger than the screen gets a negative edge; of an odd difference
// the spare pixel goes to the right or bottom margin.
int CenteredEdge(int screenExtent, int windowExtent);

// Moves `window`, frame included, to the middle of the whole primary screen
// (task bar or not). Its size stays.
void CenterForm(HWND window);

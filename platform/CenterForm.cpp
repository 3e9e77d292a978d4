#include "CenterForm.h"

int CenteredEdge(int screenExtent, int windowExtent)
{
    const int difference = screenExtent - windowExtent;
    // Rounded down, not toward zero, so the rule does not turn over when the
    // window outgrows the screen.
    return difference >= 0 ? difference / 2 : -((1 - difference) / 2);
}

void CenterForm(HWND window)
{
    RECT bounds{};
    GetWindowRect(window, &bounds);
    const int left = CenteredEdge(GetSystemMetrics(SM_CXSCREEN), bounds.right - bounds.left);
    const int top = CenteredEdge(GetSystemMetrics(SM_CYSCREEN), bounds.bottom - bounds.top);
    SetWindowPos(window, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

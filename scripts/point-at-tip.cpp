// For the README's picture: presses "Detect Old Entries to Delete" in the
// running program and rests the pointer on the first ticked row on show, so
// that the row's tip comes up. Runs on the program's desktop, and stays a
// while: its desktop's explorer ending could move the pointer.

#include <windows.h>
#include <commctrl.h>

namespace {

// A row's rectangle, asked of a list in another process: the answer is
// written into that process's memory.
RECT RowRectangle(HWND list, int row)
{
    DWORD processId = 0;
    GetWindowThreadProcessId(list, &processId);
    const HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
    RECT rect{LVIR_LABEL, 0, 0, 0};
    void* remote = VirtualAllocEx(process, nullptr, sizeof rect, MEM_COMMIT, PAGE_READWRITE);
    WriteProcessMemory(process, remote, &rect, sizeof rect, nullptr);
    SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(remote));
    ReadProcessMemory(process, remote, &rect, sizeof rect, nullptr);
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    CloseHandle(process);
    return rect;
}

}  // namespace

int main()
{
    const HWND window = FindWindowW(L"UninstallListCleaner.Form1", nullptr);
    const HWND list = FindWindowExW(window, nullptr, WC_LISTVIEWW, nullptr);
    if (window == nullptr || list == nullptr)
        return 1;
    SendMessageW(FindWindowExW(window, nullptr, WC_BUTTONW, L"Detect Old Entries to Delete"), BM_CLICK, 0, 0);
    const int top = static_cast<int>(SendMessageW(list, LVM_GETTOPINDEX, 0, 0));
    const int end = top + static_cast<int>(SendMessageW(list, LVM_GETCOUNTPERPAGE, 0, 0));
    int row = top;
    while (row < end && !ListView_GetCheckState(list, row))
        ++row;
    if (row == end)
        return 1;
    const RECT label = RowRectangle(list, row);
    POINT point{label.left + 40, (label.top + label.bottom) / 2};
    ClientToScreen(list, &point);
    // Under Wine the list gets one more move from where the pointer was
    // before a jump; a second, short jump ends on the row.
    SetCursorPos(point.x, point.y);
    Sleep(500);
    SetCursorPos(point.x + 1, point.y);
    Sleep(30000);
    return 0;
}

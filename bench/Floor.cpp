// The floor under the program's work: the same platform calls with no window
// on screen.
//   bench_floor load     the catalogue into a plain list: the start-up's
//                        registry reads and nothing else
//   bench_floor actions  the catalogue into a hidden list view like the
//                        program's; then detection's file tests over the
//                        rows' files, then the deletion of the stale entries'
//                        keys with the removal of their rows, bottom to top
//   bench_floor idle     nothing: the memory of a process that did no work
// Prints key=value lines; times are in seconds, memory in bytes.
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include <windows.h>
#include <commctrl.h>

#include "BenchSupport.h"
#include "Catalogue.h"
#include "Collation.h"
#include "Environment.h"
#include "ListView.h"
#include "Misc.h"
#include "PlainList.h"
#include "Text.h"
#include "UninstallEntry.h"
#include "Win32Registry.h"

namespace {

// UTF-16 bytes of every text the rows hold, as the list view keeps them.
unsigned long long TextBytes(const PlainList& list)
{
    unsigned long long bytes = 0;
    for (const PlainList::Row& row : list.rows) {
        bytes += Utf16FromUtf8(row.text).size() * 2;
        for (const std::string& subItem : row.subItems)
            bytes += Utf16FromUtf8(subItem).size() * 2;
    }
    return bytes;
}

int Load()
{
    Win32Registry registry;
    PlainList list;
    const double start = Now();
    LoadUninstallEntries(registry, list, DisplayNameSortKey);
    const double seconds = Now() - start;
    std::printf("rows=%d\nload_seconds=%.4f\ntext_bytes=%llu\npeak_ws=%llu\n", list.Count(), seconds,
                TextBytes(list), PeakWorkingSet(GetCurrentProcess()));
    std::fflush(stdout);
    // Freeing the rows one by one is no part of the work being measured.
    ExitProcess(0);
}

// A hidden window holding a list view made as the program makes its own.
HWND CreateHiddenList(HWND& parent)
{
    const INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX), ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&classes);
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"BenchFloorParent";
    RegisterClassW(&windowClass);
    parent = CreateWindowExW(0, windowClass.lpszClassName, L"", WS_OVERLAPPEDWINDOW, 0, 0, 480, 400, nullptr,
                             nullptr, windowClass.hInstance, nullptr);
    const HWND list = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
                                      WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SHOWSELALWAYS | WS_TABSTOP, 16, 32,
                                      449, 247, parent, nullptr, windowClass.hInstance, nullptr);
    const DWORD extended = LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT;
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, extended, extended);
    return list;
}

int Actions()
{
    Win32Registry registry;
    HWND parent = nullptr;
    const HWND hwnd = CreateHiddenList(parent);
    ListViewItems list(hwnd);
    for (const char* header : {"Program Names", "Uninstall", "FileExists", "KeyName"})
        list.AddColumn(header);
    list.SetColumnWidth(1, 400);
    for (int column = 2; column <= 4; ++column)
        list.SetColumnWidth(column, 0);

    double start = Now();
    LoadUninstallEntries(registry, list, DisplayNameSortKey);
    const double loadSeconds = Now() - start;
    const unsigned long long listPeak = PeakWorkingSet(GetCurrentProcess());

    const int rows = list.Count();
    std::vector<std::string> files;
    std::vector<std::string> keyNames;
    for (int position = 1; position <= rows; ++position) {
        files.push_back(list.SubItem(position, kFileExistsSubItem));
        keyNames.push_back(list.SubItem(position, kKeyNameSubItem));
    }

    std::vector<bool> stale(files.size(), false);
    int ticked = 0;
    start = Now();
    for (size_t row = 0; row < files.size(); ++row) {
        if (files[row].find(kIgnoreMarker) != std::string::npos)
            continue;
        if (!IsFilePresent(ExpandEnvironment(files[row]))) {
            stale[row] = true;
            ++ticked;
        }
    }
    const double detectSeconds = Now() - start;

    start = Now();
    ListUpdate update(list);
    for (size_t row = files.size(); row-- > 0;) {
        if (!stale[row])
            continue;
        registry.DeleteTree(RegRoot::LocalMachine, EntryKeyPath(keyNames[row]));
        SendMessageW(hwnd, LVM_DELETEITEM, row, 0);
    }
    const double deleteSeconds = Now() - start;

    std::printf("rows=%d\nload_list_seconds=%.4f\nlist_peak_ws=%llu\ndetect_seconds=%.4f\nticked=%d\n"
                "delete_seconds=%.4f\nrows_after=%d\n",
                rows, loadSeconds, listPeak, detectSeconds, ticked, deleteSeconds, list.Count());
    std::fflush(stdout);
    ExitProcess(0);
}

int Idle()
{
    std::printf("peak_ws=%llu\n", PeakWorkingSet(GetCurrentProcess()));
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string_view mode = argc > 1 ? argv[1] : "";
    if (mode == "load")
        return Load();
    if (mode == "actions")
        return Actions();
    if (mode == "idle")
        return Idle();
    std::fprintf(stderr, "usage: bench_floor load | actions | idle\n");
    return 2;
}

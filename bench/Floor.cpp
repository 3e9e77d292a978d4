// The floor under the program's work: the same platform calls with no window
// on screen.
//   bench_floor load     the catalogue into a plain list: the start-up's
//                        registry reads and nothing else
//   bench_floor actions  the catalogue into a hidden list view like the
//                        program's, whose texts its parent hands over from
//                        the rows as the program's window does; then
//                        detection, one question a row: to Windows Installer
//                        about a product without a key of its own, or to the
//                        file system about the file the command names (each
//                        drive root asked once, a missing name confirmed in
//                        its folder), with a tick for each stale row; then the
//                        deletion of the ticked entries' keys, each read back
//                        first, its proof asked again, and deleted in its own
//                        place, with the removal of their rows, bottom to top
//   bench_floor idle     nothing: the memory of a process that did no work
// Prints key=value lines; times are in seconds, memory in bytes.
#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include <windows.h>
#include <commctrl.h>
#include <msi.h>

#include "BenchSupport.h"
#include "Catalogue.h"
#include "Collation.h"
#include "CommandAnalysis.h"
#include "CommandLine.h"
#include "Environment.h"
#include "Installer.h"
#include "ListView.h"
#include "Misc.h"
#include "PlainList.h"
#include "Reg.h"
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

// The list view asks its parent for every text it shows or hands out.
LRESULT CALLBACK ParentProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NOTIFY) {
        auto& header = *reinterpret_cast<NMHDR*>(lParam);
        const auto* list = reinterpret_cast<const ListViewItems*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (header.code == LVN_GETDISPINFOW && list != nullptr)
            list->AnswerDisplayInfo(reinterpret_cast<NMLVDISPINFOW&>(header));
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

// A hidden window holding a list view made as the program makes its own.
HWND CreateHiddenList(HWND& parent)
{
    const INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX), ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&classes);
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = ParentProc;
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
    SetWindowLongPtrW(parent, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&list));
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
    std::vector<std::string> commands;
    std::vector<std::string> keyNames;
    std::vector<RegRoot> places;
    for (int position = 1; position <= rows; ++position) {
        commands.push_back(list.SubItem(position, kUninstallSubItem));
        keyNames.push_back(list.SubItem(position, kKeyNameSubItem));
        places.push_back(list.Place(position));
    }

    // One question a row: Windows Installer about an unregistered product, or
    // the file system about the file the command names.
    std::map<std::string, bool> rootProves;
    const auto isGone = [&](const std::string& command, const std::set<std::string>& registered) {
        const CommandTarget target = AnalyseCommand(command);
        if (target.windowsInstaller)
            return !target.productCode.empty() && !registered.contains(LowerAscii(target.productCode)) &&
                   QueryProductState(target.productCode) == INSTALLSTATE_UNKNOWN;
        if (target.files.empty())
            return false;
        const std::string path = ExpandEnvironment(target.files.front());
        const std::string root = PathRoot(path);
        if (root.empty())
            return false;
        const auto [known, isNew] = rootProves.try_emplace(LowerAscii(root), false);
        if (isNew)
            known->second = CanProveAbsence(RootKind(root));
        return known->second && ProbeFile(path) == FileState::Absent && IsUnlisted(path);
    };

    std::vector<bool> stale(commands.size(), false);
    int ticked = 0;
    start = Now();
    {
        ListUpdate update(list);
        const std::set<std::string> registered = RegisteredProducts();
        LVITEMW tick{};
        tick.stateMask = LVIS_STATEIMAGEMASK;
        tick.state = INDEXTOSTATEIMAGEMASK(2);
        for (size_t row = 0; row < commands.size(); ++row) {
            if (isGone(commands[row], registered)) {
                SendMessageW(hwnd, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&tick));
                stale[row] = true;
                ++ticked;
            }
        }
    }
    const double detectSeconds = Now() - start;

    // The rows' own data stays behind in the adapter: dropping the removed
    // rows from it would take one pass over the rows, a few milliseconds.
    start = Now();
    {
        ListUpdate update(list);
        // The proof is asked again, afresh, right before each key goes.
        rootProves.clear();
        const std::set<std::string> registered = RegisteredProducts();
        for (size_t row = commands.size(); row-- > 0;) {
            if (!stale[row])
                continue;
            // Each key is read back first: a changed one must stay.
            {
                OpenedKey key(registry);
                KeyTime written = 0;
                if (key.Open(places[row], EntryKeyPath(keyNames[row])) == kRegSuccess) {
                    registry.QueryWritten(key.Get(), written);
                    ReadRegString(key, "DisplayName", "");
                    ReadRegString(key, "UninstallString", "");
                }
            }
            if (!isGone(commands[row], registered))
                continue;
            registry.DeleteTree(places[row], EntryKeyPath(keyNames[row]));
            SendMessageW(hwnd, LVM_DELETEITEM, row, 0);
        }
    }
    const double deleteSeconds = Now() - start;
    const int rowsAfter = static_cast<int>(SendMessageW(hwnd, LVM_GETITEMCOUNT, 0, 0));

    std::printf("rows=%d\nload_list_seconds=%.4f\nlist_peak_ws=%llu\ndetect_seconds=%.4f\nticked=%d\n"
                "delete_seconds=%.4f\nrows_after=%d\n",
                rows, loadSeconds, listPeak, detectSeconds, ticked, deleteSeconds, rowsAfter);
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

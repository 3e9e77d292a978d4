// Starts a process and measures it from outside, as a user waits for it.
//   bench_driver run [--out FILE] COMMAND [ARG ...]
//       starts COMMAND (its output into FILE, or into the driver's own) and
//       waits for its end: seconds=, exit_code=
//   bench_driver window [--dump FILE] ROWS COMMAND [ARG ...]
//       starts COMMAND and waits until a visible window of its process
//       shows a list view with ROWS rows (seconds=, peak_ws=), writes the
//       rows' first column into FILE as UTF-8, then closes the process. A
//       list that settles on another count ends the wait: rows_seen=.
//   bench_driver program EXE ROWS STALE
//       starts the program and waits until its window is visible with ROWS
//       rows (load_seconds=); presses "Detect Old Entries to Delete"
//       (detect_seconds=); selects one ticked row whose command names a
//       missing file and presses "Uninstall Selected Entry"
//       (uninstall_seconds=); presses "Delete Checked Entries"
//       (delete_seconds=, rows_after=, which must be ROWS - STALE); then
//       reads the program's peak working set (peak_ws=) and closes it.
// Every process started learns the driver's counter at its start from the
// variable BENCH_STARTED, so that it can time its own steps from there.
// Each press is one BM_CLICK sent to the button; the call returns once the
// program has handled the click, and with it run the action.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cwctype>
#include <string>
#include <string_view>
#include <vector>

#include <windows.h>
#include <commctrl.h>

#include "BenchSupport.h"

namespace {

// The program's window class and its controls' IDs.
constexpr wchar_t kFormClass[] = L"UninstallListCleaner.Form1";
constexpr int kListView1 = 102;
constexpr int kCheck3 = 103;  // "Detect Old Entries to Delete"
constexpr int kCheck2 = 104;  // "Delete Checked Entries"
constexpr int kCheck1 = 105;  // "Uninstall Selected Entry"

constexpr UINT kLongWait = 30 * 60 * 1000;

// The program under measure: a failed run must not leave it on screen for
// the next one to find.
HANDLE measured = nullptr;

[[noreturn]] void Fail(const char* what)
{
    std::fprintf(stderr, "bench_driver: %s (error %lu)\n", what, GetLastError());
    std::fflush(stderr);
    if (measured != nullptr)
        TerminateProcess(measured, 1);
    std::exit(1);
}

std::wstring Quoted(const std::wstring& argument)
{
    if (!argument.empty() && argument.find_first_of(L" \t\"") == std::wstring::npos)
        return argument;
    std::wstring quoted = L"\"";
    for (wchar_t c : argument) {
        if (c == L'"')
            quoted += L'\\';
        quoted += c;
    }
    return quoted + L"\"";
}

struct Child {
    PROCESS_INFORMATION info{};
    ~Child()
    {
        if (info.hThread != nullptr)
            CloseHandle(info.hThread);
        if (info.hProcess != nullptr)
            CloseHandle(info.hProcess);
    }
};

void Start(Child& child, std::wstring commandLine, const wchar_t* folder, HANDLE output)
{
    LARGE_INTEGER count{};
    QueryPerformanceCounter(&count);
    SetEnvironmentVariableW(L"BENCH_STARTED", std::to_wstring(count.QuadPart).c_str());
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = output;
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, folder, &startup,
                        &child.info))
        Fail("CreateProcess");
}

int Run(const std::vector<std::wstring>& arguments)
{
    size_t first = 0;
    HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    if (arguments.size() > 1 && arguments[0] == L"--out") {
        SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
        output = CreateFileW(arguments[1].c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inheritable, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
        if (output == INVALID_HANDLE_VALUE)
            Fail("creating the output file");
        first = 2;
    }
    std::wstring commandLine;
    for (size_t i = first; i < arguments.size(); ++i)
        commandLine += (commandLine.empty() ? L"" : L" ") + Quoted(arguments[i]);

    Child child;
    std::fflush(stdout);
    const double start = Now();
    Start(child, commandLine, nullptr, output);
    WaitForSingleObject(child.info.hProcess, INFINITE);
    const double seconds = Now() - start;
    DWORD exitCode = 0;
    GetExitCodeProcess(child.info.hProcess, &exitCode);
    std::printf("seconds=%.4f\nexit_code=%lu\n", seconds, exitCode);
    return 0;
}

// Memory inside the program, for the list messages that carry a pointer.
class RemoteMemory {
public:
    RemoteMemory(HANDLE process, size_t size)
        : process_(process), address_(VirtualAllocEx(process, nullptr, size, MEM_COMMIT, PAGE_READWRITE))
    {
        if (address_ == nullptr)
            Fail("VirtualAllocEx");
    }
    ~RemoteMemory() { VirtualFreeEx(process_, address_, 0, MEM_RELEASE); }
    RemoteMemory(const RemoteMemory&) = delete;
    RemoteMemory& operator=(const RemoteMemory&) = delete;

    void* Address() const { return address_; }
    void Write(const void* data, size_t size, size_t offset = 0)
    {
        if (!WriteProcessMemory(process_, static_cast<char*>(address_) + offset, data, size, nullptr))
            Fail("WriteProcessMemory");
    }
    void Read(void* data, size_t size, size_t offset = 0)
    {
        if (!ReadProcessMemory(process_, static_cast<char*>(address_) + offset, data, size, nullptr))
            Fail("ReadProcessMemory");
    }

private:
    HANDLE process_;
    void* address_;
};

LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, kLongWait, &result))
        Fail("the program did not answer");
    return static_cast<LRESULT>(result);
}

double Press(HWND form, int button)
{
    const HWND control = GetDlgItem(form, button);
    if (control == nullptr)
        Fail("no such button");
    const double start = Now();
    Send(control, BM_CLICK, 0, 0);
    return Now() - start;
}

std::wstring RowText(HANDLE process, HWND list, int row, int subItem)
{
    constexpr int kChars = 2048;
    RemoteMemory remote(process, sizeof(LVITEMW) + kChars * sizeof(wchar_t));
    LVITEMW item{};
    item.iSubItem = subItem;
    item.pszText = reinterpret_cast<wchar_t*>(static_cast<char*>(remote.Address()) + sizeof(LVITEMW));
    item.cchTextMax = kChars;
    remote.Write(&item, sizeof item);
    const auto length = static_cast<size_t>(Send(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(remote.Address())));
    std::wstring text(std::min<size_t>(length, kChars - 1), L'\0');
    remote.Read(text.data(), text.size() * sizeof(wchar_t), sizeof(LVITEMW));
    return text;
}

bool IsChecked(HWND list, int row)
{
    return (Send(list, LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK) & LVIS_STATEIMAGEMASK) == INDEXTOSTATEIMAGEMASK(2);
}

// The first ticked row whose command the shell would not find: one that runs
// neither the Windows Installer nor anything else present.
int FirstStaleRowWithAMissingCommand(HANDLE process, HWND list, int rows)
{
    for (int row = 0; row < rows; ++row) {
        if (!IsChecked(list, row))
            continue;
        std::wstring command = RowText(process, list, row, 1);
        for (wchar_t& c : command)
            c = static_cast<wchar_t>(std::towlower(c));
        if (command.find(L"msiexec") == std::wstring::npos)
            return row;
    }
    return -1;
}

void Select(HANDLE process, HWND list, int row)
{
    RemoteMemory remote(process, sizeof(LVITEMW));
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    remote.Write(&item, sizeof item);
    Send(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(remote.Address()));
}

struct ListSearch {
    DWORD process;
    HWND list;
};

BOOL CALLBACK FindVisibleList(HWND child, LPARAM data)
{
    wchar_t name[32] = {};
    GetClassNameW(child, name, static_cast<int>(std::size(name)));
    if (std::wstring_view(name) != WC_LISTVIEWW || !IsWindowVisible(child))
        return TRUE;
    reinterpret_cast<ListSearch*>(data)->list = child;
    return FALSE;
}

BOOL CALLBACK SearchTopLevelWindow(HWND window, LPARAM data)
{
    auto& search = *reinterpret_cast<ListSearch*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search.process && IsWindowVisible(window))
        EnumChildWindows(window, FindVisibleList, data);
    return search.list == nullptr;
}

// The first visible list view in a visible top-level window of `process`.
HWND VisibleListOf(DWORD process)
{
    ListSearch search{process, nullptr};
    EnumWindows(SearchTopLevelWindow, reinterpret_cast<LPARAM>(&search));
    return search.list;
}

void DumpRows(HANDLE process, HWND list, int rows, const std::wstring& path)
{
    FILE* file = _wfopen(path.c_str(), L"wb");
    if (file == nullptr)
        Fail("creating the dump file");
    for (int row = 0; row < rows; ++row) {
        const std::wstring text = RowText(process, list, row, 0);
        const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                             nullptr, nullptr);
        std::string utf8(static_cast<size_t>(size), '\0');
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), utf8.data(), size, nullptr,
                            nullptr);
        std::fprintf(file, "%s\n", utf8.c_str());
    }
    std::fclose(file);
}

int Window(std::vector<std::wstring> arguments)
{
    std::wstring dump;
    if (arguments.size() > 2 && arguments[0] == L"--dump") {
        dump = arguments[1];
        arguments.erase(arguments.begin(), arguments.begin() + 2);
    }
    const int rows = std::stoi(arguments[0]);
    std::wstring commandLine;
    for (size_t i = 1; i < arguments.size(); ++i)
        commandLine += (commandLine.empty() ? L"" : L" ") + Quoted(arguments[i]);

    // A count that stays this long on another number than the one awaited
    // is the peer's own full count.
    constexpr double kSettled = 10.0;
    Child child;
    const double start = Now();
    Start(child, commandLine, nullptr, GetStdHandle(STD_OUTPUT_HANDLE));
    measured = child.info.hProcess;
    HWND list = nullptr;
    LRESULT count = -1;
    double countSince = start;
    for (;;) {
        list = VisibleListOf(child.info.dwProcessId);
        if (list != nullptr) {
            const LRESULT now = Send(list, LVM_GETITEMCOUNT, 0, 0);
            if (now == rows)
                break;
            if (now != count) {
                count = now;
                countSince = Now();
            } else if (Now() - countSince > kSettled) {
                break;
            }
        }
        if (WaitForSingleObject(child.info.hProcess, 1) == WAIT_OBJECT_0)
            Fail("the process ended before showing its rows");
        if (Now() - start > kLongWait / 1000.0)
            Fail("the process did not show its rows in time");
    }
    const double seconds = Now() - start;
    const int shown = static_cast<int>(Send(list, LVM_GETITEMCOUNT, 0, 0));
    const unsigned long long peak = PeakWorkingSet(child.info.hProcess);
    if (!dump.empty())
        DumpRows(child.info.hProcess, list, shown, dump);

    // Closed like a user closes it; one that lingers is ended.
    PostMessageW(GetAncestor(list, GA_ROOT), WM_CLOSE, 0, 0);
    if (WaitForSingleObject(child.info.hProcess, 10 * 1000) != WAIT_OBJECT_0) {
        TerminateProcess(child.info.hProcess, 1);
        WaitForSingleObject(child.info.hProcess, INFINITE);
    }
    measured = nullptr;
    if (shown != rows) {
        std::printf("rows_seen=%d\n", shown);
        std::fprintf(stderr, "bench_driver: the list settled on %d rows, not %d\n", shown, rows);
        return 1;
    }
    std::printf("seconds=%.4f\npeak_ws=%llu\n", seconds, peak);
    return 0;
}

int Program(const std::wstring& exe, int rows, int stale)
{
    const std::wstring folder = exe.substr(0, exe.find_last_of(L"\\/"));
    Child child;
    const double start = Now();
    Start(child, Quoted(exe), folder.c_str(), GetStdHandle(STD_OUTPUT_HANDLE));
    measured = child.info.hProcess;

    // The program goes idle once its window is up; the polling after it
    // confirms what the user would see.
    WaitForInputIdle(child.info.hProcess, kLongWait);
    const double idleSeconds = Now() - start;
    int polls = 0;
    HWND form = nullptr;
    HWND list = nullptr;
    for (;; ++polls) {
        form = FindWindowW(kFormClass, nullptr);
        if (form != nullptr && IsWindowVisible(form)) {
            list = GetDlgItem(form, kListView1);
            if (list != nullptr && Send(list, LVM_GETITEMCOUNT, 0, 0) == rows)
                break;
        }
        if (WaitForSingleObject(child.info.hProcess, 1) == WAIT_OBJECT_0)
            Fail("the program ended before showing its rows");
        if (Now() - start > kLongWait / 1000.0)
            Fail("the program did not show its rows in time");
    }
    const double loadSeconds = Now() - start;
    const unsigned long long loadPeak = PeakWorkingSet(child.info.hProcess);

    const double detectSeconds = Press(form, kCheck3);

    // With no such row the press runs over the rows with none selected.
    const int row = FirstStaleRowWithAMissingCommand(child.info.hProcess, list, rows);
    if (row >= 0)
        Select(child.info.hProcess, list, row);
    const double uninstallSeconds = Press(form, kCheck1);

    const double deleteSeconds = Press(form, kCheck2);
    const int rowsAfter = static_cast<int>(Send(list, LVM_GETITEMCOUNT, 0, 0));
    const unsigned long long peak = PeakWorkingSet(child.info.hProcess);

    PostMessageW(form, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(child.info.hProcess, 60 * 1000) != WAIT_OBJECT_0)
        Fail("the program did not close");
    measured = nullptr;
    std::printf("idle_seconds=%.4f\npolls=%d\nload_peak_ws=%llu\n", idleSeconds, polls, loadPeak);
    std::printf("load_seconds=%.4f\ndetect_seconds=%.4f\nuninstall_seconds=%.4f\nuninstall_selected=%d\n"
                "delete_seconds=%.4f\nrows_after=%d\npeak_ws=%llu\n",
                loadSeconds, detectSeconds, uninstallSeconds, row >= 0 ? 1 : 0, deleteSeconds, rowsAfter, peak);
    if (rowsAfter != rows - stale) {
        std::fprintf(stderr, "bench_driver: %d rows left, not %d\n", rowsAfter, rows - stale);
        return 1;
    }
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    const std::vector<std::wstring> arguments(argv + 1, argv + argc);
    if (arguments.size() >= 2 && arguments[0] == L"run")
        return Run(std::vector<std::wstring>(arguments.begin() + 1, arguments.end()));
    if (arguments.size() >= 3 && arguments[0] == L"window")
        return Window(std::vector<std::wstring>(arguments.begin() + 1, arguments.end()));
    if (arguments.size() == 4 && arguments[0] == L"program")
        return Program(arguments[1], std::stoi(arguments[2]), std::stoi(arguments[3]));
    std::fprintf(stderr, "usage: bench_driver run [--out FILE] COMMAND [ARG ...] |\n"
                         "       window [--dump FILE] ROWS COMMAND [ARG ...] | program EXE ROWS STALE\n");
    return 2;
}

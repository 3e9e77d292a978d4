// Stands in for an uninstaller in the shell and window tests, and, built as a
// DLL, for a DLL planted beside the program. Each start, and each load into a
// process, appends a line to a file beside it that bears its name with
// ".runs" for its extension: the command line, the current folder and the
// file name of the parent process, separated by "|". Copies of it under other
// names keep records of their own. It reads nothing from its environment:
// started through the desktop's shell, it has the shell's.
#include <filesystem>
#include <map>
#include <string>

#include <windows.h>
#include <tlhelp32.h>

namespace {

std::wstring ParentName()
{
    std::map<DWORD, PROCESSENTRY32W> processes;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry))
        processes[entry.th32ProcessID] = entry;
    CloseHandle(snapshot);
    return processes[processes[GetCurrentProcessId()].th32ParentProcessID].szExeFile;
}

bool NoteRun(HMODULE module)
{
    wchar_t self[MAX_PATH] = {};
    if (GetModuleFileNameW(module, self, MAX_PATH) == 0)
        return false;
    const std::u8string line = std::filesystem::path(std::wstring(GetCommandLineW()) + L"|" +
                                                     std::filesystem::current_path().wstring() + L"|" + ParentName() + L"\n")
                                   .u8string();
    // One write to a file opened for appending lands whole, after any other.
    const HANDLE file = CreateFileW(std::filesystem::path(self).replace_extension(L".runs").c_str(), FILE_APPEND_DATA,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS, 0, nullptr);
    DWORD written = 0;
    const BOOL wrote = WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(file);
    return wrote;
}

}  // namespace

#ifdef ULC_MARKER_DLL
extern "C" IMAGE_DOS_HEADER __ImageBase;
// Built as a DLL, it notes each load while the C runtime sets up its statics.
[[maybe_unused]] const bool noted = NoteRun(reinterpret_cast<HMODULE>(&__ImageBase));
#else
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return NoteRun(nullptr) ? 0 : 1; }
#endif

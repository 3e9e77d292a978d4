// Stands in for an uninstaller and for programs dropped beside this one, and,
// built as a DLL, for a DLL planted beside the program. Each start, and each
// load into a process, appends a line to a file beside it that bears its name
// with ".runs" for its extension: the command line, the current folder and the
// file name of the parent process, separated by "|". Copies of it under other
// names keep records of their own. It reads nothing from its environment:
// started through the desktop's shell, it has the shell's.
#include <filesystem>
#include <map>

#include <windows.h>
#include <tlhelp32.h>

extern "C" IMAGE_DOS_HEADER __ImageBase;

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

bool NoteRun()
{
    wchar_t self[MAX_PATH] = {};
    if (GetModuleFileNameW(reinterpret_cast<HMODULE>(&__ImageBase), self, MAX_PATH) == 0)
        return false;
    const std::wstring line = GetCommandLineW() + (L"|" + std::filesystem::current_path().wstring()) + L"|" + ParentName();
    const std::u8string text = std::filesystem::path(line + L"\n").u8string();
    // One write to a file opened for appending lands whole, after any other.
    const HANDLE file = CreateFileW(std::filesystem::path(self).replace_extension(L".runs").c_str(), FILE_APPEND_DATA,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS, 0, nullptr);
    DWORD written = 0;
    const BOOL wrote = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
    return wrote;
}

// Noted as the C runtime sets up the statics: at a start, or at a load of the
// DLL, whose WinMain nothing calls.
const bool noted = NoteRun();

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return noted ? 0 : 1; }

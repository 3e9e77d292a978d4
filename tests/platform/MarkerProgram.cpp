// Stands in for an uninstaller in the shell and window tests: appends a line
// with its command line and its current folder, separated by "|", to the file
// named by ULC_MARKER_FILE followed by "." and the program's own name without
// ".exe", so that copies of it under other names leave files of their own and
// every start leaves one line.
#include <filesystem>
#include <string>

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    wchar_t target[MAX_PATH] = {};
    wchar_t self[MAX_PATH] = {};
    if (GetEnvironmentVariableW(L"ULC_MARKER_FILE", target, MAX_PATH) == 0 || GetModuleFileNameW(nullptr, self, MAX_PATH) == 0)
        return 1;
    const std::wstring output = std::wstring(target) + L"." + std::filesystem::path(self).stem().wstring();
    const std::wstring line = std::wstring(GetCommandLineW()) + L"|" + std::filesystem::current_path().wstring() + L"\n";
    // One write to a file opened for appending lands whole, after any other.
    const HANDLE file = CreateFileW(output.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_ALWAYS, 0, nullptr);
    DWORD written = 0;
    const BOOL wrote = WriteFile(file, line.data(), static_cast<DWORD>(line.size() * sizeof(wchar_t)), &written, nullptr);
    CloseHandle(file);
    return wrote ? 0 : 1;
}

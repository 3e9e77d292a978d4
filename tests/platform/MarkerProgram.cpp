// Stands in for an uninstaller in the shell and window tests: appends a line
// with its command line and its current folder, separated by "|", to the file
// named by ULC_MARKER_FILE followed by "." and the program's own name without
// ".exe", so that copies of it under other names leave files of their own and
// every start leaves one line.
#include <string>

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    wchar_t target[MAX_PATH];
    const DWORD targetLength = GetEnvironmentVariableW(L"ULC_MARKER_FILE", target, MAX_PATH);
    wchar_t folder[MAX_PATH];
    const DWORD folderLength = GetCurrentDirectoryW(MAX_PATH, folder);
    wchar_t self[MAX_PATH];
    const DWORD selfLength = GetModuleFileNameW(nullptr, self, MAX_PATH);
    if (targetLength == 0 || targetLength >= MAX_PATH || folderLength == 0 || folderLength >= MAX_PATH ||
        selfLength == 0 || selfLength >= MAX_PATH)
        return 1;
    std::wstring name(self, selfLength);
    name = name.substr(name.rfind(L'\\') + 1);
    name = name.substr(0, name.rfind(L'.'));
    const std::wstring output = std::wstring(target) + L"." + name;
    const std::wstring line = std::wstring(GetCommandLineW()) + L"|" + folder + L"\n";

    // One write to a file opened for appending lands whole, after any other.
    HANDLE file = CreateFileW(output.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    DWORD written = 0;
    WriteFile(file, line.data(), static_cast<DWORD>(line.size() * sizeof(wchar_t)), &written, nullptr);
    CloseHandle(file);
    return 0;
}

// Stands in for an uninstaller in the shell tests: writes its command line and
// its current folder, one per line, to the file that ULC_MARKER_FILE names,
// followed by "." and the program's own name without ".exe", so that several
// copies of it started at once leave one file each.
#include <string>

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    wchar_t target[MAX_PATH];
    const DWORD targetLength = GetEnvironmentVariableW(L"ULC_MARKER_FILE", target, MAX_PATH);
    wchar_t folder[MAX_PATH];
    const DWORD folderLength = GetCurrentDirectoryW(MAX_PATH, folder);
    if (targetLength == 0 || targetLength >= MAX_PATH || folderLength == 0 || folderLength >= MAX_PATH)
        return 1;
    wchar_t self[MAX_PATH];
    const DWORD selfLength = GetModuleFileNameW(nullptr, self, MAX_PATH);
    if (selfLength == 0 || selfLength >= MAX_PATH)
        return 1;
    std::wstring name(self, selfLength);
    name = name.substr(name.rfind(L'\\') + 1);
    name = name.substr(0, name.rfind(L'.'));
    const std::wstring output = std::wstring(target) + L"." + name;
    const std::wstring text = std::wstring(GetCommandLineW()) + L"\n" + folder + L"\n";

    // Written aside and renamed, so the test never reads half a file.
    const std::wstring partial = output + L".part";
    HANDLE file = CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)), &written, nullptr);
    CloseHandle(file);
    return MoveFileExW(partial.c_str(), output.c_str(), MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}

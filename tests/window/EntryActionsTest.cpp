// The program itself over the test prefix's registry, driven from outside as
// a user and a screen reader would.

#include <gtest/gtest.h>

#include <fstream>
#include <set>

#include "CommandAnalysis.h"
#include "Text.h"
#include "Win32Registry.h"
#include "WindowTestSupport.h"

#include <tlhelp32.h>

namespace {

constexpr RegRoot k64 = RegRoot::LocalMachine, k32 = RegRoot::LocalMachine32, kUser = RegRoot::CurrentUser;

// Every key at `path` and below it in `place`, as "place:path", lower-cased.
void ListKeys(RegistryStore& store, RegRoot place, const std::string& path, std::set<std::string>& keys)
{
    OpenedKey key(store);
    if (key.OpenForEnumeration(place, path) != kRegSuccess)
        return;
    keys.insert(std::to_string(static_cast<int>(place)) + ":" + LowerAscii(path));
    std::string name;
    KeyTime written = 0;
    for (int index = 0; store.EnumerateSubkey(key.Get(), index, name, written) == kRegSuccess; ++index)
        ListKeys(store, place, path + "\\" + name, keys);
}

// The keys around the three Uninstall keys, the 32-bit view under
// WOW6432Node: deleting any of their parents would take these along.
std::set<std::string> KeysAround(RegistryStore& store)
{
    std::set<std::string> keys;
    for (const std::string parent : {"Software\\", "Software\\WOW6432Node\\"})
        ListKeys(store, k64, parent + "Microsoft\\Windows\\CurrentVersion", keys);
    ListKeys(store, kUser, "Software\\Microsoft\\Windows\\CurrentVersion", keys);
    return keys;
}

// The runs that the copy of the marker program (tests/platform/MarkerProgram.cpp)
// at `program` noted, each "command line|current folder|parent's file name",
// waiting up to 10 s for `count` of them: the shell returns before the
// program runs.
std::vector<std::string> MarkerRuns(const std::wstring& program, size_t count)
{
    for (int waited = 0;; waited += 50) {
        std::vector<std::string> runs;
        std::ifstream file(std::filesystem::path(program).replace_extension(".runs"));
        // Only whole lines: a start still writing has not finished its line.
        for (std::string line; std::getline(file, line) && !file.eof();)
            runs.push_back(line);
        if (runs.size() >= count || waited >= 10000)
            return runs;
        Sleep(50);
    }
}

// Runs `commandLine` and waits up to a minute for it to end.
bool RunAndWait(std::wstring commandLine)
{
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    const bool ended = WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return ended;
}

// Sends `message` about row `index` of another process's list view, as
// accessibility tools and scripts do: the item, naming `column` and the
// selected state, and its text buffer live in that process. Returns the text
// the list left in the buffer.
std::string RemoteItem(HANDLE process, HWND list, int index, int column, UINT message = LVM_GETITEMTEXTW)
{
    constexpr int kLength = 512;
    auto* remote = static_cast<BYTE*>(VirtualAllocEx(process, nullptr, sizeof(LVITEMW) + kLength * 2, MEM_COMMIT, PAGE_READWRITE));
    LVITEMW item{};
    item.iSubItem = column;
    item.state = item.stateMask = LVIS_SELECTED;
    item.cchTextMax = kLength;
    item.pszText = reinterpret_cast<wchar_t*>(remote + sizeof(LVITEMW));
    WriteProcessMemory(process, remote, &item, sizeof item, nullptr);
    const auto length = SendMessageW(list, message, index, reinterpret_cast<LPARAM>(remote));
    wchar_t text[kLength] = {};
    ReadProcessMemory(process, item.pszText, text, sizeof text, nullptr);
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    return Utf8FromWide(std::wstring(text, std::min<size_t>(static_cast<size_t>(length), kLength - 1)));
}

// Suspends, or resumes, every thread of every process named `name`.
void SetProcessRunning(const wchar_t* name, bool running)
{
    std::set<DWORD> processes;
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS | TH32CS_SNAPTHREAD, 0);
    PROCESSENTRY32W process{};
    process.dwSize = sizeof process;
    for (BOOL more = Process32FirstW(snapshot, &process); more; more = Process32NextW(snapshot, &process)) {
        if (_wcsicmp(process.szExeFile, name) == 0)
            processes.insert(process.th32ProcessID);
    }
    THREADENTRY32 thread{};
    thread.dwSize = sizeof thread;
    for (BOOL more = Thread32First(snapshot, &thread); more; more = Thread32Next(snapshot, &thread)) {
        if (!processes.contains(thread.th32OwnerProcessID))
            continue;
        const HANDLE handle = OpenThread(THREAD_SUSPEND_RESUME, FALSE, thread.th32ThreadID);
        running ? ResumeThread(handle) : SuspendThread(handle);
        CloseHandle(handle);
    }
    CloseHandle(snapshot);
}

TEST(ProgramTest, ListsDetectsUninstallsAndDeletesEachEntryInItsOwnPlaceAndLoadsNoDllFromItsFolder)
{
    // The program in a folder of its own, beside a DLL for each name that
    // Wine is told to prefer to its own (tests/window/CMakeLists.txt), and in
    // a folder below it a copy of the marker program: the one uninstaller
    // that is there.
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "ulc-planted";
    const std::wstring program = folder / "UninstallListCleaner.exe", uninstaller = folder / "uninstaller" / "uninst.exe";
    std::filesystem::remove_all(folder);
    std::filesystem::remove_all(L"C:\\ULC Back");
    std::filesystem::create_directories(folder / "uninstaller");
    ASSERT_TRUE(CopyFileW(ProgramPath().c_str(), program.c_str(), FALSE) && CopyFileW(kMarkerPath.c_str(), uninstaller.c_str(), FALSE));
    ASSERT_NE(GetEnvironmentVariableW(L"ULC_PREFER_NATIVE", nullptr, 0), 0u);
    // Beside it too, a garbage pointer image of the name the program once
    // read from there, last read long ago: a read would move that time on.
    const std::wstring planted = folder / "HAND-M.CUR";
    std::ofstream(std::filesystem::path(planted)) << "not a cursor";
    const FILETIME longAgo{0x256D4000, 0x01BF53EB};  // 1 January 2000
    const auto lastRead = [&] {
        WIN32_FILE_ATTRIBUTE_DATA data{};
        GetFileAttributesExW(planted.c_str(), GetFileExInfoStandard, &data);
        return std::pair(data.ftLastAccessTime.dwHighDateTime, data.ftLastAccessTime.dwLowDateTime);
    };
    const HANDLE plantedFile = CreateFileW(planted.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_TRUE(SetFileTime(plantedFile, nullptr, &longAgo, nullptr));
    CloseHandle(plantedFile);
    ASSERT_EQ(lastRead(), std::pair(longAgo.dwHighDateTime, longAgo.dwLowDateTime));
    for (const std::wstring name : {ULC_PLANTED_DLLS})
        ASSERT_TRUE(CopyFileW(ULC_WIDE(ULC_PLANTED_PATH), (folder / (name + L".dll")).c_str(), FALSE));
    const std::string live = Utf8FromWide(uninstaller);
    wchar_t windowsFolder[MAX_PATH];
    const std::string windows = Utf8FromWide(std::wstring(windowsFolder, GetWindowsDirectoryW(windowsFolder, MAX_PATH)));
    // Files that only a 32-bit program sees at their System32 and
    // %ProgramFiles% paths, and one below folders named like programs.
    for (const std::string& file : {windows + "\\syswow64\\ulc-only32.exe", windows + "\\system32\\ulc-native.exe",
                                   std::string(R"(C:\Program Files (x86)\ULC Only32\un.exe)"),
                                   std::string(R"(C:\ULC Tool.exe Kit\Acme.Exec\uninstall.exe)")}) {
        std::filesystem::create_directories(std::filesystem::path(WideFromUtf8(file)).parent_path());
        CopyFileW(uninstaller.c_str(), WideFromUtf8(file).c_str(), FALSE);
    }
    const std::string odd = "ulc-test-Ελληνικά \U0001F680 *?<>|";
    // A user's process may write a command of any length into its own entry:
    // this one has a blank every other character.
    std::string longCommand = R"(C:\Gone\long\un-long.exe)";
    while (longCommand.size() < 160'022)
        longCommand += " x";
    // Place, key name, display name, command, whether Detect ticks it. The
    // list sorts them in this order, and the Windows Installer packages of
    // the test prefix after them.
    const std::tuple<RegRoot, std::string, std::string, std::string, bool> entries[] = {
        {kUser, "ulc-test-cmd", "Tool 1", "cmd /c rd /s /q gone", false},
        {k64, "ulc-test-msi", "Tool 2", "MsiExec /X{E1D0A5A1-4C3B-4F7E-9B1A-0C5D6E7F8C01}", true},  // never installed
        {k32, "ulc-test-unseen", "Tool 3", R"("Q:\Gone\uninst.exe")", false},
        {k64, odd, "Tool 4", R"("C:\Gone\Ελληνικά\uninst.exe")", true},
        {kUser, "ulc-test-user", "Tool 5", R"(%SystemDrive%\Gone\user\uninst.exe)", true},
        {k64, "ulc-test-malformed", "Tool 6", "MsiExec.exe /X{E1D0A5A1-4C3B-4F7E-9B1A}", false},
        {k64, "ulc-test-link", "Tool 7", R"("C:\ulc-dead-link\Tool\uninst.exe")", false},
        {k64, "ulc-test-dotted", "Tool 8", R"("C:\ULC Tool.exe Kit\Acme.Exec\uninstall.exe" /remove helper.exe)", false},
        {k32, "ulc-test-twin", "tool 9", R"("C:\Gone\Tool\uninst.exe" /S)", true},  // installed again before Delete
        {k64, "ulc-test-twin", "Tool 10", "\"" + live + "\" /uninstall", false},
        {k32, "ulc-test-only32", "Tool 11", R"(C:\Windows\System32\ulc-only32.exe /S)", false},
        {k32, "ulc-test-gone32", "Tool 12", R"(C:\Windows\System32\ulc-gone32.exe /S)", true},
        {k32, "ulc-test-pf32", "Tool 13", R"("%ProgramFiles%\ULC Only32\un.exe")", false},
        {k64, "ulc-test-pf64", "Tool 14", R"("%ProgramFiles%\ULC Only32\un.exe")", true},
        {k64, "ulc-test-unquoted", "Tool 15", R"(C:\ULC Tool.exe Kit\Gone\uninstall.exe /S)", true},
        {k64, "ulc-test-rundll32", "Tool 16", windows + R"(\System32\rundll32.exe shell32.dll,Control_RunDLL x.cpl)", false},
        // Installed again between Detect and Delete: its key written anew with
        // the same texts, or its file put back.
        {k64, "ulc-test-rewritten", "Tool 17", R"("C:\ULC Gone\rewritten.exe")", true},
        {k64, "ulc-test-back", "Tool 18", R"("C:\ULC Back\uninst.exe")", true},
        // Z: is another fixed disk: only a folder below its root proves a file gone.
        {k64, "ulc-test-swapped", "Tool 19", R"("Z:\ulc-swapped-volume\Acme\unins000.exe")", false},
        {k64, "ulc-test-swapped-folder", "Tool 20", R"("Z:\tmp\ulc-gone-folder\unins000.exe")", true},
        // A 32-bit rundll32 in the 64-bit place, and Sysnative there.
        {k64, "ulc-test-wow-rundll32", "Tool 21", "\"" + windows + R"(\SysWOW64\rundll32.exe" )" + windows + R"(\System32\ulc-only32.exe,Entry)", false},
        {k64, "ulc-test-sysnative", "Tool 22", windows + R"(\Sysnative\ulc-native.exe)", false},
        {kUser, "ulc-test-long", "Tool 23", longCommand, true},
        {k64, odd + "\\Sub\\Deeper", "below the entry", "", false},
    };
    // Where an entry's key lies, seen from the 64-bit view.
    const auto keyOf = [](RegRoot place, const std::string& keyName) {
        return std::pair(place == kUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE,
                         WideFromUtf8((place == k32 ? "Software\\WOW6432Node" : "Software") + EntryKeyPath(keyName).substr(8)));
    };
    Win32Registry registry;
    for (const auto& [place, keyName, displayName, command, ticked] : entries) {
        registry.DeleteTree(place, EntryKeyPath(keyName));
        for (const auto& [name, text] : {std::pair(L"DisplayName", WideFromUtf8(displayName)), std::pair(L"UninstallString", WideFromUtf8(command))})
            RegSetKeyValueW(keyOf(place, keyName).first, keyOf(place, keyName).second.c_str(), name, REG_SZ, text.c_str(),
                            static_cast<DWORD>(text.size() + 1) * 2);
    }
    // A link in a ticked entry to an entry left unticked: the link goes, never its target.
    const std::wstring target = L"\\Registry\\Machine\\" + keyOf(k64, "ulc-test-rundll32").second;
    HKEY link = nullptr;
    RegCreateKeyExW(HKEY_LOCAL_MACHINE, (keyOf(k64, odd).second + L"\\Sub\\Link").c_str(), 0, nullptr, REG_OPTION_CREATE_LINK,
                    KEY_SET_VALUE | KEY_CREATE_LINK, nullptr, &link, nullptr);
    RegSetValueExW(link, L"SymbolicLinkValue", 0, REG_LINK, reinterpret_cast<const BYTE*>(target.data()), static_cast<DWORD>(target.size() * 2));
    RegCloseKey(link);
    const std::set<std::string> before = KeysAround(registry);
    // Its Properties show the project's version.
    std::vector<BYTE> version(GetFileVersionInfoSizeW(program.c_str(), nullptr));
    VS_FIXEDFILEINFO* fixed = nullptr;
    wchar_t* text = nullptr;
    UINT size = 0;
    ASSERT_TRUE(GetFileVersionInfoW(program.c_str(), 0, static_cast<DWORD>(version.size()), version.data()) &&
                VerQueryValueW(version.data(), L"\\", reinterpret_cast<void**>(&fixed), &size) &&
                VerQueryValueW(version.data(), L"\\StringFileInfo\\040904B0\\ProductVersion", reinterpret_cast<void**>(&text), &size));
    EXPECT_EQ(std::to_wstring(HIWORD(fixed->dwFileVersionMS)) + L"." + std::to_wstring(LOWORD(fixed->dwFileVersionMS)) + L"." +
                  std::to_wstring(HIWORD(fixed->dwFileVersionLS)) + L" " + text,
              ULC_WIDE(ULC_VERSION) L" " ULC_WIDE(ULC_VERSION));
    std::wstring commandLine = L"\"" + program + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process));
    HWND window = nullptr;
    for (int waited = 0; !IsWindowVisible(window) && waited < 30000; waited += 100, Sleep(100))
        window = FindWindowW(L"UninstallListCleaner.Form1", nullptr);
    ASSERT_TRUE(IsWindowVisible(window));
    const HWND list = FindWindowExW(window, nullptr, WC_LISTVIEWW, nullptr);
    // This test's rows, top to bottom: "name, FileExists, KeyName", and whether ticked.
    const auto rows = [&] {
        std::vector<std::string> rows;
        for (int index = 0; index < ListView_GetItemCount(list); ++index) {
            const std::string name = RemoteItem(process.hProcess, list, index, 0), keyName = RemoteItem(process.hProcess, list, index, 3);
            if (keyName.starts_with("ulc-test-") || name.starts_with("ULC Test Package"))
                rows.push_back(name + ", " + RemoteItem(process.hProcess, list, index, 2) + ", " + keyName +
                               (ListView_GetCheckState(list, index) ? " ticked" : ""));
        }
        return rows;
    };
    // The packages: A installed, B uninstalled with its entry put back.
    const std::string packageA = "ULC Test Package A, IGNORE ME, {E1D0A5A1-4C3B-4F7E-9B1A-0C5D6E7F8A01}";
    const std::string packageB = "ULC Test Package B, IGNORE ME, {E1D0A5A1-4C3B-4F7E-9B1A-0C5D6E7F8B01}";
    // Rows Detect ticks whose program is installed again before Delete.
    const std::set<std::string> reinstalled = {"tool 9", "Tool 17", "Tool 18"};
    std::vector<std::string> detected, kept;
    std::vector<std::pair<RegRoot, std::string>> deleted;
    for (const auto& [place, keyName, displayName, command, ticked] : entries) {
        if (command.empty())
            continue;
        const std::string row = displayName + ", " + DeriveUninstallerPath(command) + ", " + keyName;
        detected.push_back(row + (ticked ? " ticked" : ""));
        if (!ticked || reinstalled.contains(displayName))
            kept.push_back(row);
        else
            deleted.emplace_back(place, keyName);
    }
    detected.insert(detected.end(), {packageA, packageB + " ticked"});
    kept.insert(kept.end(), {packageA, packageB});

    SendMessageW(GetDlgItem(window, kCheck3), BM_CLICK, 0, 0);
    EXPECT_EQ(rows(), detected);
    EXPECT_EQ(KeysAround(registry), before);
    constexpr wchar_t kReinstalled[] = L"C:\\Tool\\uninst.exe";
    RegSetKeyValueW(HKEY_LOCAL_MACHINE, keyOf(k32, "ulc-test-twin").second.c_str(), L"UninstallString", REG_SZ, kReinstalled, sizeof kReinstalled);
    // (Wine leaves a key's time alone when a value is written with the data
    // it has: the installer writes the key anew.)
    registry.DeleteTree(k64, EntryKeyPath("ulc-test-rewritten"));
    for (const auto& [name, text] : {std::pair(L"DisplayName", std::wstring(L"Tool 17")), std::pair(L"UninstallString", std::wstring(LR"("C:\ULC Gone\rewritten.exe")"))})
        RegSetKeyValueW(HKEY_LOCAL_MACHINE, keyOf(k64, "ulc-test-rewritten").second.c_str(), name, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1) * 2);
    std::filesystem::create_directories(L"C:\\ULC Back");
    ASSERT_TRUE(CopyFileW(uninstaller.c_str(), L"C:\\ULC Back\\uninst.exe", FALSE));
    // Package B installed again. Wine's msiexec installs nothing while the
    // product's entry is there: it goes first, as a failed uninstall would
    // have left it.
    RegDeleteKeyExW(HKEY_LOCAL_MACHINE, keyOf(k32, "{E1D0A5A1-4C3B-4F7E-9B1A-0C5D6E7F8B01}").second.c_str(), 0, 0);
    ASSERT_TRUE(RunAndWait(L"msiexec /i \"" ULC_WIDE(ULC_PACKAGE_B) L"\" /qn"));
    std::set<std::string> expected = KeysAround(registry);
    for (const auto& [place, keyName] : deleted) {
        const std::string tree = (place == kUser ? "2:" : "0:") + LowerAscii(Utf8FromWide(keyOf(place, keyName).second));
        std::erase_if(expected, [&](const std::string& key) { return key == tree || key.starts_with(tree + "\\"); });
    }
    SendMessageW(GetDlgItem(window, kCheck2), BM_CLICK, 0, 0);
    EXPECT_EQ(rows(), kept);
    EXPECT_EQ(KeysAround(registry), expected);
    // Uninstall on the row whose uninstaller is there.
    for (int index = 0; index < ListView_GetItemCount(list); ++index) {
        if (RemoteItem(process.hProcess, list, index, 0) == "Tool 10")
            RemoteItem(process.hProcess, list, index, 0, LVM_SETITEMSTATE);
    }
    SendMessageW(GetDlgItem(window, kCheck1), BM_CLICK, 0, 0);
    // The uninstaller started in its own folder, as a child of the desktop's
    // shell.
    EXPECT_EQ(MarkerRuns(uninstaller, 1),
              std::vector<std::string>{"\"" + live + "\" /uninstall|" + live.substr(0, live.rfind('\\')) + "|explorer.exe"});

    // Again with the desktop's shell hung, once the first hand-off is over:
    // the window answers, and closing it ends the program at once.
    Sleep(1000);
    SetProcessRunning(L"explorer.exe", false);
    PostMessageW(GetDlgItem(window, kCheck1), BM_CLICK, 0, 0);
    EXPECT_NE(SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, nullptr), 0);
    PostMessageW(window, WM_CLOSE, 0, 0);
    DWORD exitCode = 1;
    EXPECT_EQ(WaitForSingleObject(process.hProcess, 5000), WAIT_OBJECT_0);
    SetProcessRunning(L"explorer.exe", true);
    EXPECT_TRUE(GetExitCodeProcess(process.hProcess, &exitCode) && exitCode == 0);
    TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    for (const auto& [place, keyName, displayName, command, ticked] : entries)
        registry.DeleteTree(place, EntryKeyPath(keyName));
    RunAndWait(L"msiexec /x \"" ULC_WIDE(ULC_PACKAGE_B) L"\" /qn");
    // No planted DLL noted a load, at any step, and the planted pointer
    // image was never read.
    for (const auto& file : std::filesystem::directory_iterator(folder))
        EXPECT_NE(file.path().extension(), ".runs") << file.path();
    EXPECT_EQ(lastRead(), std::pair(longAgo.dwHighDateTime, longAgo.dwLowDateTime));
}

}  // namespace

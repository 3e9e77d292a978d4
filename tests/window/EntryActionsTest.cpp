#include <gtest/gtest.h>

#include <filesystem>

#include "MarkerRuns.h"
#include "WindowTestSupport.h"

namespace {

constexpr RegRoot k64 = RegRoot::LocalMachine, k32 = RegRoot::LocalMachine32, kUser = RegRoot::CurrentUser;
using EntryActionsTest = FormTest;

// Reads a column of a row of another process's list view, as accessibility
// tools and scripts do: the item and its text buffer live in that process.
std::string RemoteItemText(HANDLE process, HWND list, int index, int column)
{
    constexpr int kLength = 512;
    auto* remote = static_cast<BYTE*>(VirtualAllocEx(process, nullptr, sizeof(LVITEMW) + kLength * 2, MEM_COMMIT, PAGE_READWRITE));
    LVITEMW item{};
    item.iSubItem = column;
    item.cchTextMax = kLength;
    item.pszText = reinterpret_cast<wchar_t*>(remote + sizeof(LVITEMW));
    WriteProcessMemory(process, remote, &item, sizeof item, nullptr);
    const auto length = SendMessageW(list, LVM_GETITEMTEXTW, index, reinterpret_cast<LPARAM>(remote));
    wchar_t text[kLength] = {};
    ReadProcessMemory(process, item.pszText, text, sizeof text, nullptr);
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    return Utf8FromWide(std::wstring(text, std::min<size_t>(static_cast<size_t>(length), kLength - 1)));
}

// The program itself over the test prefix's registry, driven from outside as
// a user and a screen reader would.
TEST_F(EntryActionsTest, TheProgramListsDetectsAndDeletesEachEntryInItsOwnPlace)
{
    wchar_t system[MAX_PATH];
    const std::wstring live = std::wstring(system, GetSystemDirectoryW(system, MAX_PATH)) + L"\\notepad.exe";
    const std::string odd = "Ελληνικά \U0001F680 *?<>|";
    Seed(k64, "twin", L"Tool 10", L"\"" + live + L"\" /uninstall");
    Seed(k32, "twin", L"tool 9", L"\"C:\\Gone\\Tool\\uninst.exe\" /S");
    Seed(kUser, "user", L"Tool 5", L"%SystemDrive%\\Gone\\user\\uninst.exe");
    Seed(k64, "msi", L"Tool 2", L"MsiExec /X{00000000-0000-0000-0000-000000000001}");
    Seed(kUser, "cmd", L"Tool 1", L"cmd /c rd /s /q gone");
    Seed(k32, "unseen", L"Tool 3", L"\"Q:\\Gone\\uninst.exe\"");
    Seed(k64, odd, L"Tool 4", L"\"C:\\Gone\\Ελληνικά\\uninst.exe\"");
    WriteText(k64, EntryKeyPath(kTestEntryPrefix + odd) + "\\Sub\\Deeper", L"Data", L"below the entry");
    const std::set<std::wstring> before = ListKeysAround();
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    const std::wstring program = ProgramPath();
    std::wstring commandLine = L"\"" + program + L"\"";
    ASSERT_TRUE(CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                               &startup, &process));
    HWND window = nullptr;
    for (int waited = 0; !IsWindowVisible(window) && waited < 30000; waited += 100, Sleep(100))
        window = FindWindowW(L"UninstallListCleaner.Form1", nullptr);
    ASSERT_TRUE(IsWindowVisible(window));
    const HWND list = FindWindowExW(window, nullptr, WC_LISTVIEWW, nullptr);
    // This test's rows, top to bottom: "name, FileExists, KeyName", and whether ticked.
    const auto rows = [&] {
        std::vector<std::string> rows;
        for (int index = 0; index < ListView_GetItemCount(list); ++index) {
            const std::string keyName = RemoteItemText(process.hProcess, list, index, 3);
            if (keyName.starts_with(kTestEntryPrefix))
                rows.push_back(RemoteItemText(process.hProcess, list, index, 0) + ", " +
                               RemoteItemText(process.hProcess, list, index, 2) + ", " + keyName.substr(9) +
                               (ListView_GetCheckState(list, index) ? " ticked" : ""));
        }
        return rows;
    };
    const auto press = [&](ControlId id) { SendMessageW(GetDlgItem(window, id), BM_CLICK, 0, 0); };

    press(kCheck3);
    EXPECT_EQ(rows(), (std::vector<std::string>{
                          "Tool 1, cmd, cmd", "Tool 2, msi, msi", R"(Tool 3, q:\gone\uninst.exe, unseen)",
                          R"(Tool 4, c:\gone\Ελληνικά\uninst.exe, )" + odd + " ticked",
                          R"(Tool 5, %systemdrive%\gone\user\uninst.exe, user ticked)",
                          R"(tool 9, c:\gone\tool\uninst.exe, twin ticked)",
                          "Tool 10, " + LowerAscii(Utf8FromWide(live)) + ", twin"}));
    EXPECT_EQ(ListKeysAround(), before);
    press(kCheck2);
    EXPECT_EQ(rows(), (std::vector<std::string>{"Tool 1, cmd, cmd", "Tool 2, msi, msi",
                                                R"(Tool 3, q:\gone\uninst.exe, unseen)",
                                                "Tool 10, " + LowerAscii(Utf8FromWide(live)) + ", twin"}));
    EXPECT_EQ(ListKeysAround(), Without(before, {{k32, "twin"}, {kUser, "user"}, {k64, odd}}));

    PostMessageW(window, WM_CLOSE, 0, 0);
    DWORD exitCode = 1;
    EXPECT_EQ(WaitForSingleObject(process.hProcess, 20000), WAIT_OBJECT_0);
    GetExitCodeProcess(process.hProcess, &exitCode);
    EXPECT_EQ(exitCode, 0u);
    TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

TEST_F(EntryActionsTest, ADoubleClickStartsEachSelectedUninstallerOnceFromTheProgramFolder)
{
    // Copies of the marker program stand in for the uninstallers.
    const std::wstring folder = std::filesystem::path(kMarkerPath).parent_path().wstring(), base = folder + L"\\actions-run";
    SetEnvironmentVariableW(L"ULC_MARKER_FILE", base.c_str());
    SetEnvironmentVariableW(L"ULC_MARKER_FOLDER", folder.c_str());
    for (const std::wstring name : {L"uninstA", L"uninstB", L"uninstC"}) {
        ASSERT_TRUE(CopyFileW(kMarkerPath.c_str(), (folder + L"\\" + name + L".exe").c_str(), FALSE));
        DeleteFileW((base + L"." + name).c_str());
    }
    // Variables are expanded in the program only; a quoted program takes spaces.
    Seed(kUser, "a", L"uninstA", L"%ULC_MARKER_FOLDER%\\uninstA.exe /S %ULC_MARKER_FOLDER%");
    Seed(kUser, "b", L"uninstB", L"\"" + folder + L"\\uninstB.exe\"");
    Seed(kUser, "c", L"uninstC", L"  \"" + folder + L"\\uninstC.exe\"  one \"two words\"");
    Form1& form = OpenShown();
    for (int position = 1; position <= form.List().Count(); ++position) {
        const std::string name = form.List().Text(position);
        if (name == "uninstA" || name == "uninstC")
            ListView_SetItemState(form.List().Hwnd(), position - 1, LVIS_SELECTED, LVIS_SELECTED);
        form.List().SetChecked(position, name == "uninstB");
    }
    for (const UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP})
        SendMessageW(form.Check1().Hwnd(), message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(10, 10));
    PumpMessages();
    EXPECT_EQ(form.Check1().Value(), 0);

    MarkerRuns(base + L".uninstA", 1);
    MarkerRuns(base + L".uninstC", 1);
    Sleep(1000);  // a second start would have come by now
    const std::vector<std::wstring> a = MarkerRuns(base + L".uninstA"), c = MarkerRuns(base + L".uninstC");
    ASSERT_EQ(std::pair(a.size(), c.size()), std::pair(size_t{1}, size_t{1}));
    EXPECT_NE(a[0].find(L" /S %ULC_MARKER_FOLDER%|"), std::wstring::npos) << Utf8FromWide(a[0]);
    EXPECT_NE(c[0].find(L" one \"two words\"|"), std::wstring::npos) << Utf8FromWide(c[0]);
    // Started in the program's own folder: here, the test's.
    wchar_t self[MAX_PATH];
    const std::filesystem::path own(std::wstring(self, GetModuleFileNameW(nullptr, self, MAX_PATH)));
    EXPECT_EQ(CompareStringOrdinal(a[0].substr(a[0].rfind(L'|') + 1).c_str(), -1, own.parent_path().c_str(), -1, TRUE),
              CSTR_EQUAL);
    EXPECT_TRUE(MarkerRuns(base + L".uninstB").empty());
}

TEST(ReleaseTest, TheVersionResourceCarriesTheProjectVersion)
{
    const std::wstring program = ProgramPath();
    DWORD unused = 0;
    std::vector<BYTE> data(GetFileVersionInfoSizeW(program.c_str(), &unused));
    ASSERT_TRUE(GetFileVersionInfoW(program.c_str(), 0, static_cast<DWORD>(data.size()), data.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    wchar_t* text = nullptr;
    UINT size = 0;
    ASSERT_TRUE(VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &size));
    ASSERT_TRUE(VerQueryValueW(data.data(), L"\\StringFileInfo\\040904B0\\ProductVersion", reinterpret_cast<void**>(&text), &size));
    EXPECT_EQ(std::to_wstring(HIWORD(fixed->dwFileVersionMS)) + L"." + std::to_wstring(LOWORD(fixed->dwFileVersionMS)) +
                  L"." + std::to_wstring(HIWORD(fixed->dwFileVersionLS)) + L" " + text,
              ULC_WIDE(ULC_VERSION) L" " ULC_WIDE(ULC_VERSION));
}

}  // namespace

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include <windows.h>
#include <commctrl.h>

#include "MarkerRuns.h"
#include "WindowTestSupport.h"

namespace {

constexpr RegRoot k64 = RegRoot::LocalMachine;
constexpr RegRoot k32 = RegRoot::LocalMachine32;
constexpr RegRoot kUser = RegRoot::CurrentUser;

// The buttons pressed as a user presses them, over the test prefix's registry.
class EntryActionsTest : public FormTest {
protected:
    // This test's rows, top to bottom, as "display name@place".
    static std::vector<std::string> Rows(Form1& form)
    {
        std::vector<std::string> rows;
        for (int position = 1; position <= form.List().Count(); ++position) {
            if (form.List().SubItem(position, kKeyNameSubItem).starts_with(kTestEntryPrefix))
                rows.push_back(form.List().Text(position) + "@" +
                               std::to_string(static_cast<int>(form.List().Place(position))));
        }
        return rows;
    }
    static int RowOf(Form1& form, const std::string& displayName)
    {
        for (int position = 1; position <= form.List().Count(); ++position) {
            if (form.List().Text(position) == displayName)
                return position;
        }
        return 0;
    }
    static std::vector<std::string> Ticked(Form1& form)
    {
        std::vector<std::string> ticked;
        for (int position = 1; position <= form.List().Count(); ++position) {
            if (form.List().Checked(position))
                ticked.push_back(form.List().Text(position));
        }
        return ticked;
    }
};

TEST_F(EntryActionsTest, ListsDetectsAndDeletesEachEntryInItsOwnPlace)
{
    wchar_t system[MAX_PATH];
    const std::wstring live = std::wstring(system, GetSystemDirectoryW(system, MAX_PATH)) + L"\\notepad.exe";
    Seed(k64, "twin", L"Tool 10", L"\"" + live + L"\" /uninstall");
    Seed(k32, "twin", L"tool 9", L"\"C:\\Gone\\Tool\\uninst.exe\" /S");
    Seed(kUser, "user", L"Tool 5", L"%SystemDrive%\\Gone\\user\\uninst.exe");
    Seed(k64, "msi", L"Tool 2", L"MsiExec /X{00000000-0000-0000-0000-000000000001}");
    Seed(kUser, "cmd", L"Tool 1", L"cmd /c rd /s /q gone");
    Seed(k32, "unseen", L"Tool 3", L"\"Q:\\Gone\\uninst.exe\"");
    Seed(k64, "Ελληνικά \U0001F680 *?<>|", L"Tool 4", L"\"C:\\Gone\\Ελληνικά\\uninst.exe\"");
    WriteText(k64, EntryKeyPath(kTestEntryPrefix + std::string("Ελληνικά \U0001F680 *?<>|")) + "\\Sub\\Deeper",
              L"Data", L"below the entry");
    Seed(kUser, "hand", L"Tool 6", L"\"" + live + L"\"");
    Form1& form = OpenShown();
    EXPECT_EQ(Rows(form), (std::vector<std::string>{"Tool 1@2", "Tool 2@0", "Tool 3@1", "Tool 4@0", "Tool 5@2",
                                                    "Tool 6@2", "tool 9@1", "Tool 10@0"}));

    const std::wstring before = ExportRegistry();
    form.List().SetChecked(RowOf(form, "Tool 6"), true);
    Press(form.Check3());
    EXPECT_EQ(Ticked(form), (std::vector<std::string>{"Tool 4", "Tool 5", "Tool 6", "tool 9"}));
    EXPECT_EQ(ExportRegistry(), before);

    Press(form.Check2());
    EXPECT_EQ(form.Check2().Value(), 0);
    EXPECT_EQ(Rows(form), (std::vector<std::string>{"Tool 1@2", "Tool 2@0", "Tool 3@1", "Tool 10@0"}));
    EXPECT_TRUE(Ticked(form).empty());
    EXPECT_EQ(ExportRegistry(),
              Without(before, {ExportedPath(k32, "ulc-test-twin"), ExportedPath(kUser, "ulc-test-user"),
                               ExportedPath(kUser, "ulc-test-hand"),
                               ExportedPath(k64, "ulc-test-Ελληνικά \U0001F680 *?<>|")}));
}

TEST_F(EntryActionsTest, APressStartsEachSelectedUninstallerOnceEvenOnADoubleClick)
{
    // Copies of the marker program stand in for the uninstallers.
    const std::filesystem::path folder = std::filesystem::path(kMarkerPath).parent_path();
    const std::wstring base = folder.wstring() + L"\\actions-run";
    SetEnvironmentVariableW(L"ULC_MARKER_FILE", base.c_str());
    for (const std::wstring name : {L"uninstA", L"uninstB", L"uninstC"}) {
        ASSERT_TRUE(CopyFileW(kMarkerPath.c_str(), (folder / (name + L".exe")).c_str(), FALSE));
        DeleteFileW((base + L"." + name).c_str());
        Seed(kUser, Utf8FromWide(name), name, L"\"" + (folder / name).wstring() + L".exe\" /S --from " + name);
    }
    Form1& form = OpenShown();
    for (const char* name : {"uninstA", "uninstC"})
        ListView_SetItemState(form.List().Hwnd(), RowOf(form, name) - 1, LVIS_SELECTED, LVIS_SELECTED);
    form.List().SetChecked(RowOf(form, "uninstB"), true);

    const HWND button = form.Check1().Hwnd();
    for (const UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP})
        SendMessageW(button, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(10, 10));
    PumpMessages();
    EXPECT_EQ(form.Check1().Value(), 0);

    wchar_t self[MAX_PATH];
    const std::wstring ownFolder = std::filesystem::path(std::wstring(self, GetModuleFileNameW(nullptr, self, MAX_PATH)))
                                       .parent_path()
                                       .wstring();
    for (const wchar_t* name : {L"uninstA", L"uninstC"}) {
        ASSERT_EQ(WaitForMarkerRuns(base + L"." + name, 1).size(), 1u) << Utf8FromWide(name);
    }
    Sleep(1000);
    for (const wchar_t* name : {L"uninstA", L"uninstC"}) {
        const std::vector<MarkerRun> runs = ReadMarkerRuns(base + L"." + name);
        ASSERT_EQ(runs.size(), 1u) << Utf8FromWide(name);
        EXPECT_TRUE(runs[0].commandLine.ends_with(L" /S --from " + std::wstring(name)));
        // Started in the program's own folder: here, the test's.
        EXPECT_EQ(CompareStringOrdinal(runs[0].folder.c_str(), -1, ownFolder.c_str(), -1, TRUE), CSTR_EQUAL);
    }
    EXPECT_TRUE(ReadMarkerRuns(base + L".uninstB").empty());
    EXPECT_EQ(form.List().Count(), 3);
}

// Reads a column of a row of another process's list view, as accessibility
// tools and scripts do: the item and its text buffer live in that process.
std::wstring RemoteItemText(HANDLE process, HWND list, int index, int column)
{
    constexpr int kLength = 512;
    auto* remote = static_cast<BYTE*>(
        VirtualAllocEx(process, nullptr, sizeof(LVITEMW) + kLength * sizeof(wchar_t), MEM_COMMIT, PAGE_READWRITE));
    LVITEMW item{};
    item.iSubItem = column;
    item.cchTextMax = kLength;
    item.pszText = reinterpret_cast<wchar_t*>(remote + sizeof(LVITEMW));
    WriteProcessMemory(process, remote, &item, sizeof item, nullptr);
    const auto length = static_cast<size_t>(SendMessageW(list, LVM_GETITEMTEXTW, index, reinterpret_cast<LPARAM>(remote)));
    wchar_t text[kLength] = {};
    ReadProcessMemory(process, item.pszText, text, sizeof text, nullptr);
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    return std::wstring(text, std::min<size_t>(length, kLength - 1));
}

TEST_F(EntryActionsTest, TheProgramShowsItsListToOthersAndEndsWithCodeZeroWhenClosed)
{
    Seed(k32, "remote", L"Remote Tool", L"\"C:\\Remote\\uninst.exe\" /S");
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::wstring commandLine = L"\"" + kProgramPath + L"\"";
    ASSERT_TRUE(CreateProcessW(kProgramPath.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                               &startup, &process));
    HWND window = nullptr;
    for (int attempt = 0; attempt < 300 && (window == nullptr || !IsWindowVisible(window)); ++attempt) {
        Sleep(100);
        window = FindWindowW(L"UninstallListCleaner.Form1", L"Uninstall List Cleaner");
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        window = owner == process.dwProcessId ? window : nullptr;
    }
    ASSERT_NE(window, nullptr);
    const HWND list = FindWindowExW(window, nullptr, WC_LISTVIEWW, nullptr);
    std::vector<std::wstring> found;
    for (int index = 0; index < ListView_GetItemCount(list); ++index) {
        if (RemoteItemText(process.hProcess, list, index, 0) == L"Remote Tool") {
            for (int column = 1; column <= 3; ++column)
                found.push_back(RemoteItemText(process.hProcess, list, index, column));
        }
    }
    EXPECT_EQ(found, (std::vector<std::wstring>{L"\"C:\\Remote\\uninst.exe\" /S", L"c:\\remote\\uninst.exe",
                                                L"ulc-test-remote"}));

    PostMessageW(window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process.hProcess, 20000) != WAIT_OBJECT_0) {
        ADD_FAILURE() << "the program did not end";
        TerminateProcess(process.hProcess, 1);
    }
    DWORD exitCode = 1;
    GetExitCodeProcess(process.hProcess, &exitCode);
    EXPECT_EQ(exitCode, 0u);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

}  // namespace

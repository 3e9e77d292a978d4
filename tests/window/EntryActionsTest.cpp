#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include <windows.h>
#include <commctrl.h>

#include "UninstallEntry.h"
#include "Win32Registry.h"
#include "WinText.h"
#include "RegistryTestSupport.h"
#include "WindowTestSupport.h"

namespace {

constexpr char kPrefix[] = "ulc-actions-";

std::string KeyName(const std::string& suffix) { return kPrefix + suffix; }

// The buttons pressed as a user presses them, on the window the program shows,
// over the test prefix's real Uninstall key.
class EntryActionsTest : public RegistryFormTest {
protected:
    EntryActionsTest() : RegistryFormTest(kPrefix) {}

    static void Seed(const std::string& suffix, const std::wstring& uninstallString)
    {
        const std::string path = EntryKeyPath(KeyName(suffix));
        WriteText(path, L"DisplayName", L"Actions test " + WideFromUtf8(suffix));
        WriteText(path, L"UninstallString", uninstallString);
    }

    // The position of the row of an entry of this test; 0 when it is not listed.
    int RowOf(Form1& form, const std::string& suffix)
    {
        for (int position = 1; position <= form.List().Count(); ++position)
            if (form.List().SubItem(position, kKeyNameSubItem) == KeyName(suffix))
                return position;
        return 0;
    }

    // The entries of this test that the list shows, top to bottom, by suffix.
    std::vector<std::string> ListedEntries(Form1& form) const
    {
        std::vector<std::string> listed = Listed(form);
        for (std::string& name : listed)
            name.erase(0, sizeof kPrefix - 1);
        return listed;
    }

    void Tick(Form1& form, const std::string& suffix) { form.List().SetChecked(RowOf(form, suffix), true); }

    void Select(Form1& form, const std::string& suffix)
    {
        LVITEMW item{};
        item.stateMask = LVIS_SELECTED;
        item.state = LVIS_SELECTED;
        SendMessageW(form.List().Hwnd(), LVM_SETITEMSTATE, RowOf(form, suffix) - 1, reinterpret_cast<LPARAM>(&item));
    }

};

TEST_F(EntryActionsTest, DeleteRemovesTheTickedEntriesTreesAndNothingElse)
{
    for (const char* suffix : {"1", "2", "3", "4", "5"})
        Seed(suffix, L"C:\\Tools\\" + WideFromUtf8(suffix) + L"\\uninst.exe");
    WriteText(EntryKeyPath(KeyName("3")) + "\\Sub\\Deeper", L"Value", L"below the entry");
    Form1& form = OpenShown();
    ASSERT_EQ(ListedEntries(form), (std::vector<std::string>{"1", "2", "3", "4", "5"}));

    // The key of row 4 goes behind the program's back: its row still leaves.
    registry.DeleteTree(RegRoot::LocalMachine, EntryKeyPath(KeyName("4")));
    const std::wstring before = ExportLocalMachine();
    Tick(form, "2");
    Tick(form, "3");
    Tick(form, "4");
    Press(form.Check2());

    EXPECT_EQ(form.Check2().Value(), 0);
    EXPECT_EQ(ListedEntries(form), (std::vector<std::string>{"1", "5"}));
    for (int position = 1; position <= form.List().Count(); ++position)
        EXPECT_FALSE(form.List().Checked(position));
    EXPECT_FALSE(EntryExists(KeyName("2")));
    EXPECT_FALSE(EntryExists(KeyName("3")));
    EXPECT_EQ(ExportLocalMachine(), Without(before, {KeyName("2"), KeyName("3")}));
}

TEST_F(EntryActionsTest, ActionsRunOnlyWhenAPressLeavesTheButtonDown)
{
    Seed("1", L"C:\\Tools\\1\\uninst.exe");
    Form1& form = OpenShown();
    Tick(form, "1");

    // Setting the value never starts the action...
    form.Check2().SetValue(1);
    form.Check2().SetValue(0);
    form.Check2().SetValue(1);
    EXPECT_TRUE(EntryExists(KeyName("1")));
    // ...nor does a click that leaves the button up.
    Press(form.Check2());
    EXPECT_EQ(form.Check2().Value(), 0);
    EXPECT_TRUE(EntryExists(KeyName("1")));
    EXPECT_NE(RowOf(form, "1"), 0);

    Press(form.Check2());
    EXPECT_EQ(form.Check2().Value(), 0);
    EXPECT_FALSE(EntryExists(KeyName("1")));
    EXPECT_EQ(RowOf(form, "1"), 0);
}

TEST_F(EntryActionsTest, DetectTicksTheEntriesWhoseFileIsGone)
{
    wchar_t system[MAX_PATH];
    GetSystemDirectoryW(system, MAX_PATH);
    const std::wstring present = std::wstring(system) + L"\\notepad.exe";
    ASSERT_NE(GetFileAttributesW(present.c_str()), INVALID_FILE_ATTRIBUTES);

    Seed("live", L"\"" + present + L"\" /S");
    Seed("variable", L"%SystemRoot%\\system32\\notepad.exe /uninstall");
    Seed("gone", L"\"C:\\Program Files\\Gone Tool\\uninst.exe\" /S");
    Seed("installer", L"MsiExec.exe /X{00000000-0000-0000-0000-000000000001}");
    Seed("by-hand", L"\"" + present + L"\"");
    Form1& form = OpenShown();
    Tick(form, "by-hand");

    Press(form.Check3());

    EXPECT_EQ(form.Check3().Value(), 0);
    EXPECT_FALSE(form.List().Checked(RowOf(form, "live")));
    EXPECT_FALSE(form.List().Checked(RowOf(form, "variable")));
    EXPECT_TRUE(form.List().Checked(RowOf(form, "gone")));
    EXPECT_FALSE(form.List().Checked(RowOf(form, "installer")));
    EXPECT_TRUE(form.List().Checked(RowOf(form, "by-hand")));
    EXPECT_EQ(ListedEntries(form).size(), 5u);
}

TEST_F(EntryActionsTest, UninstallStartsEachSelectedEntryWithItsArguments)
{
    // Copies of the marker program stand in for three uninstallers.
    const std::filesystem::path folder = std::filesystem::path(kMarkerPath).parent_path();
    const std::wstring base = folder.wstring() + L"\\actions-run";
    SetEnvironmentVariableW(L"ULC_MARKER_FILE", base.c_str());
    for (const wchar_t* name : {L"uninstA", L"uninstB", L"uninstC"}) {
        ASSERT_TRUE(CopyFileW(kMarkerPath.c_str(), (folder / (std::wstring(name) + L".exe")).c_str(), FALSE));
        DeleteFileW((base + L"." + name).c_str());
        Seed(Utf8FromWide(name), L"\"" + folder.wstring() + L"\\" + name + L".exe\" /S --from " + name);
    }
    Form1& form = OpenShown();
    Select(form, "uninstA");
    Select(form, "uninstC");
    Tick(form, "uninstB");

    Press(form.Check1());
    EXPECT_EQ(form.Check1().Value(), 0);

    // The shell returns before the programs run: wait for them, 10 s at most.
    const auto output = [&](const wchar_t* name) { return base + L"." + name; };
    for (int waited = 0; waited < 10000; waited += 50) {
        if (GetFileAttributesW(output(L"uninstA").c_str()) != INVALID_FILE_ATTRIBUTES &&
            GetFileAttributesW(output(L"uninstC").c_str()) != INVALID_FILE_ATTRIBUTES)
            break;
        Sleep(50);
    }
    for (const wchar_t* name : {L"uninstA", L"uninstC"}) {
        HANDLE file = CreateFileW(output(name).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                                  nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE) << Utf8FromWide(name) << " did not start";
        wchar_t text[1024] = {};
        DWORD read = 0;
        ReadFile(file, text, sizeof text - sizeof(wchar_t), &read, nullptr);
        CloseHandle(file);
        const std::wstring seen(text);
        EXPECT_NE(seen.find(L" /S --from " + std::wstring(name) + L"\n"), std::wstring::npos) << Utf8FromWide(seen);
        // Started in the program's own folder: here, the test's.
        wchar_t self[MAX_PATH];
        const std::filesystem::path ownPath(std::wstring(self, GetModuleFileNameW(nullptr, self, MAX_PATH)));
        const std::wstring folderLine = seen.substr(seen.find(L'\n') + 1);
        EXPECT_EQ(CompareStringOrdinal(folderLine.c_str(), -1, (ownPath.parent_path().wstring() + L"\n").c_str(), -1,
                                       TRUE),
                  CSTR_EQUAL)
            << Utf8FromWide(folderLine);
        DeleteFileW(output(name).c_str());
    }
    Sleep(500);
    EXPECT_EQ(GetFileAttributesW(output(L"uninstB").c_str()), INVALID_FILE_ATTRIBUTES);
    // The list is as it was: rows stay, ticks stay.
    EXPECT_EQ(ListedEntries(form).size(), 3u);
    EXPECT_TRUE(form.List().Checked(RowOf(form, "uninstB")));
}

TEST_F(EntryActionsTest, DoubleClickingARowChangesNothing)
{
    Seed("1", L"C:\\Tools\\1\\uninst.exe");
    Seed("2", L"C:\\Tools\\2\\uninst.exe");
    Form1& form = OpenShown();
    Tick(form, "2");

    for (const std::string suffix : {"1", "2"}) {
        RECT label{};
        label.left = LVIR_LABEL;
        SendMessageW(form.List().Hwnd(), LVM_GETITEMRECT, RowOf(form, suffix) - 1, reinterpret_cast<LPARAM>(&label));
        const LPARAM point = MAKELPARAM(label.left + 4, (label.top + label.bottom) / 2);
        SendMessageW(form.List().Hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, point);
        SendMessageW(form.List().Hwnd(), WM_LBUTTONUP, 0, point);
        SendMessageW(form.List().Hwnd(), WM_LBUTTONDBLCLK, MK_LBUTTON, point);
        SendMessageW(form.List().Hwnd(), WM_LBUTTONUP, 0, point);
        PumpMessages();
    }

    EXPECT_FALSE(form.List().Checked(RowOf(form, "1")));
    EXPECT_TRUE(form.List().Checked(RowOf(form, "2")));
    EXPECT_EQ(ListedEntries(form), (std::vector<std::string>{"1", "2"}));
    EXPECT_TRUE(EntryExists(KeyName("1")));
    EXPECT_TRUE(EntryExists(KeyName("2")));
}

}  // namespace

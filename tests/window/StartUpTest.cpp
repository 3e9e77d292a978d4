#include "Form1.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include <commctrl.h>
#include <shlwapi.h>

#include "CenterForm.h"
#include "UninstallEntry.h"
#include "Win32Registry.h"
#include "WinText.h"
#include "WindowTestSupport.h"
#include "resources/Resource.h"

namespace {

const std::wstring kCursorSource = kTestDataFolder + L"\\HAND-M.CUR";

TEST(CenteredEdgeTest, SplitsTheSpareRoomAndKeepsOversizedWindowsCentred)
{
    EXPECT_EQ(CenteredEdge(1280, 480), 400);
    EXPECT_EQ(CenteredEdge(800, 800), 0);
    // Odd differences: the spare pixel goes right or down.
    EXPECT_EQ(CenteredEdge(1280, 487), 396);
    EXPECT_EQ(CenteredEdge(1024, 421), 301);
    // Larger than the screen: negative edges, half a pixel rounded down too.
    EXPECT_EQ(CenteredEdge(800, 1000), -100);
    EXPECT_EQ(CenteredEdge(800, 1001), -101);
    EXPECT_EQ(CenteredEdge(800, 801), -1);
}

TEST(CenterFormTest, CentresOnTheWholePrimaryScreenWithoutClamping)
{
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    for (const SIZE size : {SIZE{301, 201}, SIZE{screenWidth + 401, screenHeight + 301}}) {
        const HWND window = CreateWindowExW(0, WC_STATICW, L"", WS_POPUP, 0, 0, size.cx, size.cy, nullptr,
                                            nullptr, nullptr, nullptr);
        CenterForm(window);
        RECT bounds{};
        GetWindowRect(window, &bounds);
        EXPECT_EQ(bounds.left, CenteredEdge(screenWidth, size.cx));
        EXPECT_EQ(bounds.top, CenteredEdge(screenHeight, size.cy));
        EXPECT_EQ(bounds.right - bounds.left, size.cx);
        DestroyWindow(window);
    }
}

class StartUpTest : public FormTest {
protected:
    // The cursor that WM_SETCURSOR over `control` sets, as Windows asks for it.
    static HCURSOR CursorOver(HWND control)
    {
        SetCursor(nullptr);
        SendMessageW(control, WM_SETCURSOR, reinterpret_cast<WPARAM>(control), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        return GetCursor();
    }
};

TEST_F(StartUpTest, TheTestCursorPointsWithTheTipOfItsFinger)
{
    const HCURSOR cursor = LoadCursorFromFileW(kCursorSource.c_str());
    ASSERT_NE(cursor, nullptr);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(cursor, &info));
    EXPECT_FALSE(info.fIcon);
    EXPECT_EQ(info.xHotspot, 6u);
    EXPECT_EQ(info.yHotspot, 0u);
    BITMAP mask{};
    GetObjectW(info.hbmMask, sizeof(mask), &mask);
    EXPECT_EQ(mask.bmWidth, 32);
    DeleteObject(info.hbmMask);
    if (info.hbmColor != nullptr)
        DeleteObject(info.hbmColor);
    DestroyCursor(cursor);
}

TEST_F(StartUpTest, WithTheCursorFileTheButtonsShowItAndTheRestTheArrow)
{
    TemporaryFolder folder;
    ASSERT_TRUE(CopyFileW(kCursorSource.c_str(), (folder.Path() + L"\\HAND-M.CUR").c_str(), FALSE));
    Form1& form = Open(96, folder.Path());
    ASSERT_NE(form.MouseIcon(), nullptr);

    // Before any movement every control shows its own cursor.
    EXPECT_FALSE(SendMessageW(form.Hwnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(form.Control(kCheck1)),
                              MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));

    MoveOver(form.Control(kCheck1));
    EXPECT_EQ(CursorOver(form.Control(kCheck1)), form.MouseIcon());
    // The setting is the whole window's: it holds over the list and the frame too.
    EXPECT_EQ(CursorOver(form.Control(kListView1)), form.MouseIcon());
    EXPECT_EQ(CursorOver(form.Hwnd()), form.MouseIcon());

    MoveOver(form.Control(kListView1));
    EXPECT_EQ(CursorOver(form.Control(kCheck2)), LoadCursorW(nullptr, IDC_ARROW));
}

TEST_F(StartUpTest, WithoutTheCursorFileTheButtonsShowTheSystemHand)
{
    TemporaryFolder emptyFolder;
    Form1& form = Open(96, emptyFolder.Path());
    EXPECT_EQ(form.MouseIcon(), nullptr);

    MoveOver(form.Control(kCheck3));
    EXPECT_EQ(form.MousePointer(), kPointerCustom);
    EXPECT_EQ(CursorOver(form.Control(kCheck3)), LoadCursorW(nullptr, IDC_HAND));
}

TEST_F(StartUpTest, AProgramAtADriveRootFindsItsCursorThroughTwoSeparators)
{
    const std::wstring atRoot = L"C:\\HAND-M.CUR";
    ASSERT_TRUE(CopyFileW(kCursorSource.c_str(), atRoot.c_str(), FALSE));
    Form1& form = Open(96, L"C:\\");
    EXPECT_NE(form.MouseIcon(), nullptr);
    form_.reset();
    DeleteFileW(atRoot.c_str());
}

// Entries of this test under the test prefix's real Uninstall key.
class RealUninstallKeyTest : public StartUpTest {
protected:
    void SetUp() override
    {
        const std::wstring tag = std::to_wstring(GetCurrentProcessId());
        first_ = L"ULC window test " + tag + L" A";
        second_ = L"ULC window test " + tag + L" B";
        AddEntry(first_, L"Window Test Tool \u00e9", L"\"C:\\Program Files\\Window Test\\uninst.exe\" /S");
        AddEntry(second_, L"Window Test Installer", L"MsiExec.exe /X{00000000-0000-0000-0000-000000000000}");
    }
    void TearDown() override
    {
        StartUpTest::TearDown();
        for (const std::wstring& name : {first_, second_})
            SHDeleteKeyW(HKEY_LOCAL_MACHINE, (KeyPath() + L"\\" + name).c_str());
    }

    static std::wstring KeyPath() { return std::wstring(kUninstallKeyPath.begin(), kUninstallKeyPath.end()); }

    static void AddEntry(const std::wstring& name, std::wstring_view displayName, std::wstring_view command)
    {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, (KeyPath() + L"\\" + name).c_str(), 0, nullptr, 0,
                                  KEY_SET_VALUE, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        for (const auto& [value, text] : {std::pair{L"DisplayName", displayName}, {L"UninstallString", command}})
            RegSetValueExW(key, value, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.data()),
                           static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
        RegCloseKey(key);
    }

    // The row whose KeyName is `name`; 0 when there is none.
    static int RowOf(ListViewItems& list, const std::wstring& name)
    {
        for (int row = 1; row <= list.Count(); ++row) {
            if (list.SubItem(row, kKeyNameSubItem) == Utf8FromWide(name))
                return row;
        }
        return 0;
    }

    std::wstring first_, second_;
};

TEST_F(RealUninstallKeyTest, TheListHoldsTheCatalogueOfTheRegistry)
{
    Win32Registry registry;
    Form1& form = Open(96, L"", &registry);
    ListViewItems& list = form.List();

    const int tool = RowOf(list, first_);
    ASSERT_NE(tool, 0);
    EXPECT_EQ(list.Text(tool), "Window Test Tool \xC3\xA9");
    EXPECT_EQ(list.SubItem(tool, kUninstallSubItem), "\"C:\\Program Files\\Window Test\\uninst.exe\" /S");
    EXPECT_EQ(list.SubItem(tool, kFileExistsSubItem), "c:\\program files\\window test\\uninst.exe");
    EXPECT_FALSE(list.Checked(tool));

    const int installer = RowOf(list, second_);
    ASSERT_NE(installer, 0);
    EXPECT_EQ(installer, tool + 1);  // the registry's order
    EXPECT_EQ(list.SubItem(installer, kFileExistsSubItem), "IGNORE ME");
}

// The program's visible window in the process `processId`, waiting for it.
HWND WaitForWindowOf(DWORD processId)
{
    struct Search {
        DWORD processId;
        HWND found;
    } search{processId, nullptr};
    for (int attempt = 0; attempt < 300 && search.found == nullptr; ++attempt) {
        Sleep(100);
        EnumWindows(
            [](HWND window, LPARAM context) -> BOOL {
                auto* search = reinterpret_cast<Search*>(context);
                DWORD owner = 0;
                GetWindowThreadProcessId(window, &owner);
                if (owner != search->processId || !IsWindowVisible(window))
                    return TRUE;
                search->found = window;
                return FALSE;
            },
            reinterpret_cast<LPARAM>(&search));
    }
    return search.found;
}

TEST(ProgramTest, OpensItsWindowAndEndsWithCodeZeroWhenClosed)
{
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    std::wstring commandLine = L"\"" + kProgramPath + L"\"";
    ASSERT_TRUE(CreateProcessW(kProgramPath.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &startup, &process));

    const HWND window = WaitForWindowOf(process.dwProcessId);
    EXPECT_NE(window, nullptr);
    wchar_t title[64] = {};
    GetWindowTextW(window, title, 64);
    EXPECT_STREQ(title, L"Uninstall List Cleaner");

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

TEST(ProgramTest, ItsIconDrawsNothing)
{
    // The tests carry the program's resources, so the icon is here too.
    const auto icon = static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_FORM1), IMAGE_ICON, 32, 32, 0));
    ASSERT_NE(icon, nullptr);
    const HDC screen = GetDC(nullptr);
    const HDC canvas = CreateCompatibleDC(screen);
    const HBITMAP bitmap = CreateCompatibleBitmap(screen, 32, 32);
    const HGDIOBJ previous = SelectObject(canvas, bitmap);
    const RECT all{0, 0, 32, 32};
    const HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    FillRect(canvas, &all, red);
    DrawIconEx(canvas, 0, 0, icon, 32, 32, 0, nullptr, DI_NORMAL);
    int changed = 0;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x)
            changed += GetPixel(canvas, x, y) != RGB(255, 0, 0) ? 1 : 0;
    }
    EXPECT_EQ(changed, 0);
    SelectObject(canvas, previous);
    DeleteObject(red);
    DeleteObject(bitmap);
    DeleteDC(canvas);
    ReleaseDC(nullptr, screen);
    DestroyIcon(icon);
}

}  // namespace

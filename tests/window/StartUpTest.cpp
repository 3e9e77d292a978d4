#include "Form1.h"

#include <gtest/gtest.h>

#include <string>

#include <commctrl.h>

#include "CenterForm.h"
#include "WindowTestSupport.h"

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

}  // namespace

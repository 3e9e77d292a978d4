#include "Form1.h"

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <tuple>

#include "CenterForm.h"
#include "Clipboard.h"
#include "Dpi.h"
#include "OwnedHandle.h"
#include "RowReport.h"
#include "WindowTestSupport.h"

namespace {

TEST(CenteredEdge, SplitsTheSpareRoomAndGoesNegativeOnASmallerScreen)
{
    EXPECT_EQ(CenteredEdge(1280, 480), 400);
    EXPECT_EQ(CenteredEdge(1280, 487), 396);
    EXPECT_EQ(CenteredEdge(800, 1001), -101);
    EXPECT_EQ(CenteredEdge(800, 1000), -100);
}

using Form1Test = FormTest;

TEST_F(Form1Test, ShowsItsControlsInTwipsAtEachDpiOnceTheListIsFilled)
{
    // Left, top, width, height in the parent's client area, and font height;
    // at 144 dpi half pixels round away from zero.
    using Place = std::array<LONG, 5>;
    const std::pair<ControlId, std::array<Place, 2>> controls[] = {
        {kFrame3, {{{8, 8, 465, 281, -13}, {12, 12, 698, 422, -20}}}},
        {kListView1, {{{16, 32, 449, 247, -12}, {24, 48, 674, 371, -18}}}},
        {kCheck3, {{{8, 296, 465, 28, -15}, {12, 444, 698, 43, -23}}}},
        {kCheck2, {{{8, 328, 465, 28, -15}, {12, 492, 698, 43, -23}}}},
        {kCheck1, {{{8, 360, 465, 28, -15}, {12, 540, 698, 43, -23}}}},
        {kCommand1, {{{-48, 176, 41, 33, 0}, {-72, 264, 62, 50, 0}}}},
    };
    memory.AddEntry(RegRoot::CurrentUser, "a", "alpha", "C:\\a.exe");
    Form1& form = Open(96);
    RECT window{};
    GetWindowRect(form.Hwnd(), &window);
    const LONG left = CenteredEdge(GetSystemMetrics(SM_CXSCREEN), window.right - window.left);
    const LONG top = CenteredEdge(GetSystemMetrics(SM_CYSCREEN), window.bottom - window.top);
    EXPECT_EQ(std::pair(window.left, window.top), std::pair(left, top));
    // Windows draws the frame larger at a higher DPI.
    EXPECT_GT(OuterSizeForClient(form.Hwnd(), {100, 100}, 192).cy, OuterSizeForClient(form.Hwnd(), {100, 100}, 96).cy);
    EXPECT_FALSE(IsWindowVisible(form.Hwnd()));
    EXPECT_EQ(form.List().Count(), 1);
    for (const int at144 : {0, 1}) {
        RECT client{};
        GetClientRect(form.Hwnd(), &client);
        EXPECT_EQ((std::pair{client.right, client.bottom}), (at144 ? std::pair{722L, 594L} : std::pair{481L, 396L}));
        for (const auto& [id, places] : controls) {
            RECT rect{};
            GetWindowRect(form.Control(id), &rect);
            MapWindowPoints(nullptr, form.Hwnd(), reinterpret_cast<POINT*>(&rect), 2);
            LOGFONTW font{};
            GetObjectW(reinterpret_cast<HFONT>(SendMessageW(form.Control(id), WM_GETFONT, 0, 0)), sizeof font, &font);
            EXPECT_EQ((Place{rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, font.lfHeight}), places[at144])
                << id;
        }
        // The window moves to a monitor of 144 dpi.
        const RECT suggested{100, 50, 900, 700};
        SendMessageW(form.Hwnd(), WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    }
    GetWindowRect(form.Hwnd(), &window);
    EXPECT_EQ((std::pair{window.left, window.top}), (std::pair{100L, 50L}));
    form.Show(SW_SHOWNORMAL);
    PumpMessages();
    EXPECT_EQ(GetFocus(), form.Control(kCommand1));
    // Activated again, the window gives the focus back to the control that had it.
    SetFocus(form.Control(kListView1));
    SendMessageW(form.Hwnd(), WM_ACTIVATE, WA_INACTIVE, 0);
    SetFocus(form.Hwnd());
    EXPECT_EQ(GetFocus(), form.Control(kListView1));
}

TEST_F(Form1Test, TheButtonsShowTheProgramsOwnHandAndTheListAndTheWindowTheArrow)
{
    Form1& form = Open(96);
    // The program's resource, with no file anywhere: 32 x 32 at one bit a
    // pixel (the mask holds both halves), the hot spot on the fingertip.
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(form.MouseIcon(), &info));
    BITMAP mask{};
    GetObjectW(info.hbmMask, sizeof mask, &mask);
    DeleteObject(info.hbmMask);
    EXPECT_EQ((std::tuple{info.fIcon, info.xHotspot, info.yHotspot, mask.bmWidth, mask.bmHeight, info.hbmColor}),
              (std::tuple{FALSE, 6ul, 0ul, 32L, 64L, HBITMAP{}}));
    const auto cursorOver = [](HWND control) {
        SetCursor(nullptr);
        SendMessageW(control, WM_SETCURSOR, reinterpret_cast<WPARAM>(control), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        return GetCursor();
    };
    MoveOver(form.Control(kCheck3));
    EXPECT_EQ(cursorOver(form.Control(kListView1)), form.MouseIcon());  // the setting is the whole window's
    MoveOver(form.Hwnd(), 100, 292);                                     // the strip between the frame and Check3
    EXPECT_EQ(form.MousePointer(), kPointerArrow);
    MoveOver(form.Control(kCheck1));
    // The frame's margins, the frame itself and Command1 leave it alone.
    MoveOver(form.Hwnd(), 10, 200);
    MoveOver(form.Control(kFrame3), 3, 3);
    MoveOver(form.Control(kCommand1), 3, 3);
    EXPECT_EQ(form.MousePointer(), kPointerCustom);
    MoveOver(form.Control(kListView1), 50, 50);
    EXPECT_EQ(cursorOver(form.Control(kCheck2)), LoadCursorW(nullptr, IDC_ARROW));

}

TEST_F(Form1Test, TheButtonsHaveWhiteFacesUpAndPressedAndTheListItsTexts)
{
    memory.AddEntry(RegRoot::CurrentUser, "a", "WWWWWWWW", "C:\\a.exe");
    Form1& form = Open();
    form.Show(SW_SHOWNORMAL);
    form.Check2().SetValue(1);
    RECT row{LVIR_LABEL, 0, 0, 0};
    SendMessageW(form.List().Hwnd(), LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row));
    // Pixels along the middle of a rectangle that are white, and dark.
    const auto count = [](HWND control, RECT rect) {
        RedrawWindow(control, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        const HDC dc = GetDC(control);
        std::pair<int, int> whiteAndDark;
        for (int x = rect.left; x < rect.right; ++x) {
            const COLORREF pixel = GetPixel(dc, x, (rect.top + rect.bottom) / 2);
            whiteAndDark.first += pixel == RGB(255, 255, 255);
            whiteAndDark.second += GetRValue(pixel) < 128;
        }
        ReleaseDC(control, dc);
        return whiteAndDark;
    };
    for (const ControlId id : {kCheck1, kCheck2, kCheck3}) {
        RECT rect{};
        GetClientRect(form.Control(id), &rect);
        const auto [white, dark] = count(form.Control(id), rect);
        EXPECT_GT(white, rect.right / 2) << id;
        EXPECT_GT(dark, 0) << id;
    }
    EXPECT_GT(count(form.List().Hwnd(), row).second, 0);
    EXPECT_EQ(count(form.Hwnd(), {0, 290, 8, 294}).first, 8);  // the window around them
    // A text gets as much of the list's buffer as it fills, NUL included.
    const std::pair<int, std::wstring_view> buffers[] = {
        {3, {L"WW\0#######", 10}}, {8, {L"WWWWWWW\0##", 10}}, {9, {L"WWWWWWWW\0#", 10}}, {10, {L"WWWWWWWW\0#", 10}}};
    for (const auto& [size, expected] : buffers) {
        std::wstring buffer(10, L'#');
        NMLVDISPINFOW info{};
        info.item.mask = LVIF_TEXT;
        info.item.pszText = buffer.data();
        info.item.cchTextMax = size;
        form.List().AnswerDisplayInfo(info);
        EXPECT_EQ(buffer, expected) << size;
    }
    // Passes nest: the list stops painting as the outermost one starts, and
    // paints again as it ends.
    static std::vector<WPARAM> redraws;
    const HHOOK hook = SetWindowsHookExW(
        WH_CALLWNDPROC,
        [](int code, WPARAM wParam, LPARAM lParam) -> LRESULT {
            if (const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam); sent->message == WM_SETREDRAW)
                redraws.push_back(sent->wParam);
            return CallNextHookEx(nullptr, code, wParam, lParam);
        },
        nullptr, GetCurrentThreadId());
    for (const bool begin : {true, true, false, false, false})
        begin ? form.List().BeginUpdate() : form.List().EndUpdate();
    UnhookWindowsHookEx(hook);
    EXPECT_EQ(redraws, (std::vector<WPARAM>{FALSE, TRUE}));
}

TEST_F(Form1Test, ADoubleClickHandsEachSelectedUninstallerOnceToTheDesktopShellWithItsOwnFolder)
{
    // Variables are expanded in the program only; a quoted program takes spaces.
    memory.AddEntry(RegRoot::CurrentUser, "a", "a", R"(%SystemDrive%\Tool\un.exe /S %SystemDrive%)");
    memory.AddEntry(RegRoot::CurrentUser, "b", "b", R"("C:\b.exe")");
    memory.AddEntry(RegRoot::CurrentUser, "c", "c", R"(  "C:\Tool C\un.exe"  one "two words")");
    // Each start handed over: file, parameters, working folder. This test
    // runs elevated, as every process under Wine does.
    std::vector<std::wstring> handed;
    Form1& form = Open(96, [&](const ProgramStart& start, Deadline) {
        handed.push_back(start.file + L"|" + start.parameters + L"|" + start.folder);
        return true;
    });
    form.Show(SW_SHOWNORMAL);
    PumpMessages();
    // A double-click on a row's tick box ticks and unticks it, as two clicks.
    const HWND list = form.List().Hwnd();
    RECT row{};
    ListView_GetItemRect(list, 1, &row, LVIR_BOUNDS);
    LVHITTESTINFO hit{};
    for (hit.pt = {row.left, (row.top + row.bottom) / 2}; hit.pt.x < row.left + 40; ++hit.pt.x) {
        if (ListView_HitTest(list, &hit) >= 0 && (hit.flags & LVHT_ONITEMSTATEICON))
            break;
    }
    for (const UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP})
        PostMessageW(list, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(hit.pt.x + 1, hit.pt.y));
    PumpMessages();
    EXPECT_FALSE(form.List().Checked(2));
    for (const int row : {0, 2})
        ListView_SetItemState(list, row, LVIS_SELECTED, LVIS_SELECTED);
    form.List().SetChecked(2, true);
    // A click that leaves the button up runs nothing.
    form.Check1().SetValue(1);
    SendMessageW(form.Check1().Hwnd(), BM_CLICK, 0, 0);
    for (const UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP})
        SendMessageW(form.Check1().Hwnd(), message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(10, 10));
    WaitForHandOff(form);
    EXPECT_EQ(form.Check1().Value(), 0);

    EXPECT_EQ(handed, (std::vector<std::wstring>{LR"(C:\Tool\un.exe|/S %SystemDrive%|C:\Tool)",
                                                 LR"(C:\Tool C\un.exe|one "two words"|C:\Tool C)"}));
}

TEST_F(Form1Test, AHungDesktopShellLeavesTheWindowAnsweringGetsNoSecondPressAndNothingOnceGivenUp)
{
    memory.AddEntry(RegRoot::CurrentUser, "a", "a", R"("C:\a.exe")");
    memory.AddEntry(RegRoot::CurrentUser, "b", "b", R"("C:\b.exe")");
    // The stand-in keeps each start until the test lets go.
    const OwnedHandle release(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    std::atomic<int> handed = 0;
    std::atomic<bool> inside = false;
    Deadline deadline{};
    Form1& form = Open(96, [&](const ProgramStart&, Deadline given) {
        deadline = given;
        inside = true;
        ++handed;
        WaitForSingleObject(release.get(), 30000);
        inside = false;
        return true;
    });
    form.Show(SW_SHOWNORMAL);
    ListView_SetItemState(form.List().Hwnd(), -1, LVIS_SELECTED, LVIS_SELECTED);
    // Both presses return while the shell still has the first start.
    for (int press = 0; press < 2; ++press)
        SendMessageW(form.Check1().Hwnd(), BM_CLICK, 0, 0);
    for (int waited = 0; handed == 0 && waited < 10000; waited += 10)
        Sleep(10);
    EXPECT_TRUE(inside);
    EXPECT_TRUE(form.HandingOff());
    // The shell answers only once the first start is given up.
    while (std::chrono::steady_clock::now() < deadline + std::chrono::milliseconds(100))
        Sleep(50);
    SetEvent(release.get());
    WaitForHandOff(form);
    EXPECT_EQ(handed, 1);
    // Done, the button hands both rows over again.
    SendMessageW(form.Check1().Hwnd(), BM_CLICK, 0, 0);
    WaitForHandOff(form);
    EXPECT_EQ(handed, 3);
}

TEST_F(Form1Test, TheTipTellsOfTheRowUnderThePointerAndCtrlCCopiesTheHighlightedRowsAndChangesNothing)
{
    memory.AddEntry(RegRoot::CurrentUser, "a", "a", R"(C:\ulc-tip-gone\uninst.exe)");
    memory.AddEntry(RegRoot::LocalMachine, "b", "b", Utf8FromWide(L'"' + kMarkerPath + L'"'));
    std::string longCommand = "cmd /c echo";
    for (int words = 0; words < 12; ++words)
        longCommand += " one two three";
    memory.AddEntry(RegRoot::LocalMachine32, "c", "c", longCommand);
    Form1& form = Open();
    form.Show(SW_SHOWNORMAL);
    PumpMessages();
    const HWND list = form.List().Hwnd();
    // The tip's text once it shows, the pointer resting on a row right of the
    // one column with a width. The tip looks where the pointer is before it
    // shows.
    const auto tipOver = [&](int position) {
        RECT row{}, client{};
        ListView_GetItemRect(list, position - 1, &row, LVIR_BOUNDS);
        GetClientRect(list, &client);
        POINT point{client.right - 4, (row.top + row.bottom) / 2}, screen = point;
        EXPECT_GT(point.x, row.right);
        ClientToScreen(list, &screen);
        SetCursorPos(screen.x, screen.y);
        SendMessageW(list, WM_MOUSEMOVE, 0, MAKELPARAM(point.x, point.y));
        for (int waited = 0; !IsWindowVisible(form.Tip()) && waited < 5000; waited += 20, Sleep(20))
            PumpMessages();
        wchar_t text[1024] = {};
        GetWindowTextW(form.Tip(), text, 1024);
        return Utf8FromWide(text);
    };
    EXPECT_EQ(tipOver(1), "This user's programs\n"
                          R"(HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Uninstall\a)" "\n"
                          R"(C:\ulc-tip-gone\uninst.exe)");
    SendMessageW(form.Check3().Hwnd(), BM_CLICK, 0, 0);
    ASSERT_TRUE(form.List().Checked(1));
    for (const int position : {3, 1}) {
        SCOPED_TRACE(position);
        const std::string tip = tipOver(position);
        EXPECT_EQ(tip, RowTip(form.List(), position));
        EXPECT_GE(std::count(tip.begin(), tip.end(), '\n'), 3);  // the verdict came too
        // The long command wraps.
        RECT shown{}, client{};
        GetWindowRect(form.Tip(), &shown);
        GetClientRect(form.Hwnd(), &client);
        EXPECT_LT(shown.right - shown.left, client.right);
    }

    // Ctrl+C through the program's own message loop, as a dialog box would
    // read the keys. Ctrl with Alt is AltGr, which types letters.
    const auto pressCtrlC = [&](bool alt) {
        BYTE keys[256] = {};
        keys[VK_CONTROL] = 0x80;
        keys[VK_MENU] = alt ? 0x80 : 0;
        SetKeyboardState(keys);
        PostMessageW(list, WM_KEYDOWN, 'C', 1);
        PostQuitMessage(0);
        RunMessageLoop(form.Hwnd());
        SetKeyboardState(std::array<BYTE, 256>{}.data());
        EXPECT_TRUE(OpenClipboard(nullptr));
        const HANDLE data = GetClipboardData(CF_UNICODETEXT);
        const std::wstring text = data != nullptr ? static_cast<const wchar_t*>(GlobalLock(data)) : L"(none)";
        if (data != nullptr)
            GlobalUnlock(data);
        CloseClipboard();
        return text;
    };
    ASSERT_TRUE(PutTextOnClipboard(nullptr, L"before"));
    SetFocus(list);
    EXPECT_EQ(pressCtrlC(false), L"before");  // nothing highlighted
    for (const int row : {0, 2})
        ListView_SetItemState(list, row, LVIS_SELECTED, LVIS_SELECTED);
    EXPECT_EQ(pressCtrlC(true), L"before");
    EXPECT_EQ(pressCtrlC(false), WideFromUtf8(CopyRows(form.List(), {1, 3})));
    EXPECT_EQ(GetClipboardOwner(), form.Hwnd());  // whatever else the clipboard held is gone
    for (const int position : {1, 2, 3}) {
        EXPECT_EQ(form.List().Checked(position), position == 1) << position;
        EXPECT_EQ(form.List().Selected(position), position != 2) << position;
    }
}

}  // namespace

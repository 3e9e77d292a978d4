#include "Form1.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include <commctrl.h>

#include "WindowTestSupport.h"

namespace {

// Left, top, width and height in the parent's client area.
using Box = std::array<LONG, 4>;

Box BoxOf(const RECT& rect) { return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top}; }
Box PlaceOf(HWND control) { return BoxOf(RectInParent(control)); }
Box ClientBox(HWND window)
{
    RECT rect{};
    GetClientRect(window, &rect);
    return BoxOf(rect);
}

std::wstring WindowText(HWND window)
{
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

LOGFONTW FontOf(HWND control)
{
    LOGFONTW font{};
    const auto handle = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
    if (handle != nullptr)
        GetObjectW(handle, sizeof(font), &font);
    return font;
}

using Form1Test = FormTest;

TEST_F(Form1Test, LaysTheControlsOutInTwipsAt96Dpi)
{
    Form1& form = Open(96);

    EXPECT_EQ(ClientBox(form.Hwnd()), (Box{0, 0, 481, 396}));
    EXPECT_EQ(PlaceOf(form.Control(kFrame3)), (Box{8, 8, 465, 281}));
    EXPECT_EQ(PlaceOf(form.Control(kListView1)), (Box{16, 32, 449, 247}));  // (8, 24) inside the frame
    EXPECT_EQ(PlaceOf(form.Control(kCheck3)), (Box{8, 296, 465, 28}));
    EXPECT_EQ(PlaceOf(form.Control(kCheck2)), (Box{8, 328, 465, 28}));
    EXPECT_EQ(PlaceOf(form.Control(kCheck1)), (Box{8, 360, 465, 28}));
    EXPECT_EQ(PlaceOf(form.Control(kCommand1)), (Box{-48, 176, 41, 33}));
}

// Half pixels round away from zero.
void ExpectLayoutAt144Dpi(Form1& form)
{
    EXPECT_EQ(ClientBox(form.Hwnd()), (Box{0, 0, 722, 594}));
    EXPECT_EQ(PlaceOf(form.Control(kFrame3)), (Box{12, 12, 698, 422}));
    EXPECT_EQ(PlaceOf(form.Control(kListView1)), (Box{24, 48, 674, 371}));
    EXPECT_EQ(PlaceOf(form.Control(kCheck3)), (Box{12, 444, 698, 43}));
    EXPECT_EQ(PlaceOf(form.Control(kCheck2)), (Box{12, 492, 698, 43}));
    EXPECT_EQ(PlaceOf(form.Control(kCheck1)), (Box{12, 540, 698, 43}));
    EXPECT_EQ(PlaceOf(form.Control(kCommand1)), (Box{-72, 264, 62, 50}));
    // 9 pt is 18 px, 9.75 pt 19.5 px and 11.25 pt 22.5 px.
    EXPECT_EQ(FontOf(form.Control(kListView1)).lfHeight, -18);
    EXPECT_EQ(FontOf(form.Control(kFrame3)).lfHeight, -20);
    EXPECT_EQ(FontOf(form.Control(kCheck1)).lfHeight, -23);
    EXPECT_EQ(form.List().ColumnWidth(1), 600);
    EXPECT_EQ(form.List().ColumnWidth(2), 0);
}

TEST_F(Form1Test, ScalesTheLayoutAndTheFontsWithTheDpi)
{
    ExpectLayoutAt144Dpi(Open(144));
}

TEST_F(Form1Test, MovingToAnotherDpiRunsTheLayoutAgain)
{
    Form1& form = Open(96);
    const RECT suggested{100, 50, 900, 700};
    SendMessageW(form.Hwnd(), WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));

    EXPECT_EQ(form.Dpi(), 144);
    ExpectLayoutAt144Dpi(form);
    RECT window{};
    GetWindowRect(form.Hwnd(), &window);
    EXPECT_EQ(window.left, 100);
    EXPECT_EQ(window.top, 50);
}

TEST_F(Form1Test, ShowsItsTextsInBoldArial)
{
    Form1& form = Open(96);
    EXPECT_EQ(WindowText(form.Hwnd()), L"Uninstall List Cleaner");
    EXPECT_EQ(WindowText(form.Control(kFrame3)), L"Add and Remove Programs Entries");
    EXPECT_EQ(WindowText(form.Control(kCheck3)), L"Detect Old Entries to Delete");
    EXPECT_EQ(WindowText(form.Control(kCheck2)), L"Delete Checked Entries");
    EXPECT_EQ(WindowText(form.Control(kCheck1)), L"Uninstall Selected Entry");
    EXPECT_EQ(WindowText(form.Control(kCommand1)), L"Command1");

    const struct {
        ControlId id;
        LONG height;
    } fonts[] = {{kListView1, -12}, {kFrame3, -13}, {kCheck3, -15}, {kCheck2, -15}, {kCheck1, -15}};
    for (const auto& expected : fonts) {
        const LOGFONTW font = FontOf(form.Control(expected.id));
        EXPECT_STREQ(font.lfFaceName, L"Arial");
        EXPECT_EQ(font.lfHeight, expected.height);
        EXPECT_EQ(font.lfWeight, FW_BOLD);
        EXPECT_FALSE(font.lfItalic || font.lfUnderline || font.lfStrikeOut);
    }
    // Command1 keeps the system font.
    EXPECT_EQ(SendMessageW(form.Control(kCommand1), WM_GETFONT, 0, 0), 0);
}

TEST_F(Form1Test, ControlsAreOfTheirKindsInTabOrderOnWhite)
{
    Form1& form = Open();
    std::vector<HWND> order;
    for (HWND child = GetWindow(form.Hwnd(), GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT))
        order.push_back(child);
    EXPECT_EQ(order, (std::vector<HWND>{form.Control(kCommand1), form.Control(kFrame3), form.Control(kListView1),
                                        form.Control(kCheck3), form.Control(kCheck2), form.Control(kCheck1)}));

    const auto style = [](HWND control) { return GetWindowLongPtrW(control, GWL_STYLE); };
    EXPECT_EQ(style(form.Control(kFrame3)) & BS_TYPEMASK, BS_GROUPBOX);
    EXPECT_EQ(style(form.Control(kFrame3)) & WS_TABSTOP, 0);
    EXPECT_EQ(style(form.Control(kCommand1)) & BS_TYPEMASK, BS_PUSHBUTTON);
    const HDC dc = GetDC(form.Hwnd());
    for (ControlId id : {kCheck1, kCheck2, kCheck3}) {
        EXPECT_EQ(style(form.Control(id)) & BS_TYPEMASK, BS_AUTOCHECKBOX);
        EXPECT_NE(style(form.Control(id)) & BS_PUSHLIKE, 0);
        const auto brush = SendMessageW(form.Hwnd(), WM_CTLCOLORBTN, reinterpret_cast<WPARAM>(dc),
                                        reinterpret_cast<LPARAM>(form.Control(id)));
        EXPECT_EQ(brush, reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH)));
    }
    ReleaseDC(form.Hwnd(), dc);
    const HWND list = form.Control(kListView1);
    EXPECT_EQ(style(list) & LVS_TYPEMASK, LVS_REPORT);
    EXPECT_NE(SendMessageW(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & LVS_EX_CHECKBOXES, 0);
    EXPECT_EQ(GetClassLongPtrW(form.Hwnd(), GCLP_HBRBACKGROUND),
              reinterpret_cast<ULONG_PTR>(GetStockObject(WHITE_BRUSH)));
}

TEST_F(Form1Test, CreatesTheFourColumnsWithOnlyTheFirstVisible)
{
    Form1& form = Open(96);
    ListViewItems& list = form.List();
    ASSERT_EQ(list.ColumnCount(), 4);
    const char* headers[] = {"Program Names", "Uninstall", "FileExists", "KeyName"};
    const int widths[] = {400, 0, 0, 0};
    for (int column = 1; column <= 4; ++column) {
        EXPECT_EQ(list.ColumnHeader(column), headers[column - 1]);
        EXPECT_EQ(list.ColumnWidth(column), widths[column - 1]);
    }
}

TEST_F(Form1Test, StartsHiddenWithTheListFilledAndTheFocusOffScreen)
{
    registry_.AddEntry("B-key", "Beta", "C:\\Beta\\remove.exe");
    registry_.AddEntry("A-key", "Alpha", "MsiExec.exe /X{1}");
    Form1& form = Open();
    EXPECT_FALSE(IsWindowVisible(form.Hwnd()));
    ListViewItems& list = form.List();
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Text(1), "Alpha");
    EXPECT_EQ(list.SubItem(1, 2), "IGNORE ME");
    EXPECT_EQ(list.SubItem(2, 2), "c:\\beta\\remove.exe");
    EXPECT_EQ(list.SubItem(2, 3), "B-key");

    form.Show(SW_SHOWNORMAL);
    PumpMessages();
    EXPECT_EQ(GetFocus(), form.Control(kCommand1));

    // Tab goes past the frame, which takes no focus, to the list.
    MSG tab{form.Control(kCommand1), WM_KEYDOWN, VK_TAB, 0, 0, {}};
    EXPECT_TRUE(IsDialogMessageW(form.Hwnd(), &tab));
    EXPECT_EQ(GetFocus(), form.Control(kListView1));
}

TEST_F(Form1Test, MouseMovementSetsTheWindowsPointer)
{
    Form1& form = Open(96);
    EXPECT_EQ(form.MousePointer(), kPointerDefault);

    MoveOver(form.Control(kCheck3), 5, 5);
    EXPECT_EQ(form.MousePointer(), kPointerCustom);
    MoveOver(form.Hwnd(), 100, 292);  // the strip between the frame and Check3
    EXPECT_EQ(form.MousePointer(), kPointerArrow);
    MoveOver(form.Control(kCheck1), 5, 5);
    EXPECT_EQ(form.MousePointer(), kPointerCustom);

    // The frame's margins, the frame itself and Command1 leave it alone.
    MoveOver(form.Hwnd(), 10, 200);
    MoveOver(form.Hwnd(), 100, 12);
    MoveOver(form.Control(kFrame3), 3, 3);
    MoveOver(form.Control(kCommand1), 3, 3);
    EXPECT_EQ(form.MousePointer(), kPointerCustom);

    MoveOver(form.Control(kListView1), 50, 50);
    EXPECT_EQ(form.MousePointer(), kPointerArrow);
    MoveOver(form.Control(kCheck2), 5, 5);
    EXPECT_EQ(form.MousePointer(), kPointerCustom);
}

TEST_F(Form1Test, ClosingEndsTheMessageLoopWithCodeZero)
{
    Form1& form = Open();
    form.Show(SW_SHOWNORMAL);
    PostMessageW(form.Hwnd(), WM_CLOSE, 0, 0);
    EXPECT_EQ(RunMessageLoop(form.Hwnd()), 0);
    EXPECT_EQ(form.Hwnd(), nullptr);
}

}  // namespace

#include "Form1.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <string>

#include "CenterForm.h"
#include "WindowTestSupport.h"

namespace {

// Left, top, width and height in the parent's client area.
using Box = std::array<LONG, 4>;

Box PlaceOf(HWND control)
{
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

LOGFONTW FontOf(HWND control)
{
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font, &font);
    return font;
}

TEST(CenteredEdge, SplitsTheSpareRoomAndGoesNegativeOnASmallerScreen)
{
    EXPECT_EQ(CenteredEdge(1280, 480), 400);
    EXPECT_EQ(CenteredEdge(1280, 487), 396);
    EXPECT_EQ(CenteredEdge(800, 1001), -101);
}

using Form1Test = FormTest;

TEST_F(Form1Test, LaysOutItsControlsInTwipsAtEachDpi)
{
    const struct {
        ControlId id;
        Box at96;
        Box at144;  // half pixels round away from zero
        LONG fontAt96;
        LONG fontAt144;
    } controls[] = {
        {kFrame3, {8, 8, 465, 281}, {12, 12, 698, 422}, -13, -20},
        {kListView1, {16, 32, 449, 247}, {24, 48, 674, 371}, -12, -18},
        {kCheck3, {8, 296, 465, 28}, {12, 444, 698, 43}, -15, -23},
        {kCheck2, {8, 328, 465, 28}, {12, 492, 698, 43}, -15, -23},
        {kCheck1, {8, 360, 465, 28}, {12, 540, 698, 43}, -15, -23},
        {kCommand1, {-48, 176, 41, 33}, {-72, 264, 62, 50}, 0, 0},
    };
    Form1& form = Open(memory, 96);
    for (const bool moved : {false, true}) {
        SCOPED_TRACE(moved ? "144 dpi" : "96 dpi");
        RECT client{};
        GetClientRect(form.Hwnd(), &client);
        EXPECT_EQ(client.right, moved ? 722 : 481);
        EXPECT_EQ(client.bottom, moved ? 594 : 396);
        for (const auto& control : controls) {
            EXPECT_EQ(PlaceOf(form.Control(control.id)), moved ? control.at144 : control.at96) << control.id;
            const LOGFONTW font = FontOf(form.Control(control.id));
            EXPECT_EQ(font.lfHeight, moved ? control.fontAt144 : control.fontAt96) << control.id;
            if (control.id != kCommand1) {
                EXPECT_STREQ(font.lfFaceName, L"Arial");
                EXPECT_EQ(font.lfWeight, FW_BOLD);
            }
        }
        EXPECT_EQ(ListView_GetColumnWidth(form.List().Hwnd(), 0), moved ? 600 : 400);
        // The window moves to a monitor of another DPI.
        const RECT suggested{100, 50, 900, 700};
        SendMessageW(form.Hwnd(), WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    }
    RECT window{};
    GetWindowRect(form.Hwnd(), &window);
    EXPECT_EQ(window.left, 100);
    EXPECT_EQ(window.top, 50);
}

TEST_F(Form1Test, ShowsNothingUntilTheListIsFilledThenHasCommand1Focused)
{
    memory.AddEntry(RegRoot::LocalMachine, "b", "Beta", "C:\\b.exe");
    memory.AddEntry(RegRoot::CurrentUser, "a", "alpha", "C:\\a.exe");
    Form1& form = Open(memory);
    EXPECT_FALSE(IsWindowVisible(form.Hwnd()));
    ASSERT_EQ(form.List().Count(), 2);
    EXPECT_EQ(form.List().Text(1), "alpha");
    form.Show(SW_SHOWNORMAL);
    PumpMessages();
    EXPECT_EQ(GetFocus(), form.Control(kCommand1));
}

TEST_F(Form1Test, TheButtonsShowTheHandAndTheListAndTheWindowTheArrow)
{
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "ulc-cursor";
    std::filesystem::create_directories(folder);
    ASSERT_TRUE(CopyFileW((kTestDataFolder + L"\\HAND-M.CUR").c_str(), (folder / "HAND-M.CUR").c_str(), FALSE));
    Form1& form = Open(memory, 96, folder.wstring());
    ASSERT_NE(form.MouseIcon(), nullptr);
    const auto cursorOver = [&](HWND control) {
        SetCursor(nullptr);
        SendMessageW(control, WM_SETCURSOR, reinterpret_cast<WPARAM>(control), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        return GetCursor();
    };
    EXPECT_EQ(form.MousePointer(), kPointerDefault);

    MoveOver(form.Control(kCheck3));
    EXPECT_EQ(form.MousePointer(), kPointerCustom);
    // The setting is the whole window's.
    EXPECT_EQ(cursorOver(form.Control(kListView1)), form.MouseIcon());
    MoveOver(form.Hwnd(), 100, 292);  // the strip between the frame and Check3
    EXPECT_EQ(form.MousePointer(), kPointerArrow);
    MoveOver(form.Control(kCheck1));
    // The frame's margins, the frame itself and Command1 leave it alone.
    MoveOver(form.Hwnd(), 10, 200);
    MoveOver(form.Control(kFrame3), 3, 3);
    MoveOver(form.Control(kCommand1), 3, 3);
    EXPECT_EQ(form.MousePointer(), kPointerCustom);
    MoveOver(form.Control(kListView1), 50, 50);
    EXPECT_EQ(form.MousePointer(), kPointerArrow);
    EXPECT_EQ(cursorOver(form.Control(kCheck2)), LoadCursorW(nullptr, IDC_ARROW));

    // Without the file the buttons show the system's hand.
    std::filesystem::remove(folder / "HAND-M.CUR");
    Form1& plain = Open(memory, 96, folder.wstring());
    EXPECT_EQ(plain.MouseIcon(), nullptr);
    MoveOver(plain.Control(kCheck2));
    EXPECT_EQ(cursorOver(plain.Control(kCheck2)), LoadCursorW(nullptr, IDC_HAND));

    // At a drive's root the folder ends in a separator already.
    ASSERT_TRUE(CopyFileW((kTestDataFolder + L"\\HAND-M.CUR").c_str(), L"C:\\HAND-M.CUR", FALSE));
    EXPECT_NE(Open(memory, 96, L"C:\\").MouseIcon(), nullptr);
    form_.reset();
    DeleteFileW(L"C:\\HAND-M.CUR");
}

TEST_F(Form1Test, TheButtonsHaveWhiteFacesUpAndPressed)
{
    Form1& form = Open(memory);
    form.Show(SW_SHOWNORMAL);
    form.Check2().SetValue(1);
    for (const ControlId id : {kCheck1, kCheck2, kCheck3}) {
        const HWND button = form.Control(id);
        RedrawWindow(button, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        RECT rect{};
        GetClientRect(button, &rect);
        const HDC dc = GetDC(button);
        EXPECT_EQ(GetPixel(dc, 4, rect.bottom / 2), RGB(255, 255, 255)) << id;
        int caption = 0;
        for (int x = 0; x < rect.right; ++x)
            caption += GetRValue(GetPixel(dc, x, rect.bottom / 2)) < 128;
        EXPECT_GT(caption, 0) << id;
        ReleaseDC(button, dc);
    }
}

}  // namespace

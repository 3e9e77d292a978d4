#include "ListView.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <commctrl.h>

#include "WindowTestSupport.h"

namespace {

// A report-mode list with row check boxes and the four columns, in a hidden
// window, as the program has it.
class ListViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX), ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&classes);
        parent_ = CreateWindowExW(0, WC_STATICW, L"", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr, nullptr,
                                  nullptr, nullptr);
        const HWND list = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT, 0, 0, 300, 200,
                                          parent_, nullptr, nullptr, nullptr);
        SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_CHECKBOXES, LVS_EX_CHECKBOXES);
        items = ListViewItems(list);
        for (const char* header : {"Program Names", "Uninstall", "FileExists", "KeyName"})
            items.AddColumn(header);
    }
    void TearDown() override { DestroyWindow(parent_); }

    void Select(int position)
    {
        LVITEMW state{};
        state.stateMask = LVIS_SELECTED;
        state.state = LVIS_SELECTED;
        SendMessageW(items.Hwnd(), LVM_SETITEMSTATE, static_cast<WPARAM>(position - 1),
                     reinterpret_cast<LPARAM>(&state));
    }

    std::vector<std::string> Texts() const
    {
        std::vector<std::string> texts;
        for (int position = 1; position <= items.Count(); ++position)
            texts.push_back(items.Text(position));
        return texts;
    }

    ListViewItems items;

private:
    HWND parent_ = nullptr;
};

TEST_F(ListViewTest, AddsRowsAtTheEndAndRemovesThemByPosition)
{
    EXPECT_EQ(items.Add("one"), 1);
    EXPECT_EQ(items.Add("two"), 2);
    EXPECT_EQ(items.Add("three"), 3);
    EXPECT_EQ(items.Add("two"), 4);  // no keys: equal texts make two rows
    items.SetSubItem(3, 1, "uninstall three");
    items.SetSubItem(3, 3, "key three");

    items.Remove(2);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"one", "three", "two"}));
    EXPECT_EQ(items.SubItem(2, 1), "uninstall three");
    EXPECT_EQ(items.SubItem(2, 2), "");
    EXPECT_EQ(items.SubItem(2, 3), "key three");

    items.Clear();
    EXPECT_EQ(items.Count(), 0);
}

TEST_F(ListViewTest, TextsOfEveryLengthAndScriptComeBackWhole)
{
    // Lengths around the first buffer's size, and far beyond it.
    const std::vector<std::string> texts = {
        "",
        std::string(254, 'a'),
        std::string(255, 'b'),
        std::string(256, 'c'),
        std::string(511, 'd'),
        std::string(1 << 20, 'e'),
        "Gr\xC3\xBC\xC3\x9F" "e \xE6\x97\xA5\xE6\x9C\xAC \xF0\x9F\x98\x80",  // Grüße 日本 and an emoji
    };
    for (const std::string& text : texts) {
        const int row = items.Add(text);
        items.SetSubItem(row, 3, text);
        EXPECT_EQ(items.Text(row).size(), text.size());
        EXPECT_EQ(items.Text(row), text);
        EXPECT_EQ(items.SubItem(row, 3), text);
    }
}

TEST_F(ListViewTest, TicksAndHighlightsArePerRow)
{
    items.Add("one");
    items.Add("two");
    EXPECT_FALSE(items.Checked(1));
    EXPECT_FALSE(items.Checked(2));

    items.SetChecked(2, true);
    Select(1);
    EXPECT_FALSE(items.Checked(1));
    EXPECT_TRUE(items.Checked(2));
    EXPECT_TRUE(items.Selected(1));
    EXPECT_FALSE(items.Selected(2));

    items.SetChecked(2, false);
    EXPECT_FALSE(items.Checked(2));
}

TEST_F(ListViewTest, PositionsOutsideTheListReadEmptyAndChangeNothing)
{
    items.Add("one");
    items.SetSubItem(1, 1, "uninstall one");
    items.SetChecked(1, true);

    for (const int outside : {0, -1, 2, 1000}) {
        items.SetSubItem(outside, 1, "changed");
        items.SetChecked(outside, false);
        items.Remove(outside);
        EXPECT_EQ(items.Text(outside), "") << outside;
        EXPECT_EQ(items.SubItem(outside, 1), "") << outside;
        EXPECT_FALSE(items.Checked(outside)) << outside;
        EXPECT_FALSE(items.Selected(outside)) << outside;
    }
    EXPECT_EQ(Texts(), (std::vector<std::string>{"one"}));
    EXPECT_EQ(items.SubItem(1, 1), "uninstall one");
    EXPECT_TRUE(items.Checked(1));
}

TEST_F(ListViewTest, RowsAddedDuringAPassReadBackAtOnceAndReachTheListWhenItEnds)
{
    items.Add("before");
    {
        ListUpdate update(items);
        EXPECT_EQ(items.Add("one"), 2);
        EXPECT_EQ(items.Add(std::string("two\0cut", 8)), 3);
        items.SetSubItem(2, 1, "uninstall one");
        items.SetSubItem(3, 3, "key two");
        EXPECT_EQ(items.Count(), 3);
        EXPECT_EQ(items.Text(3), "two");
        EXPECT_EQ(items.SubItem(2, 1), "uninstall one");
        EXPECT_EQ(items.SubItem(2, 2), "");
        EXPECT_FALSE(items.Checked(2));
        EXPECT_FALSE(items.Selected(3));
        // The control itself holds only the row from before the pass.
        EXPECT_EQ(SendMessageW(items.Hwnd(), LVM_GETITEMCOUNT, 0, 0), 1);
        // A change to an existing row hands the new rows over first.
        items.SetChecked(3, true);
        EXPECT_EQ(SendMessageW(items.Hwnd(), LVM_GETITEMCOUNT, 0, 0), 3);
        EXPECT_EQ(items.Add("four"), 4);
        items.Remove(1);
    }
    EXPECT_EQ(Texts(), (std::vector<std::string>{"one", "two", "four"}));
    EXPECT_EQ(items.SubItem(1, 1), "uninstall one");
    EXPECT_EQ(items.SubItem(2, 3), "key two");
    EXPECT_TRUE(items.Checked(2));
    EXPECT_FALSE(items.Checked(3));

    // Cleared during a pass, rows not yet handed over are gone too.
    {
        ListUpdate update(items);
        items.Add("five");
        items.Clear();
        EXPECT_EQ(items.Count(), 0);
    }
    EXPECT_EQ(items.Count(), 0);
}

TEST_F(ListViewTest, NestedPassesTurnRepaintingOffAndOnOnce)
{
    std::vector<WPARAM> redraws;
    const SUBCLASSPROC watch = [](HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                  DWORD_PTR seen) -> LRESULT {
        if (message == WM_SETREDRAW)
            reinterpret_cast<std::vector<WPARAM>*>(seen)->push_back(wParam);
        return DefSubclassProc(list, message, wParam, lParam);
    };
    SetWindowSubclass(items.Hwnd(), watch, 1, reinterpret_cast<DWORD_PTR>(&redraws));

    {
        ListUpdate outer(items);
        ListUpdate inner(items);
        items.Add("one");
    }
    items.EndUpdate();  // unbalanced: ignored

    RemoveWindowSubclass(items.Hwnd(), watch, 1);
    EXPECT_EQ(redraws, (std::vector<WPARAM>{FALSE, TRUE}));
    EXPECT_EQ(items.Count(), 1);
}

}  // namespace

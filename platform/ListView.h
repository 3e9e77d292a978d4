#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include <windows.h>

#include "ListItems.h"

// The rows of a report-mode list view with check boxes, behind the ListItems
// interface, and its column headers. Does not own the control. A position
// outside 1 to Count() reads as an empty, unticked, unselected row and
// changes nothing. Texts of any length go in and come back whole; the control
// keeps a text only up to its first NUL.
//
// Rows added while a pass is open wait in the adapter and reach the control
// together when the outermost pass ends; meanwhile they read as the control
// would give them back (unticked, unselected). Under Wine, handing each row
// to the control between two registry reads costs far more than handing
// them all over at once. Any change to an existing row hands them over first.
class ListViewItems : public ListItems {
public:
    ListViewItems() = default;
    explicit ListViewItems(HWND list) : list_(list) {}

    HWND Hwnd() const { return list_; }

    void Clear() override;
    int Add(std::string_view text) override;
    int Count() const override;
    void Remove(int position) override;

    std::string Text(int position) const override;
    std::string SubItem(int position, int subItem) const override;
    void SetSubItem(int position, int subItem, std::string_view text) override;

    bool Checked(int position) const override;
    void SetChecked(int position, bool checked) override;
    bool Selected(int position) const override;

    // Nested passes repaint once, when the outermost one ends.
    void BeginUpdate() override;
    void EndUpdate() override;

    // Columns count from 1, like the rows; a header carries its text only.
    void AddColumn(std::string_view header);
    int ColumnCount() const;
    std::string ColumnHeader(int column) const;
    int ColumnWidth(int column) const;
    void SetColumnWidth(int column, int pixels);

private:
    // A row added during a pass, its texts as the control would keep them.
    // A sub-item past these goes to the control, after the rows before it.
    static constexpr int kPendingSubItems = 3;
    struct PendingRow {
        std::wstring text;
        std::array<std::wstring, kPendingSubItems> subItems;
    };

    bool InRange(int position) const;
    // The index in pending_ of the row at `position`; -1 when it is not pending.
    int PendingIndex(int position) const;
    void HandOver();
    std::string ItemText(int position, int column) const;

    HWND list_ = nullptr;
    int updateDepth_ = 0;
    int firstPending_ = 0;  // the position the first pending row will take
    std::vector<PendingRow> pending_;
};

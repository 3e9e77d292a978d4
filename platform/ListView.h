#pragma once

#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <windows.h>
#include <commctrl.h>

#include "ListItems.h"

// The rows of a report-mode list view with check boxes, behind the ListItems
// interface, and its columns. The rows' texts live here: the control holds
// only callback texts and asks its parent for them (LVN_GETDISPINFOW), which
// hands the question to AnswerDisplayInfo. Ticks and highlights stay in the
// control, where the user changes them. Does not own the control. A position
// outside 1 to Count() reads as an empty, unticked, unselected row and
// changes nothing.
class ListViewItems : public ListItems {
public:
    ListViewItems() = default;
    explicit ListViewItems(HWND list) : list_(list) {}

    HWND Hwnd() const { return list_; }

    void Clear() override;
    int Add(std::string_view text, RegRoot place, KeyTime written) override;
    int Count() const override { return static_cast<int>(rows_.size()); }
    void Remove(int position) override;

    std::string Text(int position) const override;
    std::string SubItem(int position, int subItem) const override;
    void SetSubItem(int position, int subItem, std::string_view text) override;

    bool Checked(int position) const override;
    void SetChecked(int position, bool checked) override;
    bool Selected(int position) const override;
    RegRoot Place(int position) const override;
    KeyTime Written(int position) const override;
    const Verdict& VerdictOf(int position) const override;
    void SetVerdict(int position, Verdict verdict) override;

    // Nested passes repaint once, when the outermost one ends.
    void BeginUpdate() override;
    void EndUpdate() override;

    // The row at height `y` of the control's client area, wherever across
    // it; 0 for none.
    int RowAt(int y) const;

    // Fills in the text the control asks for; the rest of `info` stays.
    void AnswerDisplayInfo(NMLVDISPINFOW& info) const;

    // Columns count from 1, like the rows; a header carries its text only.
    void AddColumn(std::string_view header);
    int ColumnCount() const;
    void SetColumnWidth(int column, int pixels);

private:
    static constexpr int kSubItems = 3;
    struct Row {
        std::string text;
        std::array<std::string, kSubItems> subItems;
        RegRoot place;
        KeyTime written;
        Verdict verdict;
    };

    bool InRange(int position) const { return position >= 1 && position <= Count(); }
    const std::string* TextOf(int position, int column) const;

    HWND list_ = nullptr;
    int updateDepth_ = 0;
    // Each row on its own, so that removing one from a long list moves
    // pointers, not texts.
    std::vector<std::unique_ptr<Row>> rows_;
};

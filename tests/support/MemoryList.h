#pragma once

#include <array>
#include <string>
#include <vector>

#include "ListItems.h"

// The entry list as plain rows, for tests of the logic above the list view.
class MemoryList : public ListItems {
public:
    struct Row {
        std::string text;
        std::array<std::string, 3> subItems;
        bool checked = false;
        bool selected = false;
    };

    std::vector<Row> rows;

    void Clear() override { rows.clear(); }
    int Add(std::string_view text) override;
    int Count() const override { return static_cast<int>(rows.size()); }
    void Remove(int position) override;

    std::string Text(int position) const override { return At(position).text; }
    std::string SubItem(int position, int subItem) const override;
    void SetSubItem(int position, int subItem, std::string_view text) override;

    bool Checked(int position) const override { return At(position).checked; }
    void SetChecked(int position, bool checked) override { At(position).checked = checked; }
    bool Selected(int position) const override { return At(position).selected; }

    // The texts of all rows, top to bottom.
    std::vector<std::string> Texts() const;

private:
    const Row& At(int position) const { return rows.at(static_cast<size_t>(position - 1)); }
    Row& At(int position) { return rows.at(static_cast<size_t>(position - 1)); }
};

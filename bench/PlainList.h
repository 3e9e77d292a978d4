#pragma once

#include <array>
#include <string>
#include <vector>

#include "ListItems.h"

// The rows held in plain memory: the least any list could cost.
class PlainList : public ListItems {
public:
    struct Row {
        std::string text;
        std::array<std::string, 3> subItems;
        bool checked = false;
        RegRoot place = RegRoot::LocalMachine;
        KeyTime written = 0;
        Verdict verdict;
    };

    std::vector<Row> rows;

    void Clear() override { rows.clear(); }
    int Add(std::string_view text, RegRoot place, KeyTime written) override
    {
        rows.push_back(Row{std::string(text), {}, false, place, written, {}});
        return Count();
    }
    int Count() const override { return static_cast<int>(rows.size()); }
    void Remove(int position) override { rows.erase(rows.begin() + (position - 1)); }

    std::string Text(int position) const override { return rows[position - 1].text; }
    std::string SubItem(int position, int subItem) const override { return rows[position - 1].subItems[subItem - 1]; }
    void SetSubItem(int position, int subItem, std::string_view text) override
    {
        rows[position - 1].subItems[subItem - 1] = text;
    }

    bool Checked(int position) const override { return rows[position - 1].checked; }
    void SetChecked(int position, bool checked) override { rows[position - 1].checked = checked; }
    bool Selected(int) const override { return false; }
    RegRoot Place(int position) const override { return rows[position - 1].place; }
    KeyTime Written(int position) const override { return rows[position - 1].written; }
    const Verdict& VerdictOf(int position) const override { return rows[position - 1].verdict; }
    void SetVerdict(int position, Verdict verdict) override { rows[position - 1].verdict = std::move(verdict); }
};

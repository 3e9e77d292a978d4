#pragma once

#include <array>
#include <string>
#include <vector>

#include "ListItems.h"

// The entry list as plain rows. A position outside the list throws: the code
// under test must never use one.
class MemoryList : public ListItems {
public:
    struct Row {
        std::string text;
        std::array<std::string, 3> subItems;
        RegRoot place = RegRoot::LocalMachine;
        KeyTime written = 0;
        Verdict verdict;
        bool checked = false;
        bool selected = false;
    };
    std::vector<Row> rows;
    int updateDepth = 0;
    int changesWhileRepainting = 0;  // ticks and removals outside a pass

    Row& At(int position) { return rows.at(static_cast<size_t>(position - 1)); }
    const Row& At(int position) const { return rows.at(static_cast<size_t>(position - 1)); }

    void Clear() override
    {
        rows.clear();
        changesWhileRepainting += updateDepth == 0;
    }
    int Add(std::string_view text, RegRoot place, KeyTime written) override
    {
        return rows.push_back({std::string(text), {}, place, written, {}}), Count();
    }
    int Count() const override { return static_cast<int>(rows.size()); }
    void Remove(int position) override
    {
        rows.erase(rows.begin() + (&At(position) - rows.data()));
        changesWhileRepainting += updateDepth == 0;
    }
    std::string Text(int position) const override { return At(position).text; }
    std::string SubItem(int position, int subItem) const override { return At(position).subItems.at(subItem - 1); }
    void SetSubItem(int position, int subItem, std::string_view text) override { At(position).subItems.at(subItem - 1) = text; }
    bool Checked(int position) const override { return At(position).checked; }
    void SetChecked(int position, bool checked) override
    {
        At(position).checked = checked;
        changesWhileRepainting += updateDepth == 0;
    }
    bool Selected(int position) const override { return At(position).selected; }
    RegRoot Place(int position) const override { return At(position).place; }
    KeyTime Written(int position) const override { return At(position).written; }
    const Verdict& VerdictOf(int position) const override { return At(position).verdict; }
    void SetVerdict(int position, Verdict verdict) override { At(position).verdict = std::move(verdict); }
    void BeginUpdate() override { ++updateDepth; }
    void EndUpdate() override { --updateDepth; }
};

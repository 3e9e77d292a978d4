#pragma once

#include <string>
#include <string_view>

#include "RegistryStore.h"
#include "Verdict.h"

// The rows of the entry list, addressed by 1-based position from the top.
// Each row has a text, sub-items 1 to 3, a check box, a highlight, the place
// its entry lives in, when its key was last written as the list read it, and
// the latest verdict on it.
class ListItems {
public:
    virtual ~ListItems() = default;

    virtual void Clear() = 0;
    // Adds an unticked row, not yet asked about, at the bottom and returns
    // its position.
    virtual int Add(std::string_view text, RegRoot place, KeyTime written) = 0;
    virtual int Count() const = 0;
    // Removes the row at `position`; the rows below it move up by one.
    virtual void Remove(int position) = 0;

    virtual std::string Text(int position) const = 0;
    virtual std::string SubItem(int position, int subItem) const = 0;
    virtual void SetSubItem(int position, int subItem, std::string_view text) = 0;

    virtual bool Checked(int position) const = 0;
    virtual void SetChecked(int position, bool checked) = 0;
    virtual bool Selected(int position) const = 0;
    virtual RegRoot Place(int position) const = 0;
    virtual KeyTime Written(int position) const = 0;
    virtual const Verdict& VerdictOf(int position) const = 0;
    virtual void SetVerdict(int position, Verdict verdict) = 0;

    // A pass over many rows brackets its changes with these, so that a list
    // on screen repaints once at the end instead of once per row.
    virtual void BeginUpdate() {}
    virtual void EndUpdate() {}
};

// Holds the list's repainting off for the length of one pass.
class ListUpdate {
public:
    explicit ListUpdate(ListItems& list) : list_(list) { list_.BeginUpdate(); }
    ~ListUpdate() { list_.EndUpdate(); }
    ListUpdate(const ListUpdate&) = delete;
    ListUpdate& operator=(const ListUpdate&) = delete;

private:
    ListItems& list_;
};

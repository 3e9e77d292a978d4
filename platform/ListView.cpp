#include "ListView.h"

#include <climits>
#include <cwchar>
#include <iterator>

#include <commctrl.h>

#include "WinText.h"

namespace {

// LVM_GETITEMTEXT fills as much as fits and says how much that was, never how
// long the text is: a buffer filled to its last unit may have cut it.
constexpr size_t kFirstTextBuffer = 256;

// The control keeps a text up to its first NUL; a pending row does the same.
std::wstring AsKept(std::string_view text)
{
    std::wstring wide = WideFromUtf8(text);
    wide.resize(std::wcslen(wide.c_str()));
    return wide;
}

}  // namespace

void ListViewItems::Clear()
{
    pending_.clear();
    SendMessageW(list_, LVM_DELETEALLITEMS, 0, 0);
}

int ListViewItems::Add(std::string_view text)
{
    if (updateDepth_ > 0) {
        if (pending_.empty())
            firstPending_ = static_cast<int>(SendMessageW(list_, LVM_GETITEMCOUNT, 0, 0)) + 1;
        pending_.push_back(PendingRow{AsKept(text), {}});
        return firstPending_ + static_cast<int>(pending_.size()) - 1;
    }
    std::wstring wide = WideFromUtf8(text);
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    // Past the last row the list appends: no need to ask for the count.
    item.iItem = INT_MAX;
    item.pszText = wide.data();
    const LRESULT index = SendMessageW(list_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    return index < 0 ? 0 : static_cast<int>(index) + 1;
}

int ListViewItems::Count() const
{
    return static_cast<int>(SendMessageW(list_, LVM_GETITEMCOUNT, 0, 0)) + static_cast<int>(pending_.size());
}

// Index -1 means "every row" to several list messages, so a position before
// the first must never reach them. A position past the last row the list
// refuses by itself; asking for the count first would cost a message per
// row in every pass.
bool ListViewItems::InRange(int position) const { return position >= 1; }

int ListViewItems::PendingIndex(int position) const
{
    if (pending_.empty() || position < firstPending_ ||
        position >= firstPending_ + static_cast<int>(pending_.size()))
        return -1;
    return position - firstPending_;
}

void ListViewItems::HandOver()
{
    std::vector<PendingRow> rows;
    rows.swap(pending_);
    for (PendingRow& row : rows) {
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = INT_MAX;
        item.pszText = row.text.data();
        const LRESULT index = SendMessageW(list_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
        if (index < 0)
            continue;
        for (int subItem = 1; subItem <= kPendingSubItems; ++subItem) {
            std::wstring& text = row.subItems[static_cast<size_t>(subItem - 1)];
            if (text.empty())
                continue;
            LVITEMW sub{};
            sub.iSubItem = subItem;
            sub.pszText = text.data();
            SendMessageW(list_, LVM_SETITEMTEXTW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&sub));
        }
        // Each row's texts go as soon as the control has its own copy.
        row = PendingRow{};
    }
}

void ListViewItems::Remove(int position)
{
    HandOver();
    if (InRange(position))
        SendMessageW(list_, LVM_DELETEITEM, static_cast<WPARAM>(position - 1), 0);
}

std::string ListViewItems::Text(int position) const { return ItemText(position, 0); }

std::string ListViewItems::SubItem(int position, int subItem) const { return ItemText(position, subItem); }

void ListViewItems::SetSubItem(int position, int subItem, std::string_view text)
{
    const int pending = PendingIndex(position);
    if (pending >= 0 && subItem >= 1 && subItem <= kPendingSubItems) {
        pending_[static_cast<size_t>(pending)].subItems[static_cast<size_t>(subItem - 1)] = AsKept(text);
        return;
    }
    HandOver();
    if (!InRange(position))
        return;
    std::wstring wide = WideFromUtf8(text);
    LVITEMW item{};
    item.iSubItem = subItem;
    item.pszText = wide.data();
    SendMessageW(list_, LVM_SETITEMTEXTW, static_cast<WPARAM>(position - 1), reinterpret_cast<LPARAM>(&item));
}

std::string ListViewItems::ItemText(int position, int column) const
{
    if (const int pending = PendingIndex(position); pending >= 0) {
        const PendingRow& row = pending_[static_cast<size_t>(pending)];
        if (column == 0)
            return Utf8FromWide(row.text);
        if (column >= 1 && column <= kPendingSubItems)
            return Utf8FromWide(row.subItems[static_cast<size_t>(column - 1)]);
        return {};
    }
    if (!InRange(position))
        return {};
    // Most texts fit the first buffer, which costs no allocation.
    wchar_t first[kFirstTextBuffer];
    std::wstring larger;
    wchar_t* buffer = first;
    size_t size = kFirstTextBuffer;
    for (;;) {
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = buffer;
        item.cchTextMax = static_cast<int>(size);
        const auto length = static_cast<size_t>(
            SendMessageW(list_, LVM_GETITEMTEXTW, static_cast<WPARAM>(position - 1), reinterpret_cast<LPARAM>(&item)));
        if (length + 1 < size)
            return Utf8FromWide(std::wstring_view(buffer, length));
        size *= 2;
        larger.assign(size, L'\0');
        buffer = larger.data();
    }
}

bool ListViewItems::Checked(int position) const
{
    if (!InRange(position))
        return false;
    const LRESULT state =
        SendMessageW(list_, LVM_GETITEMSTATE, static_cast<WPARAM>(position - 1), LVIS_STATEIMAGEMASK);
    // State image 1 is the empty box, 2 the ticked one.
    return (state & LVIS_STATEIMAGEMASK) == INDEXTOSTATEIMAGEMASK(2);
}

void ListViewItems::SetChecked(int position, bool checked)
{
    HandOver();
    if (!InRange(position))
        return;
    LVITEMW item{};
    item.stateMask = LVIS_STATEIMAGEMASK;
    item.state = INDEXTOSTATEIMAGEMASK(checked ? 2 : 1);
    SendMessageW(list_, LVM_SETITEMSTATE, static_cast<WPARAM>(position - 1), reinterpret_cast<LPARAM>(&item));
}

bool ListViewItems::Selected(int position) const
{
    if (!InRange(position))
        return false;
    return SendMessageW(list_, LVM_GETITEMSTATE, static_cast<WPARAM>(position - 1), LVIS_SELECTED) != 0;
}

void ListViewItems::BeginUpdate()
{
    if (updateDepth_++ == 0)
        SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
}

void ListViewItems::EndUpdate()
{
    if (updateDepth_ == 0 || --updateDepth_ > 0)
        return;
    HandOver();
    SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list_, nullptr, TRUE);
}

void ListViewItems::AddColumn(std::string_view header)
{
    std::wstring wide = WideFromUtf8(header);
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT;
    column.pszText = wide.data();
    SendMessageW(list_, LVM_INSERTCOLUMNW, static_cast<WPARAM>(ColumnCount()), reinterpret_cast<LPARAM>(&column));
}

int ListViewItems::ColumnCount() const
{
    const auto header = reinterpret_cast<HWND>(SendMessageW(list_, LVM_GETHEADER, 0, 0));
    return header == nullptr ? 0 : static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
}

std::string ListViewItems::ColumnHeader(int column) const
{
    wchar_t text[256] = {};
    LVCOLUMNW query{};
    query.mask = LVCF_TEXT;
    query.pszText = text;
    query.cchTextMax = static_cast<int>(std::size(text));
    if (SendMessageW(list_, LVM_GETCOLUMNW, static_cast<WPARAM>(column - 1), reinterpret_cast<LPARAM>(&query)) == 0)
        return {};
    return Utf8FromWide(text);
}

int ListViewItems::ColumnWidth(int column) const
{
    return static_cast<int>(SendMessageW(list_, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column - 1), 0));
}

void ListViewItems::SetColumnWidth(int column, int pixels)
{
    SendMessageW(list_, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column - 1), MAKELPARAM(pixels, 0));
}

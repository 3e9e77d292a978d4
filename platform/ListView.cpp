#include "ListView.h"

#include <iterator>

#include <commctrl.h>

#include "WinText.h"

namespace {

// LVM_GETITEMTEXT fills as much as fits and says how much that was, never how
// long the text is: a buffer filled to its last unit may have cut it.
constexpr size_t kFirstTextBuffer = 256;

}  // namespace

void ListViewItems::Clear() { SendMessageW(list_, LVM_DELETEALLITEMS, 0, 0); }

int ListViewItems::Add(std::string_view text)
{
    std::wstring wide = WideFromUtf8(text);
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = Count();
    item.pszText = wide.data();
    const LRESULT index = SendMessageW(list_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    return index < 0 ? 0 : static_cast<int>(index) + 1;
}

int ListViewItems::Count() const { return static_cast<int>(SendMessageW(list_, LVM_GETITEMCOUNT, 0, 0)); }

// Index -1 means "every row" to several list messages, so a position outside
// the list must never reach them.
bool ListViewItems::InRange(int position) const { return position >= 1 && position <= Count(); }

void ListViewItems::Remove(int position)
{
    if (InRange(position))
        SendMessageW(list_, LVM_DELETEITEM, static_cast<WPARAM>(position - 1), 0);
}

std::string ListViewItems::Text(int position) const { return ItemText(position, 0); }

std::string ListViewItems::SubItem(int position, int subItem) const { return ItemText(position, subItem); }

void ListViewItems::SetSubItem(int position, int subItem, std::string_view text)
{
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
    if (!InRange(position))
        return {};
    std::wstring buffer(kFirstTextBuffer, L'\0');
    for (;;) {
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = buffer.data();
        item.cchTextMax = static_cast<int>(buffer.size());
        const auto length = static_cast<size_t>(
            SendMessageW(list_, LVM_GETITEMTEXTW, static_cast<WPARAM>(position - 1), reinterpret_cast<LPARAM>(&item)));
        if (length + 1 < buffer.size()) {
            buffer.resize(length);
            return Utf8FromWide(buffer);
        }
        buffer.resize(buffer.size() * 2);
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

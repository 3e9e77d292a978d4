#include "ListView.h"

#include <algorithm>

#include "WinText.h"

void ListViewItems::Clear()
{
    rows_.clear();
    SendMessageW(list_, LVM_DELETEALLITEMS, 0, 0);
}

int ListViewItems::Add(std::string_view text, RegRoot place, KeyTime written)
{
    rows_.push_back(std::make_unique<Row>(Row{std::string(text), {}, place, written, {}}));
    const int index = Count() - 1;
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = index;
    item.pszText = LPSTR_TEXTCALLBACKW;
    if (SendMessageW(list_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)) != index) {
        rows_.pop_back();
        return 0;
    }
    // Sub-items the control was never given read as empty: these too are
    // asked for, so that whoever reads the control gets every column.
    for (item.iSubItem = 1; item.iSubItem <= kSubItems; ++item.iSubItem)
        SendMessageW(list_, LVM_SETITEMTEXTW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    return index + 1;
}

void ListViewItems::Remove(int position)
{
    if (!InRange(position))
        return;
    rows_.erase(rows_.begin() + (position - 1));
    SendMessageW(list_, LVM_DELETEITEM, static_cast<WPARAM>(position - 1), 0);
}

const std::string* ListViewItems::TextOf(int position, int column) const
{
    if (!InRange(position) || column < 0 || column > kSubItems)
        return nullptr;
    const Row& row = *rows_[static_cast<size_t>(position - 1)];
    return column == 0 ? &row.text : &row.subItems[static_cast<size_t>(column - 1)];
}

std::string ListViewItems::Text(int position) const
{
    const std::string* text = TextOf(position, 0);
    return text != nullptr ? *text : std::string();
}

std::string ListViewItems::SubItem(int position, int subItem) const
{
    const std::string* text = subItem >= 1 ? TextOf(position, subItem) : nullptr;
    return text != nullptr ? *text : std::string();
}

void ListViewItems::SetSubItem(int position, int subItem, std::string_view text)
{
    if (subItem >= 1 && TextOf(position, subItem) != nullptr)
        rows_[static_cast<size_t>(position - 1)]->subItems[static_cast<size_t>(subItem - 1)] = text;
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

// Index -1 means "every row" to several list messages, so a position outside
// the list must never reach them.
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

RegRoot ListViewItems::Place(int position) const
{
    return InRange(position) ? rows_[static_cast<size_t>(position - 1)]->place : RegRoot::LocalMachine;
}

KeyTime ListViewItems::Written(int position) const
{
    return InRange(position) ? rows_[static_cast<size_t>(position - 1)]->written : 0;
}

const Verdict& ListViewItems::VerdictOf(int position) const
{
    static const Verdict kNotAsked;
    return InRange(position) ? rows_[static_cast<size_t>(position - 1)]->verdict : kNotAsked;
}

void ListViewItems::SetVerdict(int position, Verdict verdict)
{
    if (InRange(position))
        rows_[static_cast<size_t>(position - 1)]->verdict = std::move(verdict);
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

// Only the first column has a width, and to the right of it the control
// finds no row; at the left edge it finds the row at any height.
int ListViewItems::RowAt(int y) const
{
    LVHITTESTINFO hit{};
    hit.pt = {0, y};
    return static_cast<int>(SendMessageW(list_, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit))) + 1;
}

void ListViewItems::AnswerDisplayInfo(NMLVDISPINFOW& info) const
{
    LVITEMW& item = info.item;
    if ((item.mask & LVIF_TEXT) == 0 || item.pszText == nullptr || item.cchTextMax <= 0)
        return;
    const std::string* text = TextOf(item.iItem + 1, item.iSubItem);
    const std::wstring wide = text != nullptr ? WideFromUtf8(*text) : std::wstring();
    // The control's buffer may be shorter than the text: it gets what fits.
    const size_t length = std::min(wide.size(), static_cast<size_t>(item.cchTextMax - 1));
    std::copy_n(wide.begin(), length, item.pszText);
    item.pszText[length] = L'\0';
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

void ListViewItems::SetColumnWidth(int column, int pixels)
{
    SendMessageW(list_, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column - 1), MAKELPARAM(pixels, 0));
}

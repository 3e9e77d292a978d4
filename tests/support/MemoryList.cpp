#include "MemoryList.h"

int MemoryList::Add(std::string_view text)
{
    rows.push_back(Row{std::string(text), {}, false, false});
    return Count();
}

void MemoryList::Remove(int position)
{
    At(position);  // out of range throws, as a bad position must not pass silently
    rows.erase(rows.begin() + (position - 1));
}

std::string MemoryList::SubItem(int position, int subItem) const
{
    return At(position).subItems.at(static_cast<size_t>(subItem - 1));
}

void MemoryList::SetSubItem(int position, int subItem, std::string_view text)
{
    At(position).subItems.at(static_cast<size_t>(subItem - 1)) = std::string(text);
}

std::vector<std::string> MemoryList::Texts() const
{
    std::vector<std::string> texts;
    for (const Row& row : rows)
        texts.push_back(row.text);
    return texts;
}

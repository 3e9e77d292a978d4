#include "MemoryRegistry.h"

#include <algorithm>
#include <set>

#include "Text.h"
#include "UninstallEntry.h"

namespace {

constexpr RegStatus kInvalidHandle = 6;

// `path` itself or a key below it.
bool IsWithin(std::string_view path, std::string_view top)
{
    return path.starts_with(top) && (path.size() == top.size() || path[top.size()] == '\\');
}

}  // namespace

std::vector<std::byte> Utf16Bytes(std::string_view text, bool terminated)
{
    std::u16string units = Utf16FromUtf8(text);
    if (terminated)
        units += u'\0';
    std::vector<std::byte> bytes;
    for (char16_t unit : units) {
        bytes.push_back(static_cast<std::byte>(unit & 0xFF));
        bytes.push_back(static_cast<std::byte>(unit >> 8));
    }
    return bytes;
}

void MemoryRegistry::SetText(RegRoot root, const std::string& path, const std::string& name, std::string_view text,
                             RegType type)
{
    keys[{root, path}][name] = Value{type, Utf16Bytes(text)};
}

void MemoryRegistry::AddEntry(RegRoot root, std::string_view keyName, std::string_view displayName,
                              std::string_view command)
{
    const std::string path = EntryKeyPath(keyName);
    keys[{root, path}];
    if (!displayName.empty())
        SetText(root, path, "DisplayName", displayName);
    if (!command.empty())
        SetText(root, path, "UninstallString", command);
}

bool MemoryRegistry::Exists(RegRoot root, std::string_view path) const
{
    return std::any_of(keys.begin(), keys.end(),
                       [&](const auto& key) { return key.first.first == root && IsWithin(key.first.second, path); });
}

RegStatus MemoryRegistry::Ask(Operation operation, const KeyId& id) const
{
    return hook ? hook(operation, id.first, id.second) : kRegSuccess;
}

const MemoryRegistry::KeyId* MemoryRegistry::Opened(Key key) const
{
    const auto found = open_.find(key);
    return found == open_.end() ? nullptr : &found->second;
}

RegStatus MemoryRegistry::OpenKey(RegRoot root, std::string_view path, Key& key)
{
    key = 0;
    const KeyId id{root, std::string(path)};
    if (const RegStatus status = Ask(Operation::Open, id); status != kRegSuccess)
        return status;
    if (!Exists(root, path))
        return kRegFileNotFound;
    key = next_++;
    open_[key] = id;
    return kRegSuccess;
}

RegStatus MemoryRegistry::OpenForEnumeration(RegRoot root, std::string_view path, Key& key)
{
    return OpenKey(root, path, key);
}

RegStatus MemoryRegistry::EnumerateSubkey(Key key, int index, std::string& name)
{
    const KeyId* id = Opened(key);
    if (id == nullptr)
        return kInvalidHandle;
    if (const RegStatus status = Ask(Operation::Enumerate, *id); status != kRegSuccess)
        return status;
    if (!Exists(id->first, id->second))
        return kRegKeyDeleted;
    std::set<std::string> names;
    const std::string top = id->second + "\\";
    for (const auto& [other, values] : keys) {
        if (other.first == id->first && other.second.starts_with(top)) {
            const std::string rest = other.second.substr(top.size());
            names.insert(rest.substr(0, rest.find('\\')));
        }
    }
    if (index < 0 || index >= static_cast<int>(names.size()))
        return kRegNoMoreItems;
    name = *std::next(names.begin(), index);
    return kRegSuccess;
}

RegStatus MemoryRegistry::QueryValue(Key key, std::string_view valueName, RegType& type, std::vector<std::byte>& data)
{
    data.clear();
    const KeyId* id = Opened(key);
    if (id == nullptr)
        return kInvalidHandle;
    if (const RegStatus status = Ask(Operation::Query, *id); status != kRegSuccess)
        return status;
    if (!Exists(id->first, id->second))
        return kRegKeyDeleted;
    const auto values = keys.find(*id);
    if (values == keys.end() || !values->second.contains(std::string(valueName)))
        return kRegFileNotFound;
    const Value& value = values->second.at(std::string(valueName));
    type = value.type;
    data = value.data;
    return kRegSuccess;
}

RegStatus MemoryRegistry::DeleteTree(RegRoot root, std::string_view path)
{
    if (const RegStatus status = Ask(Operation::Delete, {root, std::string(path)}); status != kRegSuccess)
        return status;
    if (path.empty())
        return kRegAccessDenied;
    const size_t erased = std::erase_if(keys, [&](const auto& key) {
        return key.first.first == root && IsWithin(key.first.second, path);
    });
    return erased > 0 ? kRegSuccess : kRegFileNotFound;
}

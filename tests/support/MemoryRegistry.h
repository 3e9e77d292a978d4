#pragma once

#include <algorithm>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "RegistryStore.h"
#include "Text.h"
#include "UninstallEntry.h"

// A text value's bytes as Windows stores them: UTF-16LE, NUL-terminated.
inline std::vector<std::byte> Utf16Bytes(std::string_view text, bool terminated = true)
{
    std::vector<std::byte> bytes;
    for (const char16_t unit : Utf16FromUtf8(text) + (terminated ? u"\0" : u"")) {
        bytes.push_back(static_cast<std::byte>(unit & 0xFF));
        bytes.push_back(static_cast<std::byte>(unit >> 8));
    }
    return bytes;
}

// The registry as a map of keys by place and path, each with its values; a
// key's parents exist while it does. Paths compare exactly.
class MemoryRegistry : public RegistryStore {
public:
    struct Value {
        RegType type;
        std::vector<std::byte> data;
        bool operator==(const Value&) const = default;
    };
    using KeyId = std::pair<RegRoot, std::string>;
    std::map<KeyId, std::map<std::string, Value>> keys;
    std::map<Key, KeyId> open;

    enum class Operation { Open, Enumerate, Query, Delete };
    // Asked first by every operation; a status other than 0 makes it fail.
    // It may change `keys`, as another program would.
    std::function<RegStatus(Operation, RegRoot, std::string_view path)> hook;

    void AddEntry(RegRoot root, std::string_view keyName, std::string_view displayName, std::string_view command)
    {
        auto& values = keys[{root, EntryKeyPath(keyName)}];
        if (!displayName.empty())
            values["DisplayName"] = {RegType::Sz, Utf16Bytes(displayName)};
        if (!command.empty())
            values["UninstallString"] = {RegType::Sz, Utf16Bytes(command)};
    }
    // The paths of the keys of `root` at `path` and below it.
    std::vector<std::string> Within(RegRoot root, std::string_view path) const
    {
        std::vector<std::string> found;
        for (const auto& [id, values] : keys) {
            if (id.first == root && id.second.starts_with(path) &&
                (id.second.size() == path.size() || id.second[path.size()] == '\\'))
                found.push_back(id.second);
        }
        return found;
    }

    RegStatus OpenKey(RegRoot root, std::string_view path, Key& key) override
    {
        key = 0;
        if (const RegStatus status = Ask(Operation::Open, {root, std::string(path)}); status != kRegSuccess)
            return status;
        if (Within(root, path).empty())
            return kRegFileNotFound;
        key = open.empty() ? 1 : open.rbegin()->first + 1;
        open[key] = {root, std::string(path)};
        return kRegSuccess;
    }
    RegStatus OpenForEnumeration(RegRoot root, std::string_view path, Key& key) override
    {
        return OpenKey(root, path, key);
    }
    RegStatus EnumerateSubkey(Key key, int index, std::string& name) override
    {
        const KeyId& id = open.at(key);
        if (const RegStatus status = Ask(Operation::Enumerate, id); status != kRegSuccess)
            return status;
        std::set<std::string> names;
        for (const std::string& below : Within(id.first, id.second)) {
            const std::string rest = below.substr(std::min(below.size(), id.second.size() + 1));
            if (!rest.empty())
                names.insert(rest.substr(0, rest.find('\\')));
        }
        if (index >= static_cast<int>(names.size()))
            return Within(id.first, id.second).empty() ? kRegKeyDeleted : kRegNoMoreItems;
        name = *std::next(names.begin(), index);
        return kRegSuccess;
    }
    RegStatus QueryValue(Key key, std::string_view valueName, RegType& type, std::vector<std::byte>& data) override
    {
        data.clear();
        const KeyId& id = open.at(key);
        if (const RegStatus status = Ask(Operation::Query, id); status != kRegSuccess)
            return status;
        const auto values = keys.find(id);
        if (values == keys.end() || !values->second.contains(std::string(valueName)))
            return Within(id.first, id.second).empty() ? kRegKeyDeleted : kRegFileNotFound;
        type = values->second.at(std::string(valueName)).type;
        data = values->second.at(std::string(valueName)).data;
        return kRegSuccess;
    }
    void CloseKey(Key key) override { open.erase(key); }
    RegStatus DeleteTree(RegRoot root, std::string_view path) override
    {
        if (const RegStatus status = Ask(Operation::Delete, {root, std::string(path)}); status != kRegSuccess)
            return status;
        const std::vector<std::string> doomed = Within(root, path);
        for (const std::string& gone : doomed)
            keys.erase({root, gone});
        return doomed.empty() ? kRegFileNotFound : kRegSuccess;
    }

private:
    RegStatus Ask(Operation operation, const KeyId& id) const { return hook ? hook(operation, id.first, id.second) : 0; }
};

#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "RegistryStore.h"
#include "Text.h"
#include "UninstallEntry.h"

// A text value's bytes as Windows stores them: UTF-16LE, NUL-terminated.
inline std::vector<std::byte> Utf16Bytes(std::string_view text, bool terminated = true)
{
    std::vector<std::byte> bytes;
    for (const char16_t unit : Utf16FromUtf8(text) + std::u16string(terminated ? 1 : 0, u'\0')) {
        bytes.push_back(static_cast<std::byte>(unit & 0xFF));
        bytes.push_back(static_cast<std::byte>(unit >> 8));
    }
    return bytes;
}

// The three places' Uninstall keys in memory: their entries by place and key
// name, each with its values, and the keys held open.
class MemoryRegistry : public RegistryStore {
public:
    struct Value {
        RegType type;
        std::vector<std::byte> data;
        bool operator==(const Value&) const = default;
    };
    using EntryId = std::pair<RegRoot, std::string>;  // an empty name: the Uninstall key
    std::map<EntryId, std::map<std::string, Value>> entries;
    // When each entry was last written; every AddEntry writes it anew.
    std::map<EntryId, KeyTime> written;
    std::map<Key, EntryId> open;

    enum class Operation { Open, Enumerate, Query, Delete };
    // Asked first by every operation; a status other than 0 makes it fail.
    // It may change `entries`, as another program would.
    std::function<RegStatus(Operation, RegRoot, std::string_view path)> hook;

    void AddEntry(RegRoot root, const std::string& name, std::string_view displayName, std::string_view command)
    {
        written[{root, name}] = ++clock_;
        auto& values = entries[{root, name}];
        if (!displayName.empty())
            values["DisplayName"] = {RegType::Sz, Utf16Bytes(displayName)};
        if (!command.empty())
            values["UninstallString"] = {RegType::Sz, Utf16Bytes(command)};
    }

    RegStatus OpenKey(RegRoot root, std::string_view path, Key& key) override
    {
        key = 0;
        if (const RegStatus status = Ask(Operation::Open, root, path); status != kRegSuccess)
            return status;
        const EntryId id{root, path == kUninstallKeyPath ? "" : NameOf(path)};
        if (id.second.empty() ? path != kUninstallKeyPath : !entries.contains(id))
            return kRegFileNotFound;
        key = open.empty() ? 1 : open.rbegin()->first + 1;
        open[key] = id;
        return kRegSuccess;
    }
    RegStatus OpenForEnumeration(RegRoot root, std::string_view path, Key& key) override { return OpenKey(root, path, key); }
    RegStatus EnumerateSubkey(Key key, int index, std::string& name, KeyTime& time) override
    {
        const RegRoot root = open.at(key).first;
        if (const RegStatus status = Ask(Operation::Enumerate, root, kUninstallKeyPath); status != kRegSuccess)
            return status;
        for (auto it = entries.lower_bound({root, ""}); it != entries.end() && it->first.first == root; ++it) {
            if (index-- == 0) {
                name = it->first.second;
                time = written[it->first];
                return kRegSuccess;
            }
        }
        return kRegNoMoreItems;
    }
    RegStatus QueryValue(Key key, std::string_view valueName, RegType& type, std::vector<std::byte>& data) override
    {
        data.clear();
        const EntryId& id = open.at(key);
        if (const RegStatus status = Ask(Operation::Query, id.first, EntryKeyPath(id.second)); status != kRegSuccess)
            return status;
        if (!entries.contains(id))
            return kRegKeyDeleted;
        const auto value = entries[id].find(std::string(valueName));
        if (value == entries[id].end())
            return kRegFileNotFound;
        type = value->second.type;
        data = value->second.data;
        return kRegSuccess;
    }
    RegStatus QueryWritten(Key key, KeyTime& time) override
    {
        const EntryId& id = open.at(key);
        if (const RegStatus status = Ask(Operation::Query, id.first, EntryKeyPath(id.second)); status != kRegSuccess)
            return status;
        if (!entries.contains(id))
            return kRegKeyDeleted;
        time = written[id];
        return kRegSuccess;
    }
    void CloseKey(Key key) override { open.erase(key); }
    RegStatus DeleteTree(RegRoot root, std::string_view path) override
    {
        if (const RegStatus status = Ask(Operation::Delete, root, path); status != kRegSuccess)
            return status;
        return entries.erase({root, NameOf(path)}) > 0 ? kRegSuccess : kRegFileNotFound;
    }

private:
    // The entry that `path` names; "" when it names no entry.
    static std::string NameOf(std::string_view path)
    {
        const std::string prefix = EntryKeyPath("");
        return path.starts_with(prefix) ? std::string(path.substr(prefix.size())) : std::string();
    }
    RegStatus Ask(Operation operation, RegRoot root, std::string_view path) const
    {
        return hook ? hook(operation, root, path) : kRegSuccess;
    }
    KeyTime clock_ = 0;
};

#pragma once

#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "RegistryStore.h"

// The registry as a map of keys, by place and path, each with its values; a
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

    enum class Operation { Open, Enumerate, Query, Delete };
    // Asked first by every operation on a key; a status other than 0 makes the
    // operation fail with it. It may change `keys`, as another program would.
    std::function<RegStatus(Operation, RegRoot, std::string_view path)> hook;

    void SetText(RegRoot root, const std::string& path, const std::string& name, std::string_view text,
                 RegType type = RegType::Sz);
    // An entry under the Uninstall key of `root`; an empty text leaves its value out.
    void AddEntry(RegRoot root, std::string_view keyName, std::string_view displayName, std::string_view command);
    bool Exists(RegRoot root, std::string_view path) const;
    int OpenKeys() const { return static_cast<int>(open_.size()); }

    RegStatus OpenForEnumeration(RegRoot root, std::string_view path, Key& key) override;
    RegStatus EnumerateSubkey(Key key, int index, std::string& name) override;
    RegStatus OpenKey(RegRoot root, std::string_view path, Key& key) override;
    RegStatus QueryValue(Key key, std::string_view valueName, RegType& type, std::vector<std::byte>& data) override;
    void CloseKey(Key key) override { open_.erase(key); }
    RegStatus DeleteTree(RegRoot root, std::string_view path) override;

private:
    RegStatus Ask(Operation operation, const KeyId& id) const;
    const KeyId* Opened(Key key) const;

    std::map<Key, KeyId> open_;
    Key next_ = 1;
};

// A text value's bytes as Windows stores them: UTF-16LE, NUL-terminated.
std::vector<std::byte> Utf16Bytes(std::string_view text, bool terminated = true);

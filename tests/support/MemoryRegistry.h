#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "RegistryStore.h"

// A registry held in memory: keys whose subkeys enumerate in the registry's
// sorted order, values as a type plus raw bytes (any type, any length, with or
// without a terminator), and a hook to make chosen operations fail.
// Paths are relative to the one root and compare without regard to case.
class MemoryRegistry : public RegistryStore {
public:
    enum class Operation { OpenForEnumeration, EnumerateSubkey, OpenKey, QueryValueSize, QueryValueData, DeleteTree };

    // Runs before every operation with the path of the key it works on and the
    // value name, if any. A non-zero status makes the operation fail with it.
    // The hook may also change the registry, as another program would.
    std::function<RegStatus(Operation, std::string_view keyPath, std::string_view valueName)> intercept;

    MemoryRegistry();
    ~MemoryRegistry() override;

    void CreateKey(std::string_view path);
    void SetValue(std::string_view keyPath, std::string_view name, RegType type, std::vector<std::byte> data);
    // A text value as Windows stores it: UTF-16LE with its terminating NUL.
    void SetString(std::string_view keyPath, std::string_view name, std::string_view text,
                   RegType type = RegType::Sz);
    // An entry under the Uninstall key with the given values ("" leaves one out).
    void AddEntry(std::string_view keyName, std::string_view displayName, std::string_view uninstallString);
    // Removes one value, as another program may between two reads of it.
    void DeleteValue(std::string_view keyPath, std::string_view name);

    bool KeyExists(std::string_view path) const;
    // Every key and value, one per line, in enumeration order.
    std::string Export() const;
    // The path of every key below the root, each parent before its subkeys.
    std::vector<std::string> KeyPaths() const;
    int OpenKeyCount() const { return static_cast<int>(openKeys_.size()); }
    int CallCount(Operation operation) const;

    RegStatus OpenForEnumeration(RegRoot root, std::string_view path, Key& key) override;
    RegStatus EnumerateSubkey(Key key, int index, std::string& name) override;
    RegStatus OpenKey(RegRoot root, std::string_view path, Key& key) override;
    RegStatus QueryValueSize(Key key, std::string_view valueName, RegType& type, std::uint32_t& byteCount) override;
    RegStatus QueryValueData(Key key, std::string_view valueName, std::span<std::byte> buffer,
                             std::uint32_t& byteCount) override;
    void CloseKey(Key key) override;
    RegStatus DeleteTree(RegRoot root, std::string_view path) override;

private:
    struct NameLess {
        bool operator()(const std::string& a, const std::string& b) const;
    };
    struct Value {
        RegType type;
        std::vector<std::byte> data;
    };
    struct Node {
        std::map<std::string, Value, NameLess> values;
        std::map<std::string, std::unique_ptr<Node>, NameLess> subkeys;
    };

    Node* Find(std::string_view path) const;
    Node& FindOrCreate(std::string_view path);
    RegStatus Intercept(Operation operation, std::string_view keyPath, std::string_view valueName = {});
    RegStatus OpenAny(Operation operation, std::string_view path, Key& key);
    RegStatus ResolveOpen(Key key, Node*& node, std::string*& path);
    static void ExportNode(const Node& node, const std::string& path, std::string& out);
    static void CollectPaths(const Node& node, const std::string& path, std::vector<std::string>& out);

    // Enumeration walks a sorted map; remembering where the last step ended
    // keeps a pass over a large key linear. Any change forgets it.
    struct EnumerationCursor {
        const Node* node = nullptr;
        int index = -1;
        std::map<std::string, std::unique_ptr<Node>, NameLess>::const_iterator at;
        unsigned generation = 0;
    };

    std::unique_ptr<Node> root_;
    unsigned generation_ = 0;
    EnumerationCursor cursor_;
    std::map<Key, std::string> openKeys_;
    Key nextKey_ = 1;
    std::map<Operation, int> calls_;
};

// The bytes of `text` as a Windows text value: UTF-16LE, NUL-terminated.
std::vector<std::byte> Utf16Bytes(std::string_view text, bool terminated = true);

#include "MemoryRegistry.h"

#include <algorithm>
#include <cstring>

#include "Text.h"
#include "UninstallEntry.h"

namespace {

constexpr RegStatus kInvalidHandle = 6;

char UpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// The components of a backslash-separated path; empty ones (a trailing or a
// doubled backslash) name nothing, as in the registry.
std::vector<std::string> Components(std::string_view path)
{
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find('\\', start);
        if (end == std::string_view::npos)
            end = path.size();
        if (end > start)
            parts.emplace_back(path.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

std::string Hex(const std::vector<std::byte>& data)
{
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (std::byte b : data) {
        out += digits[std::to_integer<int>(b) >> 4];
        out += digits[std::to_integer<int>(b) & 15];
    }
    return out;
}

}  // namespace

// The registry orders names by their upper-case form.
bool MemoryRegistry::NameLess::operator()(const std::string& a, const std::string& b) const
{
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return static_cast<unsigned char>(UpperAscii(x)) < static_cast<unsigned char>(UpperAscii(y));
    });
}

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

MemoryRegistry::MemoryRegistry() : root_(std::make_unique<Node>()) {}
MemoryRegistry::~MemoryRegistry() = default;

MemoryRegistry::Node* MemoryRegistry::Find(std::string_view path) const
{
    Node* node = root_.get();
    for (const std::string& part : Components(path)) {
        auto it = node->subkeys.find(part);
        if (it == node->subkeys.end())
            return nullptr;
        node = it->second.get();
    }
    return node;
}

MemoryRegistry::Node& MemoryRegistry::FindOrCreate(std::string_view path)
{
    ++generation_;
    Node* node = root_.get();
    for (const std::string& part : Components(path)) {
        std::unique_ptr<Node>& child = node->subkeys[part];
        if (!child)
            child = std::make_unique<Node>();
        node = child.get();
    }
    return *node;
}

void MemoryRegistry::CreateKey(std::string_view path) { FindOrCreate(path); }

void MemoryRegistry::SetValue(std::string_view keyPath, std::string_view name, RegType type,
                              std::vector<std::byte> data)
{
    FindOrCreate(keyPath).values[std::string(name)] = Value{type, std::move(data)};
}

void MemoryRegistry::SetString(std::string_view keyPath, std::string_view name, std::string_view text,
                               RegType type)
{
    SetValue(keyPath, name, type, Utf16Bytes(text));
}

void MemoryRegistry::AddEntry(std::string_view keyName, std::string_view displayName,
                              std::string_view uninstallString)
{
    const std::string path = EntryKeyPath(keyName);
    CreateKey(path);
    if (!displayName.empty())
        SetString(path, "DisplayName", displayName);
    if (!uninstallString.empty())
        SetString(path, "UninstallString", uninstallString);
}

void MemoryRegistry::DeleteValue(std::string_view keyPath, std::string_view name)
{
    if (Node* node = Find(keyPath))
        node->values.erase(std::string(name));
}

bool MemoryRegistry::KeyExists(std::string_view path) const { return Find(path) != nullptr; }

int MemoryRegistry::CallCount(Operation operation) const
{
    auto it = calls_.find(operation);
    return it == calls_.end() ? 0 : it->second;
}

void MemoryRegistry::ExportNode(const Node& node, const std::string& path, std::string& out)
{
    out += "[" + path + "]\n";
    for (const auto& [name, value] : node.values)
        out += "  " + name + " = " + std::to_string(static_cast<std::uint32_t>(value.type)) + ":" +
               Hex(value.data) + "\n";
    for (const auto& [name, child] : node.subkeys)
        ExportNode(*child, path.empty() ? name : path + "\\" + name, out);
}

std::string MemoryRegistry::Export() const
{
    std::string out;
    ExportNode(*root_, "", out);
    return out;
}

void MemoryRegistry::CollectPaths(const Node& node, const std::string& path, std::vector<std::string>& out)
{
    for (const auto& [name, child] : node.subkeys) {
        const std::string childPath = path.empty() ? name : path + "\\" + name;
        out.push_back(childPath);
        CollectPaths(*child, childPath, out);
    }
}

std::vector<std::string> MemoryRegistry::KeyPaths() const
{
    std::vector<std::string> paths;
    CollectPaths(*root_, "", paths);
    return paths;
}

RegStatus MemoryRegistry::Intercept(Operation operation, std::string_view keyPath, std::string_view valueName)
{
    ++calls_[operation];
    return intercept ? intercept(operation, keyPath, valueName) : kRegSuccess;
}

RegStatus MemoryRegistry::OpenAny(Operation operation, std::string_view path, Key& key)
{
    key = 0;
    if (RegStatus status = Intercept(operation, path); status != kRegSuccess)
        return status;
    if (!Find(path))
        return kRegFileNotFound;
    key = nextKey_++;
    openKeys_[key] = std::string(path);
    return kRegSuccess;
}

RegStatus MemoryRegistry::ResolveOpen(Key key, Node*& node, std::string*& path)
{
    auto it = openKeys_.find(key);
    if (it == openKeys_.end())
        return kInvalidHandle;
    path = &it->second;
    node = Find(*path);
    return node ? kRegSuccess : kRegKeyDeleted;
}

RegStatus MemoryRegistry::OpenForEnumeration(RegRoot, std::string_view path, Key& key)
{
    return OpenAny(Operation::OpenForEnumeration, path, key);
}

RegStatus MemoryRegistry::OpenKey(RegRoot, std::string_view path, Key& key)
{
    return OpenAny(Operation::OpenKey, path, key);
}

RegStatus MemoryRegistry::EnumerateSubkey(Key key, int index, std::string& name)
{
    Node* node = nullptr;
    std::string* path = nullptr;
    if (RegStatus status = ResolveOpen(key, node, path); status != kRegSuccess)
        return status;
    if (RegStatus status = Intercept(Operation::EnumerateSubkey, *path); status != kRegSuccess)
        return status;
    node = Find(*path);  // the hook may have changed the registry
    if (!node)
        return kRegKeyDeleted;
    if (index < 0 || static_cast<size_t>(index) >= node->subkeys.size())
        return kRegNoMoreItems;
    const bool continues = cursor_.node == node && cursor_.generation == generation_ && cursor_.index + 1 == index;
    auto at = continues ? std::next(cursor_.at) : std::next(node->subkeys.begin(), index);
    cursor_ = {node, index, at, generation_};
    const std::string& found = at->first;
    if (Utf16FromUtf8(found).size() >= static_cast<size_t>(kSubkeyNameBufferLength))
        return kRegMoreData;
    name = found;
    return kRegSuccess;
}

RegStatus MemoryRegistry::QueryValueSize(Key key, std::string_view valueName, RegType& type,
                                         std::uint32_t& byteCount)
{
    Node* node = nullptr;
    std::string* path = nullptr;
    if (RegStatus status = ResolveOpen(key, node, path); status != kRegSuccess)
        return status;
    if (RegStatus status = Intercept(Operation::QueryValueSize, *path, valueName); status != kRegSuccess)
        return status;
    node = Find(*path);
    if (!node)
        return kRegKeyDeleted;
    auto it = node->values.find(std::string(valueName));
    if (it == node->values.end())
        return kRegFileNotFound;
    type = it->second.type;
    byteCount = static_cast<std::uint32_t>(it->second.data.size());
    return kRegSuccess;
}

RegStatus MemoryRegistry::QueryValueData(Key key, std::string_view valueName, std::span<std::byte> buffer,
                                         std::uint32_t& byteCount)
{
    Node* node = nullptr;
    std::string* path = nullptr;
    if (RegStatus status = ResolveOpen(key, node, path); status != kRegSuccess)
        return status;
    if (RegStatus status = Intercept(Operation::QueryValueData, *path, valueName); status != kRegSuccess)
        return status;
    node = Find(*path);
    if (!node)
        return kRegKeyDeleted;
    auto it = node->values.find(std::string(valueName));
    if (it == node->values.end())
        return kRegFileNotFound;
    const std::vector<std::byte>& data = it->second.data;
    byteCount = static_cast<std::uint32_t>(data.size());
    if (data.size() > buffer.size())
        return kRegMoreData;
    std::copy(data.begin(), data.end(), buffer.begin());
    return kRegSuccess;
}

void MemoryRegistry::CloseKey(Key key) { openKeys_.erase(key); }

RegStatus MemoryRegistry::DeleteTree(RegRoot, std::string_view path)
{
    if (RegStatus status = Intercept(Operation::DeleteTree, path); status != kRegSuccess)
        return status;
    std::vector<std::string> parts = Components(path);
    if (parts.empty())
        return kRegAccessDenied;  // the root itself cannot go
    ++generation_;
    const std::string last = parts.back();
    parts.pop_back();
    Node* parent = root_.get();
    for (const std::string& part : parts) {
        auto it = parent->subkeys.find(part);
        if (it == parent->subkeys.end())
            return kRegFileNotFound;
        parent = it->second.get();
    }
    return parent->subkeys.erase(last) ? kRegSuccess : kRegFileNotFound;
}

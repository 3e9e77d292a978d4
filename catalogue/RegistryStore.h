#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The registry as the catalogue and the actions see it: exactly the operations
// they need, with the platform's own statuses. 0 is success; every other
// status is a failure, and callers treat all failures alike.
using RegStatus = long;

inline constexpr RegStatus kRegSuccess = 0;
inline constexpr RegStatus kRegFileNotFound = 2;
inline constexpr RegStatus kRegAccessDenied = 5;
inline constexpr RegStatus kRegMoreData = 234;
inline constexpr RegStatus kRegNoMoreItems = 259;
inline constexpr RegStatus kRegKeyDeleted = 1018;

// The places Windows keeps its list of installed programs in. On 64-bit
// Windows the machine's registry has two views: 64-bit programs write to one,
// 32-bit installers to the other (Software\WOW6432Node).
enum class RegRoot {
    LocalMachine,    // HKEY_LOCAL_MACHINE, the 64-bit view
    LocalMachine32,  // HKEY_LOCAL_MACHINE, the 32-bit view
    CurrentUser,     // HKEY_CURRENT_USER
};

// Value types keep the registry's numbers; any other number may arrive too.
enum class RegType : std::uint32_t {
    None = 0,
    Sz = 1,
    ExpandSz = 2,
    Binary = 3,
    Dword = 4,
    MultiSz = 7,
    Qword = 11,
};

// When a key was last written: a FILETIME's count of 100 ns ticks. Windows
// sets it whenever a value or a subkey of the key changes.
using KeyTime = std::uint64_t;

// A subkey name fits this many UTF-16 units with its terminator: the
// registry's longest, 255 characters, included.
inline constexpr int kSubkeyNameBufferLength = 256;

// Names and paths are UTF-8. Value data is the registry's raw bytes: a text
// value is UTF-16LE, possibly without its terminator, possibly odd in length.
class RegistryStore {
public:
    using Key = std::uintptr_t;  // 0 stands for no key

    virtual ~RegistryStore() = default;

    // Opens `path` under `root` for enumerating its subkeys. On failure `key` is 0.
    virtual RegStatus OpenForEnumeration(RegRoot root, std::string_view path, Key& key) = 0;

    // The name of the subkey at `index` (0, 1, 2, ...) and when it was last
    // written. kRegNoMoreItems past the last one; `name` and `written` are
    // only meaningful on success.
    virtual RegStatus EnumerateSubkey(Key key, int index, std::string& name, KeyTime& written) = 0;

    // Opens `path` under `root` for reading its values. On failure `key` is 0.
    virtual RegStatus OpenKey(RegRoot root, std::string_view path, Key& key) = 0;

    // The type and the whole data of a value, both from one state of it. On
    // failure `data` is empty.
    virtual RegStatus QueryValue(Key key, std::string_view valueName, RegType& type,
                                 std::vector<std::byte>& data) = 0;

    // When the open key was last written.
    virtual RegStatus QueryWritten(Key key, KeyTime& written) = 0;

    // Closing key 0 does nothing.
    virtual void CloseKey(Key key) = 0;

    // Deletes `path` under `root` with all its values and every key below it.
    // A link, at `path` or below it, goes as a link: its target stays.
    virtual RegStatus DeleteTree(RegRoot root, std::string_view path) = 0;
};

// Owns one open key of a store for the length of one operation.
class OpenedKey {
public:
    explicit OpenedKey(RegistryStore& store) : store_(store) {}
    ~OpenedKey() { store_.CloseKey(key_); }
    OpenedKey(const OpenedKey&) = delete;
    OpenedKey& operator=(const OpenedKey&) = delete;

    RegStatus Open(RegRoot root, std::string_view path) { return Reopen(&RegistryStore::OpenKey, root, path); }
    RegStatus OpenForEnumeration(RegRoot root, std::string_view path)
    {
        return Reopen(&RegistryStore::OpenForEnumeration, root, path);
    }

    RegistryStore& Store() const { return store_; }
    RegistryStore::Key Get() const { return key_; }

private:
    using OpenOperation = RegStatus (RegistryStore::*)(RegRoot, std::string_view, RegistryStore::Key&);
    RegStatus Reopen(OpenOperation open, RegRoot root, std::string_view path)
    {
        if (key_ != 0)
            store_.CloseKey(std::exchange(key_, 0));
        return (store_.*open)(root, path, key_);
    }

    RegistryStore& store_;
    RegistryStore::Key key_ = 0;
};

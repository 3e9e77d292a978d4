#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

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

enum class RegRoot { LocalMachine };

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

// A subkey name must fit this many UTF-16 units, its terminator included;
// a longer name makes the enumeration at that index fail with kRegMoreData.
inline constexpr int kSubkeyNameBufferLength = 255;

// Names and paths are UTF-8. Value data is the registry's raw bytes: a text
// value is UTF-16LE, possibly without its terminator, possibly odd in length.
class RegistryStore {
public:
    using Key = std::uintptr_t;  // 0 stands for no key

    virtual ~RegistryStore() = default;

    // Opens `path` under `root` for enumerating its subkeys. On failure `key` is 0.
    virtual RegStatus OpenForEnumeration(RegRoot root, std::string_view path, Key& key) = 0;

    // The name of the subkey at `index` (0, 1, 2, ...). kRegNoMoreItems past
    // the last one; `name` is only meaningful on success.
    virtual RegStatus EnumerateSubkey(Key key, int index, std::string& name) = 0;

    // Opens `path` under `root` for reading its values. On failure `key` is 0.
    virtual RegStatus OpenKey(RegRoot root, std::string_view path, Key& key) = 0;

    // The type of a value and the number of bytes its data holds.
    virtual RegStatus QueryValueSize(Key key, std::string_view valueName, RegType& type,
                                     std::uint32_t& byteCount) = 0;

    // Copies a value's data into `buffer`. On success `byteCount` is the number
    // of bytes stored; kRegMoreData when the data no longer fits.
    virtual RegStatus QueryValueData(Key key, std::string_view valueName, std::span<std::byte> buffer,
                                     std::uint32_t& byteCount) = 0;

    // Closing key 0 does nothing.
    virtual void CloseKey(Key key) = 0;

    // Deletes `path` under `root` with all its values and every key below it.
    virtual RegStatus DeleteTree(RegRoot root, std::string_view path) = 0;
};

// Owns one open key of a store for the length of one operation.
class OpenedKey {
public:
    explicit OpenedKey(RegistryStore& store) : store_(store) {}
    ~OpenedKey() { store_.CloseKey(key_); }
    OpenedKey(const OpenedKey&) = delete;
    OpenedKey& operator=(const OpenedKey&) = delete;

    RegistryStore::Key& Out() { return key_; }
    RegistryStore::Key Get() const { return key_; }

private:
    RegistryStore& store_;
    RegistryStore::Key key_ = 0;
};

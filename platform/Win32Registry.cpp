#include "Win32Registry.h"

#include <windows.h>

#include <memory>
#include <vector>

#include "WinText.h"

namespace {

HKEY RootKey(RegRoot root)
{
    switch (root) {
    case RegRoot::LocalMachine:
    case RegRoot::LocalMachine32:
        return HKEY_LOCAL_MACHINE;
    case RegRoot::CurrentUser:
        return HKEY_CURRENT_USER;
    }
    return nullptr;
}

REGSAM View(RegRoot root)
{
    switch (root) {
    case RegRoot::LocalMachine:
        return KEY_WOW64_64KEY;
    case RegRoot::LocalMachine32:
        return KEY_WOW64_32KEY;
    case RegRoot::CurrentUser:
        break;
    }
    return 0;
}

KeyTime Ticks(const FILETIME& time) { return (KeyTime{time.dwHighDateTime} << 32) | time.dwLowDateTime; }

HKEY AsHkey(RegistryStore::Key key) { return reinterpret_cast<HKEY>(key); }

// Windows takes names as NUL-terminated strings: a name holding a NUL would
// silently name a different key or value, so it names none.
bool HasNul(std::string_view text) { return text.find('\0') != std::string_view::npos; }

RegStatus Open(RegRoot root, std::string_view path, REGSAM access, RegistryStore::Key& key)
{
    key = 0;
    if (HasNul(path))
        return ERROR_INVALID_PARAMETER;
    HKEY opened = nullptr;
    const LSTATUS status = RegOpenKeyExW(RootKey(root), WideFromUtf8(path).c_str(), 0, access | View(root), &opened);
    if (status == ERROR_SUCCESS)
        key = reinterpret_cast<RegistryStore::Key>(opened);
    return status;
}

// Most texts of an entry fit at the first read.
constexpr size_t kFirstReadBytes = 512;

struct KeyCloser {
    void operator()(HKEY key) const { RegCloseKey(key); }
};
using OwnedKey = std::unique_ptr<HKEY__, KeyCloser>;

// Opens a link as itself, never the key it names, so that deleting what was
// opened removes the link and leaves its target alone. On failure `key` is empty.
LSTATUS OpenForDelete(HKEY parent, const wchar_t* name, REGSAM view, OwnedKey& key)
{
    HKEY opened = nullptr;
    const LSTATUS status =
        RegOpenKeyExW(parent, name, REG_OPTION_OPEN_LINK, KEY_ENUMERATE_SUB_KEYS | DELETE | view, &opened);
    key.reset(status == ERROR_SUCCESS ? opened : nullptr);
    return status;
}

template <typename Function>
Function NtdllFunction(const char* name)
{
    // ntdll is in every process before its first instruction: looking its
    // calls up loads no DLL, and every Windows and Wine exports these two.
    const FARPROC found = GetProcAddress(GetModuleHandleW(L"ntdll.dll"), name);
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(found));
}

// RegDeleteKey opens its key again by name, and Wine's follows a link to its
// target there; NtDeleteKey deletes the very key of the handle.
LSTATUS DeleteOpenedKey(HKEY key)
{
    using NtDeleteKeyFunction = LONG(NTAPI*)(HANDLE);
    using RtlNtStatusToDosErrorFunction = ULONG(NTAPI*)(LONG);
    static const auto deleteKey = NtdllFunction<NtDeleteKeyFunction>("NtDeleteKey");
    static const auto errorOf = NtdllFunction<RtlNtStatusToDosErrorFunction>("RtlNtStatusToDosError");
    // STATUS_SUCCESS becomes ERROR_SUCCESS like any other status.
    return static_cast<LSTATUS>(errorOf(deleteKey(key)));
}

}  // namespace

RegStatus Win32Registry::OpenForEnumeration(RegRoot root, std::string_view path, Key& key)
{
    return Open(root, path, KEY_ENUMERATE_SUB_KEYS, key);
}

RegStatus Win32Registry::EnumerateSubkey(Key key, int index, std::string& name, KeyTime& written)
{
    wchar_t buffer[kSubkeyNameBufferLength];
    DWORD length = kSubkeyNameBufferLength;
    FILETIME time{};
    const LSTATUS status =
        RegEnumKeyExW(AsHkey(key), static_cast<DWORD>(index), buffer, &length, nullptr, nullptr, nullptr, &time);
    if (status == ERROR_SUCCESS) {
        name = Utf8FromWide(std::wstring_view(buffer, length));
        written = Ticks(time);
    }
    return status;
}

RegStatus Win32Registry::QueryWritten(Key key, KeyTime& written)
{
    FILETIME time{};
    const LSTATUS status = RegQueryInfoKeyW(AsHkey(key), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                            nullptr, nullptr, nullptr, &time);
    if (status == ERROR_SUCCESS)
        written = Ticks(time);
    return status;
}

RegStatus Win32Registry::OpenKey(RegRoot root, std::string_view path, Key& key)
{
    return Open(root, path, KEY_QUERY_VALUE, key);
}

RegStatus Win32Registry::QueryValue(Key key, std::string_view valueName, RegType& type, std::vector<std::byte>& data)
{
    data.clear();
    if (HasNul(valueName))
        return ERROR_INVALID_PARAMETER;
    const std::wstring name = WideFromUtf8(valueName);
    // Without a buffer Windows would answer with the size alone, so there is
    // always one; while the value outgrows it, ask again with the size it has now.
    data.resize(kFirstReadBytes);
    for (;;) {
        DWORD valueType = 0;
        DWORD size = static_cast<DWORD>(data.size());
        const LSTATUS status = RegQueryValueExW(AsHkey(key), name.c_str(), nullptr, &valueType,
                                                reinterpret_cast<BYTE*>(data.data()), &size);
        if (status == ERROR_MORE_DATA && size > data.size()) {
            data.resize(size);
            continue;
        }
        type = static_cast<RegType>(valueType);
        data.resize(status == ERROR_SUCCESS ? size : 0);
        return status;
    }
}

void Win32Registry::CloseKey(Key key)
{
    if (key != 0)
        RegCloseKey(AsHkey(key));
}

RegStatus Win32Registry::DeleteTree(RegRoot root, std::string_view path)
{
    // A path ending in a separator would name its parent.
    if (path.empty() || path.back() == '\\' || HasNul(path))
        return ERROR_INVALID_PARAMETER;
    std::vector<OwnedKey> tree(1);
    if (const LSTATUS status = OpenForDelete(RootKey(root), WideFromUtf8(path).c_str(), View(root), tree[0]);
        status != ERROR_SUCCESS)
        return status;
    // Every key is open before the first one goes, so a key that cannot be
    // opened keeps the whole tree. Each is listed after the key above it,
    // and goes before it. A link opened as itself lists none of its target's keys.
    for (size_t index = 0; index < tree.size(); ++index) {
        const HKEY parent = tree[index].get();
        for (DWORD subkey = 0;; ++subkey) {
            wchar_t name[kSubkeyNameBufferLength];
            DWORD length = kSubkeyNameBufferLength;
            LSTATUS status = RegEnumKeyExW(parent, subkey, name, &length, nullptr, nullptr, nullptr, nullptr);
            if (status == ERROR_NO_MORE_ITEMS)
                break;
            // A name holding a NUL cannot be named through Win32: it would
            // open another key, or none.
            if (status == ERROR_SUCCESS && std::wstring_view(name, length).find(L'\0') != std::wstring_view::npos)
                status = ERROR_INVALID_NAME;
            // Below the entry's key the two views are one: no view flag.
            if (status == ERROR_SUCCESS)
                status = OpenForDelete(parent, name, 0, tree.emplace_back());
            // A key gone since it was listed must not read as the entry gone.
            if (status != ERROR_SUCCESS)
                return status == ERROR_FILE_NOT_FOUND ? ERROR_KEY_DELETED : status;
        }
    }
    for (size_t index = tree.size(); index-- > 0;) {
        if (const LSTATUS status = DeleteOpenedKey(tree[index].get()); status != ERROR_SUCCESS)
            return status;
    }
    return ERROR_SUCCESS;
}

#include "Win32Registry.h"

#include <windows.h>
#include <shlwapi.h>

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
    // SHDeleteKey knows no registry views: it deletes below a parent key
    // that was opened in the place's view.
    const size_t separator = path.rfind('\\');
    const std::string_view parentPath = separator == std::string_view::npos ? "" : path.substr(0, separator);
    const std::string_view name = path.substr(separator + 1);
    // An empty name would have SHDeleteKey delete the parent itself.
    if (name.empty() || HasNul(path))
        return ERROR_INVALID_PARAMETER;
    OpenedKey parent(*this);
    if (const RegStatus status = parent.Open(root, parentPath); status != ERROR_SUCCESS)
        return status;
    return SHDeleteKeyW(AsHkey(parent.Get()), WideFromUtf8(name).c_str());
}

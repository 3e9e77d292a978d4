#include "Win32Registry.h"

#include <windows.h>
#include <shlwapi.h>

#include "WinText.h"

namespace {

HKEY RootKey(RegRoot root)
{
    switch (root) {
    case RegRoot::LocalMachine:
        return HKEY_LOCAL_MACHINE;
    }
    return nullptr;
}

HKEY AsHkey(RegistryStore::Key key) { return reinterpret_cast<HKEY>(key); }
RegistryStore::Key AsKey(HKEY key) { return reinterpret_cast<RegistryStore::Key>(key); }

// Windows takes names as NUL-terminated strings: a name holding a NUL would
// silently name a different key or value, so it names none.
bool HasNul(std::string_view text) { return text.find('\0') != std::string_view::npos; }

}  // namespace

RegStatus Win32Registry::OpenForEnumeration(RegRoot root, std::string_view path, Key& key)
{
    key = 0;
    if (HasNul(path))
        return ERROR_INVALID_PARAMETER;
    HKEY opened = nullptr;
    const LSTATUS status =
        RegOpenKeyExW(RootKey(root), WideFromUtf8(path).c_str(), 0, KEY_ENUMERATE_SUB_KEYS, &opened);
    if (status == ERROR_SUCCESS)
        key = AsKey(opened);
    return status;
}

RegStatus Win32Registry::EnumerateSubkey(Key key, int index, std::string& name)
{
    wchar_t nameBuffer[kSubkeyNameBufferLength];
    wchar_t classBuffer[kSubkeyNameBufferLength];
    DWORD nameLength = kSubkeyNameBufferLength;
    DWORD classLength = kSubkeyNameBufferLength;
    FILETIME lastWrite{};
    const LSTATUS status = RegEnumKeyExW(AsHkey(key), static_cast<DWORD>(index), nameBuffer, &nameLength,
                                         nullptr, classBuffer, &classLength, &lastWrite);
    if (status == ERROR_SUCCESS)
        name = Utf8FromWide(std::wstring_view(nameBuffer, nameLength));
    return status;
}

RegStatus Win32Registry::OpenKey(RegRoot root, std::string_view path, Key& key)
{
    key = 0;
    if (HasNul(path))
        return ERROR_INVALID_PARAMETER;
    HKEY opened = nullptr;
    const LSTATUS status = RegOpenKeyW(RootKey(root), WideFromUtf8(path).c_str(), &opened);
    if (status == ERROR_SUCCESS)
        key = AsKey(opened);
    return status;
}

RegStatus Win32Registry::QueryValueSize(Key key, std::string_view valueName, RegType& type,
                                        std::uint32_t& byteCount)
{
    if (HasNul(valueName))
        return ERROR_INVALID_PARAMETER;
    DWORD valueType = 0;
    DWORD size = 0;
    const LSTATUS status =
        RegQueryValueExW(AsHkey(key), WideFromUtf8(valueName).c_str(), nullptr, &valueType, nullptr, &size);
    type = static_cast<RegType>(valueType);
    byteCount = size;
    return status;
}

RegStatus Win32Registry::QueryValueData(Key key, std::string_view valueName, std::span<std::byte> buffer,
                                        std::uint32_t& byteCount)
{
    if (HasNul(valueName))
        return ERROR_INVALID_PARAMETER;
    // Without a buffer Windows would answer the size question instead.
    std::byte spare{};
    BYTE* data = reinterpret_cast<BYTE*>(buffer.empty() ? &spare : buffer.data());
    DWORD valueType = 0;
    DWORD size = static_cast<DWORD>(buffer.size());
    const LSTATUS status =
        RegQueryValueExW(AsHkey(key), WideFromUtf8(valueName).c_str(), nullptr, &valueType, data, &size);
    byteCount = size;
    return status;
}

void Win32Registry::CloseKey(Key key)
{
    if (key != 0)
        RegCloseKey(AsHkey(key));
}

RegStatus Win32Registry::DeleteTree(RegRoot root, std::string_view path)
{
    if (HasNul(path))
        return ERROR_INVALID_PARAMETER;
    return SHDeleteKeyW(RootKey(root), WideFromUtf8(path).c_str());
}

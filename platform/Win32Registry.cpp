#include "Win32Registry.h"

#include <algorithm>
#include <utility>

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
    Forget();
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
    Forget();
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
    Forget();
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
    Forget();
    if (HasNul(valueName))
        return ERROR_INVALID_PARAMETER;
    std::wstring name = WideFromUtf8(valueName);
    firstRead_.data.resize(kFirstReadBytes);
    DWORD valueType = 0;
    DWORD size = static_cast<DWORD>(firstRead_.data.size());
    LSTATUS status = RegQueryValueExW(AsHkey(key), name.c_str(), nullptr, &valueType,
                                      reinterpret_cast<BYTE*>(firstRead_.data.data()), &size);
    if (status == ERROR_SUCCESS) {
        firstRead_.key = key;
        firstRead_.valueName = std::move(name);
        firstRead_.byteCount = size;
    } else if (status == ERROR_MORE_DATA) {
        // Too long for the first read: `size` is what the value needs, as the
        // size query alone would have said; its data query asks again.
        status = ERROR_SUCCESS;
    } else {
        size = 0;
    }
    type = static_cast<RegType>(valueType);
    byteCount = size;
    return status;
}

RegStatus Win32Registry::QueryValueData(Key key, std::string_view valueName, std::span<std::byte> buffer,
                                        std::uint32_t& byteCount)
{
    const Key keptKey = std::exchange(firstRead_.key, 0);
    if (HasNul(valueName))
        return ERROR_INVALID_PARAMETER;
    const std::wstring name = WideFromUtf8(valueName);
    if (keptKey != 0 && keptKey == key && firstRead_.valueName == name) {
        byteCount = firstRead_.byteCount;
        // A buffer too small gets what the registry would give it: nothing.
        if (firstRead_.byteCount > buffer.size())
            return ERROR_MORE_DATA;
        std::copy_n(firstRead_.data.begin(), firstRead_.byteCount, buffer.begin());
        return ERROR_SUCCESS;
    }
    // Without a buffer Windows would answer the size question instead.
    std::byte spare{};
    BYTE* data = reinterpret_cast<BYTE*>(buffer.empty() ? &spare : buffer.data());
    DWORD valueType = 0;
    DWORD size = static_cast<DWORD>(buffer.size());
    const LSTATUS status = RegQueryValueExW(AsHkey(key), name.c_str(), nullptr, &valueType, data, &size);
    byteCount = size;
    return status;
}

void Win32Registry::CloseKey(Key key)
{
    Forget();
    if (key != 0)
        RegCloseKey(AsHkey(key));
}

RegStatus Win32Registry::DeleteTree(RegRoot root, std::string_view path)
{
    Forget();
    if (HasNul(path))
        return ERROR_INVALID_PARAMETER;
    return SHDeleteKeyW(RootKey(root), WideFromUtf8(path).c_str());
}

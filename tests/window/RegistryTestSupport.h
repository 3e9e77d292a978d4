#pragma once

#include <functional>
#include <string>
#include <vector>

#include <windows.h>

#include <gtest/gtest.h>

#include "UninstallEntry.h"
#include "WinText.h"

// Whole-registry views for tests that must show an action touched nothing
// but what it should.

// Every key and value below `path`, one per line, for comparing whole trees.
inline void ExportTree(HKEY root, const std::wstring& path, std::wstring& out)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return;
    out += L"[" + path + L"]\n";
    std::vector<BYTE> data(1 << 16);
    for (DWORD index = 0;; ++index) {
        wchar_t name[16384];
        DWORD nameLength = 16384;
        DWORD type = 0;
        DWORD size = static_cast<DWORD>(data.size());
        const LSTATUS status = RegEnumValueW(key, index, name, &nameLength, nullptr, &type, data.data(), &size);
        if (status == ERROR_MORE_DATA) {
            data.resize(size);
            --index;
            continue;
        }
        if (status != ERROR_SUCCESS)
            break;
        out += std::wstring(name, nameLength) + L"=" + std::to_wstring(type) + L":" +
               std::to_wstring(size) + L":" + std::to_wstring(std::hash<std::string>{}(
                   std::string(reinterpret_cast<const char*>(data.data()), size))) + L"\n";
    }
    std::vector<std::wstring> subkeys;
    for (DWORD index = 0;; ++index) {
        wchar_t name[256];
        DWORD nameLength = 256;
        if (RegEnumKeyExW(key, index, name, &nameLength, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        subkeys.emplace_back(name, nameLength);
    }
    RegCloseKey(key);
    for (const std::wstring& subkey : subkeys)
        ExportTree(root, path.empty() ? subkey : path + L"\\" + subkey, out);
}

inline std::wstring ExportLocalMachine()
{
    std::wstring out;
    ExportTree(HKEY_LOCAL_MACHINE, L"", out);
    return out;
}

// The export without the lines of the trees of the named entries.
inline std::wstring Without(const std::wstring& exported, const std::vector<std::string>& keyNames)
{
    std::wstring kept;
    bool skipping = false;
    for (size_t start = 0; start < exported.size();) {
        const size_t end = exported.find(L'\n', start) + 1;
        const std::wstring line = exported.substr(start, end - start);
        if (line.starts_with(L"[")) {
            skipping = false;
            for (const std::string& keyName : keyNames) {
                const std::wstring path = L"[" + WideFromUtf8(EntryKeyPath(keyName));
                if (line.starts_with(path + L"]") || line.starts_with(path + L"\\"))
                    skipping = true;
            }
        }
        if (!skipping)
            kept += line;
        start = end;
    }
    return kept;
}

// Raw value data, as an installer or another tool could have left it.
inline void WriteValue(const std::string& keyPath, const wchar_t* name, DWORD type, const void* data, DWORD size)
{
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, WideFromUtf8(keyPath).c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
}

inline void WriteText(const std::string& keyPath, const wchar_t* name, const std::wstring& text)
{
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, WideFromUtf8(keyPath).c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
}

inline bool EntryExists(const std::string& keyName)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, WideFromUtf8(EntryKeyPath(keyName)).c_str(), 0, KEY_READ, &key) !=
        ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

#pragma once

#include <functional>
#include <string>
#include <vector>

#include <windows.h>

#include <gtest/gtest.h>

#include "UninstallEntry.h"
#include "Win32Registry.h"
#include "WinText.h"
#include "WindowTestSupport.h"

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

// A shown window over the test prefix's real registry, for tests whose
// entries under the Uninstall key all have names starting with `prefix`.
// Those entries are removed before each test, leftovers of an earlier run
// included, and after it.
class RegistryFormTest : public FormTest {
protected:
    explicit RegistryFormTest(std::string prefix) : prefix_(std::move(prefix)) {}

    void SetUp() override { RemoveEntries(); }
    void TearDown() override
    {
        FormTest::TearDown();
        RemoveEntries();
    }

    Form1& OpenShown()
    {
        Form1& form = Open(96, L"", &registry);
        form.Show(SW_SHOWNORMAL);
        PumpMessages();
        return form;
    }

    // The key names of this test's entries that the list shows, top to bottom.
    std::vector<std::string> Listed(Form1& form) const
    {
        std::vector<std::string> listed;
        for (int position = 1; position <= form.List().Count(); ++position) {
            std::string name = form.List().SubItem(position, kKeyNameSubItem);
            if (name.starts_with(prefix_))
                listed.push_back(std::move(name));
        }
        return listed;
    }

    static void Press(ToggleButton button)
    {
        SendMessageW(button.Hwnd(), BM_CLICK, 0, 0);
        PumpMessages();
    }

    Win32Registry registry;

private:
    void RemoveEntries()
    {
        std::vector<std::string> names;
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, WideFromUtf8(kUninstallKeyPath).c_str(), 0, KEY_READ, &key) !=
            ERROR_SUCCESS)
            return;
        for (DWORD index = 0;; ++index) {
            wchar_t name[256];
            DWORD length = 256;
            if (RegEnumKeyExW(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
                break;
            std::string utf8 = Utf8FromWide(std::wstring_view(name, length));
            if (utf8.starts_with(prefix_))
                names.push_back(std::move(utf8));
        }
        RegCloseKey(key);
        for (const std::string& name : names)
            registry.DeleteTree(RegRoot::LocalMachine, EntryKeyPath(name));
    }

    std::string prefix_;
};

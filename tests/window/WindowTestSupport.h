#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include <windows.h>

#include "Form1.h"
#include "MemoryRegistry.h"
#include "Win32Registry.h"
#include "WinText.h"

// Wine maps drive Z: to the Unix root, where the sources and the build live.
#define ULC_WIDE_(text) L##text
#define ULC_WIDE(text) ULC_WIDE_(text)
inline const std::wstring kTestDataFolder = ULC_WIDE(ULC_TEST_DATA_DIR);
inline const std::wstring kMarkerPath = ULC_WIDE(ULC_MARKER_PATH);

// The program under test: the one make test unpacked from the release zip
// (ULC_RELEASE_PROGRAM), otherwise this build's own.
inline std::wstring ProgramPath()
{
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableW(L"ULC_RELEASE_PROGRAM", path, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::wstring(path, length) : ULC_WIDE(ULC_PROGRAM_PATH);
}

// The entries that these tests make in the test prefix's registry.
inline constexpr char kTestEntryPrefix[] = "ulc-test-";

// Handles the messages waiting for this thread. Every destroyed Form1 posts
// WM_QUIT, which is dropped here so that it cannot end a later test's loop.
inline void PumpMessages()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message != WM_QUIT)
            DispatchMessageW(&message);
    }
}

// The lower-cased path of every key at `path` and below it, after `label`.
inline void ListKeys(HKEY root, const std::wstring& label, const std::wstring& path, std::set<std::wstring>& keys)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS)
        return;
    std::wstring lower = label + path;
    CharLowerBuffW(lower.data(), static_cast<DWORD>(lower.size()));
    keys.insert(lower);
    std::vector<std::wstring> subkeys;
    wchar_t name[256];
    for (DWORD i = 0, length = 256; RegEnumKeyExW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) == 0;
         ++i, length = 256)
        subkeys.push_back(path + L"\\" + std::wstring(name, length));
    RegCloseKey(key);
    for (const std::wstring& subkey : subkeys)
        ListKeys(root, label, subkey, keys);
}

// The keys around the three Uninstall keys, the 32-bit view under
// WOW6432Node: deleting any of their parents would take these with it.
inline std::set<std::wstring> ListKeysAround()
{
    std::set<std::wstring> keys;
    ListKeys(HKEY_LOCAL_MACHINE, L"HKLM\\", L"Software\\Microsoft\\Windows\\CurrentVersion", keys);
    ListKeys(HKEY_LOCAL_MACHINE, L"HKLM\\", L"Software\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion", keys);
    ListKeys(HKEY_CURRENT_USER, L"HKCU\\", L"Software\\Microsoft\\Windows\\CurrentVersion", keys);
    return keys;
}

// `keys` without the trees of these entries of this test.
inline std::set<std::wstring> Without(std::set<std::wstring> keys, const std::vector<std::pair<RegRoot, std::string>>& entries)
{
    for (const auto& [place, suffix] : entries) {
        const std::wstring path = WideFromUtf8(EntryKeyPath(kTestEntryPrefix + suffix));
        std::wstring tree = place == RegRoot::CurrentUser      ? L"HKCU\\" + path
                            : place == RegRoot::LocalMachine32 ? L"HKLM\\Software\\WOW6432Node" + path.substr(8)
                                                               : L"HKLM\\" + path;
        CharLowerBuffW(tree.data(), static_cast<DWORD>(tree.size()));
        std::erase_if(keys, [&](const std::wstring& key) { return key == tree || key.starts_with(tree + L"\\"); });
    }
    return keys;
}

// A text value in a key of `place`, in its own view, as an installer writes it.
inline void WriteText(RegRoot place, const std::string& path, const wchar_t* name, const std::wstring& text)
{
    HKEY key = nullptr;
    RegCreateKeyExW(place == RegRoot::CurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE, WideFromUtf8(path).c_str(),
                    0, nullptr, 0, KEY_SET_VALUE | (place == RegRoot::LocalMachine32 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY),
                    nullptr, &key, nullptr);
    EXPECT_EQ(RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                             static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))), ERROR_SUCCESS);
    RegCloseKey(key);
}

// One Form1 a test, over the in-memory registry or the test prefix's own.
// This test's entries are removed from all three places before and after it.
class FormTest : public testing::Test {
protected:
    void SetUp() override { RemoveTestEntries(); }
    void TearDown() override
    {
        form_.reset();
        PumpMessages();
        RemoveTestEntries();
    }

    // An empty folder: HAND-M.CUR is looked for in the program's own.
    Form1& Open(RegistryStore& store, int dpi = 96, std::wstring programFolder = L"")
    {
        form_ = std::make_unique<Form1>(store, Form1::Options{dpi, std::move(programFolder)});
        EXPECT_TRUE(form_->Create());
        return *form_;
    }
    Form1& OpenShown()
    {
        Open(registry).Show(SW_SHOWNORMAL);
        PumpMessages();
        return *form_;
    }
    static void Seed(RegRoot place, const std::string& suffix, const std::wstring& displayName, const std::wstring& command)
    {
        WriteText(place, EntryKeyPath(kTestEntryPrefix + suffix), L"DisplayName", displayName);
        WriteText(place, EntryKeyPath(kTestEntryPrefix + suffix), L"UninstallString", command);
    }
    static void Press(ToggleButton button)
    {
        SendMessageW(button.Hwnd(), BM_CLICK, 0, 0);
        PumpMessages();
    }
    static void MoveOver(HWND window, int x = 5, int y = 5) { SendMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(x, y)); }

    MemoryRegistry memory;
    Win32Registry registry;
    std::unique_ptr<Form1> form_;

private:
    void RemoveTestEntries()
    {
        for (const RegRoot place : kEntryPlaces) {
            OpenedKey key(registry);
            if (key.OpenForEnumeration(place, kUninstallKeyPath) != kRegSuccess)
                continue;
            std::vector<std::string> names;
            std::string name;
            for (int i = 0; registry.EnumerateSubkey(key.Get(), i, name) == kRegSuccess; ++i) {
                if (name.starts_with(kTestEntryPrefix))
                    names.push_back(name);
            }
            for (const std::string& found : names)
                registry.DeleteTree(place, EntryKeyPath(found));
        }
    }
};

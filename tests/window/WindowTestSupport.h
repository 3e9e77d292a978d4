#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <windows.h>

#include "Form1.h"
#include "MemoryRegistry.h"
#include "UninstallEntry.h"
#include "Win32Registry.h"
#include "WinText.h"

// Wine maps drive Z: to the Unix root, where the sources and the build live.
#define ULC_WIDE_(text) L##text
#define ULC_WIDE(text) ULC_WIDE_(text)
inline const std::wstring kTestDataFolder = ULC_WIDE(ULC_TEST_DATA_DIR);
inline const std::wstring kProgramPath = ULC_WIDE(ULC_PROGRAM_PATH);
inline const std::wstring kMarkerPath = ULC_WIDE(ULC_MARKER_PATH);

// Entries of the test prefix's registry that these tests make and remove.
inline constexpr char kTestEntryPrefix[] = "ulc-test-";

// Handles the messages waiting for this thread. Every destroyed Form1 posts
// WM_QUIT, which is dropped here so that it cannot end a later test's loop.
inline void PumpMessages()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT)
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

inline HKEY TopKey(RegRoot root) { return root == RegRoot::CurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE; }
inline REGSAM ViewOf(RegRoot root) { return root == RegRoot::LocalMachine32 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY; }

// Every key and value below `path`, a line each, for comparing whole trees.
inline void ExportTree(HKEY root, const std::wstring& label, const std::wstring& path, std::wstring& out)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS)
        return;
    out += L"[" + label + path + L"]\n";
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
               std::to_wstring(std::hash<std::string_view>{}(
                   std::string_view(reinterpret_cast<const char*>(data.data()), size))) +
               L"\n";
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
        ExportTree(root, label, path.empty() ? subkey : path + L"\\" + subkey, out);
}

// The keys around the three Uninstall keys, the 32-bit view under
// WOW6432Node: deleting any of their parents would empty these too.
inline std::wstring ExportRegistry()
{
    std::wstring out;
    ExportTree(HKEY_LOCAL_MACHINE, L"HKLM\\", L"Software\\Microsoft\\Windows\\CurrentVersion", out);
    ExportTree(HKEY_LOCAL_MACHINE, L"HKLM\\", L"Software\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion", out);
    ExportTree(HKEY_CURRENT_USER, L"HKCU\\", L"Software\\Microsoft\\Windows\\CurrentVersion", out);
    return out;
}

// Where an export shows an entry's key.
inline std::wstring ExportedPath(RegRoot place, const std::string& keyName)
{
    const std::wstring inPlace = WideFromUtf8(EntryKeyPath(keyName));
    switch (place) {
    case RegRoot::LocalMachine: return L"HKLM\\" + inPlace;
    case RegRoot::LocalMachine32: return L"HKLM\\Software\\WOW6432Node" + inPlace.substr(8);
    case RegRoot::CurrentUser: break;
    }
    return L"HKCU\\" + inPlace;
}

// The export without the lines of the trees at `paths`, which name keys in
// any letter case, as the registry does.
inline std::wstring Without(const std::wstring& exported, const std::vector<std::wstring>& paths)
{
    const auto startsWith = [](const std::wstring& line, const std::wstring& start) {
        return line.size() >= start.size() &&
               CompareStringOrdinal(line.c_str(), static_cast<int>(start.size()), start.c_str(),
                                    static_cast<int>(start.size()), TRUE) == CSTR_EQUAL;
    };
    std::wstring kept;
    bool skipping = false;
    for (size_t start = 0; start < exported.size();) {
        const size_t end = exported.find(L'\n', start) + 1;
        const std::wstring line = exported.substr(start, end - start);
        if (line.starts_with(L"[")) {
            skipping = false;
            for (const std::wstring& path : paths)
                skipping = skipping || startsWith(line, L"[" + path + L"]") || startsWith(line, L"[" + path + L"\\");
        }
        if (!skipping)
            kept += line;
        start = end;
    }
    return kept;
}

// A text value in a key of `place`, as an installer writes it.
inline void WriteText(RegRoot place, const std::string& path, const wchar_t* name, const std::wstring& text)
{
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(TopKey(place), WideFromUtf8(path).c_str(), 0, nullptr, 0, KEY_SET_VALUE | ViewOf(place),
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
}

// One Form1 a test, over the in-memory registry or the test prefix's own. The
// test prefix's entries named kTestEntryPrefix... are removed from all three
// places before and after each test, leftovers of a broken run included.
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
        Form1& form = Open(registry);
        form.Show(SW_SHOWNORMAL);
        PumpMessages();
        return form;
    }

    static void Seed(RegRoot place, const std::string& suffix, const std::wstring& displayName,
                     const std::wstring& command)
    {
        const std::string path = EntryKeyPath(kTestEntryPrefix + suffix);
        WriteText(place, path, L"DisplayName", displayName);
        WriteText(place, path, L"UninstallString", command);
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
            std::vector<std::string> names;
            OpenedKey key(registry);
            std::string name;
            if (key.OpenForEnumeration(place, kUninstallKeyPath) != kRegSuccess)
                continue;
            for (int index = 0; registry.EnumerateSubkey(key.Get(), index, name) == kRegSuccess; ++index) {
                if (name.starts_with(kTestEntryPrefix))
                    names.push_back(name);
            }
            for (const std::string& found : names)
                registry.DeleteTree(place, EntryKeyPath(found));
        }
    }
};

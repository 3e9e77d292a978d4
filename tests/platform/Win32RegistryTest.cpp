#include "Win32Registry.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <winternl.h>

#include "ReadTable.h"
#include "WinText.h"

namespace {

constexpr char kTestKey[] = "Software\\UninstallListCleanerTests";

// Raw data into a key of HKLM, as an installer writes it.
void Write(const std::string& path, const std::string& name, RegType type, const std::vector<std::byte>& data)
{
    HKEY key = nullptr;
    RegCreateKeyExW(HKEY_LOCAL_MACHINE, WideFromUtf8(path).c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr);
    EXPECT_EQ(RegSetValueExW(key, WideFromUtf8(name).c_str(), 0, static_cast<DWORD>(type),
                             reinterpret_cast<const BYTE*>(data.data()), static_cast<DWORD>(data.size())), ERROR_SUCCESS);
    RegCloseKey(key);
}

// A link at `path` of HKLM to `target` of HKLM, as a program can make one in
// its user's keys.
void MakeLink(const std::string& path, const std::string& target)
{
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, WideFromUtf8(path).c_str(), 0, nullptr, REG_OPTION_CREATE_LINK,
                              KEY_SET_VALUE | KEY_CREATE_LINK, nullptr, &key, nullptr), ERROR_SUCCESS);
    // The registry's own name of the target, without a terminator.
    const std::wstring name = L"\\Registry\\Machine\\" + WideFromUtf8(target);
    EXPECT_EQ(RegSetValueExW(key, L"SymbolicLinkValue", 0, REG_LINK, reinterpret_cast<const BYTE*>(name.data()),
                             static_cast<DWORD>(name.size() * 2)), ERROR_SUCCESS);
    RegCloseKey(key);
}

class Win32RegistryTest : public testing::Test {
protected:
    void SetUp() override { TearDown(); }
    void TearDown() override { registry.DeleteTree(RegRoot::LocalMachine, kTestKey); }
    std::string Read(const std::string& path) { return ReadRegString(registry, RegRoot::LocalMachine, path, "Name", "none"); }
    // Each subkey of `parent` as the enumeration names it, "=" what its own name reads back.
    std::vector<std::string> Listed(const std::string& parent)
    {
        std::vector<std::string> names;
        OpenedKey key(registry);
        EXPECT_EQ(key.OpenForEnumeration(RegRoot::LocalMachine, parent), kRegSuccess);
        KeyTime written = 0;
        for (std::string name; registry.EnumerateSubkey(key.Get(), static_cast<int>(names.size()), name, written) == kRegSuccess;)
            names.push_back(name + "=" + Read(parent + "\\" + name));
        return names;
    }

    Win32Registry registry;
};

TEST_F(Win32RegistryTest, ReadsEveryShapeOfValue)
{
    CheckReadTable(registry, RegRoot::LocalMachine, kTestKey,
                   [](const ReadCase& c) { Write(kTestKey, c.name, c.type, c.data); });
}

TEST_F(Win32RegistryTest, NamesOfEveryLengthAndScriptAreListedAndNamedBack)
{
    const std::string parent = std::string(kTestKey) + "\\Names";
    const std::string scripts = "bΩμέγα Тест 测试 \U0001F680", longest = "c" + std::string(254, 'x');
    for (const std::string& name : {std::string("a"), scripts, longest, std::string("d")})
        Write(parent + "\\" + name, "Name", RegType::Sz, Utf16Bytes(name));
    const std::vector<std::string> names = Listed(parent);
    EXPECT_EQ(names, (std::vector<std::string>{"a=a", scripts + "=" + scripts, longest + "=" + longest, "d=d"}));

    EXPECT_EQ(Read(parent + "\\a" + std::string(1, '\0') + "x"), "none");
    // "a\0x" must not be taken for "a", nor an empty name for the parent.
    EXPECT_NE(registry.DeleteTree(RegRoot::LocalMachine, parent + "\\a" + std::string(1, '\0') + "x"), kRegSuccess);
    EXPECT_EQ(registry.DeleteTree(RegRoot::LocalMachine, parent + "\\"), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(registry.DeleteTree(RegRoot::LocalMachine, parent + "\\" + scripts), kRegSuccess);
    EXPECT_EQ(Read(parent + "\\a") + Read(parent + "\\" + scripts), "anone");
}

TEST_F(Win32RegistryTest, DeletesTheLinksInAnEntryAsLinksAndLeavesTheirTargetAlone)
{
    const std::string entry = std::string(kTestKey) + "\\Entry", target = std::string(kTestKey) + "\\Target";
    Write(target + "\\Below", "Name", RegType::Sz, Utf16Bytes("below"));
    Write(target, "Name", RegType::Sz, Utf16Bytes("target"));
    // Where the link lies in the entry: "" makes the entry itself one.
    for (const std::string link : {"\\Link", "\\Sub\\Link", ""}) {
        SCOPED_TRACE(link);
        if (!link.empty())
            Write(entry, "Name", RegType::Sz, Utf16Bytes("entry"));
        MakeLink(entry + link, target);
        EXPECT_EQ(registry.DeleteTree(RegRoot::LocalMachine, entry), kRegSuccess);
        EXPECT_EQ(Read(entry) + "," + Read(target) + "," + Read(target + "\\Below"), "none,target,below");
    }
}

template <typename Function>
Function Native(const char* name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), name)));
}

UNICODE_STRING Counted(std::wstring_view text)
{
    const auto bytes = static_cast<USHORT>(text.size() * sizeof(wchar_t));
    return {bytes, bytes, const_cast<wchar_t*>(text.data())};
}

// Names with a NUL inside, as only the native API writes them: the value
// "Plain\0x" of the key at `parent`, and its subkey "a\0x", whose handle it
// returns (open for deletion: Win32 cannot name it).
HANDLE WriteNulNames(const std::string& parent)
{
    using CreateKey = LONG(NTAPI*)(HANDLE*, ACCESS_MASK, OBJECT_ATTRIBUTES*, ULONG, UNICODE_STRING*, ULONG, ULONG*);
    using SetValueKey = LONG(NTAPI*)(HANDLE, UNICODE_STRING*, ULONG, ULONG, const void*, ULONG);
    HKEY key = nullptr;
    RegCreateKeyExW(HKEY_LOCAL_MACHINE, WideFromUtf8(parent).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    UNICODE_STRING name = Counted(std::wstring_view(L"Plain\0x", 7));
    const std::vector<std::byte> data = Utf16Bytes("hidden");
    EXPECT_EQ(Native<SetValueKey>("NtSetValueKey")(key, &name, 0, REG_SZ, data.data(), static_cast<ULONG>(data.size())), 0);
    name = Counted(std::wstring_view(L"a\0x", 3));
    OBJECT_ATTRIBUTES attributes{};
    attributes.Length = sizeof attributes;
    attributes.RootDirectory = key;
    attributes.ObjectName = &name;
    HANDLE created = nullptr;
    EXPECT_EQ(Native<CreateKey>("NtCreateKey")(&created, KEY_ALL_ACCESS, &attributes, 0, nullptr, 0, nullptr), 0);
    RegCloseKey(key);
    return created;
}

TEST_F(Win32RegistryTest, NamesHoldingNulAndKeysAsDeepAsTheRegistryGoesReadExactly)
{
    // A value "Plain\0x" is another value than "Plain", and a key "a\0x"
    // another key than "a": listed with its whole name, which names no key.
    const std::string parent = std::string(kTestKey) + "\\Nul";
    Write(parent + "\\a", "Name", RegType::Sz, Utf16Bytes("a"));
    Write(parent, "Plain", RegType::Sz, Utf16Bytes("Tool"));
    const HANDLE nulKey = WriteNulNames(parent);
    const std::vector<std::string> names = Listed(parent);
    EXPECT_EQ(names, (std::vector<std::string>{"a=a", std::string("a\0x=none", 8)}));
    EXPECT_EQ(ReadRegString(registry, RegRoot::LocalMachine, parent, "Plain", ""), "Tool");
    // Win32 cannot name it to delete it either: a tree holding it stays whole.
    EXPECT_EQ(registry.DeleteTree(RegRoot::LocalMachine, parent), ERROR_INVALID_NAME);
    EXPECT_EQ(Read(parent + "\\a"), "a");
    Native<LONG(NTAPI*)(HANDLE)>("NtDeleteKey")(nulKey);
    CloseHandle(nulKey);

    // Windows nests keys 512 levels deep (Wine deeper), and creates at most
    // 32 in one call.
    std::string path = kTestKey;
    HKEY level = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, WideFromUtf8(path).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &level, nullptr),
              ERROR_SUCCESS);
    int depth = 3;  // HKEY_LOCAL_MACHINE\Software\UninstallListCleanerTests
    for (HKEY next = nullptr;
         depth < 512 && RegCreateKeyExW(level, L"k", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &next, nullptr) == ERROR_SUCCESS; ++depth) {
        RegCloseKey(level);
        level = next;
        path += "\\k";
    }
    RegCloseKey(level);
    EXPECT_EQ(depth, 512);
    CheckReadTable(registry, RegRoot::LocalMachine, path, [&](const ReadCase& c) { Write(path, c.name, c.type, c.data); });
    EXPECT_EQ(registry.DeleteTree(RegRoot::LocalMachine, kTestKey), kRegSuccess);
}

}  // namespace

#include "Win32Registry.h"

#include <gtest/gtest.h>

#include <windows.h>

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
    std::vector<std::string> names;
    OpenedKey key(registry);
    ASSERT_EQ(key.OpenForEnumeration(RegRoot::LocalMachine, parent), kRegSuccess);
    KeyTime written = 0;
    for (std::string name; registry.EnumerateSubkey(key.Get(), static_cast<int>(names.size()), name, written) == kRegSuccess;)
        names.push_back(name + "=" + Read(parent + "\\" + name));
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

}  // namespace

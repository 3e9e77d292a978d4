#include "Win32Registry.h"

#include <gtest/gtest.h>

#include <windows.h>

#include "ReadTable.h"
#include "WinText.h"

namespace {

constexpr char kTestKey[] = "Software\\UninstallListCleanerTests";
const std::string kEntry = EntryKeyPath("ulc-registry-test");

// Raw data into a key of `root`, in its own view, as an installer writes it.
void Write(RegRoot root, const std::string& path, const std::string& name, RegType type, const std::vector<std::byte>& data)
{
    HKEY key = nullptr;
    RegCreateKeyExW(root == RegRoot::CurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE, WideFromUtf8(path).c_str(), 0,
                    nullptr, 0, KEY_SET_VALUE | (root == RegRoot::LocalMachine32 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY),
                    nullptr, &key, nullptr);
    EXPECT_EQ(RegSetValueExW(key, WideFromUtf8(name).c_str(), 0, static_cast<DWORD>(type),
                             reinterpret_cast<const BYTE*>(data.data()), static_cast<DWORD>(data.size())), ERROR_SUCCESS);
    RegCloseKey(key);
}

class Win32RegistryTest : public testing::Test {
protected:
    void SetUp() override { TearDown(); }
    void TearDown() override
    {
        for (const RegRoot root : kEntryPlaces) {
            registry.DeleteTree(root, kTestKey);
            registry.DeleteTree(root, kEntry);
        }
    }
    std::string Read(RegRoot root, const std::string& path) { return ReadRegString(registry, root, path, "Name", "none"); }

    Win32Registry registry;
};

TEST_F(Win32RegistryTest, ReadsEveryShapeOfValue)
{
    CheckReadTable(registry, RegRoot::LocalMachine, kTestKey,
                   [](const ReadCase& c) { Write(RegRoot::LocalMachine, kTestKey, c.name, c.type, c.data); });
}

TEST_F(Win32RegistryTest, EachPlaceIsAKeyOfItsOwn)
{
    for (const auto& [root, name] : {std::pair(RegRoot::LocalMachine, "64"), std::pair(RegRoot::LocalMachine32, "32"),
                                     std::pair(RegRoot::CurrentUser, "user")})
        Write(root, kEntry + "\\Sub", "Name", RegType::Sz, Utf16Bytes(name));
    // Wine keeps the 32-bit view where 64-bit Windows does.
    EXPECT_EQ(Read(RegRoot::LocalMachine, "Software\\WOW6432Node" + kEntry.substr(8) + "\\Sub"), "32");

    EXPECT_EQ(registry.DeleteTree(RegRoot::LocalMachine32, kEntry), kRegSuccess);
    EXPECT_EQ(registry.DeleteTree(RegRoot::LocalMachine32, kEntry), kRegFileNotFound);
    EXPECT_EQ(registry.DeleteTree(RegRoot::CurrentUser, kEntry), kRegSuccess);
    EXPECT_EQ(Read(RegRoot::LocalMachine32, kEntry + "\\Sub") + Read(RegRoot::CurrentUser, kEntry + "\\Sub"), "nonenone");
    EXPECT_EQ(Read(RegRoot::LocalMachine, kEntry + "\\Sub"), "64");
}

TEST_F(Win32RegistryTest, NamesOfEveryLengthAndScriptAreListedAndNamedBack)
{
    const std::string parent = std::string(kTestKey) + "\\Names";
    const std::string scripts = "bΩμέγα Тест 测试 \U0001F680", longest = "c" + std::string(254, 'x');
    for (const std::string& name : {std::string("a"), scripts, longest, std::string("d")})
        Write(RegRoot::LocalMachine, parent + "\\" + name, "Name", RegType::Sz, Utf16Bytes(name));
    std::vector<std::string> names;
    OpenedKey key(registry);
    ASSERT_EQ(key.OpenForEnumeration(RegRoot::LocalMachine, parent), kRegSuccess);
    for (std::string name; registry.EnumerateSubkey(key.Get(), static_cast<int>(names.size()), name) == kRegSuccess;)
        names.push_back(name + "=" + Read(RegRoot::LocalMachine, parent + "\\" + name));
    EXPECT_EQ(names, (std::vector<std::string>{"a=a", scripts + "=" + scripts, longest + "=" + longest, "d=d"}));

    EXPECT_EQ(Read(RegRoot::LocalMachine, parent + "\\a" + std::string(1, '\0') + "x"), "none");
    // "a\0x" must not be taken for "a", nor an empty name for the parent.
    EXPECT_NE(registry.DeleteTree(RegRoot::LocalMachine, parent + "\\a" + std::string(1, '\0') + "x"), kRegSuccess);
    EXPECT_EQ(registry.DeleteTree(RegRoot::LocalMachine, parent + "\\"), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(registry.DeleteTree(RegRoot::LocalMachine, parent + "\\" + scripts), kRegSuccess);
    EXPECT_EQ(Read(RegRoot::LocalMachine, parent + "\\a") + Read(RegRoot::LocalMachine, parent + "\\" + scripts), "anone");
}

}  // namespace

#include "Win32Registry.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <windows.h>

#include "ReadTable.h"
#include "UninstallEntry.h"
#include "WinText.h"

namespace {

constexpr char kTestKey[] = "Software\\UninstallListCleanerTests";
const std::string kEntry = EntryKeyPath("ulc-registry-test");

// Raw data into a key of `root` in its own view, as an installer writes it.
void Write(RegRoot root, const std::string& path, const std::string& name, DWORD type,
           const std::vector<std::byte>& data)
{
    const HKEY top = root == RegRoot::CurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
    const REGSAM view = root == RegRoot::LocalMachine32 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(top, WideFromUtf8(path).c_str(), 0, nullptr, 0, KEY_SET_VALUE | view, nullptr, &key,
                              nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(key, WideFromUtf8(name).c_str(), 0, type, reinterpret_cast<const BYTE*>(data.data()),
                   static_cast<DWORD>(data.size()));
    RegCloseKey(key);
}

class Win32RegistryTest : public testing::Test {
protected:
    void SetUp() override { Clean(); }
    void TearDown() override { Clean(); }
    void Clean()
    {
        for (const RegRoot root : kEntryPlaces) {
            registry.DeleteTree(root, kTestKey);
            registry.DeleteTree(root, kEntry);
        }
    }
    std::vector<std::string> Subkeys(const std::string& path)
    {
        std::vector<std::string> names;
        OpenedKey key(registry);
        EXPECT_EQ(key.OpenForEnumeration(RegRoot::LocalMachine, path), kRegSuccess);
        std::string name;
        for (int index = 0; registry.EnumerateSubkey(key.Get(), index, name) == kRegSuccess; ++index)
            names.push_back(name);
        return names;
    }
    std::string Place(RegRoot root) { return ReadRegString(registry, root, kEntry + "\\Sub", "Place", "none"); }

    Win32Registry registry;
};

TEST_F(Win32RegistryTest, ReadsEveryShapeOfValue)
{
    CheckReadTable(registry, RegRoot::LocalMachine, kTestKey, [](const ReadCase& c) {
        Write(RegRoot::LocalMachine, kTestKey, c.name, static_cast<DWORD>(c.type), c.data);
    });
}

TEST_F(Win32RegistryTest, EachPlaceIsAKeyOfItsOwn)
{
    for (const std::string place : {"64", "32", "user"})
        Write(place == "64" ? RegRoot::LocalMachine : place == "32" ? RegRoot::LocalMachine32 : RegRoot::CurrentUser,
              kEntry + "\\Sub", "Place", REG_SZ, Utf16Bytes(place));
    // Wine keeps the 32-bit view where 64-bit Windows does.
    EXPECT_EQ(ReadRegString(registry, RegRoot::LocalMachine,
                            "Software\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\"
                            "ulc-registry-test\\Sub", "Place", ""),
              "32");

    EXPECT_EQ(registry.DeleteTree(RegRoot::LocalMachine32, kEntry), kRegSuccess);
    EXPECT_EQ(Place(RegRoot::LocalMachine32), "none");
    EXPECT_EQ(Place(RegRoot::LocalMachine), "64");
    EXPECT_EQ(Place(RegRoot::CurrentUser), "user");
    EXPECT_EQ(registry.DeleteTree(RegRoot::LocalMachine32, kEntry), kRegFileNotFound);
    EXPECT_EQ(registry.DeleteTree(RegRoot::CurrentUser, kEntry), kRegSuccess);
    EXPECT_EQ(Place(RegRoot::LocalMachine), "64");
}

TEST_F(Win32RegistryTest, NamesOfEveryLengthAndScriptAreListedAndNamedBack)
{
    const std::string parent = std::string(kTestKey) + "\\Names";
    const std::string scripts = "bΩμέγα Тест 测试 \U0001F680";
    const std::string longest = "c" + std::string(254, 'x');  // the registry's longest name
    for (const std::string& name : {std::string("a"), scripts, longest, std::string("d")})
        Write(RegRoot::LocalMachine, parent + "\\" + name, "DisplayName", REG_SZ, Utf16Bytes(name));
    EXPECT_EQ(Subkeys(parent), (std::vector<std::string>{"a", scripts, longest, "d"}));
    EXPECT_EQ(ReadRegString(registry, RegRoot::LocalMachine, parent + "\\" + longest, "DisplayName", ""), longest);

    // "a\0x" must not be taken for "a", nor an empty name for the parent.
    EXPECT_NE(registry.DeleteTree(RegRoot::LocalMachine, parent + "\\a" + std::string(1, '\0') + "x"), kRegSuccess);
    EXPECT_NE(registry.DeleteTree(RegRoot::LocalMachine, parent + "\\"), kRegSuccess);
    EXPECT_EQ(registry.DeleteTree(RegRoot::LocalMachine, parent + "\\" + scripts), kRegSuccess);
    EXPECT_EQ(Subkeys(parent), (std::vector<std::string>{"a", longest, "d"}));
}

}  // namespace

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "Catalogue.h"
#include "MemoryList.h"
#include "Reg.h"
#include "UninstallEntry.h"
#include "Win32Registry.h"
#include "WinText.h"

namespace {

constexpr const char* kTestRoot = "Software\\UninstallListCleanerTests";

// Writes raw value data, as an installer or another tool could have left it.
void WriteValue(const std::string& keyPath, const std::string& name, DWORD type, const void* data, DWORD size)
{
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, WideFromUtf8(keyPath).c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExW(key, WideFromUtf8(name).c_str(), 0, type, static_cast<const BYTE*>(data), size),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

void WriteText(const std::string& keyPath, const std::string& name, const std::wstring& text,
               DWORD type = REG_SZ)
{
    WriteValue(keyPath, name, type, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

void CreateKey(const std::string& keyPath)
{
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, WideFromUtf8(keyPath).c_str(), 0, nullptr, 0, KEY_READ,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

bool KeyExists(const std::string& keyPath)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, WideFromUtf8(keyPath).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

class Win32RegistryTest : public ::testing::Test {
protected:
    void SetUp() override { registry.DeleteTree(RegRoot::LocalMachine, kTestRoot); }
    void TearDown() override { registry.DeleteTree(RegRoot::LocalMachine, kTestRoot); }

    std::string Read(const std::string& keyPath, const char* valueName)
    {
        return ReadRegString(registry, RegRoot::LocalMachine, keyPath, valueName, "<default>");
    }

    std::vector<std::string> SubkeyNames(const std::string& keyPath, RegStatus& endStatus)
    {
        std::vector<std::string> names;
        OpenedKey key(registry);
        endStatus = registry.OpenForEnumeration(RegRoot::LocalMachine, keyPath, key.Out());
        std::string name;
        for (int index = 0; endStatus == kRegSuccess; ++index) {
            endStatus = registry.EnumerateSubkey(key.Get(), index, name);
            if (endStatus == kRegSuccess)
                names.push_back(name);
        }
        return names;
    }

    Win32Registry registry;
    const std::string values = std::string(kTestRoot) + "\\Values";
};

TEST_F(Win32RegistryTest, ReadsEveryShapeOfValue)
{
    WriteText(values, "Plain", L"Tool 2.0");
    WriteText(values, "Expand", L"%SystemRoot%\\uninst.exe", REG_EXPAND_SZ);
    WriteText(values, "Scripts", L"Инструмент 工具 \U0001F680");
    WriteValue(values, "Empty", REG_SZ, L"", 0);
    WriteValue(values, "Unterminated", REG_SZ, L"abc", 3 * sizeof(wchar_t));
    WriteValue(values, "InnerNul", REG_SZ, L"a\0b", 4 * sizeof(wchar_t));
    WriteValue(values, "OddLength", REG_SZ, "a\0b\0c", 5);
    WriteValue(values, "Multi", REG_MULTI_SZ, L"a\0b\0", 5 * sizeof(wchar_t));
    const DWORD number = 7;
    WriteValue(values, "Number", REG_DWORD, &number, sizeof number);
    const std::wstring huge(1 << 19, L'x');  // 1 MB of text
    WriteText(values, "Huge", huge);

    EXPECT_EQ(Read(values, "Plain"), "Tool 2.0");
    EXPECT_EQ(Read(values, "Expand"), "%SystemRoot%\\uninst.exe");
    EXPECT_EQ(Read(values, "Scripts"), "Инструмент 工具 \U0001F680");
    EXPECT_EQ(Read(values, "Empty"), "");
    EXPECT_EQ(Read(values, "Unterminated"), "abc");
    EXPECT_EQ(Read(values, "InnerNul"), "a");
    EXPECT_EQ(Read(values, "OddLength"), "ab");
    EXPECT_EQ(Read(values, "Multi"), "<default>");
    EXPECT_EQ(Read(values, "Number"), "<default>");
    EXPECT_EQ(Read(values, "Missing"), "<default>");
    EXPECT_EQ(Read(values, "Huge"), Utf8FromWide(huge));
    EXPECT_EQ(Read(std::string(kTestRoot) + "\\Nowhere", "Plain"), "<default>");
}

TEST_F(Win32RegistryTest, EnumeratesNamesOutsideTheCodePageAndStopsAtOverlongNames)
{
    const std::string parent = std::string(kTestRoot) + "\\Names";
    const std::string scripts = "Ωμέγα Тест 测试 \U0001F680";
    CreateKey(parent + "\\a");
    CreateKey(parent + "\\b" + scripts);
    CreateKey(parent + "\\c" + std::string(253, 'x'));  // 254 characters: fits
    CreateKey(parent + "\\d" + std::string(254, 'x'));  // 255 characters: does not
    CreateKey(parent + "\\e");

    RegStatus endStatus = kRegSuccess;
    const std::vector<std::string> names = SubkeyNames(parent, endStatus);
    EXPECT_EQ(names, (std::vector<std::string>{"a", "b" + scripts, "c" + std::string(253, 'x')}));
    EXPECT_EQ(endStatus, kRegMoreData);

    // The name read back reaches the very same key.
    const std::string path = parent + "\\b" + scripts;
    WriteText(path, "DisplayName", L"found");
    EXPECT_EQ(Read(path, "DisplayName"), "found");
    EXPECT_EQ(registry.DeleteTree(RegRoot::LocalMachine, path), kRegSuccess);
    EXPECT_FALSE(KeyExists(path));
    EXPECT_TRUE(KeyExists(parent + "\\a"));
}

TEST_F(Win32RegistryTest, DeletesAWholeTreeAndNothingBeside)
{
    const std::string tree = std::string(kTestRoot) + "\\Tree";
    WriteText(tree, "DisplayName", L"Tool");
    WriteText(tree + "\\Sub\\Deeper", "Value", L"x");
    CreateKey(tree + "Sibling");

    EXPECT_EQ(registry.DeleteTree(RegRoot::LocalMachine, tree), kRegSuccess);
    EXPECT_FALSE(KeyExists(tree));
    EXPECT_TRUE(KeyExists(tree + "Sibling"));
    EXPECT_EQ(registry.DeleteTree(RegRoot::LocalMachine, tree), kRegFileNotFound);
}

TEST_F(Win32RegistryTest, RefusesNamesWithANul)
{
    // "Victim\0Rest" must not be taken for "Victim".
    const std::string victim = std::string(kTestRoot) + "\\Victim";
    WriteText(victim, "DisplayName", L"keep me");
    const std::string withNul = victim + std::string(1, '\0') + "Rest";

    EXPECT_NE(registry.DeleteTree(RegRoot::LocalMachine, withNul), kRegSuccess);
    EXPECT_TRUE(KeyExists(victim));
    EXPECT_EQ(Read(withNul, "DisplayName"), "<default>");
    EXPECT_EQ(ReadRegString(registry, RegRoot::LocalMachine, victim, std::string("DisplayName\0x", 13), "<d>"),
              "<d>");
}

// The catalogue over the real Uninstall key of the test prefix.
TEST_F(Win32RegistryTest, LoadsTheUninstallKey)
{
    const std::string name = "UninstallListCleanerTest Ωμέγα";
    const std::string path = EntryKeyPath(name);
    WriteText(path, "DisplayName", L"Test Entry Ωμέγα");
    WriteText(path, "UninstallString", L"\"C:\\Program Files\\Test\\Uninst.exe\" /S", REG_EXPAND_SZ);

    MemoryList list;
    LoadUninstallEntries(registry, list);
    registry.DeleteTree(RegRoot::LocalMachine, path);

    int found = 0;
    for (const MemoryList::Row& row : list.rows) {
        if (row.subItems[kKeyNameSubItem - 1] != name)
            continue;
        ++found;
        EXPECT_EQ(row.text, "Test Entry Ωμέγα");
        EXPECT_EQ(row.subItems[kUninstallSubItem - 1], "\"C:\\Program Files\\Test\\Uninst.exe\" /S");
        EXPECT_EQ(row.subItems[kFileExistsSubItem - 1], "c:\\program files\\test\\uninst.exe");
    }
    EXPECT_EQ(found, 1);
}

}  // namespace

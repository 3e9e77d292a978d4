#include "Catalogue.h"

#include <gtest/gtest.h>

#include "MemoryList.h"
#include "ReadTable.h"

namespace {

using Operation = MemoryRegistry::Operation;
constexpr RegRoot k64 = RegRoot::LocalMachine, k32 = RegRoot::LocalMachine32, kUser = RegRoot::CurrentUser;

TEST(ReadRegString, ReadsEveryShapeOfValue)
{
    MemoryRegistry registry;
    const std::string path = EntryKeyPath("values");
    CheckReadTable(registry, k64, path, [&](const ReadCase& c) { registry.entries[{k64, "values"}][c.name] = {c.type, c.data}; });
    EXPECT_TRUE(registry.open.empty());
}

class LoadTest : public testing::Test {
protected:
    // Each row as "text | place | KeyName | FileExists | Uninstall".
    std::vector<std::string> Load()
    {
        list.Add("left over", k64, 0);
        LoadUninstallEntries(registry, list, [](std::string_view name) { return LowerAscii(name); });
        EXPECT_TRUE(registry.open.empty());
        EXPECT_EQ(list.changesWhileRepainting, 0);
        std::vector<std::string> rows;
        for (const MemoryList::Row& row : list.rows) {
            EXPECT_FALSE(row.checked);
            rows.push_back(row.text + " | " + std::to_string(static_cast<int>(row.place)) + " | " + row.subItems[2] +
                           " | " + row.subItems[1] + " | " + row.subItems[0]);
        }
        return rows;
    }

    MemoryRegistry registry;
    MemoryList list;
};

TEST_F(LoadTest, ListsTheEntriesOfAllThreePlacesSortedByName)
{
    registry.AddEntry(k64, "{B-product}", "beta Tool", R"("C:\Program Files\Beta\uninst.exe" /S)");
    registry.AddEntry(k32, "{B-product}", "Beta Tool", "MsiExec.exe /X{1}");
    registry.AddEntry(kUser, "alpha", "Alpha", "rundll32.exe dfshim.dll,ShArpMaintain alpha.application");
    registry.AddEntry(k32, "Gamma", "gamma", R"(RunDll32.exe setupapi.dll,InstallHinfSection x 132 C:\INF\gamma.inf)");
    registry.AddEntry(k64, "no-command", "No Command", "");
    registry.AddEntry(kUser, "no-name", "", "C:\\x\\uninst.exe");
    registry.AddEntry(k32, "number-name", "", "C:\\x\\uninst.exe");
    registry.entries[{k32, "number-name"}]["DisplayName"] = {RegType::Dword, {std::byte{1}}};
    registry.AddEntry(k64, "expand", "", "C:\\x\\un.exe");
    registry.entries[{k64, "expand"}]["DisplayName"] = {RegType::ExpandSz, Utf16Bytes("%Name%")};

    // Names that sort alike keep the order of the places; rundll32 commands
    // stay whole for the shell while their file is checked.
    EXPECT_EQ(Load(), (std::vector<std::string>{
                          R"(%Name% | 0 | expand | c:\x\un.exe | C:\x\un.exe)",
                          "Alpha | 2 | alpha |  | rundll32.exe dfshim.dll,ShArpMaintain alpha.application",
                          R"(beta Tool | 0 | {B-product} | c:\program files\beta\uninst.exe | "C:\Program Files\Beta\uninst.exe" /S)",
                          "Beta Tool | 1 | {B-product} | IGNORE ME | MsiExec.exe /X{1}",
                          R"(gamma | 1 | Gamma | c:\inf\gamma.inf | RunDll32.exe setupapi.dll,InstallHinfSection x 132 C:\INF\gamma.inf)",
                      }));
}

TEST_F(LoadTest, NamesThatSortAlikeKeepThePlaceOrderInALongList)
{
    std::vector<std::string> expected;
    for (const RegRoot place : {k64, k32, kUser}) {
        for (int i = 0; i < 10; ++i) {
            const std::string key = std::string("k").append(std::to_string(i));
            registry.AddEntry(place, key, "Same", "C:\\un.exe");
            expected.push_back(std::string("Same | ").append(std::to_string(static_cast<int>(place))) + " | " + key +
                               R"( | c:\un.exe | C:\un.exe)");
        }
    }
    EXPECT_EQ(Load(), expected);
}

TEST_F(LoadTest, AFailureEndsOnlyItsOwnPart)
{
    for (const char* name : {"a", "b", "c"})
        registry.AddEntry(k64, name, name, "C:\\un.exe");
    registry.AddEntry(k32, "hidden", "hidden", "C:\\un.exe");
    for (const char* name : {"x", "y", "z"})
        registry.AddEntry(kUser, name, name, "C:\\un.exe");
    int enumerations = 0;
    registry.hook = [&](Operation operation, RegRoot root, std::string_view path) {
        const bool refused = (operation == Operation::Enumerate && root == k64 && ++enumerations == 3) ||
                             (operation == Operation::Open && root == k32) ||
                             (operation == Operation::Open && path == EntryKeyPath("x")) ||
                             (operation == Operation::Query && path == EntryKeyPath("z"));
        return refused ? kRegAccessDenied : kRegSuccess;
    };
    EXPECT_EQ(Load(), (std::vector<std::string>{R"(a | 0 | a | c:\un.exe | C:\un.exe)", R"(b | 0 | b | c:\un.exe | C:\un.exe)",
                                                R"(y | 2 | y | c:\un.exe | C:\un.exe)"}));
}

}  // namespace

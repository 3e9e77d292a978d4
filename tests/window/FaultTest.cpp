// The registry changing or failing in the middle of an operation: another
// program at work while the list loads, or between the load and the delete.

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "Actions.h"
#include "Catalogue.h"
#include "MemoryList.h"
#include "MemoryRegistry.h"
#include "UninstallEntry.h"

namespace {

using Operation = MemoryRegistry::Operation;

std::string Name(int n) { return "Entry" + std::to_string(n); }
std::string Tool(int n) { return "Tool " + std::to_string(n); }

// Entry n: its values, and a subkey below it that must go with it.
void AddEntry(MemoryRegistry& registry, int n)
{
    registry.AddEntry(Name(n), Tool(n), "C:\\Tool" + std::to_string(n) + "\\uninst.exe /S");
    registry.SetString(EntryKeyPath(Name(n)) + "\\Settings", "Path", "C:\\Tool" + std::to_string(n));
}

// Keys beside the entries that nothing may touch: values on the Uninstall
// key itself, a sibling key sharing its prefix, and an unrelated key.
void AddNeighbours(MemoryRegistry& registry)
{
    registry.SetString(kUninstallKeyPath, "Note", "the Uninstall key's own value");
    registry.SetString(std::string(kUninstallKeyPath) + "2\\" + Name(2), "DisplayName", "Sibling");
    registry.SetString("Software\\Other\\" + Name(3), "DisplayName", "Elsewhere");
}

class FaultTest : public testing::Test {
protected:
    FaultTest() { AddNeighbours(registry); }

    void AddEntries(int count)
    {
        for (int n = 1; n <= count; ++n)
            AddEntry(registry, n);
    }
    void Load() { LoadUninstallEntries(registry, list); }
    void TickAll()
    {
        for (MemoryList::Row& row : list.rows)
            row.checked = true;
    }
    void Delete() { DeleteCheckedEntries(list, registry); }

    // The registry as it should be: the neighbours and these entries.
    std::string Expected(std::initializer_list<int> entries) const
    {
        MemoryRegistry expected;
        AddNeighbours(expected);
        for (int n : entries)
            AddEntry(expected, n);
        return expected.Export();
    }

    MemoryRegistry registry;
    MemoryList list;
};

TEST_F(FaultTest, LoadKeepsTheRowsReadBeforeTheEnumerationBreaks)
{
    AddEntries(4);
    // Another program removes the whole Uninstall key once two entries are read.
    int enumerations = 0;
    registry.intercept = [&](Operation operation, std::string_view, std::string_view) {
        if (operation == Operation::EnumerateSubkey && ++enumerations == 3)
            registry.DeleteTree(RegRoot::LocalMachine, kUninstallKeyPath);
        return kRegSuccess;
    };
    Load();
    EXPECT_EQ(list.Texts(), (std::vector<std::string>{Tool(1), Tool(2)}));
    EXPECT_EQ(registry.OpenKeyCount(), 0);

    // A subkey whose name is too long for the buffer appears after the first
    // entry: the enumeration ends there, and the entries after it are not listed.
    MemoryRegistry fresh;
    for (int n = 1; n <= 3; ++n)
        AddEntry(fresh, n);
    bool added = false;
    fresh.intercept = [&](Operation operation, std::string_view, std::string_view) {
        if (operation == Operation::OpenKey && !added) {
            fresh.AddEntry(Name(1) + std::string(250, 'z'), "Long", "C:\\long.exe");  // sorts right after Entry1
            added = true;
        }
        return kRegSuccess;
    };
    LoadUninstallEntries(fresh, list);
    EXPECT_EQ(list.Texts(), std::vector<std::string>{Tool(1)});
    EXPECT_EQ(fresh.OpenKeyCount(), 0);
}

TEST_F(FaultTest, AValueThatChangesBetweenSizeAndDataGivesItsTextOrNoRowButNeverBlanks)
{
    AddEntries(4);
    registry.intercept = [&](Operation operation, std::string_view path, std::string_view value) {
        if (operation != Operation::QueryValueData)
            return kRegSuccess;
        if (path == EntryKeyPath(Name(1)) && value == "DisplayName")
            registry.SetString(path, value, "A much longer display name than the one measured");
        if (path == EntryKeyPath(Name(2)) && value == "DisplayName")
            registry.SetString(path, value, "X");
        if (path == EntryKeyPath(Name(3)) && value == "UninstallString")
            registry.DeleteValue(path, value);
        return kRegSuccess;
    };
    Load();
    // A grown or vanished value reads as the default "", so its entry gets no
    // row; a shrunk one is read as it now is, with no padding after it.
    EXPECT_EQ(list.Texts(), (std::vector<std::string>{"X", Tool(4)}));
    EXPECT_EQ(list.rows[0].subItems[kKeyNameSubItem - 1], Name(2));
}

TEST_F(FaultTest, OnlyADeleteThatSucceedsOrFindsNothingLetsTheRowGo)
{
    AddEntries(6);
    Load();
    TickAll();
    registry.intercept = [&](Operation operation, std::string_view path, std::string_view) {
        if (operation != Operation::DeleteTree)
            return kRegSuccess;
        if (path == EntryKeyPath(Name(2)))
            return kRegAccessDenied;
        if (path == EntryKeyPath(Name(3)))
            return kRegKeyDeleted;
        if (path == EntryKeyPath(Name(4)))
            return kRegMoreData;
        return kRegSuccess;
    };
    Delete();
    EXPECT_EQ(list.Texts(), (std::vector<std::string>{Tool(2), Tool(3), Tool(4)}));
    for (const MemoryList::Row& row : list.rows)
        EXPECT_TRUE(row.checked);
    // The refused keys keep everything below them; nothing else went.
    EXPECT_EQ(registry.Export(), Expected({2, 3, 4}));
}

TEST_F(FaultTest, DeleteRemovesTheKeysTheUserTickedWhateverHappenedToThemSinceTheLoad)
{
    AddEntries(5);
    Load();
    TickAll();
    list.rows[3].checked = false;  // Entry4 stays

    // Behind the program's back: Entry2 goes, Entry3 comes back with other
    // values and another subkey, and a new entry appears that the list lacks.
    registry.DeleteTree(RegRoot::LocalMachine, EntryKeyPath(Name(2)));
    registry.DeleteTree(RegRoot::LocalMachine, EntryKeyPath(Name(3)));
    registry.AddEntry(Name(3), "Someone else's", "C:\\else\\uninst.exe");
    registry.CreateKey(EntryKeyPath(Name(3)) + "\\Other\\Deeper");
    AddEntry(registry, 6);
    // And while the pass runs, Entry1 goes just before its turn.
    registry.intercept = [&](Operation operation, std::string_view path, std::string_view) {
        if (operation == Operation::DeleteTree && path == EntryKeyPath(Name(3)))
            registry.DeleteTree(RegRoot::LocalMachine, EntryKeyPath(Name(1)));
        return kRegSuccess;
    };

    Delete();
    EXPECT_EQ(list.Texts(), std::vector<std::string>{Tool(4)});
    EXPECT_EQ(registry.Export(), Expected({4, 6}));
}

}  // namespace

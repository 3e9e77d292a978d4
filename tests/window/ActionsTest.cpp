#include "Actions.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "MemoryList.h"
#include "MemoryRegistry.h"
#include "UninstallEntry.h"

namespace {

// Notes how an action goes over the list: how often it reads the row count,
// how it brackets its pass, and any change made while the list may repaint.
class WatchedList : public MemoryList {
public:
    mutable int countReads = 0;
    int updates = 0;
    int depth = 0;
    int changesWhileRepainting = 0;

    int Count() const override { ++countReads; return MemoryList::Count(); }
    void Remove(int position) override { NoteChange(); MemoryList::Remove(position); }
    void SetChecked(int position, bool checked) override { NoteChange(); MemoryList::SetChecked(position, checked); }
    void BeginUpdate() override { ++updates; ++depth; }
    void EndUpdate() override { --depth; }

    void StartWatching() { countReads = updates = changesWhileRepainting = 0; }
    void ExpectOnePass() const
    {
        EXPECT_EQ(countReads, 1);
        EXPECT_EQ(updates, 1);
        EXPECT_EQ(depth, 0);
        EXPECT_EQ(changesWhileRepainting, 0);
    }

private:
    void NoteChange() { changesWhileRepainting += depth == 0 ? 1 : 0; }
};

std::string Key(int n) { return "Key" + std::to_string(n); }
std::string File(int n) { return "c:\\app" + std::to_string(n) + "\\uninst.exe"; }

class ActionsTest : public testing::Test {
protected:
    WatchedList list;
    MemoryRegistry registry;
    std::vector<std::string> started;
    std::set<std::string, std::less<>> presentFiles;
    std::vector<std::string> deletedPaths;

    ActionsTest()
    {
        registry.CreateKey(kUninstallKeyPath);
        registry.intercept = [this](MemoryRegistry::Operation operation, std::string_view path, std::string_view) {
            if (operation == MemoryRegistry::Operation::DeleteTree)
                deletedPaths.emplace_back(path);
            return kRegSuccess;
        };
    }

    // Rows "1" to "n", each with its key in the registry and its file present.
    void AddEntries(int n)
    {
        for (int i = 1; i <= n; ++i) {
            const int row = list.Add(std::to_string(i));
            list.SetSubItem(row, kUninstallSubItem, File(i) + " /S");
            list.SetSubItem(row, kFileExistsSubItem, File(i));
            list.SetSubItem(row, kKeyNameSubItem, Key(i));
            registry.CreateKey(EntryKeyPath(Key(i)));
            presentFiles.insert(File(i));
        }
    }
    MemoryList::Row& Row(int position) { return list.rows.at(static_cast<size_t>(position - 1)); }

    void Uninstall()
    {
        list.StartWatching();
        UninstallSelectedEntry(list, [this](std::string_view command) { started.emplace_back(command); });
        list.ExpectOnePass();
    }
    void Delete()
    {
        list.StartWatching();
        DeleteCheckedEntries(list, registry);
        list.ExpectOnePass();
    }
    // The environment knows one variable, in the letter case the catalogue gives.
    void Detect()
    {
        list.StartWatching();
        DetectOldEntries(
            list, [this](std::string_view path) { return presentFiles.contains(path); },
            [](std::string_view text) {
                std::string expanded(text);
                if (expanded.starts_with("%programfiles%"))
                    expanded.replace(0, 14, "c:\\program files");
                return expanded;
            });
        list.ExpectOnePass();
    }
    std::vector<bool> Ticks() const
    {
        std::vector<bool> ticks;
        for (const MemoryList::Row& row : list.rows)
            ticks.push_back(row.checked);
        return ticks;
    }
};

TEST_F(ActionsTest, AnEmptyListIsLeftAlone)
{
    Uninstall();
    Delete();
    Detect();
    EXPECT_TRUE(started.empty());
    EXPECT_TRUE(deletedPaths.empty());
}

TEST_F(ActionsTest, UninstallStartsEachSelectedRowInOrderAndIgnoresTicks)
{
    AddEntries(5);
    Row(1).checked = Row(3).checked = true;
    Row(2).selected = Row(4).selected = Row(5).selected = true;
    Row(4).subItems[0] = "";  // a rundll32 command without a drive: the shell is still asked
    Uninstall();
    EXPECT_EQ(started, (std::vector<std::string>{File(2) + " /S", "", File(5) + " /S"}));
    EXPECT_EQ(list.Texts(), (std::vector<std::string>{"1", "2", "3", "4", "5"}));
    EXPECT_EQ(Ticks(), (std::vector<bool>{true, false, true, false, false}));

    for (int i = 1; i <= 5; ++i)
        Row(i).selected = false;
    started.clear();
    Uninstall();
    EXPECT_TRUE(started.empty());
}

TEST_F(ActionsTest, DeleteGoesFromTheBottomUpAndKeepsTheOtherRows)
{
    AddEntries(5);
    Row(2).checked = Row(3).checked = true;
    Row(4).selected = true;
    Delete();
    EXPECT_EQ(deletedPaths, (std::vector<std::string>{EntryKeyPath(Key(3)), EntryKeyPath(Key(2))}));
    EXPECT_EQ(list.Texts(), (std::vector<std::string>{"1", "4", "5"}));
    EXPECT_TRUE(Row(2).selected);
    EXPECT_FALSE(registry.KeyExists(EntryKeyPath(Key(2))));
    EXPECT_TRUE(registry.KeyExists(EntryKeyPath(Key(4))));

    deletedPaths.clear();
    Delete();  // nothing ticked now
    EXPECT_TRUE(deletedPaths.empty());
    EXPECT_EQ(list.Count(), 3);

    for (int i = 1; i <= 3; ++i)
        Row(i).checked = true;
    Delete();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_FALSE(registry.KeyExists(EntryKeyPath(Key(5))));
    EXPECT_TRUE(registry.KeyExists(kUninstallKeyPath));
}

TEST_F(ActionsTest, DeleteKeepsTheRowOfAKeyThatCouldNotBeDeleted)
{
    AddEntries(3);
    registry.DeleteTree(RegRoot::LocalMachine, EntryKeyPath(Key(1)));  // gone already: as good as deleted
    registry.intercept = [](MemoryRegistry::Operation, std::string_view path, std::string_view) {
        return path == EntryKeyPath(Key(2)) ? kRegAccessDenied : kRegSuccess;
    };
    Row(1).checked = Row(2).checked = Row(3).checked = true;
    Delete();
    EXPECT_EQ(list.Texts(), std::vector<std::string>{"2"});
    EXPECT_TRUE(Row(1).checked);
    EXPECT_TRUE(registry.KeyExists(EntryKeyPath(Key(2))));
}

TEST_F(ActionsTest, DeleteNeverNamesAKeyOtherThanOneEntry)
{
    const std::vector<std::string> names = {"", "\\", "Key1\\", "Key1\\Sub", "\\Key1", std::string("Key1\0x", 6)};
    registry.CreateKey(EntryKeyPath("Key1\\Sub"));
    for (const std::string& name : names) {
        const int row = list.Add("bad");
        list.SetSubItem(row, kKeyNameSubItem, name);
        list.SetChecked(row, true);
    }
    Delete();
    EXPECT_TRUE(deletedPaths.empty());
    EXPECT_EQ(Ticks(), std::vector<bool>(names.size(), true));
    EXPECT_TRUE(registry.KeyExists(EntryKeyPath("Key1\\Sub")));
}

TEST_F(ActionsTest, DetectTicksMissingFilesButNotMarkedRows)
{
    AddEntries(8);
    presentFiles.insert("IGNORE ME");
    Row(1).subItems[1] = "IGNORE ME";
    Row(2).subItems[1] = "ignore me";
    Row(3).subItems[1] = "c:\\IGNORE ME\\gone.exe";
    Row(4).subItems[1] = "";
    Row(5).subItems[1] = "c:\\gone\\uninst.exe";
    Row(6).checked = true;  // ticked by hand: stays, though its file is there
    Row(7).subItems[1] = "%programfiles%\\tool\\uninst.exe";
    presentFiles.insert("c:\\program files\\tool\\uninst.exe");
    Detect();
    EXPECT_EQ(Ticks(), (std::vector<bool>{false, true, false, true, true, true, false, false}));
    EXPECT_EQ(Row(7).subItems[1], "%programfiles%\\tool\\uninst.exe");

    presentFiles.erase(File(8));
    Detect();
    EXPECT_EQ(Ticks(), (std::vector<bool>{false, true, false, true, true, true, false, true}));
}

// Past 32,767 rows a 16-bit position would wrap; each pass is also one
// repaint and one row count however long the list.
TEST_F(ActionsTest, LongListsWork)
{
    constexpr int kRows = 40000;
    AddEntries(kRows);
    for (int position : {1, 32767, 32768, kRows})
        Row(position).selected = true;
    Uninstall();
    EXPECT_EQ(started, (std::vector<std::string>{File(1) + " /S", File(32767) + " /S", File(32768) + " /S",
                                                 File(kRows) + " /S"}));

    presentFiles.erase(File(32768));
    presentFiles.erase(File(kRows));
    Detect();
    EXPECT_TRUE(Row(32768).checked);
    EXPECT_TRUE(Row(kRows).checked);
    EXPECT_FALSE(Row(kRows - 1).checked);

    for (MemoryList::Row& row : list.rows)
        row.checked = true;
    Delete();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(static_cast<int>(deletedPaths.size()), kRows);
    EXPECT_EQ(deletedPaths.front(), EntryKeyPath(Key(kRows)));
}

}  // namespace

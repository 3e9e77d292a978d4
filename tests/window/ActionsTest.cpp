#include "Actions.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "MemoryList.h"
#include "MemoryRegistry.h"
#include "Text.h"
#include "UninstallEntry.h"

namespace {

using Operation = MemoryRegistry::Operation;
constexpr RegRoot k64 = RegRoot::LocalMachine;
constexpr RegRoot k32 = RegRoot::LocalMachine32;
constexpr RegRoot kUser = RegRoot::CurrentUser;

class ActionsTest : public testing::Test {
protected:
    // A row for an entry of `place`, its key in the registry with a subkey below it.
    int AddRow(const std::string& keyName, RegRoot place, const std::string& file = "c:\\un.exe")
    {
        const int row = list.Add(keyName, place);
        list.SetSubItem(row, kUninstallSubItem, "\"" + file + "\" /S");
        list.SetSubItem(row, kFileExistsSubItem, file);
        list.SetSubItem(row, kKeyNameSubItem, keyName);
        registry.SetText(place, EntryKeyPath(keyName) + "\\Settings", "Path", file);
        return row;
    }
    std::vector<std::string> Texts() const
    {
        std::vector<std::string> texts;
        for (const MemoryList::Row& row : list.rows)
            texts.push_back(row.text);
        return texts;
    }

    MemoryList list;
    MemoryRegistry registry;
};

TEST_F(ActionsTest, UninstallStartsEachSelectedRowInOrderWhileTheListPaints)
{
    UninstallSelectedEntry(list, [](std::string_view) { FAIL() << "an empty list starts nothing"; });
    for (const char* name : {"1", "2", "3", "4"})
        AddRow(name, k64, std::string("c:\\") + name + ".exe");
    list.At(1).checked = true;
    list.At(2).selected = list.At(4).selected = true;
    list.At(4).subItems[kUninstallSubItem - 1] = "";
    std::vector<std::string> started;
    UninstallSelectedEntry(list, [&](std::string_view command) {
        EXPECT_EQ(list.updateDepth, 0);
        started.emplace_back(command);
    });
    EXPECT_EQ(started, (std::vector<std::string>{"\"c:\\2.exe\" /S", ""}));
    EXPECT_EQ(list.Count(), 4);
    EXPECT_TRUE(list.At(1).checked);
}

TEST_F(ActionsTest, DeleteRemovesEachTickedKeyInItsOwnPlaceOnly)
{
    registry.SetText(k64, std::string(kUninstallKeyPath), "Note", "the Uninstall key's own value");
    registry.SetText(k64, std::string(kUninstallKeyPath) + "2\\twin", "DisplayName", "a sibling key");
    for (const RegRoot place : {k64, k32, kUser})
        AddRow("twin", place);
    AddRow("solo", k32);
    AddRow("kept", kUser);
    // Gone already since the load: as good as deleted.
    AddRow("gone", k64);
    registry.keys.erase({k64, EntryKeyPath("gone") + "\\Settings"});
    for (const int position : {1, 3, 4, 6})
        list.At(position).checked = true;
    list.At(5).selected = true;
    const auto before = registry.keys;
    std::vector<std::string> order;
    registry.hook = [&](Operation operation, RegRoot, std::string_view path) {
        if (operation == Operation::Delete)
            order.emplace_back(path.substr(kUninstallKeyPath.size() + 1));
        return kRegSuccess;
    };

    DeleteCheckedEntries(list, registry);

    EXPECT_EQ(order, (std::vector<std::string>{"gone", "solo", "twin", "twin"}));
    EXPECT_EQ(Texts(), (std::vector<std::string>{"twin", "kept"}));
    EXPECT_EQ(list.At(1).place, k32);
    EXPECT_TRUE(list.At(2).selected);
    auto remaining = before;
    for (const auto& [place, name] : std::vector<std::pair<RegRoot, std::string>>{{k64, "twin"}, {kUser, "twin"}, {k32, "solo"}})
        remaining.erase({place, EntryKeyPath(name) + "\\Settings"});
    EXPECT_EQ(registry.keys, remaining);
    EXPECT_EQ(list.unbracketedChanges, 0);
}

TEST_F(ActionsTest, DeleteKeepsTheRowWhenTheKeyStaysOrTheNameIsNotOneKey)
{
    // Every status but success and "not found" leaves the key in place.
    const std::map<std::string, RegStatus> refusals = {
        {"denied", kRegAccessDenied}, {"deleted", kRegKeyDeleted}, {"more", kRegMoreData}};
    for (const auto& [name, status] : refusals)
        AddRow(name, k64);
    registry.hook = [&](Operation operation, RegRoot, std::string_view path) {
        for (const auto& [name, status] : refusals) {
            if (operation == Operation::Delete && path == EntryKeyPath(name))
                return status;
        }
        return kRegSuccess;
    };
    // Names that would reach the Uninstall key itself, or another key.
    for (const std::string& name : {std::string(), std::string("\\"), std::string("Key1\\"),
                                   std::string("Key1\\Sub"), std::string("\\Key1"), std::string("Key1\0x", 6)})
        list.SetSubItem(list.Add("bad", kUser), kKeyNameSubItem, name);
    registry.SetText(kUser, EntryKeyPath("Key1\\Sub"), "Value", "x");
    for (MemoryList::Row& row : list.rows)
        row.checked = true;
    const auto before = registry.keys;

    DeleteCheckedEntries(list, registry);

    EXPECT_EQ(list.Count(), 9);
    for (const MemoryList::Row& row : list.rows)
        EXPECT_TRUE(row.checked);
    EXPECT_EQ(registry.keys, before);
}

TEST_F(ActionsTest, DetectTicksOnlyFilesProvenGone)
{
    const struct {
        const char* file;
        bool ticked;
    } cases[] = {
        {R"(c:\tool\gone.exe)", true},
        {R"(c:\tool\live.exe)", false},
        {R"(c:\locked\uninst.exe)", false},  // no access: not proven gone
        {R"(%programfiles%\gone\uninst.exe)", true},
        {R"(%undefined%\gone\uninst.exe)", false},
        {R"(\\server\share\gone.exe)", true},
        {R"(\\SERVER\share\tool\gone.exe)", true},
        {R"(\\SERVER\share\tool\gone.exe)", true},
        {R"(\\offline\share\gone.exe)", false},
        {R"(q:\gone.exe)", false},  // a drive this program does not see
        {R"(\\?\c:\gone.exe)", false},
        {"IGNORE ME", false},
        {R"(c:\IGNORE ME\gone.exe)", false},
        {R"(c:\ignore me\gone.exe)", true},
        {"", false},
        {"msi", false},
        {"cmd", false},
        {R"(gone\uninst.exe)", false},
        {R"(c:gone\uninst.exe)", false},
        {R"(c:\)", false},
    };
    for (const auto& c : cases)
        AddRow(c.file, k64, c.file);
    const int byHand = AddRow("by hand", k64, R"(c:\tool\live.exe)");
    list.At(byHand).checked = true;
    const std::map<std::string, FileState> world = {
        {R"(c:\)", FileState::Present},           {R"(\\server\share\)", FileState::Present},
        {R"(c:\tool\live.exe)", FileState::Present}, {R"(c:\locked\uninst.exe)", FileState::Unknown},
        {R"(\\offline\share\)", FileState::Unknown},
    };
    std::map<std::string, int> probes;
    const FileProbe probe = [&](std::string_view path) {
        const std::string key = LowerAscii(path);
        ++probes[key];
        return world.contains(key) ? world.at(key) : FileState::Absent;
    };
    const ExpandVariables expand = [](std::string_view text) {
        std::string expanded(text);
        if (expanded.starts_with("%programfiles%"))
            expanded.replace(0, 14, R"(C:\Program Files)");
        return expanded;
    };

    DetectOldEntries(list, probe, expand);

    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(cases[i].file);
        EXPECT_EQ(list.rows[i].checked, cases[i].ticked);
    }
    EXPECT_TRUE(list.At(byHand).checked);
    // A root is asked once per pass, however many rows stand on it.
    EXPECT_EQ(probes[R"(\\server\share\)"], 1);
    EXPECT_EQ(probes[R"(\\offline\share\)"], 1);
    EXPECT_EQ(probes.count(R"(q:\gone.exe)"), 0u);
    EXPECT_EQ(list.unbracketedChanges, 0);
}

}  // namespace

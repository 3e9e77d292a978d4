#include "Actions.h"

#include <gtest/gtest.h>

#include "MemoryList.h"
#include "MemoryRegistry.h"

namespace {

constexpr RegRoot k64 = RegRoot::LocalMachine, k32 = RegRoot::LocalMachine32, kUser = RegRoot::CurrentUser;

class ActionsTest : public testing::Test {
protected:
    // A row for an entry of `place` whose key is in the registry.
    int AddRow(const std::string& keyName, RegRoot place, const std::string& file = "c:\\un.exe")
    {
        const int row = list.Add(keyName, place);
        list.At(row).subItems = {"\"" + file + "\" /S", file, keyName};
        registry.entries[{place, keyName}];
        return row;
    }
    std::vector<std::string> Texts() const
    {
        std::vector<std::string> texts;
        for (const MemoryList::Row& row : list.rows)
            texts.push_back(row.text + (row.checked ? " ticked" : ""));
        return texts;
    }

    MemoryList list;
    MemoryRegistry registry;
};

TEST_F(ActionsTest, UninstallStartsEachSelectedRowInOrderWhileTheListPaints)
{
    for (const char* name : {"1", "2", "3", "4"})
        AddRow(name, k64, std::string("c:\\") + name + ".exe");
    list.At(1).checked = list.At(2).selected = list.At(4).selected = true;
    list.At(4).subItems[0] = "";
    std::vector<std::string> started;
    UninstallSelectedEntry(list, [&](std::string_view command) {
        EXPECT_EQ(list.updateDepth, 0);
        started.emplace_back(command);
    });
    EXPECT_EQ(started, (std::vector<std::string>{"\"c:\\2.exe\" /S", ""}));
    EXPECT_EQ(Texts(), (std::vector<std::string>{"1 ticked", "2", "3", "4"}));
}

TEST_F(ActionsTest, DeleteRemovesEachTickedKeyInItsOwnPlaceOnlyAndKeepsTheRowsOfKeysThatStay)
{
    // Place, key name, ticked, what deleting the key answers.
    const std::tuple<RegRoot, std::string, bool, RegStatus> rows[] = {
        {k64, "twin", true, kRegSuccess},       {k32, "twin", false, kRegSuccess},
        {kUser, "twin", true, kRegSuccess},     {k64, "gone", true, kRegFileNotFound},  // gone already
        {k32, "denied", true, kRegAccessDenied}, {k64, "deleted", true, kRegKeyDeleted},
        // Names that would reach the Uninstall key itself, or another key.
        {kUser, "", true, kRegSuccess},         {kUser, "twin\\Settings", true, kRegSuccess},
        {kUser, std::string("twin\0x", 6), true, kRegSuccess},
    };
    for (const auto& [place, keyName, ticked, status] : rows)
        list.At(AddRow(keyName, place)).checked = ticked;
    list.At(2).selected = true;
    auto expected = registry.entries;
    for (const RegRoot place : {k64, kUser})
        expected.erase({place, "twin"});
    std::vector<std::string> order;
    registry.hook = [&](MemoryRegistry::Operation operation, RegRoot, std::string_view path) {
        order.emplace_back(path.substr(kUninstallKeyPath.size() + 1));
        for (const auto& [place, keyName, ticked, status] : rows) {
            if (operation == MemoryRegistry::Operation::Delete && keyName == order.back())
                return status;
        }
        return kRegSuccess;
    };

    DeleteCheckedEntries(list, registry);

    EXPECT_EQ(order, (std::vector<std::string>{"deleted", "denied", "gone", "twin", "twin"}));
    EXPECT_EQ(Texts(), (std::vector<std::string>{"twin", "denied ticked", "deleted ticked", " ticked",
                                                 "twin\\Settings ticked", std::string("twin\0x ticked", 13)}));
    EXPECT_EQ(std::pair(list.At(1).place, list.At(1).selected), std::pair(k32, true));
    EXPECT_EQ(registry.entries, expected);
    EXPECT_EQ(list.changesWhileRepainting, 0);
}

TEST_F(ActionsTest, DetectTicksOnlyFilesProvenGone)
{
    const std::pair<const char*, bool> cases[] = {
        {R"(c:\tool\gone.exe)", true},
        {R"(c:\tool\live.exe)", false},
        {R"(c:\locked\uninst.exe)", false},  // no access: not proven gone
        {R"(%programfiles%\gone\uninst.exe)", true},
        {R"(\\server\share\gone.exe)", true},
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
    for (const auto& [file, ticked] : cases)
        AddRow(file, k64, file);
    list.At(AddRow("by hand", k64, R"(c:\tool\live.exe)")).checked = true;
    const std::map<std::string, FileState> world = {
        {R"(c:\)", FileState::Present},           {R"(\\server\share\)", FileState::Present},
        {R"(c:\tool\live.exe)", FileState::Present}, {R"(c:\locked\uninst.exe)", FileState::Unknown},
        {R"(\\offline\share\)", FileState::Unknown}};
    std::map<std::string, int> probes;

    DetectOldEntries(
        list,
        [&](std::string_view path) {
            const std::string key = LowerAscii(path);
            return ++probes[key], world.contains(key) ? world.at(key) : FileState::Absent;
        },
        [](std::string_view text) {
            return text.starts_with("%programfiles%") ? "C:\\Program Files" + std::string(text.substr(14)) : std::string(text);
        });

    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(list.rows[i].checked, cases[i].second) << cases[i].first;
    EXPECT_TRUE(list.rows.back().checked);
    // A root is asked once per pass, however many rows stand on it.
    EXPECT_EQ(std::pair(probes[R"(\\server\share\)"], probes.count(R"(q:\gone.exe)")), std::pair(1, size_t{0}));
    EXPECT_EQ(list.changesWhileRepainting, 0);
}

}  // namespace

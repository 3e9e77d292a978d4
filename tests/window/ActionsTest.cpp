#include "Actions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "CommandAnalysis.h"
#include "MemoryList.h"
#include "MemoryRegistry.h"

namespace {

constexpr RegRoot k64 = RegRoot::LocalMachine, k32 = RegRoot::LocalMachine32, kUser = RegRoot::CurrentUser;

class ActionsTest : public testing::Test {
protected:
    // Each pass hands repainting back as it found it.
    void TearDown() override { EXPECT_EQ(list.updateDepth, 0); }
    // A row for an entry of `place` whose key is in the registry as listed.
    int AddRow(const std::string& keyName, RegRoot place, const std::string& command = "\"c:\\un.exe\" /S")
    {
        const int row = list.Add(keyName, place);
        list.At(row).subItems = {command, DeriveUninstallerPath(command), keyName};
        registry.AddEntry(place, keyName, keyName, command);
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
        AddRow(name, k64, std::string("\"c:\\") + name + ".exe\" /S");
    list.At(1).selected = list.At(3).checked = list.At(4).selected = true;
    list.At(4).subItems[0] = "";
    std::vector<std::string> started;
    UninstallSelectedEntry(list, [&](std::string_view command) {
        EXPECT_EQ(list.updateDepth, 0);
        started.emplace_back(command);
    });
    EXPECT_EQ(started, (std::vector<std::string>{"\"c:\\1.exe\" /S", ""}));
    EXPECT_EQ(Texts(), (std::vector<std::string>{"1", "2", "3 ticked", "4"}));
}

TEST_F(ActionsTest, DeleteRemovesEachTickedKeyInItsOwnPlaceOnlyWhileItIsAsListed)
{
    // Place, key name, ticked, what opening the key and deleting it answer.
    const std::tuple<RegRoot, std::string, bool, RegStatus, RegStatus> rows[] = {
        {k64, "twin", true, kRegSuccess, kRegSuccess},       {k32, "twin", false, kRegSuccess, kRegSuccess},
        {kUser, "twin", true, kRegSuccess, kRegSuccess},     {k64, "gone", true, kRegSuccess, kRegFileNotFound},
        {k32, "denied", true, kRegSuccess, kRegAccessDenied}, {k64, "deleted", true, kRegSuccess, kRegKeyDeleted},
        {k64, "unreadable", true, kRegAccessDenied, kRegSuccess},
        // Installed again, or changed, since the list was read; or gone before.
        {k64, "renamed", true, kRegSuccess, kRegSuccess},    {k32, "recommanded", true, kRegSuccess, kRegSuccess},
        {kUser, "vanished", true, kRegSuccess, kRegSuccess},
        // Names that would reach the Uninstall key itself, or another key.
        {kUser, "", true, kRegSuccess, kRegSuccess},         {kUser, "twin\\Settings", true, kRegSuccess, kRegSuccess},
        {kUser, "twin\\", true, kRegSuccess, kRegSuccess},
        {kUser, std::string("twin\0x", 6), true, kRegSuccess, kRegSuccess},
    };
    for (const auto& [place, keyName, ticked, opened, deleted] : rows)
        list.At(AddRow(keyName, place)).checked = ticked;
    list.At(2).selected = true;
    registry.AddEntry(k64, "renamed", "renamed 2.0", "\"c:\\un.exe\" /S");
    registry.AddEntry(k32, "recommanded", "recommanded", "\"c:\\un.exe\" /S /2.0");
    registry.entries.erase({kUser, "vanished"});
    auto expected = registry.entries;
    for (const RegRoot place : {k64, kUser})
        expected.erase({place, "twin"});
    std::vector<std::string> order;
    registry.hook = [&](MemoryRegistry::Operation operation, RegRoot, std::string_view path) {
        const std::string keyName(path.substr(kUninstallKeyPath.size() + 1));
        if (operation == MemoryRegistry::Operation::Delete)
            order.push_back(keyName);
        for (const auto& [place, name, ticked, opened, deleted] : rows) {
            if (name == keyName && operation != MemoryRegistry::Operation::Query)
                return operation == MemoryRegistry::Operation::Delete ? deleted : opened;
        }
        return kRegSuccess;
    };

    DeleteCheckedEntries(list, registry);

    EXPECT_EQ(order, (std::vector<std::string>{"deleted", "denied", "gone", "twin", "twin"}));
    EXPECT_EQ(Texts(), (std::vector<std::string>{"twin", "denied ticked", "deleted ticked", "unreadable ticked", "renamed",
                                                 "recommanded", " ticked", "twin\\Settings ticked", "twin\\ ticked",
                                                 std::string("twin\0x ticked", 13)}));
    EXPECT_EQ(std::pair(list.At(1).place, list.At(1).selected), std::pair(k32, true));
    EXPECT_EQ(registry.entries, expected);
    EXPECT_TRUE(registry.open.empty());
    EXPECT_EQ(list.changesWhileRepainting, 0);
}

TEST_F(ActionsTest, DetectTicksOnlyEntriesProvenStale)
{
    // More readings than detection asks about prove nothing, gone as they are.
    std::string manyReadings = R"("C:\Tool\gone.exe)";
    for (size_t i = 0; i < kMostReadings; ++i)
        manyReadings += " x.exe";
    manyReadings += R"( x")";
    // So does a path missing more folders than any uninstaller's.
    std::string deep = R"(C:\Gone)";
    for (int i = 0; i < 15; ++i)
        deep += R"(\a)";
    // Place, command, ticked.
    const std::tuple<RegRoot, std::string, bool> rows[] = {
        {k64, R"("C:\Tool\gone.exe" /S)", true},
        {k64, R"("C:\Tool\live.exe" /S)", false},
        {k64, R"(C:\Tools\Case\Un.exe)", false},  // probed as written
        {k64, R"("C:\Locked\uninst.exe")", false},  // no access: not proven gone
        {k64, R"(C:/Tool/Dead Link/un.exe)", false},  // a link on the way leads nowhere: as Wine,
        {k64, R"(C:\Junction\Tool\un.exe)", false},   // and as Windows shows it
        {k64, R"(C:\WINDOWS\system32\RunDll32.exe setupapi.dll,InstallHinfSection x 132 C:\Tool\gone.inf)", true},
        {k64, R"(\\server\share\gone.exe)", true},
        {k64, R"(\\SERVER\share\tool\gone.exe)", true},
        {k64, R"(\\offline\share\gone.exe)", false},
        {k64, R"(Q:\gone.exe)", false},  // a drive this program does not see
        {k64, R"(D:\gone.exe)", false},  // a removable drive
        {k64, R"(C:\Gone\setup.exe /log msiexec.exe)", false},  // the marker
        {k64, "cmd /c rd gone", false},  // names no file
        {k64, R"(Tool\gone.exe)", false},
        // Every reading must be gone.
        {k64, R"("C:\Tool.exe Kit\gone.exe")", false},
        {k64, R"("C:\Tool\Uninstall 5.10.exe /S")", false},
        {k64, R"("C:\Tool\Gone 5.10.exe /S")", true},
        {k64, R"(C:\Tool Kit\gone.exe /S)", false},
        {k64, manyReadings, false},
        {k64, deep + R"(\un.exe)", true},
        {k64, deep + R"(\a\un.exe)", false},
        {k64, std::string(manyReadings).erase(manyReadings.size() - 8, 6), true},
        // Variables as the machine defines them, or the user for the user's entries.
        {k64, R"(%ProgramFiles%\Gone\un.exe)", true},
        {k64, R"(%ToolDir%\gone.exe)", false},  // the user's own
        {kUser, R"(%ToolDir%\gone.exe)", true},
        {k64, R"(%TEMP%\gone.exe)", false},  // the user's override
        {k64, R"(%ProgramData%\gone.exe)", false},  // this program's differs
        {k64, R"(%Installer%\gone.exe)", false},     // this program has none
        {kUser, R"(%Undefined%\gone.exe)", false},
        // A 32-bit program's System32 and Program Files.
        {k32, R"(C:\Windows\System32\only32.exe)", false},
        {k32, R"(C:\Windows\System32\gone.exe)", true},
        {k64, R"(C:\Windows\System32\only32.exe)", true},
        {k32, R"(C:\Windows\Sysnative\native.exe)", false},
        {k32, R"(C:\Windows\System32\spool\only32.exe)", true},  // a folder both share
        {k32, R"(C:/Windows/System32/only32.exe)", false},
        {k32, R"(C:\Windows\Microsoft\native.exe)", true},  // as long as Sysnative, but not it
        {k32, R"(C:\un.exe)", true},
        {k32, R"("%ProgramFiles%\Only32\un.exe")", false},
        {kUser, R"("%CommonProgramFiles%\Only32\un.exe")", false},
        {k64, R"("%ProgramFiles%\Only32\un.exe")", true},
        // Windows Installer: ticked only for a product it does not know.
        {kUser, R"("C:\Windows\System32\msiexec.exe" -i {00000000-0000-0000-0000-00000000000f})", true},
        {k64, "MsiExec.exe /X{00000000-0000-0000-0000-00000000000G}", false},
        {k32, "MsiExec /I{00000000-0000-0000-0000-000000000005}", false},  // installed
        {k32, "MsiExec /I{00000000-0000-0000-0000-00000000000A}", false},  // registered: not asked
        {k64, "MsiExec.exe /X{00000000-0000-0000-0000-000000000001}", false},  // advertised
        {k64, "MsiExec.exe /X{00000000-0000-0000-0000-000000000002}", false},  // another user's
        {k64, "MsiExec.exe /X{00000000-0000-0000-0000-00000000000E}", false},  // a bad argument
        {k64, "MsiExec.exe /X{00000000-0000-0000-0000-00000000000F}", true},
    };
    // A row ticked by hand stays ticked; the first and the last row are asked too.
    for (const auto& [place, command, ticked] : rows) {
        AddRow(command, place, command);
        if (list.Count() == 1)
            list.At(AddRow("by hand", k64, R"("C:\Tool\live.exe")")).checked = true;
    }
    std::set<std::string> present = {R"(C:\Tool\live.exe)", R"(C:\Tools\Case\Un.exe)", R"(C:\Tool.exe)", R"(C:\Tool\Uninstall 5.10.exe)",
                                     R"(\\server\share\tool)", R"(C:\Windows\SysWOW64\only32.exe)", R"(C:\Windows\System32\native.exe)",
                                     R"(C:\Windows\SysWOW64\spool\only32.exe)", R"(C:\Program Files (x86)\Only32\un.exe)",
                                     R"(C:\Program Files (x86)\Common Files\Only32\un.exe)"};
    Machine machine;
    machine.windowsFolder = R"(C:\Windows)";
    machine.registeredProducts = {"{00000000-0000-0000-0000-00000000000a}"};
    Environments& environments = machine.environments;
    environments.machine = {{"programfiles", R"(C:\Program Files)"}, {"programfiles(x86)", R"(C:\Program Files (x86))"},
                            {"commonprogramfiles", R"(C:\Program Files\Common Files)"},
                            {"commonprogramfiles(x86)", R"(C:\Program Files (x86)\Common Files)"},
                            {"temp", R"(C:\Windows\Temp)"}, {"programdata", R"(C:\ProgramData)"}};
    environments.user = environments.program = environments.machine;
    environments.machine["installer"] = R"(C:\Installer)";
    environments.user["tooldir"] = environments.program["tooldir"] = R"(C:\Tools)";
    environments.user["temp"] = environments.program["temp"] = R"(C:\Users\u\Temp)";
    environments.program["programdata"] = R"(C:\users\Public)";
    std::map<std::string, int> rootProbes;
    const auto backslashed = [](std::string_view path) { std::string text(path); std::ranges::replace(text, '/', '\\'); return text; };
    machine.canProveAbsence = [&](std::string_view root) {
        const std::string key = LowerAscii(root);
        return ++rootProbes[key], backslashed(key) == R"(c:\)" || key == R"(\\server\share\)";
    };
    machine.probeFile = [&](std::string_view written) {
        const std::string path = backslashed(written);
        if (path == R"(C:\Locked\uninst.exe)" || path == R"(C:\Junction)")
            return FileState::Unknown;
        const std::string folder = path + "\\";
        const bool there = std::any_of(present.begin(), present.end(),
                                       [&](const std::string& file) { return file == path || file.starts_with(folder); });
        return there ? FileState::Present : FileState::Absent;
    };
    machine.isUnlisted = [&](std::string_view path) { return backslashed(path) != R"(C:\Tool\Dead Link)"; };
    machine.productState = [](std::string_view code) {
        const int last = std::stoi(std::string(code.substr(36, 1)), nullptr, 16);
        EXPECT_NE(last, 0xA) << "asked about a registered product";
        return last == 0xF || last == 0xA ? kInstallStateUnknown : last == 0xE ? -2 : last;
    };

    DetectOldEntries(list, machine);

    for (size_t i = 0; i < std::size(rows); ++i)
        EXPECT_EQ(list.rows[i + (i > 0)].checked, std::get<2>(rows[i])) << std::get<1>(rows[i]);
    EXPECT_TRUE(list.rows[1].checked);
    // A root is asked once per pass, however many rows stand on it.
    EXPECT_EQ(std::pair(rootProbes[R"(\\server\share\)"], rootProbes.count(R"(q:\gone.exe)")), std::pair(1, size_t{0}));
    EXPECT_EQ(list.changesWhileRepainting, 0);
    // The next pass asks afresh: a file that went meanwhile ticks its row.
    present.erase(R"(C:\Tool\live.exe)");
    DetectOldEntries(list, machine);
    EXPECT_EQ(std::pair(list.At(3).checked, rootProbes[R"(c:\)"]), std::pair(true, 2));
}

}  // namespace

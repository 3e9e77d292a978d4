#include "Actions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "CommandAnalysis.h"
#include "MemoryList.h"
#include "MemoryRegistry.h"
#include "RowReport.h"

namespace {

constexpr RegRoot k64 = RegRoot::LocalMachine, k32 = RegRoot::LocalMachine32, kUser = RegRoot::CurrentUser;

class ActionsTest : public testing::Test {
protected:
    ActionsTest()
    {
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
        environments.program["commonprogramfiles(x86)"] = R"(C:\Program Files (x86)\Common)";
        const auto backslashed = [](std::string_view path) { std::string text(path); std::ranges::replace(text, '/', '\\'); return text; };
        machine.rootKind = [=, this](std::string_view root) {
            ++rootProbes[LowerAscii(root)];
            const std::string key = backslashed(LowerAscii(root));
            const std::map<std::string, DriveKind> kinds = {{R"(c:\)", DriveKind::Fixed},         {R"(\\server\share\)", DriveKind::Share},
                                                            {R"(d:\)", DriveKind::Removable},     {R"(e:\)", DriveKind::Fixed},
                                                            {R"(f:\)", DriveKind::Optical},       {R"(g:\)", DriveKind::Other},
                                                            {R"(\\offline\share\)", DriveKind::NotAnswering}};
            return kinds.contains(key) ? kinds.at(key) : DriveKind::Absent;
        };
        machine.probeFile = [=, this](std::string_view written) {
            const std::string path = backslashed(written);
            if (path == R"(C:\Locked\uninst.exe)" || path == R"(C:\Junction)")
                return FileState::Unknown;
            const std::string folder = path + "\\";
            const bool there = std::any_of(present.begin(), present.end(),
                                           [&](const std::string& file) { return file == path || file.starts_with(folder); });
            return there ? FileState::Present : FileState::Absent;
        };
        machine.isUnlisted = [=](std::string_view path) { return backslashed(path) != R"(C:\Tool\Dead Link)"; };
        machine.productState = [this](std::string_view code) {
            const int last = std::stoi(std::string(code.substr(36, 1)), nullptr, 16);
            EXPECT_NE(last, 0xA) << "asked about a registered product";
            return reinstalled.contains(std::string(code)) ? 5 : last == 0xF || last == 0xA ? kInstallStateUnknown : last == 0xE ? -2 : last;
        };
    }
    // Each pass hands repainting back as it found it.
    void TearDown() override { EXPECT_EQ(list.updateDepth, 0); }
    // A row for an entry of `place` whose key is in the registry as listed.
    int AddRow(const std::string& keyName, RegRoot place, const std::string& command = "\"c:\\un.exe\" /S")
    {
        registry.AddEntry(place, keyName, keyName, command);
        const int row = list.Add(keyName, place, registry.written[{place, keyName}]);
        list.At(row).subItems = {command, DeriveUninstallerPath(command), keyName};
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
    Machine machine;
    std::set<std::string> present = {R"(C:\Tool\live.exe)", R"(C:\Tools\Case\Un.exe)", R"(C:\Tool.exe)", R"(C:\Tool\Uninstall 5.10.exe)",
                                     R"(\\server\share\tool)", R"(C:\Windows\SysWOW64\only32.exe)", R"(C:\Windows\System32\native.exe)",
                                     R"(C:\Windows\SysWOW64\spool\only32.exe)", R"(C:\Program Files (x86)\Only32\un.exe)",
                                     R"(C:\Program Files (x86)\Common Files\Only32\un.exe)", R"(C:\Windows\SysWOW64\x.dll)",
                                     R"(E:\Games\readme.txt)"};
    std::set<std::string> reinstalled;  // products installed again since Detect
    std::map<std::string, int> rootProbes;
    int machinesRead = 0;
    const MachineSource readMachine = [this] { return ++machinesRead, machine; };
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
        {kUser, "vanished", true, kRegSuccess, kRegSuccess}, {k32, "rewritten", true, kRegSuccess, kRegSuccess},
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
    registry.AddEntry(k32, "rewritten", "rewritten", "\"c:\\un.exe\" /S");
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

    DeleteCheckedEntries(list, registry, readMachine);

    EXPECT_EQ(order, (std::vector<std::string>{"deleted", "denied", "gone", "twin", "twin"}));
    EXPECT_EQ(Texts(), (std::vector<std::string>{"twin", "denied ticked", "deleted ticked", "unreadable ticked", "renamed",
                                                 "recommanded", "rewritten", " ticked", "twin\\Settings ticked", "twin\\ ticked",
                                                 std::string("twin\0x ticked", 13)}));
    // Rows ticked by hand have no proof to ask about: the machine is not read.
    EXPECT_EQ(machinesRead, 0);
    std::vector<std::string> kept;
    for (int position = 2; position <= 7; ++position)
        kept.push_back(DescribeVerdict(list.At(position).verdict));
    EXPECT_EQ(kept, (std::vector<std::string>{"Delete kept it: the entry could not be deleted (Windows error 5).",
                                              "Delete kept it: the entry could not be deleted (Windows error 1018).",
                                              "Delete kept it: the entry could not be read (Windows error 5).",
                                              "Delete kept it: the entry changed since the list was read.",
                                              "Delete kept it: the entry changed since the list was read.",
                                              "Delete kept it: the entry changed since the list was read."}));
    EXPECT_EQ(std::pair(list.At(1).place, list.At(1).selected), std::pair(k32, true));
    EXPECT_EQ(registry.entries, expected);
    EXPECT_TRUE(registry.open.empty());
    EXPECT_EQ(list.changesWhileRepainting, 0);
}

TEST_F(ActionsTest, DetectTicksOnlyEntriesProvenStaleAndSaysWhy)
{
    // More readings than detection asks about prove nothing, gone as they are.
    std::string manyReadings = R"("C:\Tool\gone.exe)";
    for (size_t i = 0; i < kMostReadings; ++i)
        manyReadings += " x.exe";
    manyReadings += R"( x")";
    const std::string mostReadings = std::string(manyReadings).erase(manyReadings.size() - 8, 6);
    // So does a path missing more folders than any uninstaller's.
    std::string deep = R"(C:\Gone)";
    for (int i = 0; i < 15; ++i)
        deep += R"(\a)";
    // Place, command, the verdict in words; the tick follows from it.
    const std::tuple<RegRoot, std::string, std::string> rows[] = {
        {k64, R"("C:\Tool\gone.exe" /S)", R"(Ticked: C:\Tool\gone.exe is missing, and C:\Tool is there.)"},
        {k64, R"("C:\Tool\live.exe" /S)", R"(Not ticked: C:\Tool\live.exe is there.)"},
        {k64, R"(C:\Tools\Case\Un.exe)", R"(Not ticked: C:\Tools\Case\Un.exe is there.)"},  // probed as written
        {k64, R"("C:\Locked\uninst.exe")", R"(Not ticked: C:\Locked\uninst.exe could not be checked.)"},
        // A link on the way leads nowhere: as Wine, and as Windows shows it.
        {k64, R"(C:/Tool/Dead Link/un.exe)", R"(Not ticked: C:\Tool\Dead Link leads through a link whose target is missing.)"},
        {k64, R"(C:\Junction\Tool\un.exe)", R"(Not ticked: C:\Junction could not be checked.)"},
        {k64, R"(C:\WINDOWS\system32\RunDll32.exe setupapi.dll,InstallHinfSection x 132 C:\Tool\gone.inf)",
         R"(Ticked: C:\Tool\gone.inf is missing, and C:\Tool is there.)"},
        // Drives: only a fixed disk or a share that answers proves a file gone.
        {k64, R"(\\server\share\gone.exe)", R"(Ticked: \\server\share\gone.exe is missing, and \\server\share\ is there.)"},
        {k64, R"(\\SERVER\share\tool\gone.exe)", R"(Ticked: \\SERVER\share\tool\gone.exe is missing, and \\SERVER\share\ is there.)"},
        {k64, R"(\\offline\share\gone.exe)", R"(Not ticked: \\offline\share\ does not answer now.)"},
        {k64, R"(Q:\gone.exe)", R"(Not ticked: Q:\ is not there now: its disk may be unplugged.)"},
        {k64, R"(D:\gone.exe)", R"(Not ticked: D:\ is a removable drive: another medium may hold its letter now.)"},
        {k64, R"(F:\Setup\gone.exe)", R"(Not ticked: F:\ is an optical drive: another disc may be in it now.)"},
        {k64, R"(G:\Setup\gone.exe)", R"(Not ticked: G:\ is a drive whose files may come and go.)"},
        // Off the Windows drive another disk may hold the letter: a folder below its root must be there.
        {k64, R"("E:\Library\Acme Quest\unins000.exe")",
         R"(Not ticked: no folder of E:\Library\Acme Quest\unins000.exe is on E:\ now: another disk may hold its letter.)"},
        {k64, R"(e:/gone.exe)", R"(Not ticked: no folder of e:\gone.exe is on e:\ now: another disk may hold its letter.)"},
        {k64, R"("E:\Games\Gone Quest\unins000.exe")", R"(Ticked: E:\Games\Gone Quest\unins000.exe is missing, and E:\Games is there.)"},
        {k64, R"(C:\Gone\setup.exe /log msiexec.exe)", "Not ticked: the command mentions msiexec.exe, so the row carries IGNORE ME."},
        {k64, R"("C:\IGNORE ME\gone.exe")", R"(Ticked: C:\IGNORE ME\gone.exe is missing, and C:\ is there.)"},  // only the marker exempts
        {k64, "cmd /c rd gone", "Not ticked: the command names no file with a folder."},
        {k64, R"(Tool\gone.exe)", R"(Not ticked: Tool\gone.exe is a relative path: it would be looked for wherever this program runs.)"},
        // Every reading must be gone.
        {k64, R"("C:\Tool.exe Kit\gone.exe")", R"(Not ticked: C:\Tool.exe is there.)"},
        {k64, R"("C:\Tool\Uninstall 5.10.exe /S")", R"(Not ticked: C:\Tool\Uninstall 5.10.exe is there.)"},
        {k64, R"("C:\Tool\Gone 5.10.exe /S")", R"(Ticked: C:\Tool\Gone 5.10.exe is missing, and C:\Tool is there.)"},
        {k64, R"(C:\Tool Kit\gone.exe /S)", R"(Not ticked: C:\Tool.exe is there.)"},
        {k64, manyReadings, "Not ticked: the command can be read in too many ways to prove anything."},
        {k64, deep + R"(\un.exe)", "Ticked: " + deep + R"(\un.exe is missing, and C:\ is there.)"},
        {k64, deep + R"(\a\un.exe)", "Not ticked: " + deep + R"(\a\un.exe is missing with more of its folders than any uninstaller has.)"},
        // Variables as the machine defines them, or the user for the user's entries.
        {k64, R"(%ProgramFiles%\Gone\un.exe)", R"(Ticked: C:\Program Files\Gone\un.exe is missing, and C:\ is there.)"},
        {k64, R"(%ToolDir%\gone.exe)", "Not ticked: %ToolDir% is a user's folder; an entry of this computer cannot name it."},
        {kUser, R"(%ToolDir%\gone.exe)", R"(Ticked: C:\Tools\gone.exe is missing, and C:\Tools is there.)"},
        {k32, R"(%TEMP%\gone.exe)", "Not ticked: this user's %TEMP% differs from the computer's."},
        {k64, R"(%ProgramData%\gone.exe)", "Not ticked: this program's %ProgramData% differs from the entry's."},
        {k64, R"(%Installer%\gone.exe)", "Not ticked: this user's %Installer% differs from the computer's."},
        {kUser, R"(%Undefined%\gone.exe)", "Not ticked: %Undefined% is not defined for this entry."},
        {k64, R"(%Undefined%\gone.exe)", "Not ticked: %Undefined% is not defined for this entry."},
        // A 32-bit program's System32 and Program Files, in its places or started from SysWOW64.
        {k32, R"(C:\Windows\System32\only32.exe)", R"(Not ticked: C:\Windows\SysWOW64\only32.exe (read as a 32-bit program reads it) is there.)"},
        {k32, R"(C:\Windows\System32\gone.exe)",
         R"(Ticked: C:\Windows\System32\gone.exe is missing, and C:\Windows\System32 is there; C:\Windows\SysWOW64\gone.exe (read as a 32-bit program reads it) is missing, and C:\Windows\SysWOW64 is there.)"},
        {k64, R"(C:\Windows\System32\only32.exe)", R"(Ticked: C:\Windows\System32\only32.exe is missing, and C:\Windows\System32 is there.)"},
        {k64, R"("C:\Windows\SysWOW64\rundll32.exe" C:\Windows\System32\x.dll,Entry)",
         R"(Not ticked: C:\Windows\SysWOW64\x.dll (read as a 32-bit program reads it) is there.)"},
        {k32, R"(C:\Windows\Sysnative\native.exe)", R"(Not ticked: C:\Windows\System32\native.exe is there.)"},
        {k32, R"(C:\Windows\System32\native.exe)", R"(Not ticked: C:\Windows\System32\native.exe is there.)"},
        {k32, R"(C:\Windows\Sysnative\gone.exe)", R"(Ticked: C:\Windows\System32\gone.exe is missing, and C:\Windows\System32 is there.)"},
        {k64, R"(C:\Windows\Sysnative\native.exe)", R"(Not ticked: C:\Windows\System32\native.exe is there.)"},
        {k32, R"(C:\Windows\System32\spool\only32.exe)", R"(Ticked: C:\Windows\System32\spool\only32.exe is missing, and C:\Windows\System32 is there.)"},
        {k32, R"(C:/Windows/System32/only32.exe)", R"(Not ticked: C:\Windows\SysWOW64\only32.exe (read as a 32-bit program reads it) is there.)"},
        {k32, R"(C:\Windows\Microsoft\native.exe)", R"(Ticked: C:\Windows\Microsoft\native.exe is missing, and C:\Windows is there.)"},
        {k32, R"(C:\un.exe)", R"(Ticked: C:\un.exe is missing, and C:\ is there.)"},
        {k32, R"("%ProgramFiles%\Only32\un.exe")", R"(Not ticked: C:\Program Files (x86)\Only32\un.exe (read as a 32-bit program reads it) is there.)"},
        {kUser, R"("%CommonProgramFiles%\Only32\un.exe")", "Not ticked: this program's %commonprogramfiles(x86)% differs from the entry's."},
        {k64, R"("%ProgramFiles%\Only32\un.exe")", R"(Ticked: C:\Program Files\Only32\un.exe is missing, and C:\ is there.)"},
        // Windows Installer: ticked only for a product it does not know.
        {kUser, R"("C:\Windows\System32\msiexec.exe" -i {00000000-0000-0000-0000-00000000000f})",
         "Ticked: Windows Installer does not know the product {00000000-0000-0000-0000-00000000000f}."},
        {k64, "MsiExec.exe /X{00000000-0000-0000-0000-00000000000G}", "Not ticked: the command names no Windows Installer product."},
        {k32, "MsiExec /I{00000000-0000-0000-0000-000000000005}",
         "Not ticked: Windows Installer knows the product {00000000-0000-0000-0000-000000000005} (installed)."},
        {k32, "MsiExec /I{00000000-0000-0000-0000-00000000000A}",
         "Not ticked: Windows Installer has the product {00000000-0000-0000-0000-00000000000A} registered."},
        {k64, "MsiExec.exe /X{00000000-0000-0000-0000-000000000001}",
         "Not ticked: Windows Installer knows the product {00000000-0000-0000-0000-000000000001} (advertised)."},
        {k64, "MsiExec.exe /X{00000000-0000-0000-0000-000000000002}",
         "Not ticked: Windows Installer knows the product {00000000-0000-0000-0000-000000000002} (installed for another user)."},
        {k64, "MsiExec.exe /X{00000000-0000-0000-0000-00000000000E}",
         "Not ticked: Windows Installer could not be asked about the product {00000000-0000-0000-0000-00000000000E}."},
        {k64, "MsiExec.exe /X{00000000-0000-0000-0000-00000000000F}",
         "Ticked: Windows Installer does not know the product {00000000-0000-0000-0000-00000000000F}."},
    };
    // A row ticked by hand stays ticked; the first and the last row are asked too.
    for (const auto& [place, command, verdict] : rows) {
        AddRow(command, place, command);
        if (list.Count() == 1)
            list.At(AddRow("by hand", k64, R"("C:\Tool\live.exe")")).checked = true;
    }
    AddRow("most", k64, mostReadings);

    DetectOldEntries(list, machine);

    for (size_t i = 0; i < std::size(rows); ++i) {
        const MemoryList::Row& row = list.rows[i + (i > 0)];
        EXPECT_EQ(DescribeVerdict(row.verdict), std::get<2>(rows[i])) << std::get<1>(rows[i]);
        EXPECT_EQ(row.checked, std::get<2>(rows[i]).starts_with("Ticked")) << std::get<1>(rows[i]);
    }
    EXPECT_EQ(std::pair(list.rows[1].checked, DescribeVerdict(list.rows[1].verdict)), std::pair(true, std::string("Ticked by hand.")));
    // A verdict holds the readings it asked about, each with its state, and no other.
    const auto asked = [&](const std::string& command) {
        const auto row = std::ranges::find(list.rows, command, [](const MemoryList::Row& r) { return r.subItems[0]; });
        std::string states;
        for (const Reading& reading : row->verdict.readings)
            states += "PAU"[static_cast<int>(reading.state)];
        return states;
    };
    EXPECT_EQ(asked(R"(C:\Tool Kit\gone.exe /S)") + "," + asked(R"(C:\Windows\System32\native.exe)") + "," + asked(R"(%TEMP%\gone.exe)"),
              "AP,P,");
    EXPECT_EQ(std::pair(asked(mostReadings), list.rows.back().checked), std::pair(std::string(kMostReadings, 'A'), true));
    // A root is asked once per pass, however many rows stand on it.
    EXPECT_EQ(std::pair(rootProbes[R"(\\server\share\)"], rootProbes.count(R"(q:\gone.exe)")), std::pair(1, size_t{0}));
    EXPECT_EQ(list.changesWhileRepainting, 0);
    // The next pass asks afresh: a file that went meanwhile ticks its row.
    // A row it ticked before keeps its proof, which Delete asks again.
    present.erase(R"(C:\Tool\live.exe)");
    DetectOldEntries(list, machine);
    EXPECT_EQ(std::pair(list.At(3).checked, rootProbes[R"(c:\)"]), std::pair(true, 2));
    EXPECT_EQ(DescribeVerdict(list.At(1).verdict), std::get<2>(rows[0]));
}

TEST_F(ActionsTest, DeleteKeepsARowDetectTickedOnceItsProofNoLongerHolds)
{
    const std::string product = "{00000000-0000-0000-0000-00000000000F}";
    AddRow("back", k64, R"("C:\Tool\back.exe")");
    AddRow("gone", k64, R"("C:\Tool\gone.exe")");
    AddRow("msi", k64, "MsiExec.exe /X" + product);
    AddRow("live", k64, R"("C:\Tool\live.exe")");
    DetectOldEntries(list, machine);
    list.At(4).checked = true;  // by hand
    // The program is installed again, file and product, before Delete.
    present.insert(R"(C:\Tool\back.exe)");
    reinstalled.insert(product);

    DeleteCheckedEntries(list, registry, readMachine);

    EXPECT_EQ(Texts(), (std::vector<std::string>{"back", "msi"}));
    EXPECT_EQ(DescribeVerdict(list.At(1).verdict), R"(Not ticked: C:\Tool\back.exe is there. Delete kept it: the proof no longer held.)");
    EXPECT_EQ(DescribeVerdict(list.At(2).verdict),
              "Not ticked: Windows Installer knows the product " + product + " (installed). Delete kept it: the proof no longer held.");
    EXPECT_EQ(std::pair(registry.entries.size(), machinesRead), std::pair(size_t{2}, 1));
}

TEST_F(ActionsTest, TipAndCopyTellEachRowsPlaceKeyCommandAndVerdict)
{
    AddRow("{Acme}", k32, "\"C:\\Tool\\gone.exe\"\t/S\r\n");
    AddRow("Acme", kUser, R"(C:\Tool\live.exe)");
    AddRow("Acme", k64, R"(C:\Tool\live.exe)");
    DetectOldEntries(list, machine);
    list.At(3).verdict = {};

    EXPECT_EQ(RowTip(list, 1), "This computer, 32-bit programs\n"
                               R"(HKEY_LOCAL_MACHINE\SOFTWARE\WOW6432Node\Microsoft\Windows\CurrentVersion\Uninstall\{Acme})" "\n"
                               "\"C:\\Tool\\gone.exe\"\t/S\r\n\n"
                               R"(Ticked: C:\Tool\gone.exe is missing, and C:\Tool is there.)");
    EXPECT_EQ(RowTip(list, 3), "This computer, 64-bit programs\n"
                               R"(HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Acme)" "\n"
                               R"(C:\Tool\live.exe)");
    EXPECT_EQ(CopyRows(list, {1, 2, 3}),
              "Name\tPlace\tKey\tCommand\tVerdict\r\n"
              "{Acme}\tThis computer, 32-bit programs\t" R"(HKEY_LOCAL_MACHINE\SOFTWARE\WOW6432Node\Microsoft\Windows\CurrentVersion\Uninstall\{Acme})"
              "\t\"C:\\Tool\\gone.exe\" /S  \t" R"(Ticked: C:\Tool\gone.exe is missing, and C:\Tool is there.)" "\r\n"
              "Acme\tThis user's programs\t" R"(HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Uninstall\Acme)"
              "\t" R"(C:\Tool\live.exe)" "\t" R"(Not ticked: C:\Tool\live.exe is there.)" "\r\n"
              "Acme\tThis computer, 64-bit programs\t" R"(HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Acme)"
              "\t" R"(C:\Tool\live.exe)" "\t\r\n");
    // A copy takes the highlighted rows, and nothing without one.
    std::vector<std::string> copies;
    const auto copy = [&] { CopySelectedEntries(list, [&](std::string_view text) { copies.emplace_back(text); }); };
    copy();
    list.At(3).selected = list.At(1).selected = true;
    copy();
    EXPECT_EQ(copies, std::vector<std::string>{CopyRows(list, {1, 3})});
}

}  // namespace

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Catalogue.h"
#include "MemoryList.h"
#include "MemoryRegistry.h"
#include "UninstallEntry.h"

namespace {

using Operation = MemoryRegistry::Operation;

class LoadUninstallEntriesTest : public ::testing::Test {
protected:
    void Load() { LoadUninstallEntries(registry, list); }

    MemoryRegistry registry;
    MemoryList list;
};

TEST_F(LoadUninstallEntriesTest, BuildsOneRowPerListedSubkeyInRegistryOrder)
{
    registry.AddEntry("{B-product}", "Beta Tool", R"("C:\Program Files\Beta\uninst.exe" /S)");
    registry.AddEntry("alpha", "Alpha Tool", "MsiExec.exe /X{1}");
    registry.AddEntry("Gamma_Setup", "Gamma",
                      R"(C:\WINDOWS\system32\RunDll32.exe setupapi.dll,InstallHinfSection x 132 C:\WINDOWS\INF\gamma.inf)");

    Load();

    ASSERT_EQ(list.Count(), 3);
    // The registry orders names by their upper-case form: '{' comes after letters.
    EXPECT_EQ(list.Texts(), (std::vector<std::string>{"Alpha Tool", "Gamma", "Beta Tool"}));

    const MemoryList::Row& alpha = list.rows[0];
    EXPECT_EQ(alpha.subItems[kUninstallSubItem - 1], "MsiExec.exe /X{1}");
    EXPECT_EQ(alpha.subItems[kFileExistsSubItem - 1], "IGNORE ME");
    EXPECT_EQ(alpha.subItems[kKeyNameSubItem - 1], "alpha");
    EXPECT_FALSE(alpha.checked);

    // rundll32 commands are replaced by the file they act on.
    const MemoryList::Row& gamma = list.rows[1];
    EXPECT_EQ(gamma.subItems[kUninstallSubItem - 1], R"(c:\windows\inf\gamma.inf)");
    EXPECT_EQ(gamma.subItems[kFileExistsSubItem - 1], R"(c:\windows\inf\gamma.inf)");

    const MemoryList::Row& beta = list.rows[2];
    EXPECT_EQ(beta.subItems[kUninstallSubItem - 1], R"("C:\Program Files\Beta\uninst.exe" /S)");
    EXPECT_EQ(beta.subItems[kFileExistsSubItem - 1], R"(c:\program files\beta\uninst.exe)");
    EXPECT_EQ(beta.subItems[kKeyNameSubItem - 1], "{B-product}");

    EXPECT_EQ(registry.OpenKeyCount(), 0);
}

TEST_F(LoadUninstallEntriesTest, SkipsSubkeysWithoutANameOrACommandAndGoesOn)
{
    registry.AddEntry("a-no-command", "No Command", "");
    registry.AddEntry("b-no-name", "", "C:\\x\\uninst.exe");
    registry.AddEntry("c-empty-name", "", "C:\\x\\uninst.exe");
    registry.SetValue(EntryKeyPath("c-empty-name"), "DisplayName", RegType::Sz, {});
    registry.AddEntry("d-multi", "", "C:\\x\\uninst.exe");
    registry.SetString(EntryKeyPath("d-multi"), "DisplayName", "Multi", RegType::MultiSz);
    registry.AddEntry("e-expand", "", "C:\\x\\uninst.exe");
    registry.SetString(EntryKeyPath("e-expand"), "DisplayName", "%Name%", RegType::ExpandSz);
    registry.CreateKey(EntryKeyPath("f-bare"));
    registry.AddEntry("g-same", "Twin", "C:\\x\\uninst.exe");
    registry.AddEntry("h-same", "Twin", "C:\\y\\uninst.exe");

    Load();

    EXPECT_EQ(list.Texts(), (std::vector<std::string>{"%Name%", "Twin", "Twin"}));
    EXPECT_EQ(list.rows[1].subItems[kKeyNameSubItem - 1], "g-same");
    EXPECT_EQ(list.rows[2].subItems[kKeyNameSubItem - 1], "h-same");
}

TEST_F(LoadUninstallEntriesTest, EndsAtANameTooLongForTheBuffer)
{
    registry.AddEntry("a", "First", "C:\\a.exe");
    registry.AddEntry("b" + std::string(253, 'x'), "Longest that fits", "C:\\b.exe");  // 254 characters
    registry.AddEntry("c" + std::string(254, 'x'), "Too long", "C:\\c.exe");           // 255 characters
    registry.AddEntry("d", "After the long one", "C:\\d.exe");

    Load();

    EXPECT_EQ(list.Texts(), (std::vector<std::string>{"First", "Longest that fits"}));
}

TEST_F(LoadUninstallEntriesTest, EmptiesTheListAndStopsQuietlyOnFailures)
{
    list.Add("left over");
    Load();  // there is no Uninstall key at all
    EXPECT_EQ(list.Count(), 0);

    registry.AddEntry("a", "First", "C:\\a.exe");
    registry.AddEntry("b", "Second", "C:\\b.exe");
    registry.AddEntry("c", "Third", "C:\\c.exe");
    registry.intercept = [](Operation operation, std::string_view, std::string_view) {
        return operation == Operation::OpenForEnumeration ? kRegAccessDenied : kRegSuccess;
    };
    Load();
    EXPECT_EQ(list.Count(), 0);

    // An enumeration that fails part-way keeps the rows read before it.
    int enumerations = 0;
    registry.intercept = [&](Operation operation, std::string_view, std::string_view) {
        return operation == Operation::EnumerateSubkey && ++enumerations == 3 ? RegStatus{1} : kRegSuccess;
    };
    Load();
    EXPECT_EQ(list.Texts(), (std::vector<std::string>{"First", "Second"}));
    EXPECT_EQ(registry.OpenKeyCount(), 0);
}

TEST_F(LoadUninstallEntriesTest, LoadsAHundredThousandEntriesWhole)
{
    constexpr int kEntries = 100000;
    for (int i = 0; i < kEntries; ++i) {
        const std::string name = "Entry" + std::to_string(100000 + i);
        registry.AddEntry(name, name, "C:\\Tools\\" + name + "\\uninst.exe");
    }

    Load();

    ASSERT_EQ(list.Count(), kEntries);
    EXPECT_EQ(list.rows.back().text, "Entry199999");
    EXPECT_EQ(list.rows.back().subItems[kFileExistsSubItem - 1], "c:\\tools\\entry199999\\uninst.exe");
}

}  // namespace

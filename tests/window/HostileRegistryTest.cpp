#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include <windows.h>

#include "RegistryTestSupport.h"
#include "UninstallEntry.h"
#include "Win32Registry.h"
#include "WinText.h"
#include "WindowTestSupport.h"

namespace {

// Key names from many scripts, with symbols the file system would refuse.
const std::vector<std::string> kScriptNames = {
    "ulc-hostile-العربية עברית",
    "ulc-hostile-हिन्दी ไทย",
    "ulc-hostile-中文 日本語 한국어",
    "ulc-hostile-Ελληνικά Русский Ქართული",
    "ulc-hostile-\U0001F680\U0001F9EA e\u0301 \u200F*?<>|\"/",
};

// Entries no installer would write: the window lists what it can, ticks and
// deletes as asked, and leaves every other key of HKLM exactly as it was.
class HostileRegistryTest : public RegistryFormTest {
protected:
    HostileRegistryTest() : RegistryFormTest("ulc-hostile-") {}

    static void Entry(const std::string& name, const std::wstring& displayName)
    {
        WriteText(EntryKeyPath(name), L"DisplayName", displayName);
        WriteText(EntryKeyPath(name), L"UninstallString", L"\"C:\\Gone\\" + WideFromUtf8(name) + L"\\uninst.exe\" /S");
    }
};

TEST_F(HostileRegistryTest, ListsTicksAndDeletesOnlyWhatItShould)
{
    const std::wstring huge(1 << 19, L'h');  // a 1 MB display name
    Entry("ulc-hostile-huge", huge);
    // No terminator, an odd byte count, a NUL inside the command.
    WriteValue(EntryKeyPath("ulc-hostile-raw"), L"DisplayName", REG_SZ, L"Raw Tool!", 17);
    WriteValue(EntryKeyPath("ulc-hostile-raw"), L"UninstallString", REG_EXPAND_SZ, L"C:\\Gone\\raw.exe\0C:\\Windows\\x",
               28 * sizeof(wchar_t));
    const DWORD number = 1;
    WriteValue(EntryKeyPath("ulc-hostile-dword"), L"DisplayName", REG_DWORD, &number, sizeof number);
    WriteText(EntryKeyPath("ulc-hostile-dword"), L"UninstallString", L"C:\\Gone\\dword.exe");
    WriteValue(EntryKeyPath("ulc-hostile-multi"), L"DisplayName", REG_MULTI_SZ, L"Multi\0Tool\0", 12 * sizeof(wchar_t));
    WriteText(EntryKeyPath("ulc-hostile-multi"), L"UninstallString", L"C:\\Gone\\multi.exe");
    WriteText(EntryKeyPath("ulc-hostile-binary"), L"DisplayName", L"Binary Command");
    WriteValue(EntryKeyPath("ulc-hostile-binary"), L"UninstallString", REG_BINARY, "\x01\x02\x03", 3);
    for (const std::string& name : kScriptNames)
        Entry(name, L"Tool " + WideFromUtf8(name));
    Entry("ulc-hostile-deep", L"Deep Tool");
    std::string deep = EntryKeyPath("ulc-hostile-deep");
    for (int level = 0; level < 24; ++level) {
        deep += "\\level" + std::to_string(level);
        WriteText(deep, L"Data", L"below the entry");
    }
    Entry("ulc-hostile-gone", L"Gone Tool");
    Entry("ulc-hostile-again", L"Tool Before");

    Form1& form = OpenShown();

    std::vector<std::string> expected = kScriptNames;
    for (const char* name : {"ulc-hostile-again", "ulc-hostile-deep", "ulc-hostile-gone", "ulc-hostile-huge",
                             "ulc-hostile-raw"})
        expected.emplace_back(name);
    std::vector<std::string> listed = Listed(form);
    std::sort(listed.begin(), listed.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(listed, expected);
    for (int position = 1; position <= form.List().Count(); ++position) {
        const std::string name = form.List().SubItem(position, kKeyNameSubItem);
        if (name == "ulc-hostile-huge") {
            EXPECT_EQ(form.List().Text(position), Utf8FromWide(huge));
        }
        if (name == "ulc-hostile-raw") {
            EXPECT_EQ(form.List().Text(position), "Raw Tool");
            EXPECT_EQ(form.List().SubItem(position, kUninstallSubItem), "C:\\Gone\\raw.exe");
        }
    }

    // Every listed entry of the test names a missing uninstaller. Detection
    // only ticks: the registry stays as it was.
    const std::wstring beforeDetection = ExportLocalMachine();
    Press(form.Check3());
    EXPECT_EQ(ExportLocalMachine(), beforeDetection);
    for (int position = 1; position <= form.List().Count(); ++position) {
        if (form.List().SubItem(position, kKeyNameSubItem).starts_with("ulc-hostile-")) {
            EXPECT_TRUE(form.List().Checked(position));
        }
    }

    // Behind the program's back: one key goes, one comes back with other values.
    registry.DeleteTree(RegRoot::LocalMachine, EntryKeyPath("ulc-hostile-gone"));
    registry.DeleteTree(RegRoot::LocalMachine, EntryKeyPath("ulc-hostile-again"));
    Entry("ulc-hostile-again", L"Tool After");
    const std::wstring before = ExportLocalMachine();

    Press(form.Check2());

    EXPECT_TRUE(Listed(form).empty());
    EXPECT_EQ(ExportLocalMachine(), Without(before, expected));
    for (const char* kept : {"ulc-hostile-dword", "ulc-hostile-multi", "ulc-hostile-binary"})
        EXPECT_TRUE(EntryExists(kept)) << kept;
}

}  // namespace

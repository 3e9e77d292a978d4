#include <gtest/gtest.h>

#include <string>

#include "CommandAnalysis.h"
#include "Reg.h"

namespace {

struct Case {
    const char* command;
    const char* file;
    const char* uninstallAfter;  // nullptr: the command stays as read
};

// Commands as installers write them, and what the catalogue makes of them.
const Case kCases[] = {
    {R"("C:\Program Files\Tool\uninst.exe" /S)", R"(c:\program files\tool\uninst.exe)", nullptr},
    {"MsiExec.exe /X{12345678-90AB-CDEF-1234-567890ABCDEF}", "IGNORE ME", nullptr},
    {"MsiExec /X{12345678-90AB-CDEF-1234-567890ABCDEF}", "msi", nullptr},
    {R"(C:\WINDOWS\UNINST.EXE -f C:\Program Files\Tool\DeIsL1.isu)", R"(c:\windows\uninst.exe)", nullptr},
    // ".inf" wins over the earlier ".dll"; the last ":" picks the file's drive.
    {R"(C:\WINDOWS\system32\RunDll32.exe setupapi.dll,InstallHinfSection DefaultUninstall 132 C:\WINDOWS\INF\tool.inf)",
     R"(c:\windows\inf\tool.inf)", R"(c:\windows\inf\tool.inf)"},
    // ".exe" anywhere wins over an earlier ".dll", so both paths are kept.
    {R"(RunDll32 C:\PROGRA~1\COMMON~1\Tool\ctor.dll,LaunchSetup "C:\Program Files\Tool\setup.exe" -l0x9 -removeonly)",
     R"(c:\program files\tool\setup.exe)", R"(c:\program files\tool\setup.exe)"},
    {"rundll32.exe tool.dll,Uninstall", "", ""},
    {R"(C:\Tool\remove.bat)", R"(c:\)", nullptr},
    // The Windows Installer test looks at the command before quotes go, in any case.
    {R"("C:\Windows\System32\MSIEXEC.EXE" /x{1})", "IGNORE ME", nullptr},
    {"msiexec.exe /i foo", "IGNORE ME", nullptr},
    {"ab", "ab", nullptr},
};

TEST(DeriveUninstallerPath, GivesTheFileEachKindOfCommandNames)
{
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.command);
        const DerivedUninstaller derived = DeriveUninstallerPath(c.command);
        EXPECT_EQ(derived.file, c.file);
        if (c.uninstallAfter) {
            ASSERT_TRUE(derived.replacement.has_value());
            EXPECT_EQ(*derived.replacement, c.uninstallAfter);
        } else {
            EXPECT_FALSE(derived.replacement.has_value());
        }
    }
}

TEST(DeriveUninstallerPath, LowerCasesOnlyAsciiLetters)
{
    EXPECT_EQ(DeriveUninstallerPath(R"(C:\ÄPFEL\ΣΕΤ\UNINST.EXE /S)").file, R"(c:\Äpfel\ΣΕΤ\uninst.exe)");
    // Without an extension the first three characters are kept, not three bytes.
    EXPECT_EQ(DeriveUninstallerPath("ЖЖЖЖ").file, "ЖЖЖ");
}

TEST(DeriveUninstallerPath, HandlesCommandsBeyondSixteenBitPositions)
{
    const std::string folder(40000, 'a');
    const std::string command = "C:\\" + folder + "\\UNINST.EXE /quiet";
    EXPECT_EQ(DeriveUninstallerPath(command).file, "c:\\" + folder + "\\uninst.exe");

    const std::string rundll = "rundll32 x.dll,Go C:\\" + folder + "\\setup.inf";
    EXPECT_EQ(DeriveUninstallerPath(rundll).replacement.value_or("?"), "c:\\" + folder + "\\setup.inf");
}

TEST(PathFromLastDrive, TakesTheDriveBeforeTheLastColon)
{
    EXPECT_EQ(PathFromLastDrive(R"(rundll32 a:\x.dll c:\y.inf)"), R"(c:\y.inf)");
    EXPECT_EQ(PathFromLastDrive("no drive here"), "");
    EXPECT_EQ(PathFromLastDrive(""), "");
    // A colon at the very start has no drive letter before it: nothing is read
    // before the text, and the whole text is the answer.
    EXPECT_EQ(PathFromLastDrive(R"(:\x.inf)"), R"(:\x.inf)");
    EXPECT_EQ(PathFromLastDrive(":"), ":");
    // A drive "letter" outside ASCII is one character of several bytes.
    EXPECT_EQ(PathFromLastDrive(R"(run é:\x.inf)"), R"(é:\x.inf)");
}

}  // namespace

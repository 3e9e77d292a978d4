#include <gtest/gtest.h>

#include "CommandAnalysis.h"
#include "Reg.h"

namespace {

// Commands as installers write them, and the file each one names.
const std::pair<const char*, const char*> kCases[] = {
    {R"("C:\Program Files\Tool\uninst.exe" /S)", R"(c:\program files\tool\uninst.exe)"},
    {R"(C:\WINDOWS\UNINST.EXE -f C:\Program Files\Tool\DeIsL1.isu)", R"(c:\windows\uninst.exe)"},
    // Windows Installer, seen before the quotes go, in any letter case.
    {R"("C:\Windows\System32\MSIEXEC.EXE" /x{1})", "IGNORE ME"},
    // Without an extension, the first three characters.
    {"MsiExec /X{12345678-90AB-CDEF-1234-567890ABCDEF}", "msi"},
    {R"(C:\Tool\remove.bat)", R"(c:\)"},
    {"ЖЖЖЖ", "ЖЖЖ"},
    // ".inf" wins over an earlier ".dll"; the last ":" picks the file's drive.
    {R"(C:\WINDOWS\system32\RunDll32.exe setupapi.dll,InstallHinfSection DefaultUninstall 132 C:\WINDOWS\INF\tool.inf)",
     R"(c:\windows\inf\tool.inf)"},
    // ".exe" anywhere wins over an earlier ".dll".
    {R"(RunDll32 C:\PROGRA~1\COMMON~1\Tool\ctor.dll,LaunchSetup "C:\Program Files\Tool\setup.exe" -l0x9 -removeonly)",
     R"(c:\program files\tool\setup.exe)"},
    {"rundll32.exe tool.dll,Uninstall", ""},
    {"rundll32.exe dfshim.dll,ShArpMaintain app.application, Culture=neutral", ""},
    // Only A to Z are lower-cased.
    {R"(C:\ÄPFEL\ΣΕΤ\UNINST.EXE /S)", R"(c:\Äpfel\ΣΕΤ\uninst.exe)"},
};

TEST(DeriveUninstallerPath, GivesTheFileEachKindOfCommandNames)
{
    for (const auto& [command, file] : kCases)
        EXPECT_EQ(DeriveUninstallerPath(command), file) << command;
}

TEST(PathFromLastDrive, TakesTheDriveBeforeTheLastColon)
{
    EXPECT_EQ(PathFromLastDrive(R"(rundll32 a:\x.dll c:\y.inf)"), R"(c:\y.inf)");
    EXPECT_EQ(PathFromLastDrive("no drive here"), "");
    EXPECT_EQ(PathFromLastDrive(R"(:\x.inf)"), R"(:\x.inf)");
    // A drive "letter" outside ASCII is one character of several bytes.
    EXPECT_EQ(PathFromLastDrive(R"(run é:\x.inf)"), R"(é:\x.inf)");
}

}  // namespace

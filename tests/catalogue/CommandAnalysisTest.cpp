#include <gtest/gtest.h>

#include "CommandAnalysis.h"
#include "Text.h"

namespace {

// Commands as installers write them: the FileExists text, and what the
// command starts: "rundll32"/"msiexec <product>" and every file it may start,
// as written.
constexpr std::string_view kCases[][3] = {
    {R"("C:\Program Files\Tool\uninst.exe" /S)", R"(c:\program files\tool\uninst.exe)", R"(C:\Program Files\Tool\uninst.exe)"},
    {"MsiExec.exe /X{12345678-90AB-CDEF-1234-567890ABCDEF}", "IGNORE ME", "msiexec {12345678-90AB-CDEF-1234-567890ABCDEF}"},
    // Without ".exe" the marker is not there: the first three characters.
    {"MsiExec /X{12345678-90ab-cdef-1234-567890abcdef}", "msi", "msiexec {12345678-90ab-cdef-1234-567890abcdef}"},
    {R"(C:\WINDOWS\UNINST.EXE -f C:\Program Files\Tool\DeIsL1.isu)", R"(c:\windows\uninst.exe)", R"(C:\WINDOWS\UNINST.EXE)"},
    // rundll32 acts on the last absolute path, the library included.
    {R"(C:\WINDOWS\system32\RunDll32.exe setupapi.dll,InstallHinfSection DefaultUninstall 132 C:\WINDOWS\INF\tool.inf)",
     R"(c:\windows\inf\tool.inf)", R"(rundll32 C:\WINDOWS\INF\tool.inf)"},
    {R"(RunDll32 C:\PROGRA~1\COMMON~1\Tool\ctor.dll,LaunchSetup "C:\Program Files\Tool\setup.exe" -l0x9 -removeonly)",
     R"(c:\program files\tool\setup.exe)", R"(rundll32 C:\Program Files\Tool\setup.exe)"},
    {"rundll32.exe tool.dll,Uninstall", "", "rundll32"},
    {R"(C:\Tool\remove.bat)", R"(c:\tool\remove.bat)", R"(C:\Tool\remove.bat)"},
    // A name ends at a blank, never inside a folder's name or in the arguments.
    {R"("C:\Program Files\Acme.Exec\uninstall.exe" /S)", R"(c:\program files\acme.exec\uninstall.exe)",
     R"(C:\Program Files\Acme.Exec\uninstall.exe)"},
    {R"("C:\Program Files\Foo.Infinity\uninstall.cmd")", R"(c:\program files\foo.infinity\uninstall.cmd)",
     R"(C:\Program Files\Foo.Infinity\uninstall.cmd)"},
    {R"("C:\Tools\Kit\uninstall.bat" /remove helper.exe)", R"(c:\tools\kit\uninstall.bat)", R"(C:\Tools\Kit\uninstall.bat)"},
    {"C:\\Tools\\Kit\\uninstall.bat\t/remove helper.exe", R"(c:\tools\kit\uninstall.bat)", R"(C:\Tools\Kit\uninstall.bat)"},
    {R"(C:\Windows\System32\rundll32.exe shell32.dll,Control_RunDLL x.cpl)", "", "rundll32"},
    {R"(C:/Windows/System32/RUNDLL32.EXE shell32.dll,Control_RunDLL x.cpl)", "", "rundll32"},
    {R"(rundll32 x.dll,Run C:\Tool\un.inf /q)", R"(c:\tool\un.inf)", R"(rundll32 C:\Tool\un.inf)"},
    {"rundll32 x.dll,Run C:\\Tool\\un.inf\t/q", R"(c:\tool\un.inf)", R"(rundll32 C:\Tool\un.inf)"},
    {R"(%SystemRoot%\System32\RUNDLL32 "%ProgramFiles%\Tool Kit\un.dll",Remove)", R"(%programfiles%\tool kit\un.dll)",
     R"(rundll32 %ProgramFiles%\Tool Kit\un.dll)"},
    {R"(rundll32 C:\Program Files\Tool\lib.dll,Uninstall /S)", R"(c:\program files\tool\lib.dll)",
     R"(rundll32 C:\Program Files\Tool\lib.dll)"},
    {R"(rundll32.exe \\srv\tools\un.dll,Remove)", R"(\\srv\tools\un.dll)", R"(rundll32 \\srv\tools\un.dll)"},
    {R"(rundll32 setup.dll,Run /inf=C:\Tool\un.inf)", R"(c:\tool\un.inf)", R"(rundll32 C:\Tool\un.inf)"},
    {R"(rundll32 setup.dll,Run /log=C:\Tool\un.log)", "", "rundll32"},
    // Arguments inside the quotes, paths with blanks outside them: every reading.
    {R"("C:\Program Files (x86)\Tool\Uninstall 5.10.exe /S")", R"(c:\program files (x86)\tool\uninstall 5.10.exe)",
     R"(C:\Program Files (x86)\Tool\Uninstall 5.10.exe)"},
    {R"("C:\Tool.exe Kit\un.exe")", R"(c:\tool.exe kit\un.exe)", R"(C:\Tool.exe Kit\un.exe | C:\Tool.exe)"},
    {R"(C:\Program Files\Tool Kit\un.exe /S)", R"(c:\program files\tool kit\un.exe)",
     R"(C:\Program Files\Tool Kit\un.exe | C:\Program.exe | C:\Program Files\Tool.exe)"},
    {R"(C:\Tool.exe Kit\un.exe C:\Tool\un.log)", R"(c:\tool.exe)", R"(C:\Tool.exe | C:\Tool.exe Kit\un.exe)"},
    {R"(C:\Tool\un.exe helper.exe)", R"(c:\tool\un.exe)", R"(C:\Tool\un.exe)"},
    {R"(C:\Program Files\Acme 2.0\Tool Kit\un.exe)", R"(c:\program files\acme 2.0\tool kit\un.exe)",
     R"(C:\Program Files\Acme 2.0\Tool Kit\un.exe | C:\Program.exe | C:\Program Files\Acme.exe | C:\Program Files\Acme 2.0\Tool.exe)"},
    {R"(C:\Tool 2.0 Kit\un.exe)", R"(c:\tool 2.0 kit\un.exe)", R"(C:\Tool 2.0 Kit\un.exe | C:\Tool.exe | C:\Tool 2.0)"},
    {R"(%ProgramFiles%\Tool\un.exe)", R"(%programfiles%\tool\un.exe)", R"(%ProgramFiles%\Tool\un.exe)"},
    {R"(Tool.v2 Kit\un.exe)", R"(tool.v2 kit\un.exe)", R"(Tool.v2 Kit\un.exe | Tool.v2)"},
    // A program without an extension proves nothing: the first three characters.
    {R"("C:\Tool\uninstall" /S)", R"(c:\)", ""},
    {R"(C:\Tool\uninstall /S helper.exe)", R"(c:\)", ""},
    {"cmd /c rd /s /q gone", "cmd", ""},
    {"ЖЖЖЖ", "ЖЖЖ", ""},
    {"C:", "c:", ""},
    // No file has a colon in its name but after a drive letter.
    {R"("C:\Tool\un.exe /log:C:\Tool\un.exe")", R"(c:\tool\un.exe)", R"(C:\Tool\un.exe)"},
    {R"("C:\Tool\un.exe /log:C:\Tool\un.exe /S")", R"(c:\tool\un.exe)", R"(C:\Tool\un.exe)"},
    {R"(":\Tool\un.exe")", R"(:\t)", ""},
    {R"(C::\Tool\un.exe)", "c::", ""},
    {R"(C:\ÄPFEL\ΣΕΤ\UNINST.EXE /S)", R"(c:\Äpfel\ΣΕΤ\uninst.exe)", R"(C:\ÄPFEL\ΣΕΤ\UNINST.EXE)"},
    // msiexec: the first /X or /I, any case, "-" too, the code right after it or next.
    {R"("C:\Windows\System32\MSIEXEC.EXE" -i {12345678-90AB-CDEF-1234-567890ABCDEF} /qn)", "IGNORE ME",
     "msiexec {12345678-90AB-CDEF-1234-567890ABCDEF}"},
    {"msiexec /qb /x{12345678-90AB-CDEF-1234-567890ABCDEF}", "msi", "msiexec {12345678-90AB-CDEF-1234-567890ABCDEF}"},
    {"MsiExec.exe /I{12345678-90AB-CDEF-1234-567890ABCDEF}", "IGNORE ME", "msiexec {12345678-90AB-CDEF-1234-567890ABCDEF}"},
    {"MsiExec /X", "msi", "msiexec "},
    {"MsiExec.exe /X{12345678-90AB-CDEF-1234-567890ABCDEG}", "IGNORE ME", "msiexec "},
    {"MsiExec.exe /X(12345678-90AB-CDEF-1234-567890ABCDEF}", "IGNORE ME", "msiexec "},
    {"MsiExec.exe /X{12345678-90AB-CDEF-1234567890ABCDEF0}", "IGNORE ME", "msiexec "},
    {"MsiExec.exe /X{12345678-90AB-CDEF-1234-567890ABCDEF}x", "IGNORE ME", "msiexec "},
    {"MsiExec.exe /Ireport {12345678-90AB-CDEF-1234-567890ABCDEF}", "IGNORE ME", "msiexec "},
    {"MsiExec.exe /package {12345678-90AB-CDEF-1234-567890ABCDEF}", "IGNORE ME", "msiexec "},
};

TEST(AnalyseCommand, ReadsTheFileEachKindOfCommandStarts)
{
    for (const auto& [command, fileExists, started] : kCases) {
        const CommandTarget target = AnalyseCommand(command);
        std::string described = target.rundll32 ? "rundll32" : target.windowsInstaller ? "msiexec " + target.productCode : "";
        for (const std::string& file : target.files)
            described += (described.empty() ? "" : described == "rundll32" ? " " : " | ") + file;
        EXPECT_EQ(DeriveUninstallerPath(command) + " => " + described, std::string(fileExists) + " => " + std::string(started))
            << command;
    }
}

std::string Repeated(std::string_view text, size_t times)
{
    std::string out;
    for (size_t i = 0; i < times; ++i)
        out += text;
    return out;
}

// Long commands, as a user's process may write one into its own entry: how
// many files each names, whether it has more readings than detection asks
// about, and the FileExists text.
struct LongCase {
    std::string command;
    size_t files;
    bool tooMany;
    std::string fileExists;
};

TEST(AnalyseCommand, ReadsALongCommandInFewReadings)
{
    // Each blank may end a path with blanks CreateProcess tries as a program.
    const std::string unquotedBlanks = R"(C:\T\u)" + Repeated(R"( x\u)", 70) + " x.exe";
    const std::string longest = "C:\\" + std::string(32767 - 7, 'a') + ".exe";
    // As long in UTF-16, twice as long in UTF-8.
    const std::string longestCyrillic = "C:\\" + Repeated("Ж", 32767 - 7) + ".exe";
    // Two units a character, and one for each byte that continues nothing.
    const std::string longestClef = "C:\\" + Repeated("\U0001D11E", (32767 - 7) / 2) + ".exe";
    const std::string longestStray = "C:\\" + std::string(32767 - 7, '\x80') + ".exe";
    const LongCase cases[] = {
        // Blanks after the program, however many, add no reading.
        {R"(C:\Program Files\Tool Kit\un.exe)" + Repeated(" x", 500'000), 3, false, R"(c:\program files\tool kit\un.exe)"},
        {R"(C:\T\u.exe)" + Repeated(R"( x\u.exe)", 63), 64, false, R"(c:\t\u.exe)"},
        {R"(C:\T\u.exe)" + Repeated(R"( x\u.exe)", 64), 1, true, R"(c:\t\u.exe)"},
        {unquotedBlanks, 1, true, LowerAscii(unquotedBlanks)},
        {R"(C:\T\u.exe)" + Repeated(R"( x\u)", 70), 1, true, R"(c:\t\u.exe)"},
        {R"("C:\T\u.exe)" + Repeated(R"( x\u.exe)", 63) + R"( x")", 64, false, R"(c:\t\u.exe)"},
        {R"("C:\T\u.exe)" + Repeated(R"( x\u.exe)", 64) + R"( x")", 1, true, R"(c:\t\u.exe)"},
        {R"(rundll32 x.dll,Run C:\T\u.dll)" + Repeated(R"( x\u.dll)", 64), 1, true, R"(c:\t\u.dll)"},
        // No path Windows accepts is longer than 32,767 characters.
        {longest + " /S", 1, false, LowerAscii(longest)},
        // CreateProcess would add ".exe" to a name: that too must fit.
        {R"(C:\T\u.exe x\)" + std::string(32767 - 4 - 13, 'a') + " y", 2, false, R"(c:\t\u.exe)"},
        {R"(C:\T\u.exe x\)" + std::string(32767 - 3 - 13, 'a') + " y", 1, false, R"(c:\t\u.exe)"},
        {"C:\\a" + longest.substr(3) + " /S", 0, false, R"(c:\)"},
        {longestCyrillic + " /S", 1, false, LowerAscii(longestCyrillic)},
        {"C:\\Ж" + longestCyrillic.substr(3) + " /S", 0, false, R"(c:\)"},
        {longestClef + " /S", 1, false, LowerAscii(longestClef)},
        {"C:\\a" + longestClef.substr(3) + " /S", 0, false, R"(c:\)"},
        {longestStray + " /S", 1, false, LowerAscii(longestStray)},
        {"C:\\a" + longestStray.substr(3) + " /S", 0, false, R"(c:\)"},
        {"\"" + longest + "\"", 1, false, LowerAscii(longest)},
        {"\"C:\\a" + longest.substr(3) + "\"", 0, false, R"(c:\)"},
        {R"("C:\T\u.exe )" + std::string(32767 - 15, 'a') + R"(.exe x")", 2, false, R"(c:\t\u.exe)"},
        {R"("C:\T\u.exe )" + std::string(32767 - 14, 'a') + R"(.exe x")", 1, false, R"(c:\t\u.exe)"},
        {Repeated(R"(C:\a b )", 200'000), 0, false, R"(c:\)"},
    };
    for (const LongCase& row : cases) {
        SCOPED_TRACE(row.command.substr(0, 60));
        const CommandTarget target = AnalyseCommand(row.command);
        EXPECT_EQ(std::pair(target.files.size(), target.tooManyReadings), std::pair(row.files, row.tooMany));
        EXPECT_EQ(DeriveUninstallerPath(row.command), row.fileExists);
    }
}

}  // namespace

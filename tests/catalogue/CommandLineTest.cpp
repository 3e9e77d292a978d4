#include "CommandLine.h"

#include <gtest/gtest.h>

namespace {

// Command, program, parameters.
constexpr std::string_view kSplitCases[][3] = {
    // A quoted program: spaces inside, anything after it, or nothing.
    {R"("C:\Program Files\Tool\uninst.exe"   /S  /D="C:\a b")", R"(C:\Program Files\Tool\uninst.exe)", R"(/S  /D="C:\a b")"},
    {R"("C:\Tool\setup.bat"/remove)", R"(C:\Tool\setup.bat)", "/remove"},
    {R"(  "C:\Tool\un.exe" x  )", R"(C:\Tool\un.exe)", "x"},
    {R"("" /S)", "", "/S"},
    // Unquoted: the program ends at the first blank after a program extension.
    {R"(C:\Program Files\Tool\uninst.exe /S)", R"(C:\Program Files\Tool\uninst.exe)", "/S"},
    {R"(C:\WINDOWS\IsUn0407.eXe -f"C:\Tool\DeIsL1.isu")", R"(C:\WINDOWS\IsUn0407.eXe)", R"(-f"C:\Tool\DeIsL1.isu")"},
    // A first word with no path in it is a program on the search path.
    {"MsiExec /X{1234}", "MsiExec", "/X{1234}"},
    {"rundll32   setupapi.dll,InstallHinfSection x", "rundll32", "setupapi.dll,InstallHinfSection x"},
    {"C:\\Tool\\remove.bat\t/u", R"(C:\Tool\remove.bat)", "/u"},
    // Everything else is one file.
    {R"(C:\Program Files\Tool\Remove Tool.lnk)", R"(C:\Program Files\Tool\Remove Tool.lnk)", ""},
    {R"("C:\Tool\un.exe /S)", R"("C:\Tool\un.exe /S)", ""},
    {" \t ", "", ""},
    {R"(C:\Program Files\Tool\tool.exe.local\uninst.exe /S)", R"(C:\Program Files\Tool\tool.exe.local\uninst.exe)", "/S"},
    {"C:uninst.bat /u", "C:uninst.bat", "/u"},
};

TEST(SplitCommand, CutsTheProgramFromItsArguments)
{
    for (const auto& [command, file, parameters] : kSplitCases) {
        const ShellCommand split = SplitCommand(command);
        EXPECT_EQ(split.file + "|" + split.parameters, std::string(file) + "|" + std::string(parameters)) << command;
    }
}

struct PathCase {
    std::string_view path;
    std::string_view root;
    bool bare;
    bool relative;
};

constexpr PathCase kPathCases[] = {
    {R"(c:\program files\tool\un.exe)", R"(c:\)", false, false},
    {"Z:/tests/un.exe", "Z:/", false, false},
    {"//server/share/un.exe", "//server/share/", false, false},
    {R"(\\server\share\tool\un.exe)", R"(\\server\share\)", false, false},
    {R"(\\server\share)", "", false, false},
    {R"(\\?\c:\tool\un.exe)", "", false, false},
    {R"(\\.\c:\tool\un.exe)", "", false, false},
    {"https://example.com/remove", "", false, false},
    {"", "", false, false},
    {"MsiExec", "", true, false},
    {"cmd.exe", "", true, false},
    {R"(Tool\un.exe)", "", false, true},
    {R"(C:Tool\un.exe)", "", false, true},
    {R"(\Tool\un.exe)", "", false, true},
    {"./un.exe", "", false, true},
    {R"(é:\x.exe)", "", false, true},
};

TEST(PathRoot, TellsAbsolutePathsFromBareAndRelativeNames)
{
    for (const PathCase& c : kPathCases) {
        EXPECT_EQ(PathRoot(c.path), c.root) << c.path;
        EXPECT_EQ(std::pair(IsBareName(c.path), IsRelativePath(c.path)), std::pair(c.bare, c.relative)) << c.path;
    }
}

TEST(ProgramCandidates, LooksOnlyInAbsoluteFoldersWithTheGivenExtensions)
{
    const std::string_view folders = R"(C:\windows\system32;;.; bin ;"C:\Program Files\Tools\";\\srv\share\bin)";
    EXPECT_EQ(ProgramCandidates("cmd", folders, ".COM;.EXE"),
              (std::vector<std::string>{R"(C:\windows\system32\cmd.COM)", R"(C:\windows\system32\cmd.EXE)",
                                        R"(C:\Program Files\Tools\cmd.COM)", R"(C:\Program Files\Tools\cmd.EXE)",
                                        R"(\\srv\share\bin\cmd.COM)", R"(\\srv\share\bin\cmd.EXE)"}));
    EXPECT_EQ(ProgramCandidates("MsiExec.exe", R"(C:\windows\system32)", ".COM;.EXE"),
              std::vector<std::string>{R"(C:\windows\system32\MsiExec.exe)"});
}

}  // namespace

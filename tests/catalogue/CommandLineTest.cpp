#include "CommandLine.h"

#include <gtest/gtest.h>

namespace {

// Command, program, parameters.
constexpr std::string_view kSplitCases[][3] = {
    // A quoted program: spaces inside, anything after it, or nothing.
    {R"("C:\Program Files\Tool\uninst.exe"   /S  /D="C:\a b")", R"(C:\Program Files\Tool\uninst.exe)", R"(/S  /D="C:\a b")"},
    {R"("C:\Tool\setup.bat"/remove)", R"(C:\Tool\setup.bat)", "/remove"},
    {"  \"C:\\Tool\\un.exe\"\t x  ", R"(C:\Tool\un.exe)", "x"},
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
    {"Tool/un /u", "Tool/un /u", ""},
    {"C:un /u", "C:un /u", ""},
    {R"(\un /u)", R"(\un /u)", ""},
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
    std::string_view startFolder;
    bool bare;
    bool relative;
};

constexpr PathCase kPathCases[] = {
    {R"(A:\program files\tool\un.exe)", R"(A:\)", R"(A:\program files\tool)", false, false},
    {"Z:/tests/un.exe", "Z:/", "Z:/tests", false, false},
    {R"(a:\un.exe)", R"(a:\)", R"(a:\)", false, false},
    {R"(z:\)", R"(z:\)", R"(z:\)", false, false},
    {"//server/share/un.exe", "//server/share/", "//server/share/", false, false},
    {R"(\\s\t\tool\un.exe)", R"(\\s\t\)", R"(\\s\t\tool)", false, false},
    {R"(\\server\share)", "", "", false, false},
    {R"(\\?\c:\tool\un.exe)", "", "", false, false},
    {R"(\\.\c:\tool\un.exe)", "", "", false, false},
    {"https://example.com/remove", "", "", false, false},
    {"ms-settings:appsfeatures", "", "", false, false},
    {"a0.b+9:x", "", "", false, false},
    {"ab:x", "", "", false, false},
    {"a_9:x", "", "", false, true},
    {"", "", "", false, false},
    {"MsiExec", "", "", true, false},
    {"cmd.exe", "", "", true, false},
    {R"(Tool\un.exe)", "", "", false, true},
    {R"(C:Tool\un.exe)", "", "", false, true},
    {"C:un.exe", "", "", false, true},
    {"1a:x", "", "", false, true},
    {R"(\Tool\un.exe)", "", "", false, true},
    {"\\", "", "", false, true},
    {R"(\\)", "", "", false, false},
    {R"(x\s\t\un.exe)", "", "", false, true},
    {"./un.exe", "", "", false, true},
    {R"(é:\x.exe)", "", "", false, true},
};

TEST(PathRoot, TellsAbsolutePathsFromBareAndRelativeNames)
{
    for (const PathCase& c : kPathCases) {
        EXPECT_EQ(PathRoot(c.path) + " in " + StartFolder(c.path), std::string(c.root) + " in " + std::string(c.startFolder))
            << c.path;
        EXPECT_EQ(std::pair(IsBareName(c.path), IsRelativePath(c.path)), std::pair(c.bare, c.relative)) << c.path;
    }
}

TEST(EndsInProgramExtension, KnowsTheExtensionsUninstallersHave)
{
    for (const char* name : {"a.exe", "a.COM", "a.bat", "a.Cmd", "a.inf", "a.dll", "a.msi", "a.vbs", "a.js", "a.wsf", "a.ps1"}) {
        EXPECT_TRUE(EndsInProgramExtension(std::string("C:\\x.y\\") + name)) << name;
        EXPECT_FALSE(EndsInProgramExtension(std::string(name).substr(1))) << name;
    }
    for (const char* path : {"C:\\a.exe\\b", "C:/a.exe/b", "a.exe.txt", "aexe", "a.jse", "C:\\.exe", "C:/.bat"})
        EXPECT_FALSE(EndsInProgramExtension(path)) << path;
}

TEST(ExpandVariables, ReplacesDefinedNamesAndKnowsNothingOfOthers)
{
    const auto value = [](std::string_view name) {
        return name == "A" ? std::optional<std::string>("1") : name == "b" ? std::optional<std::string>("22") : std::nullopt;
    };
    const std::pair<std::string_view, std::string_view> cases[] = {{"x%A%y%b%z", "x1y22z"}, {"%%A%", "%1"}, {"%A%%", "1%"},
        {"100%", "100%"}, {"%A", "%A"}, {"", ""}, {"C:\\%A%\\%none%\\x", "<unknown>"}};
    for (const auto& [text, expanded] : cases)
        EXPECT_EQ(ExpandVariables(text, value).value_or("<unknown>"), expanded) << text;
}

TEST(ProgramCandidates, LooksOnlyInAbsoluteFoldersWithTheGivenExtensions)
{
    const std::string_view folders = R"(C:\windows\system32;;.; bin ;"C:\Program Files\Tools";\\srv\share\bin)";
    EXPECT_EQ(ProgramCandidates("cmd", folders, ".COM;.EXE"),
              (std::vector<std::string>{R"(C:\windows\system32\cmd.COM)", R"(C:\windows\system32\cmd.EXE)",
                                        R"(C:\Program Files\Tools\cmd.COM)", R"(C:\Program Files\Tools\cmd.EXE)",
                                        R"(\\srv\share\bin\cmd.COM)", R"(\\srv\share\bin\cmd.EXE)"}));
    EXPECT_EQ(ProgramCandidates("MsiExec.exe", R"(C:\windows\system32)", ".COM;.EXE"),
              std::vector<std::string>{R"(C:\windows\system32\MsiExec.exe)"});
}

}  // namespace

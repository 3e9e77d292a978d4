#include "CommandLine.h"

#include <gtest/gtest.h>

namespace {

struct Case {
    std::string_view command;
    std::string_view file;
    std::string_view parameters;
};

constexpr Case kCases[] = {
    // A quoted program: spaces inside, anything after it, or nothing.
    {R"("C:\Program Files\Tool\uninst.exe" /S)", R"(C:\Program Files\Tool\uninst.exe)", "/S"},
    {R"("C:\Program Files\Tool\uninst.exe"   /S  /D="C:\a b")", R"(C:\Program Files\Tool\uninst.exe)", R"(/S  /D="C:\a b")"},
    {R"("C:\Tool\setup.bat"/remove)", R"(C:\Tool\setup.bat)", "/remove"},
    {R"("%ProgramFiles%\Tool\un.exe" /S)", R"(%ProgramFiles%\Tool\un.exe)", "/S"},
    {R"("C:\Program Files\Tool\uninst.exe")", R"(C:\Program Files\Tool\uninst.exe)", ""},
    {R"(  "C:\Tool\un.exe" x  )", R"(C:\Tool\un.exe)", "x"},
    {R"("" /S)", "", "/S"},
    // Unquoted: the program ends at the first ".exe" that a blank follows.
    {R"(C:\Program Files\Tool\uninst.exe /S)", R"(C:\Program Files\Tool\uninst.exe)", "/S"},
    {R"(C:\PROGRA~1\Tool\UNWISE.EXE C:\PROGRA~1\Tool\INSTALL.LOG)", R"(C:\PROGRA~1\Tool\UNWISE.EXE)",
     R"(C:\PROGRA~1\Tool\INSTALL.LOG)"},
    {R"(C:\WINDOWS\IsUn0407.eXe -f"C:\Tool\DeIsL1.isu")", R"(C:\WINDOWS\IsUn0407.eXe)", R"(-f"C:\Tool\DeIsL1.isu")"},
    {"C:\\Tool.exe.d\\un.exe\t/S", "C:\\Tool.exe.d\\un.exe", "/S"},
    {"MsiExec.exe /X{1234}", "MsiExec.exe", "/X{1234}"},
    {R"(%SystemRoot%\un.exe /S)", R"(%SystemRoot%\un.exe)", "/S"},
    // A first word with no path in it is a program on the search path.
    {"MsiExec /X{1234}", "MsiExec", "/X{1234}"},
    {"rundll32   setupapi.dll,InstallHinfSection x", "rundll32", "setupapi.dll,InstallHinfSection x"},
    // Everything else is one file, as the shell was always given it.
    {R"(C:\Program Files\Tool\uninst.exe)", R"(C:\Program Files\Tool\uninst.exe)", ""},
    {R"(C:\Tool\remove.bat /u)", R"(C:\Tool\remove.bat /u)", ""},
    {R"(C:\Program Files\Tool\Remove Tool.lnk)", R"(C:\Program Files\Tool\Remove Tool.lnk)", ""},
    {"uninst.exe", "uninst.exe", ""},
    {R"("C:\Tool\un.exe /S)", R"("C:\Tool\un.exe /S)", ""},
    {"", "", ""},
    {" \t ", "", ""},
};

TEST(SplitCommand, CutsTheProgramFromItsArguments)
{
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.command);
        const ShellCommand split = SplitCommand(c.command);
        EXPECT_EQ(split.file, c.file);
        EXPECT_EQ(split.parameters, c.parameters);
    }
}

}  // namespace

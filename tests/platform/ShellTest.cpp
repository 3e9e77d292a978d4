#include "Shell.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <shellapi.h>

#include "Environment.h"
#include "MarkerRuns.h"
#include "Text.h"
#include "WinText.h"

namespace {

std::wstring ExeFolder()
{
    wchar_t path[MAX_PATH];
    const std::wstring exe(path, GetModuleFileNameW(nullptr, path, MAX_PATH));
    return exe.substr(0, exe.rfind(L'\\'));
}

std::vector<std::wstring> Arguments(const std::wstring& commandLine)
{
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(commandLine.c_str(), &count);
    std::vector<std::wstring> after(arguments + 1, arguments + count);
    LocalFree(arguments);
    return after;
}

// The marker program sits beside this test, in what ShellOpen takes for the
// program's folder; each case starts it from a current folder elsewhere.
class ShellOpenTest : public testing::Test {
protected:
    ShellOpenTest()
    {
        SetEnvironmentVariableW(L"ULC_MARKER_FILE", base_.c_str());
        SetEnvironmentVariableW(L"ULC_MARKER_FOLDER", folder_.c_str());
        for (const wchar_t* name : {L"marker", L"cmd", L"MsiExec"})
            DeleteFileW(Output(name).c_str());
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        SetCurrentDirectoryW(temp);
    }
    ~ShellOpenTest() override { SetCurrentDirectoryW(folder_.c_str()); }

    std::wstring Output(const wchar_t* program) const { return base_ + L"." + program; }

    const std::wstring folder_ = ExeFolder();
    const std::string marker_ = Utf8FromWide(folder_) + "\\marker.exe";
    const std::wstring base_ = folder_ + L"\\shell-test";
};

TEST_F(ShellOpenTest, StartsTheProgramWithItsArgumentsInTheProgramFolder)
{
    ShellOpen(nullptr, "\"" + marker_ + "\"  one \"two words\"");
    ShellOpen(nullptr, "%ulc_marker_folder%\\marker.exe /S %ULC_MARKER_FOLDER%");
    const std::vector<MarkerRun> runs = WaitForMarkerRuns(Output(L"marker"), 2);
    ASSERT_EQ(runs.size(), 2u);
    // The shell starts them in turn, but they may note their runs in any order.
    const bool quotedFirst = Arguments(runs[0].commandLine).size() == 2;
    const MarkerRun& quoted = runs[quotedFirst ? 0 : 1];
    EXPECT_EQ(Arguments(quoted.commandLine), (std::vector<std::wstring>{L"one", L"two words"}));
    EXPECT_EQ(quoted.folder, folder_);
    // Variables are expanded in the program, not in its arguments.
    EXPECT_EQ(Arguments(runs[quotedFirst ? 1 : 0].commandLine),
              (std::vector<std::wstring>{L"/S", L"%ULC_MARKER_FOLDER%"}));
}

TEST_F(ShellOpenTest, NeverStartsAProgramFromBesideThisOneByItsBareName)
{
    for (const wchar_t* name : {L"cmd.exe", L"MsiExec.exe"})
        ASSERT_TRUE(CopyFileW((folder_ + L"\\marker.exe").c_str(), (folder_ + L"\\" + name).c_str(), FALSE));
    wchar_t system[MAX_PATH];
    const std::string systemFolder = LowerAscii(Utf8FromWide(std::wstring(system, GetSystemDirectoryW(system, MAX_PATH))));
    EXPECT_EQ(LowerAscii(FindSystemProgram("MsiExec")), systemFolder + "\\msiexec.exe");
    EXPECT_EQ(LowerAscii(FindSystemProgram("cmd.exe")), systemFolder + "\\cmd.exe");
    EXPECT_EQ(FindSystemProgram("marker.exe"), "");

    // Only the system's own cmd writes this file.
    const std::wstring written = base_ + L".system-cmd";
    DeleteFileW(written.c_str());
    ShellOpen(nullptr, "cmd /c echo started> \"" + Utf8FromWide(written) + "\"");
    ShellOpen(nullptr, "marker.exe /bare");
    ShellOpen(nullptr, "..\\platform\\marker.exe /relative");
    for (int waited = 0; GetFileAttributesW(written.c_str()) == INVALID_FILE_ATTRIBUTES && waited < 10000; waited += 50)
        Sleep(50);
    EXPECT_NE(GetFileAttributesW(written.c_str()), INVALID_FILE_ATTRIBUTES);
    Sleep(1000);
    for (const wchar_t* name : {L"cmd", L"MsiExec", L"marker"})
        EXPECT_TRUE(ReadMarkerRuns(Output(name)).empty()) << Utf8FromWide(name);
    DeleteFileW(written.c_str());
    for (const wchar_t* name : {L"cmd.exe", L"MsiExec.exe"})
        DeleteFileW((folder_ + L"\\" + name).c_str());
}

TEST(ExpandEnvironment, ReplacesDefinedVariablesOnly)
{
    SetEnvironmentVariableW(L"ULC_TEST_VALUE", L"C:\\Program Files (x86)");
    const std::wstring longValue(5000, L'x');
    SetEnvironmentVariableW(L"ULC_TEST_LONG", longValue.c_str());
    const std::string withNul("%ULC_TEST_VALUE%\0x", 18);

    EXPECT_EQ(ExpandEnvironment("%ulc_test_value%\\tool\\un.exe"), "C:\\Program Files (x86)\\tool\\un.exe");
    EXPECT_EQ(ExpandEnvironment("%ULC_TEST_UNDEFINED%\\un.exe 100%"), "%ULC_TEST_UNDEFINED%\\un.exe 100%");
    EXPECT_EQ(ExpandEnvironment("%ULC_TEST_LONG%"), Utf8FromWide(longValue));
    EXPECT_EQ(ExpandEnvironment(withNul), withNul);
}

}  // namespace

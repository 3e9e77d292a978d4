#include "Shell.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Text.h"
#include "WinText.h"

namespace {

// Under Wine every process runs elevated, so ShellOpen hands each start to
// the desktop's shell; here to a stand-in that refuses them all. Copies of
// the marker program beside this test stand in for programs dropped there.
TEST(ShellOpen, StartsNothingWithoutTheDesktopShellNorFromBesideThisProgram)
{
    wchar_t self[MAX_PATH];
    const std::wstring exe(self, GetModuleFileNameW(nullptr, self, MAX_PATH)), folder = exe.substr(0, exe.rfind(L'\\'));
    for (const wchar_t* name : {L"\\cmd.exe", L"\\MsiExec.exe"})
        ASSERT_TRUE(CopyFileW((folder + L"\\marker.exe").c_str(), (folder + name).c_str(), FALSE));
    wchar_t system[MAX_PATH];
    const std::string systemFolder = LowerAscii(Utf8FromWide(std::wstring(system, GetSystemDirectoryW(system, MAX_PATH))));
    std::wstring path(32767, L'\0');
    path.resize(GetEnvironmentVariableW(L"PATH", path.data(), 32767));
    SetEnvironmentVariableW(L"PATH", (folder + L";" + path).c_str());
    EXPECT_EQ(LowerAscii(FindSystemProgram("MsiExec")), systemFolder + "\\msiexec.exe");
    SetEnvironmentVariableW(L"PATH", path.c_str());

    // File, parameters and working folder of each start handed over; a bare
    // or relative name that only this folder has is never handed over.
    std::vector<std::string> handed;
    const auto refuse = [&](const ProgramStart& start) {
        handed.push_back(LowerAscii(Utf8FromWide(start.file + L"|" + start.parameters + L"|" + start.folder)));
        return false;
    };
    const std::wstring written = folder + L"\\shell-test.system-cmd";
    DeleteFileW(written.c_str());
    const std::string echo = "/c echo started> \"" + LowerAscii(Utf8FromWide(written)) + "\"";
    const std::string commands[] = {"cmd " + echo, "MsiExec.exe /x{0}", "marker.exe /bare", "..\\platform\\marker.exe",
                                    R"("C:\un.exe" /x)", R"("https://example.invalid/un")"};
    for (const std::string& command : commands)
        ShellOpen(nullptr, command, refuse);
    EXPECT_EQ(handed, (std::vector<std::string>{systemFolder + "\\cmd.exe|" + echo + "|" + systemFolder,
                                                systemFolder + "\\msiexec.exe|/x{0}|" + systemFolder, R"(c:\un.exe|/x|c:\)",
                                                "https://example.invalid/un||" + systemFolder}));
    Sleep(1000);  // cmd would have written its file by now
    EXPECT_EQ(GetFileAttributesW(written.c_str()), INVALID_FILE_ATTRIBUTES);
    for (const wchar_t* name : {L"\\cmd.exe", L"\\MsiExec.exe"})
        DeleteFileW((folder + name).c_str());
}

}  // namespace

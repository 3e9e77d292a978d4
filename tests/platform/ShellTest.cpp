#include "Shell.h"

#include <gtest/gtest.h>

#include <string>

#include "MarkerRuns.h"
#include "Text.h"
#include "WinText.h"

namespace {

// A program that sits beside this test, in what ShellOpen takes for the
// program's folder, is never taken for a system one by its bare name.
TEST(ShellOpen, NeverStartsAProgramFromBesideThisOneByItsBareName)
{
    wchar_t self[MAX_PATH];
    const std::wstring exe(self, GetModuleFileNameW(nullptr, self, MAX_PATH)), folder = exe.substr(0, exe.rfind(L'\\'));
    const std::wstring base = folder + L"\\shell-test";
    SetEnvironmentVariableW(L"ULC_MARKER_FILE", base.c_str());
    for (const wchar_t* name : {L"cmd", L"MsiExec", L"marker"})
        DeleteFileW((base + L"." + name).c_str());
    for (const wchar_t* name : {L"\\cmd.exe", L"\\MsiExec.exe"})
        ASSERT_TRUE(CopyFileW((folder + L"\\marker.exe").c_str(), (folder + name).c_str(), FALSE));
    wchar_t system[MAX_PATH];
    const std::string systemFolder = LowerAscii(Utf8FromWide(std::wstring(system, GetSystemDirectoryW(system, MAX_PATH))));
    EXPECT_EQ(LowerAscii(FindSystemProgram("MsiExec")), systemFolder + "\\msiexec.exe");
    EXPECT_EQ(LowerAscii(FindSystemProgram("cmd.exe")), systemFolder + "\\cmd.exe");
    EXPECT_EQ(FindSystemProgram("marker.exe"), "");
    std::wstring path(32767, L'\0');
    path.resize(GetEnvironmentVariableW(L"PATH", path.data(), 32767));
    SetEnvironmentVariableW(L"PATH", (folder + L";" + path).c_str());
    EXPECT_EQ(LowerAscii(FindSystemProgram("MsiExec")), systemFolder + "\\msiexec.exe");
    SetEnvironmentVariableW(L"PATH", path.c_str());

    // Only the system's own cmd writes this file; a bare or relative name
    // that only this folder has starts nothing.
    const std::wstring written = base + L".system-cmd";
    DeleteFileW(written.c_str());
    ShellOpen(nullptr, "cmd /c echo started> \"" + Utf8FromWide(written) + "\"");
    ShellOpen(nullptr, "marker.exe /bare");
    ShellOpen(nullptr, "..\\platform\\marker.exe /relative");
    for (int waited = 0; GetFileAttributesW(written.c_str()) == INVALID_FILE_ATTRIBUTES && waited < 10000; waited += 50)
        Sleep(50);
    EXPECT_NE(GetFileAttributesW(written.c_str()), INVALID_FILE_ATTRIBUTES);
    Sleep(1000);
    for (const wchar_t* name : {L"cmd", L"MsiExec", L"marker"})
        EXPECT_TRUE(MarkerRuns(base + L"." + name).empty()) << Utf8FromWide(name);
    for (const wchar_t* name : {L"\\cmd.exe", L"\\MsiExec.exe"})
        DeleteFileW((folder + name).c_str());
}

}  // namespace

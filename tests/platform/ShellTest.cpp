#include "Shell.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <tlhelp32.h>

#include "ComApartment.h"
#include "Text.h"
#include "WinText.h"

namespace {

// Whether a process this one started still runs: anything started from here
// would be one until it has done its work.
bool ChildRuns()
{
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    bool found = false;
    for (BOOL more = Process32FirstW(snapshot, &entry); more && !found; more = Process32NextW(snapshot, &entry))
        found = entry.th32ParentProcessID == GetCurrentProcessId();
    CloseHandle(snapshot);
    return found;
}

// Under Wine every process runs elevated, so ShellOpen leaves each start for
// the desktop's shell; here with a stand-in that starts none of them. Copies
// of the marker program beside this test stand in for programs dropped there.
TEST(ShellOpen, StartsNothingWithoutTheDesktopShellNorFromBesideThisProgramAndAsksForTheDefaultVerb)
{
    // The program's COM security, before this process's first COM call: the
    // hand-off to Explorer below runs under it. (Wine accepts the settings
    // and keeps none; only Windows would refuse a second call.)
    const ComApartment com;
    ASSERT_EQ(SecureComForElevatedClient(), S_OK);
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
    // Left for the desktop's shell, nothing starts from here.
    for (int waited = 0; ChildRuns() && waited < 10000; waited += 50)
        Sleep(50);
    EXPECT_EQ(GetFileAttributesW(written.c_str()), INVALID_FILE_ATTRIBUTES);
    for (const wchar_t* name : {L"\\cmd.exe", L"\\MsiExec.exe"})
        DeleteFileW((folder + name).c_str());

    // Both ways of starting ask the shell for the file's default verb, as a
    // double-click would: for this document type "check", not "open".
    const std::wstring marker = folder + L"\\verb.exe", document = folder + L"\\un.ulcverb", classes = L"Software\\Classes\\";
    ASSERT_TRUE(CopyFileW((folder + L"\\marker.exe").c_str(), marker.c_str(), FALSE));
    DeleteFileW((folder + L"\\verb.runs").c_str());
    std::ofstream(std::filesystem::path(document)).put(0);
    RegSetKeyValueW(HKEY_LOCAL_MACHINE, (classes + L".ulcverb").c_str(), nullptr, REG_SZ, L"ULC.Verb", 18);
    for (const std::wstring verb : {L"", L"\\check\\command", L"\\open\\command"}) {
        const std::wstring value =
            verb.empty() ? L"check" : L"\"" + marker + L"\" " + verb.substr(1, verb.find(L'\\', 1) - 1) + L" \"%1\"";
        RegSetKeyValueW(HKEY_LOCAL_MACHINE, (classes + L"ULC.Verb\\shell" + verb).c_str(), nullptr, REG_SZ, value.c_str(),
                        static_cast<DWORD>(value.size() + 1) * 2);
    }
    // Past its deadline, Explorer is asked nothing and nothing starts.
    const auto now = std::chrono::steady_clock::now();
    EXPECT_FALSE(StartFromDesktopShell({document, L"", folder}, now));
    EXPECT_TRUE(StartFromHere(nullptr, {document, L"", folder}) && StartFromDesktopShell({document, L"", folder}, now + kHandOffTime));
    std::vector<std::string> runs;
    for (int waited = 0; runs.size() < 2 && waited < 10000; waited += 50, Sleep(50)) {
        runs.clear();
        std::ifstream file(std::filesystem::path(folder + L"\\verb.runs"));
        for (std::string line; std::getline(file, line) && !file.eof();)
            runs.push_back(line.substr(line.find('"', 1) + 1, 6));
    }
    EXPECT_EQ(runs, (std::vector<std::string>{" check", " check"}));
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, (classes + L"ULC.Verb").c_str());
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, (classes + L".ulcverb").c_str());
}

}  // namespace

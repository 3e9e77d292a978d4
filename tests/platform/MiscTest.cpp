#include <gtest/gtest.h>

#include <windows.h>

#include "Environment.h"
#include "Installer.h"
#include "Misc.h"
#include "Text.h"
#include "WinText.h"

TEST(ProbeFile, TellsAbsentFilesFromOnesItCannotSee)
{
    wchar_t path[MAX_PATH];
    const std::string own = Utf8FromWide(std::wstring(path, GetModuleFileNameW(nullptr, path, MAX_PATH)));
    const std::pair<std::string, FileState> cases[] = {
        {own, FileState::Present},
        {LowerAscii(own), FileState::Present},  // in any letter case
        {"C:\\", FileState::Present},
        {own + ".gone", FileState::Absent},
        {"C:\\no such folder\\uninst.exe", FileState::Absent},
        {"", FileState::Unknown},
        {"c:\\windows\\*.exe", FileState::Unknown},
        {own + std::string(1, '\0') + "x", FileState::Unknown},
        // A link whose target is gone (make-test-products.sh made it): Wine
        // calls it missing, yet its folder still lists it.
        {"C:\\ulc-dead-link", FileState::Absent},
    };
    // Each probe hands the thread's error mode back as it found it.
    SetThreadErrorMode(SEM_NOGPFAULTERRORBOX, nullptr);
    for (const auto& [file, state] : cases)
        EXPECT_EQ(std::pair(ProbeFile(file), GetThreadErrorMode()), std::pair(state, DWORD{SEM_NOGPFAULTERRORBOX})) << file;
    ASSERT_FALSE(GetLogicalDrives() & (1u << ('Q' - 'A')));
    // A drive that is not there proves nothing; one written with "/" does.
    EXPECT_EQ(std::pair(RootKind("Q:\\"), RootKind("C:/")), std::pair(DriveKind::Absent, DriveKind::Fixed));
    EXPECT_EQ(GetThreadErrorMode(), DWORD{SEM_NOGPFAULTERRORBOX});
    EXPECT_EQ(std::pair(IsUnlisted("C:\\ulc-dead-link"), IsUnlisted("C:\\no such folder")), std::pair(false, true));
    // Package A is installed, B was uninstalled (make-test-products.sh).
    const std::set<std::string> products = RegisteredProducts();
    EXPECT_EQ(std::pair(products.count("{e1d0a5a1-4c3b-4f7e-9b1a-0c5d6e7f8a01}"), products.count("{e1d0a5a1-4c3b-4f7e-9b1a-0c5d6e7f8b01}")),
              std::pair(size_t{1}, size_t{0}));

    GetTempPathW(MAX_PATH, path);
    const std::wstring scripts = std::wstring(path) + L"Инструмент 工具.exe";
    CloseHandle(CreateFileW(scripts.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    EXPECT_TRUE(IsFilePresent(Utf8FromWide(scripts)));
    DeleteFileW(scripts.c_str());
    EXPECT_EQ(ProbeFile(Utf8FromWide(scripts)), FileState::Absent);

    // Past MAX_PATH a file is asked about only where long paths are on;
    // elsewhere Windows may call it missing without looking.
    std::wstring folder = std::wstring(path) + L"ulc-long";
    CreateDirectoryW((L"\\\\?\\" + folder).c_str(), nullptr);
    while (folder.size() < MAX_PATH) {
        folder += L"\\folder-of-a-long-path";
        CreateDirectoryW((L"\\\\?\\" + folder).c_str(), nullptr);
    }
    const std::wstring present = folder + L"\\un.exe";
    CloseHandle(CreateFileW((L"\\\\?\\" + present).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    const std::string missing = Utf8FromWide(folder + L"\\gone.exe");
    const FileState found = ProbeFile(Utf8FromWide(present));
    const bool asked = found == FileState::Present;
    EXPECT_NE(found, FileState::Absent);
    EXPECT_EQ(std::pair(ProbeFile(missing), IsUnlisted(missing)), std::pair(asked ? FileState::Absent : FileState::Unknown, asked));
}

// A machine entry is read with the machine's own variables alone: a variable
// the user defines, or sets otherwise, must not reach that block.
TEST(ReadEnvironments, KeepsTheUsersVariablesOutOfTheMachines)
{
    constexpr wchar_t kValue[] = L"C:\\Users\\Tool";
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, L"Environment", L"ULCUserOnly", REG_SZ, kValue, sizeof kValue), ERROR_SUCCESS);
    const Environments environments = ReadEnvironments();
    RegDeleteKeyValueW(HKEY_CURRENT_USER, L"Environment", L"ULCUserOnly");
    EXPECT_EQ(std::pair(environments.machine.count("ulcuseronly"), environments.user.count("ulcuseronly")), std::pair(size_t{0}, size_t{1}));
    EXPECT_EQ(environments.machine.count("windir") + environments.user.count("windir") + environments.program.count("windir"), 3u);
}

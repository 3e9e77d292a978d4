#include <gtest/gtest.h>

#include <windows.h>

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
        // A link whose target is gone (make-test-products.sh made it); Wine
        // calls a path through it missing, which detection walks up to see.
        {"C:\\ulc-dead-link", FileState::Unknown},
    };
    for (const auto& [file, state] : cases)
        EXPECT_EQ(ProbeFile(file), state) << file;
    ASSERT_FALSE(GetLogicalDrives() & (1u << ('Q' - 'A')));
    // A drive that is not there proves nothing; one written with "/" does.
    EXPECT_EQ(std::pair(CanProveAbsence("Q:\\"), CanProveAbsence("C:/")), std::pair(false, true));

    GetTempPathW(MAX_PATH, path);
    const std::wstring scripts = std::wstring(path) + L"Инструмент 工具.exe";
    CloseHandle(CreateFileW(scripts.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    EXPECT_TRUE(IsFilePresent(Utf8FromWide(scripts)));
    DeleteFileW(scripts.c_str());
    EXPECT_EQ(ProbeFile(Utf8FromWide(scripts)), FileState::Absent);
}

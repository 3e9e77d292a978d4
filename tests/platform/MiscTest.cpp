#include <gtest/gtest.h>

#include <string>

#include <windows.h>

#include "Collation.h"
#include "Misc.h"
#include "Text.h"
#include "WinText.h"

namespace {

std::string OwnPath()
{
    wchar_t path[MAX_PATH];
    return Utf8FromWide(std::wstring(path, GetModuleFileNameW(nullptr, path, MAX_PATH)));
}

// A drive letter with nothing behind it.
std::string UnusedDrive()
{
    const DWORD used = GetLogicalDrives();
    for (char letter = 'Y'; letter > 'C'; --letter)
        if (!(used & (1u << (letter - 'A'))))
            return std::string(1, letter) + ":\\";
    return {};
}

TEST(ProbeFile, TellsAbsentFilesFromOnesItCannotSee)
{
    const std::string own = OwnPath();
    std::string upper = own;
    for (char& c : upper)
        c = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    EXPECT_EQ(ProbeFile(own), FileState::Present);
    EXPECT_EQ(ProbeFile(upper), FileState::Present);
    EXPECT_EQ(ProbeFile("C:\\"), FileState::Present);
    EXPECT_EQ(ProbeFile(own + ".gone"), FileState::Absent);
    EXPECT_EQ(ProbeFile("C:\\no such folder\\uninst.exe"), FileState::Absent);
    EXPECT_NE(ProbeFile(UnusedDrive()), FileState::Present);
    EXPECT_EQ(ProbeFile(""), FileState::Unknown);
    EXPECT_EQ(ProbeFile("c:\\windows\\*.exe"), FileState::Unknown);
    EXPECT_EQ(ProbeFile(own + std::string(1, '\0') + "x"), FileState::Unknown);

    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    const std::wstring path = std::wstring(folder) + L"Инструмент 工具.exe";
    CloseHandle(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    EXPECT_TRUE(IsFilePresent(Utf8FromWide(path)));
    DeleteFileW(path.c_str());
    EXPECT_EQ(ProbeFile(Utf8FromWide(path)), FileState::Absent);
}

TEST(DisplayNameSortKey, OrdersNamesAsTheControlPanelDoes)
{
    const std::pair<const char*, const char*> ordered[] = {
        {"Tool 9", "Tool 10"}, {"alpha", "Beta"}, {"Alpha", "beta"}, {"x2y", "x10y"}, {"Ärger", "Zebra"}};
    for (const auto& [first, second] : ordered)
        EXPECT_LT(DisplayNameSortKey(first), DisplayNameSortKey(second)) << first << " < " << second;
    EXPECT_EQ(DisplayNameSortKey("tool"), DisplayNameSortKey("TOOL"));
}

}  // namespace

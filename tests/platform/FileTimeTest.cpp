#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "Misc.h"
#include "WinText.h"

namespace {

std::string OwnPath()
{
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    return Utf8FromWide(std::wstring(path, length));
}

std::string UpperAscii(std::string text)
{
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return text;
}

// A drive letter with nothing behind it.
std::string UnusedDrive()
{
    const DWORD used = GetLogicalDrives();
    for (char letter = 'Y'; letter > 'C'; --letter)
        if (!(used & (1u << (letter - 'A'))))
            return std::string(1, letter) + ":";
    return {};
}

TEST(IsFilePresent, AnswersAsWindowsFileSystemsDo)
{
    const std::string own = OwnPath();
    EXPECT_TRUE(IsFilePresent(own));
    EXPECT_TRUE(IsFilePresent(UpperAscii(own)));  // paths ignore letter case
    EXPECT_TRUE(IsFilePresent("C:\\"));
    EXPECT_FALSE(IsFilePresent(own + ".gone"));
    EXPECT_FALSE(IsFilePresent(""));
    EXPECT_FALSE(IsFilePresent("%SystemRoot%\\notepad.exe"));  // variables are not expanded here
    EXPECT_FALSE(IsFilePresent("c:\\windows\\*.exe"));           // nor wildcards matched
    EXPECT_FALSE(IsFilePresent(own + std::string(1, '\0') + "x"));
    const std::string drive = UnusedDrive();
    ASSERT_FALSE(drive.empty());
    EXPECT_FALSE(IsFilePresent(drive + "\\tool\\uninst.exe"));
}

TEST(IsFilePresent, FindsNamesOutsideTheCodePage)
{
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    const std::wstring path = std::wstring(folder) + L"Инструмент 工具.exe";
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);

    EXPECT_TRUE(IsFilePresent(Utf8FromWide(path)));
    DeleteFileW(path.c_str());
    EXPECT_FALSE(IsFilePresent(Utf8FromWide(path)));
}

}  // namespace

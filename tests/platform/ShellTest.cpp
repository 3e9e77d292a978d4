#include "Shell.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include <shellapi.h>

#include "Environment.h"
#include "WinText.h"

namespace {

std::wstring ExeFolder()
{
    wchar_t path[MAX_PATH];
    const std::wstring exe(path, GetModuleFileNameW(nullptr, path, MAX_PATH));
    return exe.substr(0, exe.rfind(L'\\'));
}

// Each case starts the marker program, which sits beside this test, from a
// current folder elsewhere, and reads back what the marker saw.
class ShellOpenTest : public testing::Test {
protected:
    struct Run {
        std::vector<std::wstring> arguments;  // after the program's own name
        std::wstring folder;
    };

    const std::wstring folder_ = ExeFolder();
    const std::string marker_ = Utf8FromWide(folder_) + "\\marker.exe";
    std::wstring output_;
    wchar_t previousFolder_[MAX_PATH] = {};

    ShellOpenTest()
    {
        const std::wstring base =
            folder_ + L"\\marker-" + WideFromUtf8(testing::UnitTest::GetInstance()->current_test_info()->name());
        output_ = base + L".marker";
        DeleteFileW(output_.c_str());
        SetEnvironmentVariableW(L"ULC_MARKER_FILE", base.c_str());
        SetEnvironmentVariableW(L"ULC_MARKER_FOLDER", folder_.c_str());
        GetCurrentDirectoryW(MAX_PATH, previousFolder_);
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        SetCurrentDirectoryW(temp);
    }
    ~ShellOpenTest() override
    {
        SetCurrentDirectoryW(previousFolder_);
        DeleteFileW(output_.c_str());
    }

    // The shell returns before the program runs: wait for it, 10 s at most.
    std::optional<Run> WaitForMarker() const
    {
        for (int waited = 0; GetFileAttributesW(output_.c_str()) == INVALID_FILE_ATTRIBUTES; waited += 50) {
            if (waited >= 10000)
                return std::nullopt;
            Sleep(50);
        }
        std::ifstream file(output_.c_str(), std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
        const std::wstring text(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
        const size_t lineEnd = text.find(L'\n');

        Run run;
        int count = 0;
        wchar_t** arguments = CommandLineToArgvW(text.substr(0, lineEnd).c_str(), &count);
        for (int i = 1; i < count; ++i)
            run.arguments.emplace_back(arguments[i]);
        LocalFree(arguments);
        run.folder = text.substr(lineEnd + 1, text.size() - lineEnd - 2);
        return run;
    }
};

TEST_F(ShellOpenTest, QuotedProgramStartsWithItsArgumentsInTheProgramFolder)
{
    ShellOpen(nullptr, "\"" + marker_ + "\"  one \"two words\"");
    const std::optional<Run> run = WaitForMarker();
    ASSERT_TRUE(run);
    EXPECT_EQ(run->arguments, (std::vector<std::wstring>{L"one", L"two words"}));
    EXPECT_EQ(run->folder, folder_);
}

TEST_F(ShellOpenTest, UnquotedProgramStartsWithItsArguments)
{
    ShellOpen(nullptr, marker_ + " /S");
    const std::optional<Run> run = WaitForMarker();
    ASSERT_TRUE(run);
    EXPECT_EQ(run->arguments, std::vector<std::wstring>{L"/S"});
}

TEST_F(ShellOpenTest, ProgramAloneStarts)
{
    ShellOpen(nullptr, marker_);
    const std::optional<Run> run = WaitForMarker();
    ASSERT_TRUE(run);
    EXPECT_TRUE(run->arguments.empty());
}

TEST_F(ShellOpenTest, VariablesExpandInTheProgramOnly)
{
    ShellOpen(nullptr, "%ulc_marker_folder%\\marker.exe /S %ULC_MARKER_FOLDER%");
    const std::optional<Run> run = WaitForMarker();
    ASSERT_TRUE(run);
    EXPECT_EQ(run->arguments, (std::vector<std::wstring>{L"/S", L"%ULC_MARKER_FOLDER%"}));
}

TEST(ExpandEnvironment, ReplacesDefinedVariablesOnly)
{
    SetEnvironmentVariableW(L"ULC_TEST_VALUE", L"C:\\Program Files (x86)");
    const std::wstring longValue(5000, L'x');
    SetEnvironmentVariableW(L"ULC_TEST_LONG", longValue.c_str());
    const std::string withNul("%ULC_TEST_VALUE%\0x", 18);

    EXPECT_EQ(ExpandEnvironment("%ulc_test_value%\\tool\\un.exe"), "C:\\Program Files (x86)\\tool\\un.exe");
    EXPECT_EQ(ExpandEnvironment("%ULC_TEST_UNDEFINED%\\un.exe"), "%ULC_TEST_UNDEFINED%\\un.exe");
    EXPECT_EQ(ExpandEnvironment("%ULC_TEST_VALUE%\\\xC3\xBC 100% sure"), "C:\\Program Files (x86)\\\xC3\xBC 100% sure");
    EXPECT_EQ(ExpandEnvironment("%"), "%");
    EXPECT_EQ(ExpandEnvironment(""), "");
    EXPECT_EQ(ExpandEnvironment("%ULC_TEST_LONG%"), Utf8FromWide(longValue));
    EXPECT_EQ(ExpandEnvironment(withNul), withNul);
}

}  // namespace

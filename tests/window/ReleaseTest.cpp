#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <windows.h>

#include "WindowTestSupport.h"

namespace {

// make test names the program it unpacked from the release zip; otherwise
// this build's own program stands in.
std::wstring ReleasedProgram()
{
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableW(L"ULC_RELEASE_PROGRAM", path, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::wstring(path, length) : kProgramPath;
}

// The file version's numbers and the product version's text.
TEST(ReleaseTest, TheVersionResourceCarriesTheProjectVersion)
{
    const std::wstring program = ReleasedProgram();
    DWORD unused = 0;
    std::vector<BYTE> data(GetFileVersionInfoSizeW(program.c_str(), &unused));
    ASSERT_FALSE(data.empty());
    ASSERT_TRUE(GetFileVersionInfoW(program.c_str(), 0, static_cast<DWORD>(data.size()), data.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    wchar_t* text = nullptr;
    UINT size = 0;
    ASSERT_TRUE(VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &size));
    ASSERT_TRUE(VerQueryValueW(data.data(), L"\\StringFileInfo\\040904B0\\ProductVersion",
                               reinterpret_cast<void**>(&text), &size));
    const std::wstring numbers = std::to_wstring(HIWORD(fixed->dwFileVersionMS)) + L"." +
                                 std::to_wstring(LOWORD(fixed->dwFileVersionMS)) + L"." +
                                 std::to_wstring(HIWORD(fixed->dwFileVersionLS));
    EXPECT_EQ(numbers, ULC_WIDE(ULC_VERSION));
    EXPECT_STREQ(text, ULC_WIDE(ULC_VERSION));
}

TEST(ReleaseTest, TheProgramOpensItsWindowAndEndsWithCodeZeroWhenClosed)
{
    const std::wstring program = ReleasedProgram();
    std::wstring commandLine = L"\"" + program + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &startup, &process));
    // The window is there before the program first waits for input.
    WaitForInputIdle(process.hProcess, 30000);
    const HWND window = FindWindowW(L"UninstallListCleaner.Form1", nullptr);
    EXPECT_NE(window, nullptr);
    if (window != nullptr)
        PostMessageW(window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process.hProcess, 20000) != WAIT_OBJECT_0)
        TerminateProcess(process.hProcess, 1);
    DWORD exitCode = 1;
    GetExitCodeProcess(process.hProcess, &exitCode);
    EXPECT_EQ(exitCode, 0u);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

}  // namespace

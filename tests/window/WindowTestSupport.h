#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include <windows.h>

#include "Form1.h"
#include "MemoryRegistry.h"
#include "WinText.h"

// Wine maps drive Z: to the Unix root, where the sources and the build live.
#define ULC_WIDE_(text) L##text
#define ULC_WIDE(text) ULC_WIDE_(text)
inline const std::wstring kMarkerPath = ULC_WIDE(ULC_MARKER_PATH);

// The program under test: the one make test unpacked from the release zip
// (ULC_RELEASE_PROGRAM), otherwise this build's own.
inline std::wstring ProgramPath()
{
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableW(L"ULC_RELEASE_PROGRAM", path, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::wstring(path, length) : ULC_WIDE(ULC_PROGRAM_PATH);
}

// Handles the messages waiting for this thread. Every destroyed Form1 posts
// WM_QUIT, which is dropped here so that it cannot end a later test's loop.
inline void PumpMessages()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message != WM_QUIT)
            DispatchMessageW(&message);
    }
}

// Handles this thread's messages until the desktop's shell is done with the
// last press of Check1, for at most 20 s.
inline void WaitForHandOff(const Form1& form)
{
    for (int waited = 0; form.HandingOff() && waited < 20000; waited += 10) {
        PumpMessages();
        Sleep(10);
    }
}

// One Form1 a test, over an in-memory registry.
class FormTest : public testing::Test {
protected:
    void TearDown() override
    {
        form_.reset();
        PumpMessages();
    }
    Form1& Open(int dpi = 96, DesktopStart desktop = StartFromDesktopShell)
    {
        form_ = std::make_unique<Form1>(memory, Form1::Options{dpi, std::move(desktop)});
        EXPECT_TRUE(form_->Create());
        return *form_;
    }
    static void MoveOver(HWND window, int x = 5, int y = 5) { SendMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(x, y)); }

    MemoryRegistry memory;
    std::unique_ptr<Form1> form_;
};

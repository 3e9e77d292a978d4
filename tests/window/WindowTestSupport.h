#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include <windows.h>

#include "Form1.h"
#include "MemoryRegistry.h"

// Wine maps drive Z: to the Unix root, where the sources and the build live.
#define ULC_WIDE_(text) L##text
#define ULC_WIDE(text) ULC_WIDE_(text)
inline const std::wstring kTestDataFolder = ULC_WIDE(ULC_TEST_DATA_DIR);
inline const std::wstring kProgramPath = ULC_WIDE(ULC_PROGRAM_PATH);
// A stand-in uninstaller that notes how it was started (tests/platform).
inline const std::wstring kMarkerPath = ULC_WIDE(ULC_MARKER_PATH);

// Handles the messages waiting for this thread. Every destroyed Form1 posts
// WM_QUIT, which is dropped here so that it cannot end a later test's loop.
inline void PumpMessages()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT)
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

// A control's rectangle in its parent's client coordinates.
inline RECT RectInParent(HWND control)
{
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// A fresh folder under the temporary folder, removed with whatever it holds.
class TemporaryFolder {
public:
    TemporaryFolder()
        : path_(std::filesystem::temp_directory_path() /
                ("ulc-window-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++count_)))
    {
        std::filesystem::create_directories(path_);
    }
    ~TemporaryFolder() { std::filesystem::remove_all(path_); }
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    std::wstring Path() const { return path_.wstring(); }

private:
    static inline int count_ = 0;
    std::filesystem::path path_;
};

// Opens one Form1 per test over an in-memory registry, or over `registry`.
class FormTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        form_.reset();
        PumpMessages();
    }

    // dpi 0: the DPI Windows gives the window. An empty folder: the program's.
    Form1& Open(int dpi = 0, std::wstring programFolder = L"", RegistryStore* registry = nullptr)
    {
        Form1::Options options;
        options.dpi = dpi;
        options.programFolder = std::move(programFolder);
        form_ = std::make_unique<Form1>(registry != nullptr ? *registry : registry_, options);
        EXPECT_TRUE(form_->Create());
        return *form_;
    }

    static void MoveOver(HWND window, int x = 5, int y = 5)
    {
        SendMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
    }

    MemoryRegistry registry_;
    std::unique_ptr<Form1> form_;
};

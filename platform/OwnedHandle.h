#pragma once

#include <memory>

#include <windows.h>

// Kernel handles and file searches, closed as their holder goes. Wrap only a
// handle that was opened: a failed open's INVALID_HANDLE_VALUE is not one.
struct HandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using OwnedHandle = std::unique_ptr<void, HandleCloser>;

struct SearchCloser {
    void operator()(HANDLE search) const { FindClose(search); }
};
using OwnedSearch = std::unique_ptr<void, SearchCloser>;

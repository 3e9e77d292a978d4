#pragma once

#include <string_view>

#include <windows.h>

// Puts `text` on the clipboard as Unicode text in place of whatever it held,
// in `owner`'s name. False when another program holds the clipboard open or
// memory runs out; the clipboard may then be empty.
bool PutTextOnClipboard(HWND owner, std::wstring_view text);

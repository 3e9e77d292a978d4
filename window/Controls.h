#pragma once

#include <memory>
#include <type_traits>

#include <windows.h>
#include <commctrl.h>

// A check box drawn as a push button: raised while its value is 0, pressed in
// while it is 1. Does not own the window.
class ToggleButton {
public:
    explicit ToggleButton(HWND button) : button_(button) {}

    HWND Hwnd() const { return button_; }
    int Value() const;
    // Changing the value raises no click.
    void SetValue(int value);

private:
    HWND button_;
};

struct FontDeleter {
    void operator()(HFONT font) const { DeleteObject(font); }
};
using Font = std::unique_ptr<std::remove_pointer_t<HFONT>, FontDeleter>;

// Paints a button whose face stays white under visual styles, which ignore
// WM_CTLCOLORBTN for push-like buttons: the answer to its NM_CUSTOMDRAW.
LRESULT PaintWhiteButton(const NMCUSTOMDRAW& draw);

// `height` as CreateFont takes it (see FontHeight).
Font MakeBoldFont(const wchar_t* face, int height);

#include "Controls.h"

int ToggleButton::Value() const
{
    return SendMessageW(button_, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
}

void ToggleButton::SetValue(int value)
{
    SendMessageW(button_, BM_SETCHECK, value == 1 ? BST_CHECKED : BST_UNCHECKED, 0);
}

Font MakeBoldFont(const wchar_t* face, int height)
{
    return Font(CreateFontW(height, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                            CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face));
}

#include "Controls.h"

#include <iterator>

int ToggleButton::Value() const
{
    return SendMessageW(button_, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
}

void ToggleButton::SetValue(int value)
{
    SendMessageW(button_, BM_SETCHECK, value == 1 ? BST_CHECKED : BST_UNCHECKED, 0);
}

LRESULT PaintWhiteButton(const NMCUSTOMDRAW& draw)
{
    if (draw.dwDrawStage != CDDS_PREPAINT)
        return CDRF_DODEFAULT;
    const HWND button = draw.hdr.hwndFrom;
    const HDC dc = draw.hdc;
    const bool pressed = (draw.uItemState & CDIS_SELECTED) != 0 || ToggleButton(button).Value() == 1;
    const bool hot = (draw.uItemState & CDIS_HOT) != 0;

    RECT face = draw.rc;
    FillRect(dc, &face, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    FrameRect(dc, &face, GetSysColorBrush(pressed || hot ? COLOR_HIGHLIGHT : COLOR_BTNSHADOW));

    wchar_t caption[128] = {};
    GetWindowTextW(button, caption, static_cast<int>(std::size(caption)));
    RECT text = face;
    if (pressed)
        OffsetRect(&text, 1, 1);
    const HGDIOBJ previousFont = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(button, WM_GETFONT, 0, 0)));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor((draw.uItemState & CDIS_DISABLED) != 0 ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
    DrawTextW(dc, caption, -1, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, previousFont);

    const bool focusHidden = (SendMessageW(button, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS) != 0;
    if ((draw.uItemState & CDIS_FOCUS) != 0 && !focusHidden) {
        InflateRect(&face, -3, -3);
        DrawFocusRect(dc, &face);
    }
    return CDRF_SKIPDEFAULT;
}

Font MakeBoldFont(const wchar_t* face, int height)
{
    return Font(CreateFontW(height, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                            CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face));
}

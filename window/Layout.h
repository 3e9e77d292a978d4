#pragma once

#include <array>

// Form1's controls as data, in twips (1440 to the inch). Pixels exist only
// behind the conversions at the end, which take the window's DPI.

// IDOK and IDCANCEL (1, 2) stay free: IsDialogMessage sends them for Enter
// and Esc, and they must not pass for a button's click.
enum ControlId : int {
    kCommand1 = 100,
    kFrame3,
    kListView1,
    kCheck3,
    kCheck2,
    kCheck1,
};

enum class ControlKind { PushButton, GroupBox, ListView, ToggleButton };

inline constexpr bool IsToggleButton(ControlId id) { return id == kCheck1 || id == kCheck2 || id == kCheck3; }

enum class FontRole { System, Frame, List, Button };
inline constexpr int kFontRoleCount = 4;

// Every font but the system one is bold Arial.
struct TextFont {
    const wchar_t* face;     // nullptr: the control keeps the system font
    int hundredthsOfPoint;
};

struct ControlLayout {
    ControlId id;
    ControlKind kind;
    int left, top, width, height;  // in the window's client area
    const wchar_t* caption;
    FontRole font;
};

struct PixelRect {
    int left, top, width, height;
};

inline constexpr int kClientWidthTwips = 7215;
inline constexpr int kClientHeightTwips = 5940;

// Creation order is the tab order. ListView1 sits at (120, 360) inside
// Frame3; it is the window's child, not the frame's, because a group box
// does not pass its children's notifications on.
inline constexpr std::array<ControlLayout, 6> kForm1Layout{{
    {kCommand1, ControlKind::PushButton, -720, 2640, 615, 495, L"Command1", FontRole::System},
    {kFrame3, ControlKind::GroupBox, 120, 120, 6975, 4215, L"Add and Remove Programs Entries", FontRole::Frame},
    {kListView1, ControlKind::ListView, 120 + 120, 120 + 360, 6735, 3705, L"", FontRole::List},
    {kCheck3, ControlKind::ToggleButton, 120, 4440, 6975, 425, L"Detect Old Entries to Delete", FontRole::Button},
    {kCheck2, ControlKind::ToggleButton, 120, 4920, 6975, 425, L"Delete Checked Entries", FontRole::Button},
    {kCheck1, ControlKind::ToggleButton, 120, 5400, 6975, 425, L"Uninstall Selected Entry", FontRole::Button},
}};

// A row's tip wraps its lines at the list's own width; a path longer than
// that with nowhere to break may widen it.
inline constexpr int kTipWidthTwips = 6735;

struct ColumnLayout {
    const wchar_t* header;
    int width;  // twips; 0 hides a column that only carries row data
};

inline constexpr std::array<ColumnLayout, 4> kListColumns{{
    {L"Program Names", 6000},
    {L"Uninstall", 0},
    {L"FileExists", 0},
    {L"KeyName", 0},
}};

TextFont FontFor(FontRole role);

int TwipsToPixels(int twips, int dpi);
PixelRect ToPixels(const ControlLayout& control, int dpi);
// The height to ask CreateFont for: negative, so it is the characters' own
// height rather than the cell's.
int FontHeight(const TextFont& font, int dpi);

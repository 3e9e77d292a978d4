#include "Layout.h"

#include <windows.h>

TextFont FontFor(FontRole role)
{
    switch (role) {
    case FontRole::System:
        break;
    case FontRole::Frame:
        return {L"Arial", 975};
    case FontRole::List:
        return {L"Arial", 900};
    case FontRole::Button:
        return {L"Arial", 1125};
    }
    return {nullptr, 0};
}

// MulDiv rounds half away from zero, so -720 twips and 720 twips stay mirror
// images at every DPI.
int TwipsToPixels(int twips, int dpi) { return MulDiv(twips, dpi, 1440); }

PixelRect ToPixels(const ControlLayout& control, int dpi)
{
    return {TwipsToPixels(control.left, dpi), TwipsToPixels(control.top, dpi), TwipsToPixels(control.width, dpi),
            TwipsToPixels(control.height, dpi)};
}

int FontHeight(const TextFont& font, int dpi) { return -MulDiv(font.hundredthsOfPoint, dpi, 72 * 100); }

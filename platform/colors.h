#pragma once
// Colours as the system writes them: 0xBBGGRR, or &H8xxxxxxx for a system colour.
#include <QColor>
#include <cstdint>

constexpr uint32_t vbButtonFace = 0x8000000F;
constexpr uint32_t vbWindowText = 0x80000008;
constexpr uint32_t vbMenuText = 0x80000007;
// The blue of every link and of the chart's dirt runs.
constexpr uint32_t vbBlue = 0xFF0000;

constexpr uint32_t RGB(int r, int g, int b)
{
    return uint32_t(r & 0xFF) | (uint32_t(g & 0xFF) << 8) | (uint32_t(b & 0xFF) << 16);
}

QColor vbColor(uint32_t bgr);

// Screen units: 15 twips per pixel at 96 dpi.
constexpr int twipsPerPixel = 15;
constexpr int twipsToPixels(int twips) { return (twips + twipsPerPixel / 2) / twipsPerPixel; }
constexpr int pixelsToTwips(int px) { return px * twipsPerPixel; }

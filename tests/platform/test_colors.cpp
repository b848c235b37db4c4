#include "platform/colors.h"

#include <QApplication>
#include <QPalette>
#include <gtest/gtest.h>

namespace {

TEST(Colors, ValuesAreBlueGreenRed)
{
    EXPECT_EQ(RGB(255, 0, 0), 0x0000FFu);
    EXPECT_EQ(RGB(0, 0, 255), 0xFF0000u);
    EXPECT_EQ(vbColor(0x0080FF), QColor(255, 128, 0));
    EXPECT_EQ(vbColor(0xFFC0C0), QColor(192, 192, 255));
    EXPECT_EQ(vbColor(RGB(1, 1, 1)), QColor(1, 1, 1));
}

// The sub-header rows and labels use system colours; they follow the desktop's palette.
TEST(Colors, SystemColoursComeFromThePalette)
{
    const QPalette pal = QApplication::palette();
    EXPECT_EQ(vbColor(vbButtonFace), pal.color(QPalette::Button));
    EXPECT_EQ(vbColor(vbWindowText), pal.color(QPalette::WindowText));
    EXPECT_EQ(vbColor(vbMenuText), pal.color(QPalette::WindowText));
    EXPECT_EQ(vbButtonFace, 0x8000000Fu);
    EXPECT_EQ(vbMenuText, 0x80000007u);
    EXPECT_EQ(vbWindowText, 0x80000008u);
}

TEST(Colors, TwipsAreFifteenToAPixel)
{
    EXPECT_EQ(twipsToPixels(1700), 113);
    EXPECT_EQ(twipsToPixels(300), 20);
    EXPECT_EQ(twipsToPixels(7), 0);
    EXPECT_EQ(twipsToPixels(8), 1);
    EXPECT_EQ(pixelsToTwips(20), 300);
}

}

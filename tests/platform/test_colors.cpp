#include "platform/colors.h"

#include <QApplication>
#include <QPalette>
#include <gtest/gtest.h>

// Values are 0xBBGGRR; system colours follow the desktop's palette; 15 twips make a pixel.
TEST(Colors, BlueGreenRedSystemColoursAndTwips)
{
    EXPECT_TRUE(RGB(255, 128, 0) == 0x0080FF && vbColor(0x0080FF) == QColor(255, 128, 0));
    const QPalette pal = QApplication::palette();
    EXPECT_EQ(vbColor(0x8000000F), pal.color(QPalette::Button));
    EXPECT_EQ(vbColor(0x80000007), pal.color(QPalette::WindowText));
    EXPECT_EQ(vbColor(0x80000008), pal.color(QPalette::WindowText));
    EXPECT_EQ(QList<int>({twipsToPixels(1700), twipsToPixels(7), twipsToPixels(8), pixelsToTwips(20)}), QList<int>({113, 0, 1, 300}));
}

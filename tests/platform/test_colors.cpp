#include "platform/colors.h"
#include "platform/flexgrid.h"
#include "platform/widgets.h"

#include <QApplication>
#include <QLabel>
#include <QPalette>
#include <gtest/gtest.h>

// A 0xBBGGRR value shows in its own colour; fixed cells follow a change of the desktop's palette.
TEST(Colors, WhatTheScreenShows)
{
    FlexGrid grid;
    grid.setCellBackColor(1, 1, RGB(255, 128, 0));
    grid.setTextMatrix(1, 0, QStringLiteral("■■■■■■"));
    grid.setColWidth(0, 1500);
    grid.resize(300, 200);
    grid.show();
    const auto at = [&](int row, int col, QPoint offset = {}) {
        QApplication::processEvents();
        const QPoint centre = grid.visualRect(grid.model()->index(row, col)).center() + offset;
        return grid.viewport()->grab().toImage().pixelColor(centre);
    };
    const QPalette desktop = QApplication::palette();
    EXPECT_EQ(at(0, 1), desktop.color(QPalette::Button));
    QPalette dark = desktop;
    dark.setColor(QPalette::Button, QColor(40, 40, 60));
    dark.setColor(QPalette::WindowText, QColor(250, 250, 200));
    QApplication::setPalette(dark);
    grid.viewport()->update();
    EXPECT_EQ(at(0, 1), QColor(40, 40, 60));
    EXPECT_EQ(at(1, 0, {-30, 0}), QColor(250, 250, 200)) << "the text of a fixed cell";
    EXPECT_EQ(at(1, 1), QColor(255, 128, 0));
    QApplication::setPalette(desktop);
    QLabel label;
    moveTwips(&label, 1500, 300, 1700, 7);
    EXPECT_EQ(label.geometry(), QRect(100, 20, 113, 0));
}

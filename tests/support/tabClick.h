#pragma once
// Clicking a tab as a user does: a tab scrolled out of a strip narrower than its tabs is first
// brought in with the strip's arrows.
#include <QTabBar>
#include <QTest>
#include <QToolButton>
#include <algorithm>

inline void scrollTabIntoView(QTabBar* tabs, int i)
{
    QToolButton *left = nullptr, *right = nullptr;
    for (QToolButton* arrow : tabs->findChildren<QToolButton*>())
        (arrow->arrowType() == Qt::LeftArrow ? left : right) = arrow;
    const auto shownUpTo = [&] { return right && right->isVisible() ? std::min(left->x(), right->x()) : tabs->width(); };
    for (int n = 0; n < tabs->count() && tabs->tabRect(i).left() < 0; ++n)
        QTest::mouseClick(left, Qt::LeftButton);
    for (int n = 0; n < tabs->count() && tabs->tabRect(i).right() >= shownUpTo(); ++n)
        QTest::mouseClick(right, Qt::LeftButton);
}

inline void clickTabAt(QTabBar* tabs, int i)
{
    scrollTabIntoView(tabs, i);
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(i).center());
}

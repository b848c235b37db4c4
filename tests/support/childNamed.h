#pragma once
// Named controls and windows under test; a missing control fails the test with its name.
#include <QtWidgets>
#include <gtest/gtest.h>

template <class W>
W* childNamed(const QObject* window, const QString& name)
{
    W* w = window ? window->findChild<W*>(name) : nullptr;
    EXPECT_NE(w, nullptr) << name.toStdString();
    return w;
}

// The shown top-level window of that name, or null.
inline QWidget* shownWindow(const QString& name)
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == name && w->isVisible())
            return w;
    return nullptr;
}

// Each text is shown in the window: caption, frame title, label, button or list entry.
inline void expectShows(const QWidget* window, const QStringList& expected)
{
    ASSERT_NE(window, nullptr);
    QStringList texts {window->windowTitle()};
    for (const QWidget* w : window->findChildren<QWidget*>()) {
        if (auto* g = qobject_cast<const QGroupBox*>(w))
            texts << g->title();
        if (auto* l = qobject_cast<const QLabel*>(w))
            texts << l->text();
        if (auto* b = qobject_cast<const QAbstractButton*>(w))
            texts << b->text();
        if (auto* c = qobject_cast<const QComboBox*>(w))
            for (int i = 0; i < c->count(); ++i)
                texts << c->itemText(i);
    }
    for (const QString& text : expected)
        EXPECT_TRUE(texts.contains(text)) << text.toStdString();
}

// Every caption the window shows is shown whole: no label line, button text or frame title is cut
// by the control's own width (or a label's lines by its height).
inline void expectCaptionsFit(const QWidget* window)
{
    ASSERT_NE(window, nullptr);
    for (const QWidget* w : window->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(window))
            continue;
        const QFontMetrics fm = w->fontMetrics();
        if (auto* l = qobject_cast<const QLabel*>(w); l && !l->wordWrap() && !l->text().isEmpty()) {
            const QStringList lines = l->text().split(QRegularExpression("\r?\n"));
            for (const QString& line : lines)
                EXPECT_LE(fm.horizontalAdvance(line), l->contentsRect().width()) << line.toStdString();
            EXPECT_LE(fm.height() * int(QString(l->text()).remove(QRegularExpression("\r?\n$")).count('\n') + 1),
                      l->contentsRect().height()) << l->text().toStdString();
        }
        if (auto* b = qobject_cast<const QPushButton*>(w)) {
            EXPECT_LE(b->sizeHint().width(), b->width()) << b->text().toStdString();
        }
        if (auto* g = qobject_cast<const QGroupBox*>(w)) {
            EXPECT_LE(fm.horizontalAdvance(g->title()), g->width()) << g->title().toStdString();
        }
    }
}

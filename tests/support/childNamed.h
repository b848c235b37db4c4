#pragma once
// A named control of a window under test; a missing one fails the test with its name.
#include <QObject>
#include <QString>
#include <gtest/gtest.h>

template <class W>
W* childNamed(const QObject* window, const QString& name)
{
    W* w = window ? window->findChild<W*>(name) : nullptr;
    EXPECT_NE(w, nullptr) << name.toStdString();
    return w;
}

// The typing filter of editable combo boxes, on a live box and on one that is being destroyed.
#include "platform/widgets.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

namespace {
// Types a number as an input method sends it: the character, no key of its own.
void typeOne(QComboBox* box)
{
    QTest::mouseClick(box->lineEdit(), Qt::LeftButton);
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString("1"), Qt::NoModifier);
}
}  // namespace

// Left with Tab, "1" is the item 01, not the 10 the completion offers. A box destroyed with the focus and the completion
// pending gets its focus-out from ~QWidget, once it is no combo box any more: the filter leaves it alone.
TEST(TypedItemPreference, ATypedNumberIsTheItemItNamesAndADestroyedBoxIsLeftAlone)
{
    QWidget window;
    QComboBox* box = combo("cmbMonth", &window);
    for (int month = 1; month <= 12; ++month)
        box->addItem(QString("%1").arg(month, 2, 10, QChar('0')));
    auto* next = new QLineEdit(&window);
    next->move(0, 40);
    window.show();
    QApplication::setActiveWindow(&window);
    typeOne(box);
    EXPECT_EQ(box->currentText(), "10");
    QTest::keyClick(box, Qt::Key_Tab);
    EXPECT_EQ(std::make_pair(box->currentText(), next->hasFocus()), std::make_pair(QString("01"), true));

    typeOne(box);
    ASSERT_EQ(std::make_pair(box->currentText(), box->hasFocus()), std::make_pair(QString("10"), true));
    QStringList texts;
    QObject::connect(box->lineEdit(), &QLineEdit::textChanged, [&texts](const QString& text) { texts << text; });
    delete box;
    EXPECT_EQ(texts, QStringList());
}

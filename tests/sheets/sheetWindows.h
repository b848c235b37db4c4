#pragma once
// Opening sheets as a user does and reading back what they show.
#include "platform/colors.h"
#include "platform/flexgrid.h"
#include "sheets/sheetOpen.h"
#include "tests/sheets/sheetFixture.h"
#include "tests/support/childNamed.h"

#include <QDir>
#include <QTabBar>
#include <QTest>

inline QStringList rowTexts(const FlexGrid* grid, int row)
{
    QStringList texts;
    for (int c = 0; c < grid->cols(); ++c)
        texts << grid->textMatrix(row, c);
    return texts;
}

inline QStringList rowTextsOfColumn(const FlexGrid* grid, int col)
{
    QStringList texts;
    for (int r = 0; r < grid->rows(); ++r)
        texts << grid->textMatrix(r, col);
    return texts;
}

inline QWidget* sheetOf(SheetKind kind)
{
    QCoreApplication::processEvents();
    return loadedSheet(kind);
}

inline FlexGrid* gridOf(SheetKind kind, const char* name = "gridRireki")
{
    return childNamed<FlexGrid>(sheetOf(kind), name);
}

// Clicks the tab of that caption as the user does.
inline void clickTab(QWidget* sheet, const QString& caption)
{
    auto* tabs = childNamed<QTabBar>(sheet, "tabMain");
    for (int i = 0; i < tabs->count(); ++i)
        if (tabs->tabText(i) == caption)
            QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(i).center());
}

// Closes every sheet left open, so that each test starts with none.
inline void closeAllSheets()
{
    for (SheetKind k : {SheetKind::Uma, SheetKind::Kisyu, SheetKind::Cyoukyou, SheetKind::Syuboba, SheetKind::Kextuka})
        unloadSheet(k);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

class SheetWindowTest : public SheetTest {
protected:
    void SetUp() override
    {
        SheetTest::SetUp();
        mainWindow.setObjectName("frmMain");
    }
    void TearDown() override { closeAllSheets(); }

    QWidget mainWindow;
};

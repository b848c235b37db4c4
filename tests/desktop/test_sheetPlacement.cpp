// Sheets on a desktop with a window manager, opened by the user's clicks through the X server: the
// first stands in the screen's middle, a sheet that replaces one takes its frame's place, and a new
// one stands one title bar down and right of the last.
#include "tests/desktop/xDesktop.h"
#include "tests/sheets/sheetFixture.h"

namespace {
// The sheet of that kind and caption once the window manager has framed it and the frame stays put.
QWidget* framedSheet(SheetKind kind, const QString& caption)
{
    QWidget* sheet = nullptr;
    QRect last;
    int steady = 0;
    const bool framed = QTest::qWaitFor([&] {
        sheet = loadedSheet(kind);
        if (!sheet || sheet->windowTitle() != caption || !sheet->isVisible() || !sheet->windowHandle()->isExposed()
            || sheet->frameGeometry() == sheet->geometry())
            return false;
        steady = sheet->frameGeometry() == last ? steady + 1 : 0;
        last = sheet->frameGeometry();
        return steady >= 3;
    }, 5000);
    EXPECT_TRUE(framed) << "no framed sheet " << caption.toStdString();
    return framed ? sheet : nullptr;
}

int titleBar(const QWidget* sheet)
{
    return sheet->geometry().top() - sheet->frameGeometry().top();
}

// How far right and down the frame of one sheet stands from that of another.
std::pair<int, int> frameStep(const QWidget* from, const QWidget* to)
{
    const QPoint step = to->frameGeometry().topLeft() - from->frameGeometry().topLeft();
    return {step.x(), step.y()};
}

void pressToolbar(const QWidget* sheet, const QString& key)
{
    auto* bar = childNamed<QToolBar>(sheet, "tbMenuMove");
    const QWidget* button = bar->widgetForAction(childNamed<QAction>(bar, key));
    clickOnDesktop(button->mapToGlobal(button->rect().center()));
}

// Clicks the run list's cell in that row under that header.
void clickCellUnder(SheetKind kind, int row, const QString& header)
{
    FlexGrid* grid = gridOf(kind);
    const QRect cell = grid->visualRect(grid->model()->index(row, int(lineTexts(grid, 0).indexOf(header))));
    ASSERT_TRUE(grid->viewport()->rect().contains(cell.center())) << header.toStdString() << " is out of sight";
    clickOnDesktop(grid->viewport()->mapToGlobal(cell.center()));
}

class SheetsOnTheDesktop : public SheetTest {
protected:
    void SetUp() override
    {
        if (!desktopFailure().isEmpty())
            GTEST_SKIP() << "no desktop: " << desktopFailure().toStdString();
        SheetTest::SetUp();
    }
};
}  // namespace

TEST_F(SheetsOnTheDesktop, NextHorseKeepsTheFrameInPlaceAndEachNewSheetStandsOneTitleBarDownAndRight)
{
    runnersOnScreen(3);  // 馬1's one stored run: 浦和 race 9 of 2008/02/20, under 騎手甲
    pd.umaIdx = 1;
    mainWindow.show();  // its frame tells how large a sheet's will be
    ASSERT_TRUE(QTest::qWaitFor([this] { return mainWindow.frameGeometry() != mainWindow.geometry(); }, 5000));
    ASSERT_TRUE(openSheet(SheetKind::Uma, "馬1"));
    QWidget* horse = framedSheet(SheetKind::Uma, "馬毎シート 馬1");
    ASSERT_NE(horse, nullptr);
    const QPoint off = horse->frameGeometry().center() - horse->screen()->availableGeometry().center();
    EXPECT_LE(off.manhattanLength(), 1) << "the first sheet's frame is off the screen's centre by " << off.x() << "," << off.y();
    const QPoint first = horse->frameGeometry().topLeft();
    for (int press = 1; press <= 15; ++press) {
        pressToolbar(horse, "Next");
        horse = framedSheet(SheetKind::Uma, QString("馬毎シート 馬%1").arg(press % 3 + 1));
        ASSERT_NE(horse, nullptr) << "press " << press;
        const QPoint moved = horse->frameGeometry().topLeft() - first;
        EXPECT_LE(moved.manhattanLength(), 2) << "press " << press << " moved the frame by " << moved.x() << "," << moved.y();
    }
    clickCellUnder(SheetKind::Uma, 1, "レース名");
    const QWidget* race = framedSheet(SheetKind::Kextuka, "レース結果シート 浦和08022009");
    ASSERT_NE(race, nullptr);
    const int step = titleBar(horse);
    EXPECT_EQ(frameStep(horse, race), std::pair(step, step));
    clickCellUnder(SheetKind::Kextuka, 1, "騎手");
    const QWidget* jockey = framedSheet(SheetKind::Kisyu, "騎手シート 騎手甲");
    ASSERT_NE(jockey, nullptr);
    EXPECT_EQ(frameStep(race, jockey), std::pair(step, step));
}

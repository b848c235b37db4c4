#include "tests/mainwindow/frmMainFixture.h"

#include <QAbstractItemView>
#include <QLineEdit>

namespace {

// A race read in the window, whose runners last met 400 days before it; periods are picked from the list with the
// mouse or typed.
struct PeriodPick : MainWindowTest {
    void SetUp() override
    {
        race.daysBetweenRuns = 400;
        MainWindowTest::SetUp();
        openForm();
        pressRead();
        ASSERT_EQ(std::pair(shown(), pd.tousuu), std::pair(std::string(), 12));
    }
    void pick(int entry)
    {
        auto* period = control<QComboBox>("cmbTarKikan");
        period->showPopup();
        QAbstractItemView* list = period->view();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(list->model()->index(entry, 0)).center());
    }
    QString gridText(const QString& name) const
    {
        const auto* grid = control<FlexGrid>(name);
        QStringList cells;
        for (int r = 0; r < grid->rows(); ++r)
            for (int c = 0; c < grid->cols(); ++c)
                cells << grid->textMatrix(r, c);
        return cells.join('|');
    }
};

}

// A typed text that is no period keeps the head-to-head table on the bound it had, while a pick sets it.
TEST_F(PeriodPick, HeadToHeadKeepsItsBoundForATypedText)
{
    clickTab("対戦表");
    const QString oneYear = gridText("gridTaisen");
    pick(2);
    ASSERT_NE(gridText("gridTaisen"), oneYear) << "the meeting of 400 days ago counts within two years";
    pick(1);
    EXPECT_EQ(gridText("gridTaisen"), oneYear);
    QLineEdit* typed = control<QComboBox>("cmbTarKikan")->lineEdit();
    typed->selectAll();
    QTest::keyClicks(typed, "730");
    pressRead();
    EXPECT_EQ(std::pair(control<QComboBox>("cmbTarKikan")->currentText(), gridText("gridTaisen")), std::pair(QString("730"), oneYear));
    EXPECT_EQ(shown(), "");
}

// A period pick whose track file cannot be opened says so and gives the fill's tag; the best times stay as they were.
TEST_F(PeriodPick, BestTimesStayWhenTheTrackFileFails)
{
    clickTab("持ち時計");
    const QString before = gridText("gridMochiTime");
    const QString trackFile = appDir.filePath("Strevin_data.dat");
    ASSERT_TRUE(QFile::remove(trackFile));
    pick(3);
    EXPECT_EQ(messages.texts(), (QStringList {"dataファイルが開けません\n" + trackFile + "\nファイルがありません", "Error-mainMochiTime-1"}));
    EXPECT_EQ(gridText("gridMochiTime"), before);
}

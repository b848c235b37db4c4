#include "mainwindow/mainComment.h"

#include "core/dialogComment.h"
#include "tests/mainwindow/frmMainFixture.h"

namespace {
const VbDate kRaceDay = VbDate::fromYmd(2024, 6, 1);
const QString kYear = QStringLiteral("1年以内対象");

// Three runners on 大井: 1 with runs inside and outside the year, 2 without runs, 3 with a
// central run, a run exactly a year back, a gap (zero date) and a long history.
class CommentPage : public ::testing::Test {
protected:
    void SetUp() override
    {
        initPublic();
        redimUma(18, 150);
        pd.raceDate = kRaceDay;
        pd.raceCode = "大井24060111";
        pd.tousuu = 3;
        const auto addRun = [](int h, int j, int daysAgo, const QString& zyo, int raceNo) {
            pd.uDate(h, j) = kRaceDay.addDays(-daysAgo);
            pd.uZyo(h, j) = zyo;
            pd.uRaceNo(h, j) = raceNo;
        };
        for (int h = 1; h <= 3; ++h) {
            pd.uName(h) = QStringList {"O'Reilly", "ニノミヤ", "サード"}[h - 1];
            pd.uWaku(h, 0) = h == 3 ? 4 : 2;
            addRun(h, 0, 0, "大井", 11);
        }
        pd.sirusi(1) = "◎";
        pd.yosouSisuu(1) = 62.5f;
        pd.kisoSisuu(1, 0) = 0.4f;
        addRun(1, 1, 30, "川崎", 3);
        addRun(1, 2, 400, "船橋", 5);
        addRun(3, 1, 20, "Ｊ東京", 11);
        addRun(3, 3, 365, "浦和", 2);
        owner.show();
        file = dir.createComment();
        kikan.addItem(kYear);
        connectCommentPage(grid, box, kikan, &owner);
    }
    void TearDown() override
    {
        if (QWidget* d = shownWindow("dialogComment"))
            d->close();
    }
    void draw(const QString& kikan = kYear) { drawGridComment(grid, box, kikan); }
    QStringList row(int r)
    {
        QStringList cells;
        for (int c = 0; c < grid.cols(); ++c)
            cells << grid.textMatrix(r, c);
        return cells;
    }
    // A note stored (with a value) or read back by the store's own reader.
    std::optional<CommentNote> note(const QString& code, const QString& name, std::optional<CommentNote> value = {})
    {
        openCommentDb();
        DbSlotCloser closer(commentSlot);
        if (value)
            saveComment(code, name, *value);
        return readComment(code, name);
    }
    // The note editor, from a click on the grid (null when none opened).
    QWidget* clickAt(int r, int c)
    {
        grid.clickCell(r, c);
        return shownWindow("dialogComment");
    }

    TestAppDir dir;
    QString file;
    QWidget owner;
    FlexGrid& grid = *new FlexGrid(&owner);
    QLineEdit& box = *new QLineEdit(&owner);
    QComboBox kikan;
};

}  // namespace

// Fixed columns, the horse note group, one group per listed run (run 0 is the race shown), a
// trailing empty column; runs outside the year or on its bound day, and gaps, list nothing.
TEST_F(CommentPage, LayoutOfRunsInsideAndOutsideThePeriod)
{
    note("Uma", "O'Reilly", CommentNote {"horse note", "◎", "B"});
    note("川崎24050203", "O'Reilly", CommentNote {"kawasaki", "1", "2"});
    note("Ｊ東京24051211", "サード", CommentNote {"central", "", "z"});
    note("船橋23042805", "O'Reilly", CommentNote {"too old", "", ""});
    draw();
    ASSERT_EQ(std::pair(grid.cols(), grid.rows()), std::pair(18, 5));
    EXPECT_EQ(row(2), (QStringList {"2", "1", "◎", "O'Reilly", "63", "", "horse note", "◎", "B", "大井06/01", "", "",
                                    "", "川崎05/02", "kawasaki", "1", "2", ""}));
    EXPECT_EQ(row(3), (QStringList {"", "2", "", "ニノミヤ", "", "", "", "", "", "大井06/01"} + QStringList(8, "")));
    EXPECT_EQ(row(4), (QStringList {"4", "3", "", "サード", "", "", "", "", "", "大井06/01", "", "", "", "Ｊ東京05/12",
                                    "central", "", "z", ""}));
    EXPECT_NEAR(grid.heightTwips(), 6 * 300 + 50, twipsPerPixel / 2);  // to the pixel
    // A shared bracket is written once but coloured on both rows.
    EXPECT_EQ(std::tuple(grid.cellBackColor(3, 0), grid.cellForeColor(4, 0), pd.umaIdx),
              std::tuple(wakuColor(2), RGB(255, 255, 255), 4));

    // Every period: the old 船橋 run and the run on the bound day (3 back) get their groups.
    draw("全期間対象");
    EXPECT_EQ(std::tuple(grid.cols(), row(2).mid(17, 2), row(4).mid(21, 2), row(3).mid(13)),
              std::tuple(26, QStringList {"船橋04/28", "too old"}, QStringList {"浦和06/02", ""}, QStringList(13, "")));
    // A typed text that is no entry counts every dated run too; a shorter period narrows again.
    draw("3年");
    const int typed = grid.cols();
    draw("6ヶ月以内対象");
    EXPECT_EQ(std::pair(typed, grid.cols()), std::pair(26, 18));
}

// Typing greys the race box; Return files it under the race shown and hands the focus to the
// grid; a reload shows a stored comment normal, and empties (grey) for a race without one.
TEST_F(CommentPage, RaceCommentBoxColoursAndSaving)
{
    ASSERT_TRUE(QTest::qWaitForWindowActive(&owner));
    draw();
    box.setFocus();
    QTest::keyClicks(&box, "Nige's");
    EXPECT_FALSE(raceCommentSaved(box));
    QTest::keyClick(&box, Qt::Key_Return);
    EXPECT_TRUE(raceCommentSaved(box) && grid.hasFocus());
    QTest::keyClick(&box, Qt::Key_Return);
    EXPECT_EQ(note("大井24060111", "Race")->comment, "Nige's");
    box.setText("unsaved");
    draw();
    EXPECT_EQ(std::pair(box.text(), raceCommentSaved(box)), std::pair(QString("Nige's"), true));
    pd.raceCode = "大井24060112";
    draw();
    EXPECT_EQ(std::pair(box.text(), raceCommentSaved(box)), std::pair(QString(), false));
}

// A click on a run group edits that run's note, shown again in the same group; the horse columns edit
// the horse note; headers, fixed columns and a runner without that run open nothing.
TEST_F(CommentPage, ClickEditSaveAndRefresh)
{
    note("Ｊ東京24051211", "サード", CommentNote {"central", "", "z"});
    draw();
    for (const auto& [r, c] : std::vector<std::pair<int, int>> {{0, 13}, {1, 6}, {2, 3}, {2, 5}, {3, 13}})
        EXPECT_EQ(clickAt(r, c), nullptr) << r << ',' << c;

    QWidget* d = clickAt(4, 16);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(std::tuple(childNamed<QLabel>(d, "lblRace")->text(), childNamed<QLabel>(d, "lblUma")->text(),
                         childNamed<QComboBox>(d, "cmbSign02")->currentText()),
              std::tuple(QString("Ｊ東京24/05/12-11R"), QString("サード"), QString("z")));
    auto* text = childNamed<QPlainTextEdit>(d, "txtComment");
    text->selectAll();
    QTest::keyClicks(text, "again");
    QTest::mouseClick(childNamed<QPushButton>(d, "cmdEnd"), Qt::LeftButton);
    EXPECT_EQ(std::pair(grid.textMatrix(4, 14), note("Ｊ東京24051211", "サード")),
              std::pair(QString("again"), std::optional(CommentNote {"again", "", "z"})));

    d = clickAt(3, 7);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(childNamed<QLabel>(d, "lblRace")->text(), "馬コメント");
    QTest::keyClicks(childNamed<QComboBox>(d, "cmbSign01"), "A+");
    QTest::mouseClick(childNamed<QPushButton>(d, "cmdEnd"), Qt::LeftButton);
    EXPECT_EQ(std::pair(grid.textMatrix(3, 7), note("Uma", "ニノミヤ")->sign01), std::pair(QString("A+"), QString("A+")));
}

// Without Comment.dat: the open's message and the page's tag; box and grid keep what they showed.
TEST_F(CommentPage, MissingFileLeavesThePageAsItWas)
{
    note("Uma", "O'Reilly", CommentNote {"kept", "", ""});
    draw();
    box.setText("typed");
    QFile::remove(file);
    MsgBoxRecorder rec;
    draw();
    EXPECT_EQ(rec.firstLines(), (QStringList {"dataファイルが開けません", "Error-mainComment"}));
    EXPECT_EQ(std::tuple(box.text(), grid.textMatrix(2, 6), grid.cols(), grid.updatesEnabled()),
              std::tuple(QString("typed"), QString("kept"), 18, true));
}

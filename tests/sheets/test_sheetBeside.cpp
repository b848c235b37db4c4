// A person sheet whose list is still arriving while the main window reads a race or the results import
// writes: the sheet keeps its runs and its reading to itself, so the read and the import give what they
// give with no sheet open.
#include "sheets/sheetOpen.h"
#include "sheets/subjectSheet.h"
#include "tests/mainwindow/frmMainFixture.h"
#include "tests/support/longCareer.h"
#include "tests/webimport/seisekiFixture.h"
#include "webimport/frmWebSeiseki.h"

namespace {

// Every cell of the main window's grids, by grid name.
QStringList gridTexts(const QWidget& form)
{
    QList<FlexGrid*> grids = form.findChildren<FlexGrid*>();
    std::sort(grids.begin(), grids.end(), [](const FlexGrid* a, const FlexGrid* b) { return a->objectName() < b->objectName(); });
    QStringList texts;
    for (const FlexGrid* grid : grids)
        for (int r = 0; r < grid->rows(); ++r) {
            QStringList row {grid->objectName()};
            for (int c = 0; c < grid->cols(); ++c)
                row << grid->textMatrix(r, c);
            texts << row.join('|');
        }
    return texts;
}

// The prediction of each runner and the size of the run table.
QStringList prediction()
{
    QStringList values {QString("%1 runs, table to %2").arg(pd.kakoMax).arg(pd.uDate.ubound(2))};
    for (int h = 1; h <= pd.tousuu; ++h)
        values << QStringList({pd.uName(h), QString::number(pd.yosouSisuu(h)), pd.sirusi(h), QString::number(pd.kakuritu1(h)),
                               QString::number(pd.kakuritu2(h)), QString::number(pd.kisoSisuu(h, 0)),
                               QString::number(pd.kisoSisuu(h, 1)), QString::number(pd.tekiseiFactor(h, 0))}).join('|');
    return values;
}

struct SheetBesideWork : MainWindowTest {
    void SetUp() override
    {
        MainWindowTest::SetUp();
        longCareer::write(race.date);
    }
    void TearDown() override
    {
        unloadSheet(SheetKind::Cyoukyou);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        MainWindowTest::TearDown();
    }
    // 長調教師's sheet over the race day, its list arriving.
    QPointer<SubjectSheet> openLongList()
    {
        pd.raceDate = race.date;
        pd.raceZyo = "大井";
        EXPECT_TRUE(openSheet(SheetKind::Cyoukyou, "長調教師"));
        return qobject_cast<SubjectSheet*>(loadedSheet(SheetKind::Cyoukyou));
    }
    static int listed(const SubjectSheet* sheet) { return childNamed<FlexGrid>(sheet, "gridRireki")->rows() - 1; }
};

}  // namespace

// The same read in the same file twice: alone, then with 長調教師's list arriving from before the read starts to
// after it ends.
TEST_F(SheetBesideWork, ARaceReadWhileAListArrivesStoresShowsAndPredictsAsWithNoSheetOpen)
{
    const QString file = appPath() + "NAR_data.dat", kept = appDir.filePath("kept.dat");
    ASSERT_TRUE(QFile::copy(file, kept));
    openForm();
    pressRead();
    ASSERT_EQ(shown(), "");
    const std::string storedAlone = stored("SELECT * FROM T_Useiseki JOIN T_Rdata USING (R_code) ORDER BY R_code, U_name");
    const QStringList gridsAlone = gridTexts(*form), predictionAlone = prediction();
    ASSERT_EQ(pd.tousuu, race.runners);

    form.reset();
    for (const QString& name : {file, file + "-wal", file + "-shm"})
        QFile::remove(name);
    ASSERT_TRUE(QFile::copy(kept, file));
    openForm();
    const QPointer<SubjectSheet> sheet = openLongList();
    ASSERT_TRUE(sheet && sheet->runsArriving());
    const int firstScreen = listed(sheet);
    pressRead();
    ASSERT_EQ(shown(), "");
    EXPECT_GT(listed(sheet), firstScreen);  // runs arrived while the read ran
    EXPECT_EQ(stored("SELECT * FROM T_Useiseki JOIN T_Rdata USING (R_code) ORDER BY R_code, U_name"), storedAlone);
    EXPECT_EQ(gridTexts(*form), gridsAlone);
    EXPECT_EQ(prediction(), predictionAlone);
}

// In a rollback journal a reader part way through its rows keeps every writer out; the list's reading lets go
// of the file after each year, so each race of the import is stored while the list goes on arriving.
TEST_F(SheetBesideWork, AnImportIntoARollbackJournalFileStoresEveryRaceWhileAListArrives)
{
    EXPECT_EQ(stored("PRAGMA journal_mode = DELETE"), "delete");
    execute("Strevin_data.dat", "DELETE FROM MasterZyo");
    execute("Strevin_data.dat", "INSERT INTO MasterZyo (zyoCode, zyoNo, zyoName) VALUES ('21', 1, '川崎')");
    const VbDate first = race.date.addDays(-4);
    for (int r = 1; r <= 2; ++r)
        server.addPage(resultsPath("21", first, r), raceOn("川崎", first, r));
    // Fourteen more years of 長調教師's runs, 24 a day, so that the list arrives for longer than the import takes.
    longCareer::writeDaily(race.date, {"長調教師", "長父", "船橋", longCareer::kDays + 1, longCareer::kDays + 5000, 24});
    const QPointer<SubjectSheet> sheet = openLongList();
    ASSERT_TRUE(sheet && sheet->runsArriving());
    const int firstScreen = listed(sheet);
    FrmWebSeiseki import;
    const QString from = Format(first, "yyyy/mm/dd"), to = from;
    const QStringList parts = (from + '/' + to).split('/');
    int i = 0;
    for (QComboBox* box : {import.cmbStartNen, import.cmbStartTuki, import.cmbStartHi, import.cmbEndNen, import.cmbEndTuki, import.cmbEndHi})
        box->setCurrentText(parts[i++]);
    import.cmdWebStart->click();
    EXPECT_GT(listed(sheet), firstScreen);
    EXPECT_EQ(shown(), Format(first, "yyyy/mm/dd").toStdString() + "まで読込み完了\n保存したレース数：2");
    EXPECT_EQ(stored("SELECT COUNT(*) FROM T_Rdata JOIN T_Useiseki USING (R_code) WHERE R_flag = 'Seiseki'"), "24");
}

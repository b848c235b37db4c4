// A newcomer's road over the demo site, in a program folder of its own: two races read, the past
// month's results imported, a sheet of each kind, then (with kanri.id) the track-file build, the
// index evaluation and the batch run, and what each of them wrote.
#include "admin/frmKanri.h"
#include "core/publicDim.h"
#include "core/publicFunction.h"
#include "mainwindow/frmMain.h"
#include "platform/database.h"
#include "platform/flexgrid.h"
#include "platform/inifile.h"
#include "platform/msgbox.h"
#include "platform/textcodec.h"
#include "platform/vbformat.h"
#include "sheets/sheetOpen.h"
#include "tests/demo/demoFixture.h"
#include "tests/support/childNamed.h"
#include "tests/support/dataFiles.h"
#include "tests/support/lhaTool.h"
#include "tests/support/tabClick.h"
#include "tools/demoTrackFiles.h"
#include "webimport/ReadWeb.h"
#include "webimport/dialogWeb.h"
#include "webimport/frmWebSeiseki.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <QToolBar>

namespace {

const QString kOutput = QStringLiteral(BRENNOCK_TEST_OUTPUT_DIR "/demo");

QString stored(const QString& sql)
{
    openDbOrThrow(5, appPath() + "NAR_data.dat", dbPassword);
    const DbSlotCloser closer(5);
    return RecordSet(5, sql).field(0).toString();
}

// Every stored run with its two indices, by race and horse.
QStringList storedIndices()
{
    openDbOrThrow(5, appPath() + "NAR_data.dat", dbPassword);
    const DbSlotCloser closer(5);
    QStringList runs;
    for (RecordSet rs(5, "SELECT R_code, U_name, U_sisuu, U_sisuu3f FROM T_Useiseki ORDER BY R_code, U_name"); !rs.eof(); rs.moveNext())
        runs << QStringList {rs.field(0).toString(), rs.field(1).toString(), rs.field(2).toString(), rs.field(3).toString()}.join('|');
    return runs;
}

void saveShot(QWidget* window, const QString& name)
{
    QDir().mkpath(kOutput);
    EXPECT_TRUE(window->grab().save(kOutput + '/' + name + ".png")) << name.toStdString();
}

class Newcomer : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (DataFileKind kind : {DataFileKind::NarData, DataFileKind::StrevinData, DataFileKind::Comment, DataFileKind::CalSisuu,
                                  DataFileKind::Rana, DataFileKind::Motofile})
            dir_.create(kind);
        dir_.copyImages();
        for (const char* folder : {"予想出力", "予想", "情報ファイル"})
            QDir(dir_.path()).mkdir(folder);
        setVbToday(kDemoToday);
        ASSERT_TRUE(site_.listen(0));
        iniWrite("System", "webHost", QStringLiteral("127.0.0.1:%1").arg(site_.port()));
        fillDemoTrackFiles(dir_.path(), site_.world());
        std::tie(debugMode, pd.webCancel, pd.webTimeOut, pd.timerInter, pd.kakoKikan) = std::tuple(false, false, false, 5, 730);
    }
    void TearDown() override
    {
        for (SheetKind kind : {SheetKind::Uma, SheetKind::Kextuka, SheetKind::Kisyu, SheetKind::Cyoukyou, SheetKind::Syuboba})
            unloadSheet(kind);
        if (QWidget* w = shownWindow("frmKanri"))
            w->close();
        if (QWidget* w = shownWindow("frmWebSeiseki"))
            w->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        form_.reset();
        unloadDialogWeb();
        std::tie(debugMode, pd.timerInter) = std::tuple(false, 5);
        setVbToday(VbDate());
    }

    void openMain()
    {
        form_ = std::make_unique<FrmMain>();
        form_->show();
        form_->resize(1000, 760);
    }
    void readRace(const QString& zyo, int raceNo)
    {
        childNamed<QComboBox>(form_.get(), "cmbSelRace_3")->setCurrentText(zyo);
        childNamed<QComboBox>(form_.get(), "cmbSelRace_4")->setCurrentText(Format(raceNo, "00"));
        QTest::mouseClick(childNamed<QPushButton>(form_.get(), "cmdRaceRead"), Qt::LeftButton);
    }
    // The results import from the main window's toolbar, as the user sets its dates.
    void importResults(const VbDate& from, const VbDate& to)
    {
        auto* bar = childNamed<QToolBar>(form_.get(), "tbMenuFile");
        QTest::mouseClick(bar->widgetForAction(childNamed<QAction>(form_.get(), "tbMenuFile_ReadWeb")), Qt::LeftButton);
        auto* window = qobject_cast<FrmWebSeiseki*>(shownWindow("frmWebSeiseki"));
        ASSERT_NE(window, nullptr);
        const QStringList parts = (Format(from, "yyyy/mm/dd") + '/' + Format(to, "yyyy/mm/dd")).split('/');
        int i = 0;
        for (QComboBox* box : {window->cmbStartNen, window->cmbStartTuki, window->cmbStartHi, window->cmbEndNen, window->cmbEndTuki,
                               window->cmbEndHi})
            box->setCurrentText(parts[i++]);
        QTest::mouseClick(window->cmdWebStart, Qt::LeftButton);
        QTest::mouseClick(window->cmdTorikomiGrid, Qt::LeftButton);
        saveShot(window, "frmWebSeiseki");
        window->close();
    }
    // Rows of a sheet's run list from that day on, each with the texts under the named headers.
    QStringList sheetColumns(SheetKind kind, const QString& key, const VbDate& since, const QStringList& headers)
    {
        EXPECT_TRUE(openSheet(kind, key)) << key.toStdString();
        QWidget* sheet = loadedSheet(kind);
        const FlexGrid* grid = childNamed<FlexGrid>(sheet, "gridRireki");
        QStringList heads, rows;
        for (int c = 0; c < grid->cols(); ++c)
            heads << grid->textMatrix(0, c);
        for (int r = 1; r < grid->rows(); ++r) {
            if (kind != SheetKind::Kextuka && grid->textMatrix(r, 0) < Format(since, "yy/mm/dd"))
                continue;
            QStringList cells;
            for (const QString& h : headers)
                cells << grid->textMatrix(r, int(heads.indexOf(h)));
            rows << cells.join('|');
        }
        sheet->resize(1100, 560);
        saveShot(sheet, sheet->objectName());
        return rows;
    }

    TestAppDir dir_;
    MsgBoxRecorder msgs_;
    DemoSite site_ {kDemoToday};
    std::unique_ptr<FrmMain> form_;
};

// Rows where a named column is empty: none is expected.
QStringList emptyIn(const QStringList& rows)
{
    QStringList empty;
    for (const QString& row : rows)
        if (row.split('|').contains(QString()))
            empty << row;
    return empty;
}

}

TEST_F(Newcomer, ReadsImportsOpensSheetsAndRunsTheAdministrationTools)
{
    openMain();
    readRace("大井", 11);
    readRace("園田", 1);
    EXPECT_EQ(std::tuple(msgs_.texts(), pd.raceCode, int(pd.tousuu)),
              std::tuple(QStringList(), QString("園田26120701"), int(site_.world().races().end()[-12].field.size())));
    saveShot(form_.get(), "frmMain");
    auto* tabs = childNamed<QTabBar>(form_.get(), "tabMain");
    for (const QString caption : {"予想・適性", "グラフ", "コーナー進入予想図"})
        for (int i = 0; i < tabs->count(); ++i)
            if (tabs->tabText(i) == caption) {
                clickTabAt(tabs, i);
                EXPECT_EQ(tabs->currentIndex(), i) << caption.toStdString();
                saveShot(form_.get(), "frmMain-" + caption);
            }
    EXPECT_EQ(msgs_.texts(), QStringList());

    // The past month: the results of every race day in it, with field size, corners and trainer.
    const VbDate from = kDemoToday.addDays(-30), to = kDemoToday.addDays(-1);
    int races = 0;
    for (const DemoWorldRace& race : site_.world().races())
        races += race.date >= from && race.date <= to ? 1 : 0;
    importResults(from, to);
    EXPECT_EQ(msgs_.texts(), QStringList {Format(to, "yyyy/mm/dd") + "まで読込み完了\n保存したレース数：" + QString::number(races)});
    EXPECT_EQ(stored("SELECT COUNT(*) || '|' || SUM(R_tousuu > 0) || '|' || SUM(R_tansyo > 0) FROM T_Rdata WHERE R_flag = 'Seiseki'"),
              QString("%1|%1|%1").arg(races));
    EXPECT_EQ(stored("SELECT COUNT(*) FROM T_Useiseki JOIN T_Rdata USING (R_code) WHERE R_flag = 'Seiseki' AND (U_tuka01 = 0 "
                     "OR U_cyoukyou = '' OR U_sisuu = 0)"), "0");

    const DemoWorldRace& past = site_.world().races()[site_.world().races().size() - 36 - 1];  // 園田 12R a week ago
    // A runner read today: the race read stored its sire with its runs.
    const DemoHorse& horse = site_.world().horses()[size_t(site_.world().races().end()[-12].field[0].horse)];
    const QString code = makeRaceCode(QStringLiteral("園田"), past.date, 12);
    const QStringList filled {"頭数", "コーナー通過", "厩舎"};
    const QStringList uma = sheetColumns(SheetKind::Uma, horse.name, from, filled);
    EXPECT_TRUE(!uma.isEmpty() && emptyIn(uma).isEmpty()) << uma.join(' ').toStdString();
    const QStringList result = sheetColumns(SheetKind::Kextuka, code, from, filled);
    EXPECT_TRUE(result.size() == int(past.field.size()) && emptyIn(result).isEmpty()) << result.join(' ').toStdString();
    const QStringList jockey = sheetColumns(SheetKind::Kisyu, past.field[0].jockey.left(3), from, filled);
    EXPECT_TRUE(!jockey.isEmpty() && emptyIn(jockey).isEmpty()) << jockey.join(' ').toStdString();
    const QStringList trainer = sheetColumns(SheetKind::Cyoukyou, horse.trainer, from, {"頭数", "コーナー通過", "馬名"});
    EXPECT_TRUE(!trainer.isEmpty() && emptyIn(trainer).isEmpty()) << trainer.join(' ').toStdString();
    const QStringList sire = sheetColumns(SheetKind::Syuboba, horse.sire, from, filled);
    EXPECT_TRUE(!sire.isEmpty() && emptyIn(sire).isEmpty()) << sire.join(' ').toStdString();

    // With kanri.id: the administration window from the main window.
    debugMode = true;
    openMain();
    QTest::mouseClick(childNamed<QPushButton>(form_.get(), "cmdKanri"), Qt::LeftButton);
    QWidget* kanri = shownWindow("frmKanri");
    ASSERT_NE(kanri, nullptr);
    msgs_.clear();
    childNamed<QComboBox>(kanri, "cmbNenBaba")->setCurrentText(QString::number(kDemoToday.year() - 1));
    QTest::mouseClick(childNamed<QPushButton>(kanri, "cmdBabaFile"), Qt::LeftButton);
    // The work file's newest day is today; its variants, which the build keeps, reach the edition.
    const QString edition = dir_.filePath("情報ファイル/地方馬場ファイル" + Format(kDemoToday, "yymmdd") + "版.dat");
    const QString variants = "SELECT group_concat(S_date || S_zyo || ':' || S_sisuu, ' ') FROM (SELECT * FROM T_sisuu WHERE S_date >= ? "
                             "ORDER BY S_date, S_zyo)";
    const auto monthOf = [&](const QString& file) {
        openDbOrThrow(5, file, dbPassword);
        const DbSlotCloser closer(5);
        return RecordSet(5, variants, {from}).field(0).toString();
    };
    EXPECT_TRUE(QFileInfo::exists(edition) && monthOf(edition) == monthOf(dir_.filePath("Strevin_data.dat"))) << edition.toStdString();

    childNamed<QComboBox>(kanri, "cmbAnalSisuuSyurui")->setEditText("場間");
    childNamed<QLineEdit>(kanri, "TxtTar01")->setText("大井");
    childNamed<QLineEdit>(kanri, "TxtTar02")->setText("川崎");
    QTest::mouseClick(childNamed<QPushButton>(kanri, "cmdAnalSisuu"), Qt::LeftButton);
    const int horses = childNamed<QLineEdit>(kanri, "txtCount")->text().toInt();
    EXPECT_GT(horses, 0);
    {
        openDbOrThrow(5, dir_.filePath("Rana.mdb"), QString());
        const DbSlotCloser closer(5);
        EXPECT_EQ(RecordSet(5, "SELECT COUNT(*) FROM SisuuHyouka WHERE Tar01Sisuu <> 0 AND Tar02Sisuu <> 0").field(0).toInt(), horses);
    }
    EXPECT_FALSE(childNamed<QLineEdit>(kanri, "TxtHosei")->text().isEmpty());
    // ② and ③ at a correction of 0.0 over every track: the work file holds the standard times and variants the
    // stored indices were computed from, so each index stays as it was.
    const QStringList before = storedIndices();
    childNamed<QLineEdit>(kanri, "TxtHosei")->setText("0.0");
    QTest::mouseClick(childNamed<QPushButton>(kanri, "cmdTimeChange"), Qt::LeftButton);
    for (const DemoTrack& track : site_.world().tracks()) {
        childNamed<QLineEdit>(kanri, "TxtTar01")->setText(track.name);
        QTest::mouseClick(childNamed<QPushButton>(kanri, "cmdReCal"), Qt::LeftButton);
    }
    const QStringList after = storedIndices();
    QStringList changed;
    for (qsizetype i = 0; i < std::min(before.size(), after.size()); ++i)
        if (after[i] != before[i])
            changed << before[i] + " → " + after[i];
    EXPECT_TRUE(before.size() == after.size() && before.size() > 1000 && changed.isEmpty())
        << before.size() << ' ' << changed.mid(0, 5).join(", ").toStdString();

    childNamed<QLineEdit>(kanri, "txtZyunkaiDate")->setText(Format(kDemoToday, "yyyy/mm/dd"));
    QTest::mouseClick(childNamed<QPushButton>(kanri, "cmbZyunkai"), Qt::LeftButton);
    saveShot(kanri, "frmKanri");
    EXPECT_EQ(msgs_.texts(), QStringList({"馬場情報ファイルを作成しました", "書き換え終了", "書き換え終了", "書き換え終了", "書き換え終了",
                                          "巡回を完了\n36レースの予想を書き出しました"}));
    QStringList pages {"index.html", "memo推奨.txt"};
    for (const QString& zyo : {QString("大井"), QString("川崎"), QString("園田")})
        for (int n = 1; n <= 12; ++n)
            pages << zyo + Format(kDemoToday, "mmdd") + "-" + Format(n, "00") + "R.html";
    pages.sort();
    EXPECT_EQ(QDir(dir_.filePath("予想出力")).entryList(QDir::Files, QDir::Name), pages);
    const QString archive = dir_.filePath("予想/" + Format(kDemoToday, "mmdd") + ".lzh");
    EXPECT_TRUE(lhaTestPasses(archive));
    QStringList byLha, byLibarchive;
    for (const auto& [name, bytes] : lhaExtract(archive, dir_.filePath("lha")))
        byLha << fromCp932(QByteArray::fromStdString(name));
    for (const auto& [name, member] : libarchiveMembers(archive))
        byLibarchive << name;
    byLha.sort();
    byLibarchive.sort();
    EXPECT_EQ(byLibarchive, pages);
    EXPECT_EQ(byLha, pages);
}

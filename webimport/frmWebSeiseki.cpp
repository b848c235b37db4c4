#include "webimport/frmWebSeiseki.h"

#include "core/dataFiles.h"
#include "core/dialogSincyoku.h"
#include "core/publicDim.h"
#include "core/publicFunction.h"
#include "platform/database.h"
#include "platform/flexgridredraw.h"
#include "platform/msgbox.h"
#include "platform/vberror.h"
#include "platform/vbformat.h"
#include "webimport/ReadWeb.h"
#include "webimport/ReadWebSeiseki.h"
#include "webimport/dialogWeb.h"
#include "webimport/importGuard.h"
#include "platform/widgets.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHash>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QStringList>
#include <optional>

namespace {

QPointer<FrmWebSeiseki> instance;

// The tracks of the status grid, one column each, as R_zyo stores them.
constexpr const char* kGridTracks[] = {"門別", "札幌", "旭川", "盛岡", "水沢", "浦和", "船橋", "大井", "川崎",
                                       "金沢", "笠松", "名古", "園田", "姫路", "福山", "高知", "佐賀", "荒尾"};
constexpr int kRacesPerDay = 12;

const QString kCancelled = QStringLiteral("キャンセルしました");
const QString kBadDate = QStringLiteral("開始日と終了日には正しい日付を指定してください");
const QString kEndBeforeStart = QStringLiteral("終了日が開始日より前になっています");

struct Track {
    QString code;
    QString name;
};

// The import's track list: MasterZyo in zyoNo order, tracks without a web code left out.
QList<Track> loadTracks()
{
    QList<Track> tracks;
    for (RecordSet rs(slotMain, "SELECT zyoCode, zyoName FROM MasterZyo ORDER BY zyoNo"); !rs.eof(); rs.moveNext()) {
        const Track t {rs.field("zyoCode").toString().trimmed(), rs.field("zyoName").toString()};
        if (!t.code.isEmpty())
            tracks.append(t);
    }
    return tracks;
}

QString resultsUrl(const Track& track, const VbDate& day, int raceNo)
{
    return webServerUrl() + "/keibaWeb/PageFlows/RaceMarkTable/RaceMarkTableController.jpf?k_babaCode=" + track.code
        + "&k_raceNo=" + QString::number(raceNo) + "&k_raceDate=" + Format(day, "yyyy") + "%2F" + Format(day, "mm")
        + "%2F" + Format(day, "dd");
}

SeisekiPage importRace(QWidget* owner, const Track& track, const VbDate& day, int raceNo)
{
    pd.webCancel = false;
    showDialogWebOver(owner, Format(day, "yyyy/mm/dd") + track.name + QString::number(raceNo) + "R読込み中");
    return readSeisekiPage(resultsUrl(track, day, raceNo));
}

// What an import run did, for its end message and LastDate.
struct ImportRun {
    int stored = 0;
    std::optional<VbDate> stoppedOn;  // the day of a page that could not be read whole
    QString problem;                  // which page, and why
};

enum class DayEnd { Read, Cancelled, Stopped };

QString raceLabel(const Track& track, const VbDate& day, int raceNo)
{
    return Format(day, "yyyy/mm/dd") + track.name + QString::number(raceNo) + "R";
}

// Races 1..12 of one track and day; the day ends at the first race that is not there. A page
// that could not be read whole stops the import: the server's answer for that day is not known.
DayEnd importTrackDay(QWidget* owner, const Track& track, const VbDate& day, ImportRun& run)
{
    for (int raceNo = 1; raceNo <= kRacesPerDay; ++raceNo) {
        const SeisekiPage page = importRace(owner, track, day, raceNo);
        if (page == SeisekiPage::Cancelled || pd.webCancel) {
            unloadDialogWeb();
            if (page != SeisekiPage::Cancelled)  // said once: by the loader, or here when it had not seen it
                msgBox(kCancelled);
            return DayEnd::Cancelled;
        }
        switch (page) {
        case SeisekiPage::Saved:
            ++run.stored;
            break;
        case SeisekiPage::NotResults:
        case SeisekiPage::DatedToday:
            return DayEnd::Read;
        case SeisekiPage::LoadFailed:
            run.problem = raceLabel(track, day, raceNo) + "を読み込めませんでした\n" + webLoadFailure.text();
            run.stoppedOn = day;
            return DayEnd::Stopped;
        case SeisekiPage::WriteFailed:  // the next race would be refused too: told once, with the races stored
            run.problem = raceLabel(track, day, raceNo) + "の成績を保存できませんでした\n" + seisekiWriteFailure;
            run.stoppedOn = day;
            return DayEnd::Stopped;
        case SeisekiPage::TitleUnread:  // the parser has said so; the next race follows
        case SeisekiPage::Cancelled:
            break;
        }
    }
    return DayEnd::Read;
}

// The days read in full, the races stored, and what stopped the import or kept its last day from
// being stored.
QString endMessage(const ImportRun& run, const VbDate& first, const VbDate& lastRead, const QString& lastDateRefused)
{
    QStringList lines;
    if (run.stoppedOn)
        lines << run.problem;
    if (lastRead >= first)
        lines << Format(lastRead, "yyyy/mm/dd") + "まで読込み完了";
    if (!lastDateRefused.isEmpty())
        lines << "読込み済みの最終日を保存できませんでした\n" + lastDateRefused;
    lines << QStringLiteral("保存したレース数：%1").arg(run.stored);
    return lines.join(u'\n');
}

// LastDate only ever moves forward.
void updateLastDate(const VbDate& last)
{
    DbTransaction transaction(slotSide);
    RecordSet rs(slotSide, "SELECT LastDate FROM LastDate ORDER BY LastDate DESC");
    const bool empty = rs.eof();
    const VbDate stored = empty ? VbDate() : rs.field("LastDate").toDate();
    rs.close();
    if (!empty && stored >= last)
        return;
    slotConnection(slotSide).execute("DELETE FROM LastDate");
    insertRow(slotSide, "LastDate", DbRow().set("LastDate", last));
    transaction.commit();
}

// Stored result races per day and track between two days.
QHash<QString, int> storedCounts(const VbDate& from, const VbDate& to)
{
    QHash<QString, int> counts;
    RecordSet rs(slotMain,
                 "SELECT R_date, R_zyo, COUNT(R_date) AS n FROM T_Rdata WHERE R_date >= ? AND R_date <= ? "
                 "AND R_flag = ? GROUP BY R_date, R_zyo",
                 {from, to, "Seiseki"});
    for (; !rs.eof(); rs.moveNext())
        counts.insert(rs.field("R_date").toDate().toDbText() + rs.field("R_zyo").toString(), rs.field("n").toInt());
    return counts;
}

// The date the three boxes form; none when they form no date (02/31, an empty box).
std::optional<VbDate> comboDate(const QComboBox* nen, const QComboBox* tuki, const QComboBox* hi)
{
    if (!IsNumeric(nen->currentText()) || !IsNumeric(tuki->currentText()) || !IsNumeric(hi->currentText()))
        return std::nullopt;
    const QDate day(CLngText(nen->currentText()), CLngText(tuki->currentText()), CLngText(hi->currentText()));
    if (!day.isValid())
        return std::nullopt;
    return VbDate::fromQDate(day);
}

void setComboDate(QComboBox* nen, QComboBox* tuki, QComboBox* hi, const VbDate& day)
{
    nen->setCurrentText(Format(day, "yyyy"));
    tuki->setCurrentText(Format(day, "mm"));
    hi->setCurrentText(Format(day, "dd"));
}

}

// Marks the window busy for one piece of work: the controls that start work or close the
// window are disabled until it ends, also when it ends on an error.
class WorkingState {
public:
    explicit WorkingState(FrmWebSeiseki& form) : form_(form) { form_.setWorking(true); }
    ~WorkingState() { form_.setWorking(false); }
    WorkingState(const WorkingState&) = delete;
    WorkingState& operator=(const WorkingState&) = delete;

private:
    FrmWebSeiseki& form_;
};

FrmWebSeiseki::FrmWebSeiseki(QWidget* owner)
    : QWidget(owner, Qt::Window)
    , Frame1(buildFrame1())
    , cmbYomiNen(combo("cmbYomiNen"))
    , Label9(new QLabel("年取込済みレース数　→"))
    , cmdTorikomiGrid(button("cmdTorikomiGrid", "取込済みレース数の表示"))
    , txtYmikomi(new QPlainTextEdit("取込済みレース数の表示ボタンを押して、取込済みレースを確認してください"))
    , gridYomikomi(new FlexGrid)
    , cmdEnd(button("cmdEnd", "閉じる"))
{
    setObjectName("frmWebSeiseki");
    setWindowTitle("競争成績読込み");
    setAttribute(Qt::WA_DeleteOnClose);
    txtYmikomi->setObjectName("txtYmikomi");
    txtYmikomi->setReadOnly(true);
    gridYomikomi->setObjectName("gridYomikomi");
    cmbYomiNen->setEditable(false);

    auto* yearRow = new QHBoxLayout;
    yearRow->addWidget(cmbYomiNen);
    yearRow->addWidget(Label9);
    yearRow->addWidget(cmdTorikomiGrid);
    yearRow->addStretch();
    auto* layout = new QGridLayout(this);
    layout->addWidget(Frame1, 0, 0);
    layout->addLayout(yearRow, 1, 0);
    layout->addWidget(gridYomikomi, 2, 0);
    layout->addWidget(txtYmikomi, 2, 0);  // covers the grid until it is first filled
    txtYmikomi->raise();
    layout->addWidget(cmdEnd, 3, 0, Qt::AlignRight);
    // Wide enough for the status grid's 19 columns and its scroll bar.
    resize(730, 700);

    connect(cmdWebStart, &QPushButton::clicked, this, &FrmWebSeiseki::cmdWebStart_Click);
    connect(cmdTorikomiGrid, &QPushButton::clicked, this, &FrmWebSeiseki::cmdTorikomiGrid_Click);
    connect(cmbYomiNen, &QComboBox::activated, this, &FrmWebSeiseki::cmbYomiNen_Click);
    connect(cmdEnd, &QPushButton::clicked, this, &FrmWebSeiseki::cmdEnd_Click);
    Form_Load();
}

QGroupBox* FrmWebSeiseki::buildFrame1()
{
    auto* frame = new QGroupBox("Webより自動読込み");
    frame->setObjectName("Frame1");
    cmbStartNen = combo("cmbStartNen");
    cmbStartTuki = combo("cmbStartTuki");
    cmbStartHi = combo("cmbStartHi");
    cmbEndNen = combo("cmbEndNen");
    cmbEndTuki = combo("cmbEndTuki");
    cmbEndHi = combo("cmbEndHi");
    cmdWebStart = button("cmdWebStart", "読込み開始");
    auto* layout = new QGridLayout(frame);
    auto addDateRow = [&](int row, const char* label, QComboBox* nen, QComboBox* tuki, QComboBox* hi) {
        layout->addWidget(new QLabel(label), row, 0);
        int col = 1;
        for (auto [box, unit] : {std::pair {nen, "年"}, std::pair {tuki, "月"}, std::pair {hi, "日"}}) {
            layout->addWidget(box, row, col++);
            layout->addWidget(new QLabel(unit), row, col++);
        }
    };
    addDateRow(0, "開始日", cmbStartNen, cmbStartTuki, cmbStartHi);
    addDateRow(1, "終了日", cmbEndNen, cmbEndTuki, cmbEndHi);
    layout->setColumnMinimumWidth(7, 20);
    layout->addWidget(cmdWebStart, 0, 8, 2, 1);
    layout->setColumnStretch(9, 1);
    return frame;
}

void FrmWebSeiseki::closeEvent(QCloseEvent* event)
{
    // The running loop lives in this window's handler; closing would pull it from under it.
    if (working_)
        event->ignore();
    else
        QWidget::closeEvent(event);
}

void FrmWebSeiseki::setWorking(bool on)
{
    working_ = on;
    for (QWidget* w : std::initializer_list<QWidget*> {cmdWebStart, cmdEnd, cmdTorikomiGrid, cmbYomiNen})
        w->setEnabled(!on);
}

void FrmWebSeiseki::Form_Load()
{
    vbTrap("Error-frmWebSeiseki-4", [&] {
        VbDate start;
        {
            openDb(slotMain, DataFileKind::NarData);
            DbSlotCloser closer(slotMain);
            if (isDbOpen(slotMain)) {
                RecordSet rs(slotMain, "SELECT LastDate FROM LastDate ORDER BY LastDate DESC");
                if (!rs.eof())
                    start = rs.field("LastDate").toDate();
            }
        }
        const VbDate today = vbToday();
        for (int y = today.year() - 4; y <= today.year(); ++y)
            for (QComboBox* box : {cmbEndNen, cmbStartNen, cmbYomiNen})
                box->addItem(QString::number(y));
        for (int m = 1; m <= 12; ++m)
            for (QComboBox* box : {cmbEndTuki, cmbStartTuki})
                box->addItem(Format(m, "00"));
        for (int d = 1; d <= 31; ++d)
            for (QComboBox* box : {cmbEndHi, cmbStartHi})
                box->addItem(Format(d, "00"));
        // After the lists: a first item added to an empty box would become its text.
        setComboDate(cmbEndNen, cmbEndTuki, cmbEndHi, today.addDays(-1));
        setComboDate(cmbStartNen, cmbStartTuki, cmbStartHi, start);
        cmbYomiNen->setCurrentText(Format(today, "yyyy"));
    });
}

void FrmWebSeiseki::cmdWebStart_Click()
{
    vbTrap("Error-frmWebSeiseki-3", [&] { readWebSeisekiRange(); });
}

void FrmWebSeiseki::cmdTorikomiGrid_Click()
{
    vbTrap("Error-frmWebSeiseki-7", [&] {
        txtYmikomi->hide();
        gridYomikomi->clear();
        showYomikomiGrid();
    });
}

void FrmWebSeiseki::cmbYomiNen_Click()
{
    vbTrap("Error-frmWebSeiseki-1", [&] {
        gridYomikomi->clear();
        gridYomikomi->setRows(2);
        showYomikomiGrid();
    });
}

void FrmWebSeiseki::cmdEnd_Click()
{
    vbTrap("Error-frmWebSeiseki-2", [&] { close(); });
}

void FrmWebSeiseki::readWebSeisekiRange()
{
    const std::optional<VbDate> a = comboDate(cmbStartNen, cmbStartTuki, cmbStartHi);
    const std::optional<VbDate> b = comboDate(cmbEndNen, cmbEndTuki, cmbEndHi);
    if (!a || !b) {
        msgBox(kBadDate);
        return;
    }
    if (*b < *a) {
        msgBox(kEndBeforeStart);
        return;
    }
    const ImportGuard guard;
    if (!guard.acquiredOrSaid())
        return;
    const WorkingState working(*this);
    vbTrap("Error-frmWebSeiseki-6", [&] {
        DbSlotCloser closeTracks(slotMain), closeRaces(slotSide);
        openDb(slotMain, DataFileKind::StrevinData);
        openDb(slotSide, DataFileKind::NarData);
        if (!isDbOpen(slotMain) || !isDbOpen(slotSide))
            return;
        const QList<Track> tracks = loadTracks();
        ImportRun run;
        {
            const DialogWebUnloader unloader;
            for (VbDate day = *a; day <= *b && !run.stoppedOn; day = day.addDays(1))
                for (const Track& track : tracks) {
                    const DayEnd end = importTrackDay(this, track, day, run);
                    if (end == DayEnd::Cancelled)
                        return;
                    if (end == DayEnd::Stopped)
                        break;
                }
        }
        // LastDate moves only over days read in full.
        const VbDate lastRead = run.stoppedOn ? run.stoppedOn->addDays(-1) : *b;
        const QString lastDateRefused = lastRead >= *a
            ? writeOrFailureLines(slotSide, "Error-frmWebSeiseki-6", [&] { updateLastDate(lastRead); }) : QString();
        msgBox(endMessage(run, *a, lastRead, lastDateRefused));
    });
}

void FrmWebSeiseki::showYomikomiGrid()
{
    const WorkingState working(*this);
    const DialogSincyokuUnloader unloader;
    vbTrap("Error-frmWebSeiseki-5", [&] {
        showDialogSincyoku(this);
        const int year = CLngText(cmbYomiNen->currentText());
        const VbDate today = vbToday();
        const VbDate last = year == today.addDays(-1).year() ? today : VbDate::fromYmd(year, 12, 31);
        const VbDate newYear = VbDate::fromYmd(year, 1, 1);

        FlexGrid& grid = *gridYomikomi;
        grid.clear();
        const FlexRedrawOff redraw(grid);
        grid.setRowHeightMin(300);
        grid.setCols(19);
        grid.setColWidth(0, 1100);
        grid.setColAlignment(0, flexAlignCenterCenter);
        for (int c = 1; c <= 18; ++c) {
            grid.setTextMatrix(0, c, QString::fromUtf8(kGridTracks[c - 1]));
            grid.setCellAlignment(0, c, flexAlignCenterCenter);
            grid.setCellFontBold(0, c, true);
            grid.setColWidth(c, 500);
        }

        QHash<QString, int> counts;
        {
            openDb(slotMain, DataFileKind::NarData);
            if (!isDbOpen(slotMain))  // the open has named the file and the cause
                return;
            DbSlotCloser closer(slotMain);
            counts = storedCounts(newYear, last);
        }
        const int days = last - newYear;
        dialogSincyoku().setMax(float(days - 1));
        grid.setRows(days + 2);
        for (int i = 0; i <= days; ++i) {
            if (i < days - 1)
                dialogSincyoku().setValue(float(i));
            const VbDate day = last.addDays(-i);
            grid.setTextMatrix(i + 1, 0, Format(day, "mm/dd") + weekdayLabel(day));
            grid.setCellFontBold(i + 1, 0, true);
            grid.setCellFontUnderline(i + 1, 0, true);
            grid.setCellForeColor(i + 1, 0, vbBlue);
            for (int c = 1; c <= 18; ++c) {
                const int n = counts.value(day.toDbText() + QString::fromUtf8(kGridTracks[c - 1]));
                if (n > 0)
                    grid.setTextMatrix(i + 1, c, QString::number(n));
            }
        }
    });
}

void showFrmWebSeiseki(QWidget* owner)
{
    if (!instance) {
        instance = new FrmWebSeiseki(owner);
        keepOnScreen(instance);
    }
    instance->show();
    instance->raise();
    instance->activateWindow();
}

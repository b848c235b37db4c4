#include "core/mainStart.h"

#include "core/dataFiles.h"
#include "core/publicDim.h"
#include "core/publicFunction.h"
#include "core/settingRanges.h"
#include "platform/colors.h"
#include "platform/database.h"
#include "platform/msgbox.h"
#include "platform/vberror.h"
#include "platform/vbformat.h"

#include <optional>

namespace {

StartNoticeLabels startLabels;

const QString kBabaNotice = QStringLiteral(
    "馬場情報ファイルを更新しないと正確なスピード指数が表示されません\r\n"
    "馬場情報ファイルの購入をお勧めします\r\n"
    "詳しくはサポートホームページをご覧ください\r\n");
const QString kDbNotice = QStringLiteral(
    "過去レース成績を読み込むと、各種適性が正確に表示されます\r\n"
    "Webより読み込みをお願いします\r\n"
    "(時間が掛かります、出走表のみ読込みでも予想可能です)\r\n");
const QString kJraMissingNotice = QStringLiteral(
    "中央馬場情報ファイルをインストールしないと、中央出走の指数が表示されません\r\n"
    "馬場情報ファイルの購入をお勧めします\r\n"
    "詳しくはサポートホームページをご覧ください\r\n");

// One status line of the start notice: the label with the date and the advice below it.
struct StatusLine {
    QPointer<QLabel> label;
    QPointer<QLabel> notice;
    QString head;       // text before the date
    QString tail;       // text after the date
    QString emptyDate;  // shown in place of an empty date
    QString noticeText;
};

// The date in the first row of a data file's table; nullopt when the file cannot be read at all
// (missing, empty, wrong password, not a database, no such table or column), with the cause
// added to `problems`. Trapped even in debug mode: a data file must never stop the start.
std::optional<VbDate> readFileDate(DataFileKind kind, const QString& table, const QString& column,
                                   QStringList& problems)
{
    std::optional<VbDate> date;
    try {
        openDataFile(slotMain, kind, {table});
        const RecordSet rs(slotMain, QStringLiteral("SELECT * FROM ") + quoteIdent(table));
        date = rs.eof() ? VbDate() : rs.field(column).toDate();
    } catch (const std::exception& e) {
        const QString cause = japaneseCause(e);
        problems << (cause.isEmpty() ? dataFileEntry(kind).fileName + QStringLiteral("：日付を読めません") : cause);
    }
    closeDb(slotMain);
    return date;
}

void setCaption(const QPointer<QLabel>& label, const QString& text)
{
    if (label)
        label->setText(text);
}

void paintLabel(QLabel* label, uint32_t back, uint32_t fore)
{
    QPalette p = label->palette();
    p.setColor(QPalette::Window, vbColor(back));
    p.setColor(QPalette::WindowText, vbColor(fore));
    label->setPalette(p);
    label->setAutoFillBackground(true);
}

// An empty date counts as stale: it is earlier than any real date.
void showStaleness(const StatusLine& line, const VbDate& d)
{
    const bool stale = d < vbToday().addDays(-31);
    if (line.label)
        paintLabel(line.label, stale ? 0x0000FF : 0xFFC0C0, stale ? 0xFFFFFF : 0x000000);
    if (line.notice)
        line.notice->setVisible(stale);
}

void showStatus(const StatusLine& line, const std::optional<VbDate>& d)
{
    QString middle;
    if (!d)
        middle = QStringLiteral("ファイルが開けません ");
    else if (d->isZero())
        middle = line.emptyDate + ' ';
    else
        middle = Format(*d, "yyyy/mm/dd") + line.tail;
    showStaleness(line, d.value_or(VbDate()));
    setCaption(line.label, line.head + middle);
    setCaption(line.notice, line.noticeText);
}

void showJraStatus(QStringList& problems)
{
    const StatusLine line {startLabels.lblJraFileRecnt, startLabels.lblJraNotice,
                           QStringLiteral(" 中央馬場情報ファイル：　"), QStringLiteral("版を読込み "),
                           QStringLiteral("版の日付がありません"), kBabaNotice};
    if (pd.jraGraphOn) {
        showStatus(line, readFileDate(DataFileKind::JraGraph, "version", "date", problems));
        return;
    }
    setCaption(line.label, QStringLiteral("中央馬場情報ファイル：　ファイルが存在しません"));
    setCaption(line.notice, kJraMissingNotice);
}

}

QString loadSettings()
{
    IniNumbers ini;
    pd.kakoKikan = ini.readLong(settingTarKikanWebUma());
    pd.timerInter = ini.readLong(settingTimerInter());
    for (int i = 0; i <= 6; ++i)
        pd.graphFlags[size_t(i)] = iniRead("graph", QString("iniGraph(%1)").arg(i), "true");
    pd.lineRatio = ini.readSingle(settingLineRatio());
    return ini.firstBad();
}

void setStartNoticeLabels(const StartNoticeLabels& labels)
{
    startLabels = labels;
}

QStringList showDataFileInfo()
{
    QStringList problems;
    showStatus({startLabels.lblBabaFileRecnt, startLabels.lblBabaNotice, QStringLiteral(" 地方馬場情報ファイル：　"),
                QStringLiteral("版を読込み "), QStringLiteral("版の日付がありません"), kBabaNotice},
               readFileDate(DataFileKind::StrevinData, "version", "date", problems));
    showStatus({startLabels.lblDbKikan, startLabels.lblDbNotice, QStringLiteral(" 過去データ：　"),
                QStringLiteral("まで読込み "), QStringLiteral("読込みなし"), kDbNotice},
               readFileDate(DataFileKind::NarData, "LastDate", "LastDate", problems));
    setCaption(startLabels.lblVersion, QString("Ver.%1.%2.%3")
                                           .arg(BRENNOCK_VERSION_MAJOR)
                                           .arg(BRENNOCK_VERSION_MINOR)
                                           .arg(BRENNOCK_VERSION_PATCH));
    showJraStatus(problems);
    return problems;
}

void reportDataFileProblems(QStringList problems)
{
    problems.removeDuplicates();
    if (!problems.isEmpty())
        msgBox(QStringLiteral("Error-mainStart-2\n") + problems.join(QLatin1Char('\n')));
}

void dispDataFileInfo()
{
    reportDataFileProblems(showDataFileInfo());
}

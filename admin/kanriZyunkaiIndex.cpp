// The end of the batch run: the index page of the day's pages, the memo and the public
// recommendation text.
#include "admin/kanriZyunkai.h"

#include "admin/kanriCommon.h"
#include "core/dataFiles.h"
#include "core/publicFunction.h"
#include "platform/database.h"
#include "platform/vbformat.h"

namespace {

const QString kCrLf = QStringLiteral("\r\n");

const QString kIndexHead =
    "<HTML><HEAD><META http-equiv='Content-Type' content='text/html; charset=Shift_JIS'><META "
    "http-equiv='Content-Style-Type' content='text/css'><TITLE></TITLE></HEAD><BODY><DIV><TABLE border='1'><TBODY>"
    "<TR><TD>馬番</TD><TD>父<BR><FONT size='+1'color='#0000ff'><B>馬名</B></FONT></TD><TD>騎手（負担）<BR>性齢</TD>"
    "<TD><B>印</B></TD><TD><B>予想能力</B><BR>基本能力</TD><TD>場　距離<BR>年月日　レースNo<BR><FONT "
    "color='#990000'><B>指数</B></FONT>　上がり指数　着順/頭数</TD></TR></TBODY></TABLE></DIV>";
const QString kIndexFooter = "<P>地方競馬 指数・予想 Brennock</P>";
const QString kPublisher = "Brennock 地方競馬指数";
// The day's stored predictions without the mark "out", in code-point order of the race code.
const QString kDayQuery = "SELECT * FROM Q_date WHERE R_date = ? AND taisyo IS NULL ORDER BY R_code";

// "大井01R": the track of a race code, Nagoya spelt out, and its race number with two digits.
QString raceLabel(const QString& code)
{
    const QString zyo = code.left(2);
    return (zyo == "名古" ? QString("名古屋") : zyo) + code.mid(8, 2) + "R";
}

QString horseNo(const DbField& f)
{
    return QString::number(f.toInt());
}

}

void writeZyunkaiIndex()
{
    const QList<IndexLink>& links = zyunkai.indexLink;
    QString page = kIndexHead;
    QString trackList;
    for (qsizetype i = 0; i < links.size(); ++i) {
        const QString& zyo = links[i].zyo;
        if (i == 0 || links[i - 1].zyo != zyo) {
            page += "<P><B>" + zyo + "<BR></B>";
            trackList += zyo + "・";
        }
        page += links[i].link;
        if (i + 1 == links.size() || links[i + 1].zyo != zyo)
            page += "</P>";
    }
    page += kIndexFooter + "</BODY></HTML>";
    writeZyunkaiFile(appPath() + kOutFolder + "/index.html", page, TextKind::Page);
    writeSuisyou();
    const QString d5 = Format(zyunkai.zyunkaiDate, "mm/dd");
    const QString memo = "地方競馬-指数・予想付出走表" + d5 + zyunkai.zyunkaiYoubi + kCrLf + d5 + " " + trackList + kCrLf
                       + kCrLf + zyunkai.suisyouMemo;
    writeZyunkaiFile(appPath() + kOutFolder + "/memo推奨.txt", memo, TextKind::Plain);
}

void writeSuisyou()
{
    const QString d5 = Format(zyunkai.zyunkaiDate, "mm/dd");
    const QString d6 = Format(zyunkai.zyunkaiDate, "yymmdd");
    QString text = "地方競馬予想「本日の鉄板レース」" + d5 + "<BR>" + kPublisher + "<BR>" + "<BR>";
    QString& memo = zyunkai.suisyouMemo;
    memo += "地方競馬「本日の鉄板レース・推奨馬券」" + kCrLf + kCrLf;
    const QString ranaFile = dataFileName(DataFileKind::Rana);
    openKanriDb(slotMain, DataFileKind::Rana);
    const DbSlotCloser closer(slotMain);
    requireTables(slotMain, ranaFile, {"T_Rana", "Q_date"});

    text += "■鉄板レース<BR>";
    memo += "■鉄板レース" + kCrLf;
    int bankers = 0;
    for (RecordSet rs(slotMain, kDayQuery, {d6}); !rs.eof(); rs.moveNext()) {
        if (rs["winRitu(1)"].toDouble() > 0.99) {
            ++bankers;
            const QString line = raceLabel(rs["R_code"].toString()) + " 単勝 ◎" + horseNo(rs["R_ana(1)"]) + "号馬";
            text += line + "<BR>";
            memo += line + kCrLf;
        }
    }
    if (bankers == 0)
        text += "本日鉄板レースはありません<BR>";
    text += kPublisher + "<BR>" + kCrLf + kCrLf;
    text += "地方競馬予想「本日の推奨馬券」" + d5 + "<BR>" + kPublisher + "<BR>" + "<BR>" + "■推奨馬券(東海・金沢のみ)" + "<BR>";
    memo += kCrLf + "■推奨馬券" + kCrLf;

    int tips = 0;
    for (RecordSet rs(slotMain, kDayQuery, {d6}); !rs.eof(); rs.moveNext()) {
        if (rs["renRitu(3)"].toDouble() < 0.33) {
            const QString code = rs["R_code"].toString();
            const QString line = raceLabel(code) + " 馬複 " + horseNo(rs["R_ana(1)"]) + "-" + horseNo(rs["R_ana(2)"]);
            memo += line + kCrLf;
            if (QStringList {"金沢", "笠松", "名古"}.contains(code.left(2))) {
                ++tips;
                text += line + "<BR>";
            }
        }
    }
    if (tips == 0)
        text += "本日東海・金沢に推奨馬券はありません<BR>";
    text += kPublisher + "<BR>" + kCrLf + kCrLf;
    writeZyunkaiFile(appPath() + "01推奨.txt", text, TextKind::Plain);
}

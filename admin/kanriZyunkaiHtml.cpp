// The race page of the batch run: a head, one row per runner from a template with placeholder
// words, and a tail.
#include "admin/kanriZyunkai.h"

#include "admin/kanriCommon.h"
#include "core/publicDim.h"
#include "core/publicFunction.h"
#include "platform/vbformat.h"

#include <charconv>
#include <utility>
#include <vector>

namespace {

const QString kHead =
    "<HEAD><META http-equiv='Content-Type' content='text/html; charset=Shift_JIS'><BODY>"
    "<P><A href='***.html'>次のレースへ</A></P><DIV align='left'><TABLE border='1' cellspacing='1' width='800'>"
    "<COL span='1' width='20'><COL span='1' width='150'><COL span='1' width='80'><COL span='2' width='20'>"
    "<COL span='5' width='100'><CAPTION align='left'><B>";

const QString kRowTemplate =
    "<TR><TD>umaban</TD><TD>chichi<BR><B><FONT color='#000099' size='+1'>name</FONT></B></TD>"
    "<TD>kisyu(hutan)<BR>seibetu<BR>kyakusitu</TD><TD bgcolor='#ffffb9'><B><FONT size='+1' color='#0000a0'>sirusi"
    "</FONT></B></TD>"
    "<TD><B>yosou</B><BR>kihon</TD><TD >zyo1kyori1<BR>date1 rno1R<BR><B><FONT size='+1' color='#7d0000'>sisuu1"
    "</FONT></B> 3f1 cyaku1/tousuu1</TD>"
    "<TD>zyo2kyori2<BR>date2 rno2R<BR><B><FONT size='+1' color='#000099'><FONT color='#7d0000'>sisuu2</FONT></FONT>"
    "</B> 3f2 cyaku2/tousuu2</TD>"
    "<TD>zyo3kyori3<BR>date3 rno3R<BR><B><FONT size='+1' color='#000099'><FONT color='#7d0000'>sisuu3</FONT></FONT>"
    "</B> 3f3 cyaku3/tousuu3</TD>"
    "<TD>zyo4kyori4<BR>date4 rno4R<BR><B><FONT size='+1' color='#000099'><FONT color='#7d0000'>sisuu4</FONT></FONT>"
    "</B> 3f4 cyaku4/tousuu4</TD>"
    "<TD >zyo5kyori5<BR>date5 rno5R<BR><B><FONT size='+1' color='#000099'><FONT color='#7d0000'>sisuu5</FONT></FONT>"
    "</B> 3f5 cyaku5/tousuu5</TD></TR>";

const QString kNoIndexNote = "<P>（注意）未出走（15ヶ月以内）の馬がいます、予想印は参考です</P>";
const QString kFooter = "<P>地方競馬 指数・予想 Brennock</P>";
constexpr int kPageRunners = 16;
constexpr int kPageRuns = 5;

using Substitutions = std::vector<std::pair<QString, QString>>;

// Replaces every placeholder in one pass over the template, so a value that holds a placeholder
// word ("name", "date1") is written as it stands. At a position the first listed word that
// matches wins.
QString substitute(const QString& text, const Substitutions& subs)
{
    QString out;
    out.reserve(text.size() * 2);
    const QStringView view(text);
    for (qsizetype i = 0; i < text.size();) {
        const QChar c = text[i];
        const auto match = std::find_if(subs.begin(), subs.end(), [&](const auto& s) {
            return s.first[0] == c && view.mid(i).startsWith(s.first);
        });
        if (match == subs.end()) {
            out += text[i++];
            continue;
        }
        out += match->second;
        i += match->first.size();
    }
    return out;
}

QString shortest(float v)
{
    char buf[32];
    const auto res = std::to_chars(buf, buf + sizeof buf, v);
    return QString::fromLatin1(buf, int(res.ptr - buf));
}

void addRunSubstitutions(Substitutions& subs, int h, int k)
{
    const QString d = QString::number(k);
    if (pd.uDate(h, k) > VbDate()) {
        const QString kyori = QString::number(pd.uKyori(h, k));
        subs.insert(subs.end(), {{"zyo" + d, pd.uZyo(h, k)},
                                 {"kyori" + d, pd.uSiba(h, k) != 0 ? "芝" + kyori : kyori},
                                 {"date" + d, Format(pd.uDate(h, k), "yy/mm/dd")},
                                 {"rno" + d, QString::number(pd.uRaceNo(h, k))},
                                 {"sisuu" + d, Format(pd.uSisuu(h, k), "###")},
                                 {"3f" + d, Format(pd.uSisuu3f(h, k), "###")},
                                 {"cyaku" + d, QString::number(pd.uCyaku(h, k))},
                                 {"tousuu" + d, QString::number(pd.uTousuu(h, k))}});
        return;
    }
    for (const QString& word : {"zyo" + d, "kyori" + d, "date" + d, "rno" + d + "R", "sisuu" + d, "3f" + d,
                                "cyaku" + d + "/", "tousuu" + d})
        subs.push_back({word, QString()});
}

QString runnerRow(int h)
{
    Substitutions subs {
        {"kyakusitu", pd.uKyakusitu(h, 0) + "(" + Format(pd.tuka1Ave(h, 0), "#0.0") + ")"},
        {"umaban", QString::number(h)},
        {"chichi", pd.uChichi(h)},
        {"name", pd.uName(h)},
        {"kisyu", pd.uKisyu(h, 0)},
        {"hutan", shortest(pd.uHutan(h, 0))},
        {"seibetu", pd.uSeirei(h)},
        {"sirusi", pd.sirusi(h)},
        {"yosou", Format(pd.yosouSisuu(h), "###")},
        {"kihon", Format(pd.kisoSisuu(h, 0), "###")},
    };
    const int runs = std::min(kPageRuns, pd.uDate.ubound(2));
    for (int k = 1; k <= runs; ++k)
        addRunSubstitutions(subs, h, k);
    return substitute(kRowTemplate, subs);
}

}

QString raceHtmlName(const QString& zyo, const VbDate& date, int raceNo)
{
    return zyo + Format(date, "mmdd") + "-" + Format(raceNo, "00") + "R.html";
}

QString raceHtml()
{
    QString page = QString(kHead).replace("***.html", raceHtmlName(pd.raceZyo, pd.raceDate, pd.raceNo + 1))
                 + pd.raceTitle + " " + pd.raceName + "</B></CAPTION><TBODY>";
    bool unindexed = false;
    const int runners = std::min(kPageRunners, pd.uName.ubound());
    for (int h = 1; h <= runners; ++h) {
        if (pd.uName(h).isEmpty())
            continue;
        page += runnerRow(h);
        unindexed = unindexed || pd.yosouSisuu(h) == 0;
    }
    page += "</TBODY></TABLE></DIV>";
    if (unindexed)
        page += kNoIndexNote;
    return page + kFooter + "</BODY>";
}

void writeRaceHtml()
{
    const QString name = raceHtmlName(pd.raceZyo, pd.raceDate, pd.raceNo);
    writeZyunkaiFile(appPath() + kOutFolder + "/" + name, raceHtml(), TextKind::Page);
    zyunkai.indexLink.append({"<A href='" + name + "' target='_blank'>" + name + "</A><BR>",
                              pd.raceZyo == "名古" ? QString("名古屋") : pd.raceZyo});
}

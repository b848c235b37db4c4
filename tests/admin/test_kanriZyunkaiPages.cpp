#include "admin/kanriCommon.h"
#include "admin/kanriZyunkai.h"
#include "platform/textcodec.h"
#include "tests/admin/kanriFixture.h"
#include "tests/admin/zyunkaiRaces.h"

namespace {

const VbDate kDay = VbDate::fromYmd(2008, 3, 24);

void setRun(int h, int k, const QString& zyo, int kyori, int siba, const VbDate& day, int rno, float sisuu, float f3,
            int cyaku, int tousuu)
{
    std::tie(pd.uZyo(h, k), pd.uKyori(h, k), pd.uSiba(h, k), pd.uDate(h, k), pd.uRaceNo(h, k)) = std::tuple(zyo, kyori, siba, day, rno);
    std::tie(pd.uSisuu(h, k), pd.uSisuu3f(h, k), pd.uCyaku(h, k), pd.uTousuu(h, k)) = std::tuple(sisuu, f3, cyaku, tousuu);
}

void setRunner(int h, const QString& chichi, const QString& kisyu, float hutan, const QString& seirei,
               const QString& style, float tuka, const QString& sirusi, float kiso)
{
    std::tie(pd.uChichi(h), pd.uKisyu(h, 0), pd.uHutan(h, 0), pd.uSeirei(h)) = std::tuple(chichi, kisyu, hutan, seirei);
    std::tie(pd.uKyakusitu(h, 0), pd.tuka1Ave(h, 0), pd.sirusi(h), pd.kisoSisuu(h, 0)) = std::tuple(style, tuka, sirusi, kiso);
}

// Nagoya race 12: runner 1 with turf, central and rounds-to-nothing runs; runner 2 without predicted
// index, markup in its name; slot 3 empty; runner 4 named outside CP932, no runs; a slot-17 runner.
void loadPageRace()
{
    loadTestRace("名古", kDay, 12, {{"エースワン", 63.4f, 0.4f, 0.6f}, {"ビー&アイ<name>", 0, 0, 0}, {"", 0, 0, 0},
                                    {"𠮷田ホース", 50.0f, 0.1f, 0.2f}});
    pd.uName(17) = "スロット17";
    pd.raceTitle = "第12競走 ダ1400m";
    pd.raceName = "スプリング特別";
    setRunner(1, "サウスヴィグラス", "的場文", 54.5f, "牡4", "先", 3.46f, "◎", 58.6f);
    setRun(1, 1, "名古", 1400, 1, VbDate::fromYmd(2008, 3, 10), 5, 61.5f, 48.2f, 2, 10);
    setRun(1, 2, "Ｊ中山", 1800, 0, VbDate::fromYmd(2008, 1, 5), 11, -3.4f, 0, 12, 16);
    setRun(1, 3, "笠松", 1600, 0, VbDate::fromYmd(2007, 12, 1), 9, 55, 50, 1, 8);
    setRun(1, 4, "名古", 1400, 0, VbDate::fromYmd(2007, 11, 2), 3, 0.4f, 45, 3, 9);
    setRun(1, 5, "名古", 1400, 0, VbDate::fromYmd(2007, 10, 1), 1, 40, 40, 5, 12);
    setRun(1, 6, "名古", 1400, 0, VbDate::fromYmd(2007, 9, 1), 1, 99, 99, 9, 9);
    setRunner(2, "date1 name", "kisyu(騎)", 55, "牝3", "", 0, "", 0);
    setRun(2, 1, "名古", 1400, 0, VbDate::fromYmd(2008, 3, 1), 2, 50, 45, 4, 11);
    setRun(2, 2, "名古", 1200, 0, VbDate::fromYmd(2008, 2, 1), 6, 48, 44, 7, 9);
    setRunner(4, "父", "騎手", 56, "セ5", "逃", 1, "△", 50);
}

const QString kExpectedPage =
    "<HEAD><META http-equiv='Content-Type' content='text/html; charset=Shift_JIS'><BODY>"
    "<P><A href='名古0324-13R.html'>次のレースへ</A></P><DIV align='left'>"
    "<TABLE border='1' cellspacing='1' width='800'><COL span='1' width='20'><COL span='1' width='150'>"
    "<COL span='1' width='80'><COL span='2' width='20'><COL span='5' width='100'><CAPTION align='left'><B>"
    "第12競走 ダ1400m スプリング特別</B></CAPTION><TBODY>"
    // runner 1
    "<TR><TD>1</TD><TD>サウスヴィグラス<BR><B><FONT color='#000099' size='+1'>エースワン</FONT></B></TD>"
    "<TD>的場文(54.5)<BR>牡4<BR>先(3.5)</TD><TD bgcolor='#ffffb9'><B><FONT size='+1' color='#0000a0'>◎</FONT></B></TD>"
    "<TD><B>63</B><BR>59</TD>"
    "<TD >名古芝1400<BR>08/03/10 5R<BR><B><FONT size='+1' color='#7d0000'>62</FONT></B> 48 2/10</TD>"
    "<TD>Ｊ中山1800<BR>08/01/05 11R<BR><B><FONT size='+1' color='#000099'><FONT color='#7d0000'>-3</FONT></FONT></B>  12/16</TD>"
    "<TD>笠松1600<BR>07/12/01 9R<BR><B><FONT size='+1' color='#000099'><FONT color='#7d0000'>55</FONT></FONT></B> 50 1/8</TD>"
    "<TD>名古1400<BR>07/11/02 3R<BR><B><FONT size='+1' color='#000099'><FONT color='#7d0000'></FONT></FONT></B> 45 3/9</TD>"
    "<TD >名古1400<BR>07/10/01 1R<BR><B><FONT size='+1' color='#000099'><FONT color='#7d0000'>40</FONT></FONT></B> 40 5/12</TD></TR>"
    // runner 2
    "<TR><TD>2</TD><TD>date1 name<BR><B><FONT color='#000099' size='+1'>ビー&アイ<name></FONT></B></TD>"
    "<TD>kisyu(騎)(55)<BR>牝3<BR>(0.0)</TD><TD bgcolor='#ffffb9'><B><FONT size='+1' color='#0000a0'></FONT></B></TD>"
    "<TD><B></B><BR></TD>"
    "<TD >名古1400<BR>08/03/01 2R<BR><B><FONT size='+1' color='#7d0000'>50</FONT></B> 45 4/11</TD>"
    "<TD>名古1200<BR>08/02/01 6R<BR><B><FONT size='+1' color='#000099'><FONT color='#7d0000'>48</FONT></FONT></B> 44 7/9</TD>"
    "<TD><BR> <BR><B><FONT size='+1' color='#000099'><FONT color='#7d0000'></FONT></FONT></B>  </TD>"
    "<TD><BR> <BR><B><FONT size='+1' color='#000099'><FONT color='#7d0000'></FONT></FONT></B>  </TD>"
    "<TD ><BR> <BR><B><FONT size='+1' color='#000099'><FONT color='#7d0000'></FONT></FONT></B>  </TD></TR>"
    // runner 4
    "<TR><TD>4</TD><TD>父<BR><B><FONT color='#000099' size='+1'>𠮷田ホース</FONT></B></TD>"
    "<TD>騎手(56)<BR>セ5<BR>逃(1.0)</TD><TD bgcolor='#ffffb9'><B><FONT size='+1' color='#0000a0'>△</FONT></B></TD>"
    "<TD><B>50</B><BR>50</TD>"
    "<TD ><BR> <BR><B><FONT size='+1' color='#7d0000'></FONT></B>  </TD>"
    "<TD><BR> <BR><B><FONT size='+1' color='#000099'><FONT color='#7d0000'></FONT></FONT></B>  </TD>"
    "<TD><BR> <BR><B><FONT size='+1' color='#000099'><FONT color='#7d0000'></FONT></FONT></B>  </TD>"
    "<TD><BR> <BR><B><FONT size='+1' color='#000099'><FONT color='#7d0000'></FONT></FONT></B>  </TD>"
    "<TD ><BR> <BR><B><FONT size='+1' color='#000099'><FONT color='#7d0000'></FONT></FONT></B>  </TD></TR>"
    "</TBODY></TABLE></DIV><P>（注意）未出走（15ヶ月以内）の馬がいます、予想印は参考です</P>"
    "<P>地方競馬 指数・予想 Brennock</P></BODY>";

class ZyunkaiPages : public KanriFixture {};

}

// The page byte for byte in CP932 (a missing character as a reference); the index entry under 名古屋.
TEST_F(ZyunkaiPages, RacePageByteForByte)
{
    loadPageRace();
    zyunkai = {};
    writeRaceHtml();
    const QByteArray expected = QString(kExpectedPage).replace("𠮷", "\x01").toUtf8();
    QByteArray cp932 = toCp932(QString::fromUtf8(expected) + "\r\n");
    cp932.replace("\x01", "&#134071;");
    EXPECT_EQ(readTestFile(path("予想出力/名古0324-12R.html")), cp932);
    ASSERT_EQ(zyunkai.indexLink.size(), 1);
    EXPECT_EQ(zyunkai.indexLink[0].link, "<A href='名古0324-12R.html' target='_blank'>名古0324-12R.html</A><BR>");
    EXPECT_EQ(zyunkai.indexLink[0].zyo, "名古屋");
    // Every runner with a predicted index: no warning paragraph.
    pd.uName(2).clear();
    pd.yosouSisuu(4) = 0.4f;  // rounds to an empty cell, yet is not 0
    EXPECT_FALSE(raceHtml().contains("（注意）"));
}

namespace {

class ZyunkaiTexts : public KanriFixture {
protected:
    void rana(const QString& code, float ana1, float ana2, float win1, float ren3, DbValue taisyo = {})
    {
        insert("Rana.mdb", "T_Rana", DbRow().set("R_code", code).set("R_ana(1)", ana1).set("R_ana(2)", ana2)
                                         .set("winRitu(1)", win1).set("renRitu(3)", ren3).set("taisyo", taisyo));
    }
    void writeFor(const VbDate& day, const QStringList& pages)
    {
        zyunkai = {day, weekdayLabel(day), {}, {}};
        for (const QString& page : pages)
            zyunkai.indexLink.append({"<A href='" + page + "' target='_blank'>" + page + "</A><BR>",
                                      page.startsWith("名古") ? "名古屋" : page.left(2)});
        ASSERT_TRUE(runKanriOperation("予想巡回", [] { writeZyunkaiIndex(); }));
    }
    QByteArray cp932(const QString& text) { return toCp932(text + "\r\n"); }
};

const QString kIndexHead =
    "<HTML><HEAD><META http-equiv='Content-Type' content='text/html; charset=Shift_JIS'>"
    "<META http-equiv='Content-Style-Type' content='text/css'><TITLE></TITLE></HEAD><BODY><DIV><TABLE border='1'>"
    "<TBODY><TR><TD>馬番</TD><TD>父<BR><FONT size='+1'color='#0000ff'><B>馬名</B></FONT></TD>"
    "<TD>騎手（負担）<BR>性齢</TD><TD><B>印</B></TD><TD><B>予想能力</B><BR>基本能力</TD>"
    "<TD>場　距離<BR>年月日　レースNo<BR><FONT color='#990000'><B>指数</B></FONT>　上がり指数　着順/頭数</TD></TR>"
    "</TBODY></TABLE></DIV>";
const QString kPublisher = "Brennock 地方競馬指数";

}

// Thresholds on the stored singles: 0.99f > 0.99 (a banker), 0.33f is not < 0.33 (no tip); "out" and
// other days never picked; rows in code-point order of R_code; a 大井 tip goes to the memo only.
TEST_F(ZyunkaiTexts, IndexMemoAndPublicText)
{
    rana("大井08032401", 5, 3, 0.99f, 0.2f);
    rana("名古08032402", 7, 1, 0.5f, 0.33f);
    rana("笠松08032403", 2, 8, 0.995f, 0.329f);
    rana("金沢08032410", 1, 2, 1.0f, 0.1f, "out");
    rana("名古08032411", 4, 6, 0.9899999f, 0.1f);
    rana("大井08032501", 1, 2, 1.0f, 0.1f);
    writeFor(kDay, {"大井0324-01R.html", "大井0324-02R.html", "名古0324-11R.html"});
    EXPECT_EQ(readTestFile(path("予想出力/index.html")),
              toCp932(kIndexHead + "<P><B>大井<BR></B><A href='大井0324-01R.html' target='_blank'>大井0324-01R.html</A><BR>"
                      "<A href='大井0324-02R.html' target='_blank'>大井0324-02R.html</A><BR></P>"
                      "<P><B>名古屋<BR></B><A href='名古0324-11R.html' target='_blank'>名古0324-11R.html</A><BR></P>"
                      "<P>地方競馬 指数・予想 Brennock</P></BODY></HTML>\r\n"));
    EXPECT_EQ(readTestFile(path("01推奨.txt")),
              cp932("地方競馬予想「本日の鉄板レース」03/24<BR>" + kPublisher + "<BR><BR>■鉄板レース<BR>"
                    "大井01R 単勝 ◎5号馬<BR>笠松03R 単勝 ◎2号馬<BR>" + kPublisher + "<BR>\r\n\r\n"
                    "地方競馬予想「本日の推奨馬券」03/24<BR>" + kPublisher + "<BR><BR>■推奨馬券(東海・金沢のみ)<BR>"
                    "名古屋11R 馬複 4-6<BR>笠松03R 馬複 2-8<BR>" + kPublisher + "<BR>\r\n\r\n"));
    EXPECT_EQ(readTestFile(path("予想出力/memo推奨.txt")),
              cp932("地方競馬-指数・予想付出走表03/24（月）\r\n03/24 大井・名古屋・\r\n\r\n"
                    "地方競馬「本日の鉄板レース・推奨馬券」\r\n\r\n■鉄板レース\r\n大井01R 単勝 ◎5号馬\r\n笠松03R 単勝 ◎2号馬\r\n"
                    "\r\n■推奨馬券\r\n名古屋11R 馬複 4-6\r\n大井01R 馬複 5-3\r\n笠松03R 馬複 2-8\r\n"));
}

// Stored prediction: numbers by rank (0 past the ranked), singles widened not rounded, "out" for a
// named runner without index; saving again updates the one row and keeps the mark; slot 17 ignored.
TEST_F(ZyunkaiPages, SaveRanaUpsertsAndKeepsTheMark)
{
    const auto save = [] { return runKanriOperation("予想巡回", [] { saveRana(); }); };
    const auto stored = [this] {
        return rows("Rana.mdb", "SELECT R_code, \"R_ana(1)\", \"R_ana(2)\", \"R_ana(3)\", \"R_ana(4)\", \"R_ana(5)\", "
                                "\"winRitu(1)\" = ?, \"renRitu(2)\" = ?, \"winRitu(4)\", \"renRitu(5)\", taisyo "
                                "FROM T_Rana ORDER BY R_code",
                    {double(0.1f), double(0.9f)});
    };
    loadTestRace("大井", kDay, 5, {{"A", 60, 0.1f, 0.3f}, {"B", 0, 0.2f, 0.4f}, {"C", 50, 0.7f, 0.9f}});
    ASSERT_TRUE(save());
    EXPECT_EQ(stored(), QStringList {"大井08032405|1|3|2|0|0|1|1|0|0|out"});
    loadTestRace("大井", kDay, 5, {{"A", 60, 0.1f, 0.3f}, {"B", 40, 0.2f, 0.4f}, {"C", 50, 0.7f, 0.9f}});
    ASSERT_TRUE(save());
    EXPECT_EQ(stored(), QStringList {"大井08032405|1|3|2|0|0|1|1|0|0|out"});
    loadTestRace("大井", kDay, 6, {{"A", 60, 0.1f, 0.3f}, {"C", 50, 0.7f, 0.9f}});
    pd.uName(17) = "十七番";
    ASSERT_TRUE(save());
    EXPECT_EQ(stored().last(), "大井08032406|1|2|0|0|0|1|1|0|0|Null");
}

#include "core/mainStart.h"
#include "core/publicDim.h"
#include "core/publicFunction.h"
#include "platform/colors.h"
#include "platform/msgbox.h"
#include "tests/support/dataFiles.h"

// Stale is strictly older than today less 31 days, or no date at all; the central line follows the flag.
TEST(DataFileStatus, DatesColoursAndNotices)
{
    TestAppDir dir;
    MsgBoxRecorder msgs;
    const VbDate today = VbDate::fromYmd(2008, 4, 1);
    setVbToday(today);
    pd.jraGraphOn = false;
    QWidget frame;
    QLabel* l[7];  // lblBabaFileRecnt, lblBabaNotice, lblDbKikan, lblDbNotice, lblJraFileRecnt, lblJraNotice, lblVersion
    for (QLabel*& label : l)
        label = new QLabel(&frame);
    setStartNoticeLabels({l[0], l[1], l[2], l[3], l[4], l[5], l[6]});
    const auto status = [&](int i) {
        const auto colours = std::pair(l[i]->palette().color(QPalette::Window), l[i]->palette().color(QPalette::WindowText));
        return l[i]->text() + (!l[i]->autoFillBackground()                                   ? ""
                               : colours == std::pair(vbColor(0x0000FF), vbColor(0xFFFFFF)) ? "/stale"
                               : colours == std::pair(vbColor(0xFFC0C0), vbColor(0))        ? "/fresh" : "/?");
    };
    setDateRow(dir.createStrevinData(), today.addDays(-31));
    dir.createNarData();  // LastDate is empty until the first import
    setDateRow(dir.createJraGraph(), today.addDays(-32));
    dispDataFileInfo();
    EXPECT_EQ(QStringList({status(0), status(2), status(4)}),
              QStringList({" 地方馬場情報ファイル：　2008/03/01版を読込み /fresh", " 過去データ：　読込みなし /stale",
                           "中央馬場情報ファイル：　ファイルが存在しません"}));
    EXPECT_TRUE(l[1]->isHidden() && !l[3]->isHidden());
    pd.jraGraphOn = true;
    dispDataFileInfo();
    EXPECT_EQ(status(4), " 中央馬場情報ファイル：　2008/02/29版を読込み /stale");
    EXPECT_TRUE(l[5]->text() == l[1]->text() && !l[5]->isHidden() && msgs.texts().isEmpty() && !isDbOpen(1));
    setStartNoticeLabels({});
    setVbToday(VbDate());
}

// A settings number beyond its range (time-out overflowing in ms, look-back beyond the calendar, ratio
// above 1) or no number takes the default, and the first such key is named.
TEST(Settings, NumbersOutsideTheirRangeTakeTheDefault)
{
    TestAppDir dir;
    const struct { const char *kikan, *timer, *ratio; int32_t kakoKikan, timerInter; float lineRatio; const char* firstBad; } cases[] = {
        {"1", "5", "0", 1, 5, 0.0f, ""}, {"36500", "3600", "1", 36500, 3600, 1.0f, ""}, {" 400 ", "10", "0.35", 400, 10, 0.35f, ""},
        {"0", "4", "1.01", 730, 5, 0.2f, "[System] tarKikanWebUma"}, {"36501", "2147484", "-0.1", 730, 5, 0.2f, "[System] tarKikanWebUma"},
        {"-2147483648", "3601", "nan", 730, 5, 0.2f, "[System] tarKikanWebUma"}, {"730", "99999999999", "0.2", 730, 5, 0.2f, "[System] timerInter"},
        {"550", "-5", "x", 550, 5, 0.2f, "[System] timerInter"}, {"550", "20", "1e30", 550, 20, 0.2f, "[graph] iniGraph(7)"}};
    for (const auto& c : cases) {
        iniWrite("System", "tarKikanWebUma", c.kikan);
        iniWrite("System", "timerInter", c.timer);
        iniWrite("graph", "iniGraph(7)", c.ratio);
        pd.kakoKikan = pd.timerInter = -1;
        const QString bad = loadSettings();
        EXPECT_EQ(std::tuple(pd.kakoKikan, pd.timerInter, pd.lineRatio, bad),
                  std::tuple(c.kakoKikan, c.timerInter, c.lineRatio, QString(c.firstBad)))
            << c.kikan << ' ' << c.timer << ' ' << c.ratio;
    }
}

// endProgram stores the chosen track in Strevin.ini, keeping the other keys, and closes every window.
TEST(Settings, EndProgramStoresTheTrackAndClosesEveryWindow)
{
    TestAppDir dir;
    iniWrite("System", "timerInter", "10");
    QWidget sheet;
    sheet.setObjectName("frmUma");
    sheet.show();
    EXPECT_TRUE(isFormLoaded("frmUma") && !isFormLoaded("frmuma"));
    setTrackSelectorHook([] { return QStringLiteral("名古"); });
    endProgram();
    setTrackSelectorHook(nullptr);
    EXPECT_EQ(iniRead("System", "Zyo", "大井") + iniRead("System", "timerInter", "5"), "名古10");
    EXPECT_FALSE(sheet.isVisible());
}

#include "core/publicFunction.h"
#include "platform/colors.h"

#include "tests/support/dataFiles.h"

#include <QTemporaryDir>
#include <QWidget>
#include <gtest/gtest.h>

TEST(CodeTables, GoingCodesUseOnlyTheOneLetterForms)
{
    EXPECT_EQ(babaToCode("良"), 1);
    EXPECT_EQ(babaToCode("稍"), 2);
    EXPECT_EQ(babaToCode("重"), 3);
    EXPECT_EQ(babaToCode("不"), 4);
    EXPECT_EQ(babaToCode("稍重"), 0);
    EXPECT_EQ(babaToCode(""), 0);
    EXPECT_EQ(codeToBaba(2), "稍");
    EXPECT_EQ(codeToBaba(0), "");
    EXPECT_EQ(codeToBaba(5), "");
}

TEST(CodeTables, TracksRegionsAndCodes)
{
    EXPECT_EQ(zyoToNarCode("旭川"), "7");
    EXPECT_EQ(zyoToNarCode("大井"), "20");
    EXPECT_EQ(zyoToNarCode("名古"), "24");
    EXPECT_EQ(zyoToNarCode("名古屋"), "");
    EXPECT_EQ(zyoToChiku("笠松"), "東海");
    EXPECT_EQ(zyoToChiku("門別"), "北海");
    EXPECT_EQ(zyoToChiku("東京"), "");
    // 札幌 is both a local track and a central one, with separate codes.
    EXPECT_EQ(zyoToNarCode("札幌"), "8");
    EXPECT_EQ(zyoToJraCode("札幌"), "01");
    EXPECT_EQ(zyoToJraCode("中山"), "06");
    EXPECT_EQ(zyoToJraCode("小倉"), "10");
    EXPECT_EQ(zyoToJraCode("Ｊ中山"), "");
    EXPECT_EQ(zyoToJraCode("大井"), "");
}

TEST(CodeTables, GateAndFinishColours)
{
    EXPECT_EQ(wakuColor(2), RGB(1, 1, 1));
    EXPECT_EQ(wakuColor(3), 0x0000FFu);  // red in 0xBBGGRR
    EXPECT_EQ(wakuColor(4), 0xFF0000u);  // blue
    EXPECT_EQ(wakuColor(0), RGB(255, 255, 255));
    EXPECT_EQ(wakuColor(9), RGB(255, 255, 255));
    EXPECT_EQ(cyakuColor(1), RGB(255, 200, 200));
    EXPECT_EQ(cyakuColor(2), RGB(255, 200, 128));
    EXPECT_EQ(cyakuColor(3), RGB(200, 255, 255));
    EXPECT_EQ(cyakuColor(4), RGB(255, 255, 255));
}

TEST(TextFormats, WeekdayLabelStartsOnMonday)
{
    EXPECT_EQ(weekdayLabel(VbDate::fromYmd(2008, 3, 24)), "（月）");
    EXPECT_EQ(weekdayLabel(VbDate::fromYmd(2008, 3, 30)), "（日）");
    EXPECT_EQ(weekdayLabel(VbDate::fromYmd(2026, 12, 5)), "（土）");
}

TEST(TextFormats, TimeText)
{
    EXPECT_EQ(timeToText(0.0f), "");
    EXPECT_EQ(timeToText(-3.0f), "");
    EXPECT_EQ(timeToText(58.7f), "58:7");
    EXPECT_EQ(timeToText(9.2f), "09:2");
    EXPECT_EQ(timeToText(60.0f), "1:00:0");
    EXPECT_EQ(timeToText(72.3f), "1:12:3");
    EXPECT_EQ(timeToText(125.0f), "2:05:0");
    // Tenths that round up carry into the seconds and minutes.
    EXPECT_EQ(timeToText(72.96f), "1:13:0");
    EXPECT_EQ(timeToText(119.96f), "2:00:0");
    EXPECT_EQ(timeToText(59.96f), "1:00:0");
    // Halves go to the even tenth.
    EXPECT_EQ(timeToText(58.75f), "58:8");
    EXPECT_EQ(timeToText(58.25f), "58:2");
}

TEST(TextFormats, DelSpaceRemovesHalfAndFullWidthBlanks)
{
    EXPECT_EQ(delSpace("大 井　"), "大井");
    EXPECT_EQ(delSpace(""), "");
    EXPECT_EQ(delSpace("　 "), "");
    EXPECT_EQ(delSpace("ｱｲ\tウ"), "ｱｲ\tウ");
}

TEST(Settings, ReadsDefaultsTrimsAndWritesBack)
{
    QTemporaryDir dir;
    setAppPathForTests(dir.path());
    EXPECT_EQ(iniRead("System", "Zyo", "大井"), "大井");  // no file at all

    QFile f(dir.filePath("Strevin.ini"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[System]\r\nZyo=\r\ntimerInter=  10 \r\n");
    f.close();
    EXPECT_EQ(iniRead("System", "Zyo", "大井"), "大井");  // present but empty
    EXPECT_EQ(iniRead("System", "timerInter", "5"), "10");
    EXPECT_EQ(iniRead("SYSTEM", "TIMERINTER", "5"), "10");

    iniWrite("System", "Zyo", "川崎");
    EXPECT_EQ(iniRead("System", "Zyo", "大井"), "川崎");
    EXPECT_EQ(iniRead("System", "timerInter", "5"), "10");
    setAppPathForTests({});
}

TEST(ProgramFolder, EndsWithASeparator)
{
    EXPECT_TRUE(appPath().endsWith('/'));
    setAppPathForTests("/tmp/x");
    EXPECT_EQ(appPath(), "/tmp/x/");
    setAppPathForTests({});
    EXPECT_NE(appPath(), "/tmp/x/");
}

TEST(Windows, EndProgramStoresTheTrackAndClosesEveryWindow)
{
    TestAppDir dir;
    QWidget main, sheet;
    main.setObjectName("frmMain");
    sheet.setObjectName("frmUma");
    main.show();
    sheet.show();
    EXPECT_TRUE(isFormLoaded("frmUma"));
    EXPECT_FALSE(isFormLoaded("frmuma"));
    EXPECT_FALSE(isFormLoaded("frmKanri"));

    setTrackSelectorHook([] { return QStringLiteral("名古"); });
    endProgram();
    setTrackSelectorHook(nullptr);
    EXPECT_EQ(iniRead("System", "Zyo", "大井"), "名古");
    EXPECT_FALSE(main.isVisible());
    EXPECT_FALSE(sheet.isVisible());
}

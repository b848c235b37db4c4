#include "core/publicFunction.h"
#include "tests/support/dataFiles.h"

#include <QWidget>

// Only the one-letter going forms are codes; 札幌 is both a local and a central track. Times: tenths
// that round up carry into the seconds and minutes; halves go to the even tenth.
TEST(CodeTables, CodesAndTexts)
{
    EXPECT_EQ(QList<int>({babaToCode("稍"), babaToCode("不"), babaToCode("稍重")}), QList<int>({2, 4, 0}));
    EXPECT_EQ(QStringList({codeToBaba(2), codeToBaba(5), weekdayLabel(VbDate::fromYmd(2008, 3, 24)), delSpace("大 井　ｱ\t")}),
              QStringList({"稍", "", "（月）", "大井ｱ\t"}));
    EXPECT_EQ(QStringList({zyoToNarCode("名古"), zyoToNarCode("名古屋"), zyoToNarCode("札幌"), zyoToJraCode("札幌"),
                           zyoToJraCode("Ｊ中山")}), QStringList({"24", "", "8", "01", ""}));
    const std::vector<std::pair<float, QString>> times {{0.0f, ""}, {-3.0f, ""}, {9.2f, "09:2"}, {60.0f, "1:00:0"},
        {72.3f, "1:12:3"}, {72.96f, "1:13:0"}, {119.96f, "2:00:0"}, {59.96f, "1:00:0"}, {58.75f, "58:8"}, {58.25f, "58:2"}, {605.04f, "10:05:0"}, {0.04f, "00:0"}};
    for (const auto& [seconds, text] : times)
        EXPECT_EQ(timeToText(seconds), text) << seconds;
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

#include "core/publicComment.h"

#include "platform/database.h"
#include "platform/msgbox.h"
#include "platform/vberror.h"
#include "tests/support/dataFiles.h"

// One note per key however often saved; quotes, line breaks and characters outside the code page are
// only values. The race comment writes its text alone and keeps its row's marks.
TEST(CommentStore, OneRowPerKeyWithEveryValueBound)
{
    TestAppDir dir;
    dir.createComment();
    const QString odd = QStringLiteral("It's \"fast\"\n二行目 ♞ 𠮷 '; DROP TABLE Comment; --");
    openCommentDb();
    saveRaceComment("浦和08021506", "first");
    saveRaceComment("浦和08021506", "second");
    saveComment("Uma", "O'Reilly", {"horse", "◎", "A"});
    saveComment("Uma", "O'Reilly", {odd, "○", ""});
    saveComment("Ｊ東京08021511", "O'Reilly", {"central", "x", "y"});
    saveComment("浦和08021506", "Race", {"", "m1", "m2"});
    saveRaceComment("浦和08021506", "third");
    EXPECT_EQ(readComment("Uma", "O'Reilly"), (CommentNote {odd, "○", ""}));
    EXPECT_EQ(readComment("浦和08021506", "Race"), (CommentNote {"third", "m1", "m2"}));
    EXPECT_FALSE(readComment("Uma", "O'Reilly ").has_value());
    const auto notes = readHorseComments("O'Reilly");
    EXPECT_EQ(notes.size(), 2);
    EXPECT_EQ(notes.value("Ｊ東京08021511"), (CommentNote {"central", "x", "y"}));
    EXPECT_EQ(RecordSet(commentSlot, "SELECT count(*) FROM Comment").field(0).toInt(), 3);
    closeDb(commentSlot);
}

// Without Comment.dat the open says so once and every read or write then fails as an error.
TEST(CommentStore, MissingFileIsAnErrorNotANewFile)
{
    TestAppDir dir;
    MsgBoxRecorder rec;
    openCommentDb();
    EXPECT_EQ(rec.firstLines(), QStringList {"dataファイルが開けません"});
    EXPECT_THROW(saveRaceComment("浦和08021506", "x"), VbError);
    EXPECT_THROW(readComment("Uma", "A"), VbError);
    EXPECT_FALSE(QFile::exists(dir.filePath("Comment.dat")));
}

// A label's code is read from its end, so that a central track's three characters survive.
TEST(CommentStore, RaceLabelsAndCodes)
{
    const struct { QString zyo; VbDate date; int raceNo; QString label, code; } cases[] = {
        {"浦和", VbDate::fromYmd(2008, 2, 15), 6, "浦和08/02/15-06R", "浦和08021506"},
        {"Ｊ東京", VbDate::fromYmd(2010, 11, 7), 11, "Ｊ東京10/11/07-11R", "Ｊ東京10110711"},
        {"名古", VbDate::fromYmd(1999, 12, 31), 12, "名古99/12/31-12R", "名古99123112"}};
    for (const auto& c : cases) {
        EXPECT_EQ(commentRaceLabel(c.zyo, c.date, c.raceNo), c.label);
        EXPECT_EQ(raceCodeFromLabel(c.label), c.code);
    }
    for (const QString bad : {"馬コメント", "", "浦和08/02/15-6R", "08/02/15-06R", "浦和08/02/15-06"})
        EXPECT_EQ(raceCodeFromLabel(bad), "") << bad.toStdString();
}

#include "core/dataFiles.h"
#include "core/publicFunction.h"
#include "platform/database.h"
#include "platform/vberror.h"
#include "tests/support/dataFiles.h"

#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

QStringList tablesOf(int slot)
{
    QStringList names;
    for (RecordSet rs(slot, QStringLiteral("SELECT name FROM sqlite_master WHERE type IN ('table', 'view') ORDER BY name"));
         !rs.eof(); rs.moveNext())
        names << rs.field(0).toString();
    return names;
}

// Every file opens with its own password only and holds the tables its readers name.
TEST(DataFiles, EachFileOpensWithItsPasswordAndHoldsItsTables)
{
    TestAppDir dir;
    const QStringList track{QStringLiteral("T_avetime"), QStringLiteral("T_sisuu")};
    const QStringList localTrack = QStringList{QStringLiteral("MasterZyo"), QStringLiteral("T_Kisyu"), QStringLiteral("T_avetime"),
                                               QStringLiteral("T_sisuu"), QStringLiteral("T_waku"), QStringLiteral("version")};
    const std::vector<std::pair<DataFileKind, QStringList>> expected{
        {DataFileKind::NarData, {QStringLiteral("LastDate"), QStringLiteral("T_Rdata"), QStringLiteral("T_Useiseki")}},
        {DataFileKind::StrevinData, localTrack},
        {DataFileKind::Motofile, localTrack},
        {DataFileKind::JraGraph, track + QStringList{QStringLiteral("version")}},
        {DataFileKind::Comment, {QStringLiteral("Comment")}},
        {DataFileKind::CalSisuu, track},
        {DataFileKind::Rana, {QStringLiteral("Q_date"), QStringLiteral("SisuuHyouka"), QStringLiteral("T_Rana")}},
    };
    ASSERT_EQ(expected.size(), dataFileEntries().size());
    for (const auto& [kind, tables] : expected) {
        const DataFileEntry& spec = dataFileEntry(kind);
        const QString path = dir.create(kind);
        EXPECT_EQ(QFileInfo(path).fileName(), spec.fileName);
        const QString other = spec.password.isEmpty() ? dbPassword : QString();
        EXPECT_THROW(openDbOrThrow(1, path, other), VbError) << spec.fileName.toStdString();
        ASSERT_NO_THROW(openDbOrThrow(1, path, spec.password)) << spec.fileName.toStdString();
        EXPECT_EQ(tablesOf(1), tables) << spec.fileName.toStdString();
    }
    EXPECT_TRUE(dataFileEntry(DataFileKind::CalSisuu).password.isEmpty());
    EXPECT_EQ(dataFileEntry(DataFileKind::Motofile).password, dbPassword);
}

// The track list agrees with the code table used to build page addresses.
TEST(DataFiles, LocalTrackFileListsTheEighteenTracks)
{
    TestAppDir dir;
    openDbOrThrow(1, dir.createStrevinData(), dbPassword);
    QStringList names;
    int expectedNo = 1;
    for (RecordSet rs(1, QStringLiteral("SELECT * FROM MasterZyo ORDER BY zyoNo")); !rs.eof(); rs.moveNext()) {
        const QString name = rs[QStringLiteral("zyoName")].toString();
        EXPECT_EQ(rs[QStringLiteral("zyoNo")].toInt(), expectedNo++);
        EXPECT_EQ(rs[QStringLiteral("zyoCode")].toString(), zyoToNarCode(name)) << name.toStdString();
        names << name;
    }
    EXPECT_EQ(names.join(QLatin1Char(' ')),
              QStringLiteral("門別 札幌 旭川 盛岡 水沢 浦和 船橋 大井 川崎 金沢 笠松 名古 園田 姫路 福山 高知 佐賀 荒尾"));
    RecordSet version(1, QStringLiteral("SELECT * FROM version"));
    EXPECT_FALSE(version[QStringLiteral("date")].toDate().isZero());
    version.moveNext();
    EXPECT_TRUE(version.eof());
}

// The batch picks read the saved query with the administration tools' own text.
TEST(DataFiles, RanaQueryGivesTheRaceDay)
{
    TestAppDir dir;
    openDbOrThrow(1, dir.create(DataFileKind::Rana), QString());
    insertRow(1, QStringLiteral("T_Rana"), DbRow().set(QStringLiteral("R_code"), QStringLiteral("大井08032411")).set(QStringLiteral("R_ana(1)"), 5));
    insertRow(1, QStringLiteral("T_Rana"), DbRow().set(QStringLiteral("R_code"), QStringLiteral("大井08032412")).set(QStringLiteral("taisyo"), QStringLiteral("out")));
    insertRow(1, QStringLiteral("T_Rana"), DbRow().set(QStringLiteral("R_code"), QStringLiteral("川崎08032501")));
    RecordSet rs(1, QStringLiteral("SELECT * FROM Q_date Where (((Q_date.R_date) = '080324') And ((Q_date.taisyo) Is Null))ORDER BY R_code ;"));
    ASSERT_FALSE(rs.eof());
    EXPECT_EQ(rs[QStringLiteral("R_code")].toString(), QStringLiteral("大井08032411"));
    EXPECT_EQ(rs[QStringLiteral("R_ana(1)")].toInt(), 5);
    EXPECT_EQ(rs[QStringLiteral("renRitu(3)")].toFloat(), 0.0f);
    rs.moveNext();
    EXPECT_TRUE(rs.eof());
}

TEST(DataFiles, ExistingFileIsNeverReplaced)
{
    TestAppDir dir;
    const QString path = dir.createComment();
    openDbOrThrow(1, path, dbPassword);
    insertRow(1, QStringLiteral("Comment"), DbRow().set(QStringLiteral("R_code"), QStringLiteral("Uma")).set(QStringLiteral("U_name"), QStringLiteral("馬")));
    closeDb(1);
    EXPECT_THROW(createDataFile(DataFileKind::Comment, testSchemaDir(), dir.path()), VbError);
    openDbOrThrow(1, path, dbPassword);
    EXPECT_EQ(RecordSet(1, QStringLiteral("SELECT count(*) FROM Comment")).field(0).toInt(), 1);
    EXPECT_THROW(createDataFile(DataFileKind::NarData, dir.filePath(QStringLiteral("nowhere")), dir.path()), VbError);
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("NAR_data.dat"))));
}

}  // namespace

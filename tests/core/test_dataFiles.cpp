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

struct Column {
    QString name, type, defaultValue;
    int keyPosition;  // 0: not in the primary key
};

QList<Column> columnsOf(const QString& table)
{
    QList<Column> columns;
    for (RecordSet rs(1, QStringLiteral("PRAGMA table_info(%1)").arg(quoteIdent(table))); !rs.eof(); rs.moveNext())
        columns.append({rs[QStringLiteral("name")].toString(), rs[QStringLiteral("type")].toString(),
                        rs[QStringLiteral("dflt_value")].toString(), rs[QStringLiteral("pk")].toInt()});
    return columns;
}

QStringList keyOf(const QString& table)
{
    QList<Column> columns = columnsOf(table);
    columns.removeIf([](const Column& c) { return c.keyPosition == 0; });
    std::sort(columns.begin(), columns.end(), [](const Column& a, const Column& b) { return a.keyPosition < b.keyPosition; });
    QStringList names;
    for (const Column& c : columns)
        names << c.name;
    return names;
}

// The administration tools select rows whose index or variant is 0 and the readers convert
// corner positions without testing for Null: a number a writer leaves out must read 0. Only
// U_file tells "not known" (Null) from False.
TEST(DataFiles, NumbersLeftOutReadZeroExceptUFile)
{
    TestAppDir dir;
    for (const DataFileEntry& spec : dataFileEntries()) {
        openDbOrThrow(1, dir.create(spec.kind), spec.password);
        QStringList tables = tablesOf(1);
        tables.removeAll(QStringLiteral("Q_date"));
        for (const QString& table : tables)
            for (const Column& c : columnsOf(table)) {
                if (c.keyPosition > 0 || (c.type != QStringLiteral("INTEGER") && c.type != QStringLiteral("REAL")))
                    continue;
                const QString where = spec.fileName + ' ' + table + '.' + c.name;
                EXPECT_EQ(c.defaultValue, c.name == QStringLiteral("U_file") ? QString() : QStringLiteral("0"))
                    << where.toStdString();
            }
        closeDb(1);
    }
}

// Keys of the tables whose rows are found by key (a second row with the same key is an error).
TEST(DataFiles, TablesCarryTheirKeys)
{
    TestAppDir dir;
    openDbOrThrow(1, dir.createNarData(), dbPassword);
    EXPECT_EQ(keyOf(QStringLiteral("T_Rdata")), QStringList {QStringLiteral("R_code")});
    EXPECT_EQ(keyOf(QStringLiteral("T_Useiseki")), (QStringList {QStringLiteral("R_code"), QStringLiteral("U_name")}));
    openDbOrThrow(1, dir.createComment(), dbPassword);
    EXPECT_EQ(keyOf(QStringLiteral("Comment")), (QStringList {QStringLiteral("R_code"), QStringLiteral("U_name")}));
    openDbOrThrow(1, dir.createStrevinData(), dbPassword);
    EXPECT_EQ(keyOf(QStringLiteral("T_sisuu")),
              (QStringList {QStringLiteral("S_date"), QStringLiteral("S_zyo"), QStringLiteral("S_siba")}));
    EXPECT_EQ(keyOf(QStringLiteral("MasterZyo")), QStringList {QStringLiteral("zyoNo")});
    openDbOrThrow(1, dir.create(DataFileKind::Rana), QString());
    EXPECT_EQ(keyOf(QStringLiteral("T_Rana")), QStringList {QStringLiteral("R_code")});
}

// The sheets list a horse's, jockey's, trainer's or sire's runs and the analyses a period of
// races: none of these may read the whole race database.
TEST(DataFiles, ReadersFindRunsThroughIndexes)
{
    TestAppDir dir;
    openDbOrThrow(1, dir.createNarData(), dbPassword);
    const QString runsOf = QStringLiteral(
        "SELECT * FROM T_Useiseki INNER JOIN T_Rdata ON T_Rdata.R_code = T_Useiseki.R_code WHERE %1 = ?");
    const QStringList queries {
        runsOf.arg(QStringLiteral("U_name")), runsOf.arg(QStringLiteral("U_kisyu")),
        runsOf.arg(QStringLiteral("U_cyoukyou")), runsOf.arg(QStringLiteral("U_chichi")),
        QStringLiteral("SELECT * FROM T_Rdata WHERE R_date > ?"),
        QStringLiteral("SELECT * FROM T_Rdata WHERE R_zyo = ? AND R_date > ?"),
        QStringLiteral("SELECT * FROM T_Useiseki WHERE R_code = ?"),
    };
    for (const QString& sql : queries) {
        const DbParams params(size_t(sql.count(u'?')), DbValue(QStringLiteral("x")));
        for (RecordSet plan(1, QStringLiteral("EXPLAIN QUERY PLAN ") + sql, params); !plan.eof(); plan.moveNext())
            EXPECT_FALSE(plan[QStringLiteral("detail")].toString().startsWith(QStringLiteral("SCAN")))
                << sql.toStdString() << ": " << plan[QStringLiteral("detail")].toString().toStdString();
    }
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

#include "core/publicFunction.h"
#include "platform/vberror.h"
#include "tests/support/dataFiles.h"
#include "tests/support/lhaTool.h"

static QString firstColumn(const QString& sql, const DbParams& params = {})
{
    QStringList values;
    for (RecordSet rs(1, sql, params); !rs.eof(); rs.moveNext())
        values << rs.field(0).toString();
    return values.join(' ');
}

// Each file opens with its own password only and holds its tables; a number left out reads 0 except
// where absence means "not known". An existing file is never replaced.
TEST(DataFiles, PasswordsTablesAndNumberDefaults)
{
    TestAppDir dir;
    const QStringList keptNull {"U_file", "U_zougen", "U_kankaku"};
    const std::map<DataFileKind, QString> expected {{DataFileKind::NarData, "LastDate T_Rdata T_Useiseki"},
        {DataFileKind::StrevinData, "MasterZyo T_Kisyu T_avetime T_sisuu T_waku version"},
        {DataFileKind::Motofile, "MasterZyo T_Kisyu T_avetime T_sisuu T_waku version"},
        {DataFileKind::JraGraph, "T_avetime T_sisuu version"}, {DataFileKind::Comment, "Comment"},
        {DataFileKind::CalSisuu, "T_avetime T_sisuu"}, {DataFileKind::Rana, "Q_date SisuuHyouka T_Rana"}};
    ASSERT_EQ(expected.size(), dataFileEntries().size());
    for (const auto& [kind, tables] : expected) {
        const DataFileEntry& entry = dataFileEntry(kind);
        SCOPED_TRACE(entry.fileName.toStdString());
        const QString path = dir.create(kind);
        EXPECT_THROW(openDbOrThrow(1, path, entry.password.isEmpty() ? dbPassword : QString()), VbError);
        ASSERT_NO_THROW(openDbOrThrow(1, path, entry.password));
        EXPECT_EQ(firstColumn("SELECT name FROM sqlite_master WHERE type IN ('table', 'view') ORDER BY name"), tables);
        for (const QString& table : tables.split(' '))
            for (RecordSet c(1, "PRAGMA table_info(" + quoteIdent(table) + ")"); !c.eof(); c.moveNext())
                EXPECT_TRUE(table == "Q_date" || c["pk"].toInt() > 0
                            || !QStringList({"INTEGER", "REAL"}).contains(c["type"].toString())
                            || c["dflt_value"].toString() == (keptNull.contains(c["name"].toString()) ? "" : "0"))
                    << c["name"].toString().toStdString();
    }
    openDbOrThrow(1, dir.filePath("Comment.dat"), dbPassword);
    insertRow(1, "Comment", DbRow().set("R_code", "Uma").set("U_name", "馬"));
    closeDb(1);
    EXPECT_THROW(createDataFile(DataFileKind::Comment, testSchemaDir(), dir.path()), VbError);
    openDbOrThrow(1, dir.filePath("Comment.dat"), dbPassword);
    EXPECT_EQ(firstColumn("SELECT count(*) FROM Comment"), "1");
}

// The default settings file (CP932, CR LF) is read back; one the user already has is kept byte for byte.
TEST(DataFiles, DefaultSettingsFileNamesTheServerAndKeepsAnExistingOne)
{
    TestAppDir dir;
    ASSERT_TRUE(createDefaultSettings(dir.path()));
    QFile file(dir.filePath("Strevin.ini"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("[System]\r\nwebHost=localhost\r\n"));
    file.close();
    EXPECT_EQ(iniRead("System", "webHost", "-"), webHostDefault);
    const QByteArray own = "[System]\r\nwebHost=" + QByteArray("\x91\xE5\x88\xE4.example:8080") + "\r\ntimerInter=20\r\n";
    writeTestFile(file.fileName(), own);
    ASSERT_TRUE(createDefaultSettings(dir.path()));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), own);
    EXPECT_FALSE(createDefaultSettings(dir.filePath("Strevin.ini/inside")));
}

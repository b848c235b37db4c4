#pragma once
// A program folder with every data file the administration tools use, a fixed clock and recorded messages.
#include "core/dialogSincyoku.h"
#include "core/publicDim.h"
#include "platform/msgbox.h"
#include "platform/vbformat.h"
#include "tests/support/dataFiles.h"
#include "tests/support/lhaTool.h"
#include "tests/support/qtPrinters.h"

#include <QDir>
#include <QDirIterator>
#include <QPushButton>
#include <QTimer>
#include <charconv>
#include <map>

// A single as the database layer shows a stored single: its shortest text ("90.46667").
inline QString floatText(float v)
{
    char buf[32];
    return QString::fromLatin1(buf, int(std::to_chars(buf, buf + sizeof buf, v).ptr - buf));
}

class KanriFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        setVbToday(VbDate::fromYmd(2008, 3, 25));
        for (DataFileKind kind : {DataFileKind::NarData, DataFileKind::StrevinData, DataFileKind::CalSisuu, DataFileKind::Rana,
                 DataFileKind::Motofile})
            dir_.create(kind);
        for (const char* folder : {"予想出力", "予想", "情報ファイル"})
            QDir(dir_.path()).mkdir(folder);
    }
    void TearDown() override { setVbToday(VbDate()); unloadDialogSincyoku(); }

    QString path(const QString& name) const { return dir_.filePath(name); }
    DbSlotCloser open(const QString& file)
    {
        openDb(5, path(file), file.endsWith(".mdb") && file != "motofile.mdb" ? QString() : dbPassword);
        return DbSlotCloser(5);
    }
    void exec(const QString& file, const QString& sql, const DbParams& params = {})
    {
        const auto db = open(file);
        slotConnection(5).execute(sql, params);
    }
    void insert(const QString& file, const QString& table, const DbRow& row) { const auto db = open(file); insertRow(5, table, row); }
    // The rows of a query as text, fields joined by "|", for whole-row comparisons.
    QStringList rows(const QString& file, const QString& sql, const DbParams& params = {})
    {
        const auto db = open(file);
        QStringList out;
        for (RecordSet rs(5, sql, params); !rs.eof(); rs.moveNext()) {
            QStringList fields;
            for (int i = 0; i < rs.fieldCount(); ++i)
                fields << (rs.field(i).isNull() ? QString("Null") : rs.field(i).toString());
            out << fields.join('|');
        }
        return out;
    }

    // A race of NAR_data.dat whose track, number and date come from its code; extra fields over them.
    void addRace(const QString& code, const DbRow& extra = {})
    {
        const QString ymd = code.right(8);
        DbRow row = DbRow().set("R_code", code).set("R_zyo", code.chopped(8)).set("R_no", code.right(2).toInt())
                        .set("R_date", VbDate::fromDbText("20" + ymd.left(2) + "-" + ymd.mid(2, 2) + "-" + ymd.mid(4, 2)));
        for (int i = 0; i < extra.columns().size(); ++i)
            row.set(extra.columns()[i], extra.values()[size_t(i)]);
        insert("NAR_data.dat", "T_Rdata", row);
    }
    // Standard times "track distance class turf time, ..." into T_avetime of a file.
    void addAveTimes(const QString& file, const QString& table)
    {
        for (const QString& entry : table.split(',', Qt::SkipEmptyParts)) {
            const QStringList f = entry.simplified().split(' ');
            insert(file, "T_avetime",
                DbRow()
                    .set("A_zyo", f[0])
                    .set("A_kyori", f[1].toInt())
                    .set("A_class", f[2])
                    .set("A_sin_kyu", 1)
                    .set("A_siba", f[3].toInt())
                    .set("A_time", f[4].toDouble()));
        }
    }
    void addRun(const QString& code, const QString& name, DbRow row = {})
    {
        insert("NAR_data.dat", "T_Useiseki", row.set("R_code", code).set("U_name", name));
    }

    // Every file below the program folder with its bytes (SQLite's -wal/-shm logs left out).
    std::map<QString, QByteArray> snapshot() const
    {
        std::map<QString, QByteArray> files;
        for (QDirIterator it(dir_.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories); it.hasNext();) {
            const QString file = it.next();
            if (!file.endsWith("-wal") && !file.endsWith("-shm"))
                files[QDir(dir_.path()).relativeFilePath(file)] = readTestFile(file);
        }
        return files;
    }

    // Presses Cancel of the progress dialog as soon as the work lets events run.
    static void cancelSoon()
    {
        QTimer::singleShot(0, [] { ASSERT_TRUE(isDialogSincyokuLoaded()); dialogSincyoku().findChild<QPushButton*>("cmdCancel")->click(); });
    }

    TestAppDir dir_;
    MsgBoxRecorder msgs_;
};

#include "core/dialogBabaFile.h"
#include "core/mainBabaFile.h"
#include "core/mainStart.h"
#include "core/publicDim.h"
#include "core/publicFunction.h"
#include "platform/database.h"
#include "platform/msgbox.h"
#include "tests/support/childNamed.h"
#include "tests/support/dataFiles.h"

#include <QApplication>
#include <QDir>
#include <QPushButton>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// An installed program folder, a download folder with candidate files, and a picker that
// "chooses" a prepared file and remembers how the dialog was set up.
class TrackFileInstall : public ::testing::Test {
protected:
    void SetUp() override
    {
        pd.jraGraphOn = false;
        installed_ = dir_.createStrevinData();
        setEdition(installed_, VbDate::fromYmd(2008, 1, 5));
        dir_.createNarData();  // the status refresh after an install reads it too
        setStartNoticeLabels({&baba_, nullptr, nullptr, nullptr, &jra_, nullptr, nullptr});
        setBabaFilePicker([this](const QString& title, const QString& filter) {
            titles_ << title;
            filter_ = filter;
            return pick_;
        });
    }
    void TearDown() override
    {
        setBabaFilePicker({});
        setStartNoticeLabels({});
        pd.jraGraphOn = false;
    }

    // A new track information file of that kind in the download folder.
    QString candidate(DataFileKind kind, const QString& name, VbDate edition)
    {
        const QString made = createDataFile(kind, testSchemaDir(), downloads_.path());
        const QString path = downloads_.filePath(name);
        EXPECT_TRUE(QFile::rename(made, path));
        setEdition(path, edition);
        openDb(1, path, dbPassword);
        insertRow(1, "T_sisuu", DbRow().set("S_date", edition).set("S_zyo", kind == DataFileKind::JraGraph ? "01" : "大井")
                                    .set("S_siba", 0).set("S_sisuu", 0.7f));
        closeDb(1);
        return path;
    }
    static void setEdition(const QString& path, VbDate d)
    {
        openDb(1, path, dbPassword);
        deleteRows(1, "version", DbRow());
        if (!d.isZero())
            insertRow(1, "version", DbRow().set("date", d));
        closeDb(1);
    }
    // The files of the program folder, less the log that the race database keeps between connections.
    QStringList programFolder() const
    {
        QStringList files = QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden);
        files.removeIf([](const QString& f) { return f.endsWith("-wal") || f.endsWith("-shm"); });
        return files;
    }

    TestAppDir dir_;
    QTemporaryDir downloads_;
    MsgBoxRecorder msgs_;
    QLabel baba_, jra_;
    QString installed_;
    QString pick_;
    QStringList titles_;
    QString filter_;
};

}

TEST_F(TrackFileInstall, LocalFileReplacesTheInstalledOne)
{
    pick_ = candidate(DataFileKind::StrevinData, "地方馬場ファイル080301版.dat", VbDate::fromYmd(2008, 3, 1));
    EXPECT_TRUE(updateNarBabaFile());
    EXPECT_EQ(titles_, QStringList {"地方馬場情報ファイルの更新"});
    EXPECT_TRUE(filter_.startsWith("馬場情報ファイル (*.dat);;すべてのファイル (*.*)"));
    EXPECT_EQ(msgs_.texts(), QStringList {"2008/03/01版に更新しました"});
    EXPECT_EQ(fileBytes(installed_), fileBytes(pick_));
    EXPECT_EQ(baba_.text(), " 地方馬場情報ファイル：　2008/03/01版を読込み ");
    EXPECT_EQ(programFolder(), (QStringList {"NAR_data.dat", "Strevin_data.dat"}));  // no temporary file left
    EXPECT_FALSE(isDbOpen(1));
}

TEST_F(TrackFileInstall, FirstCentralInstallShowsItsDateAtOnce)
{
    pick_ = candidate(DataFileKind::JraGraph, "jra.dat", VbDate::fromYmd(2008, 2, 2));
    EXPECT_TRUE(updateJraBabaFile());
    EXPECT_EQ(titles_, QStringList {"中央馬場情報ファイルの更新"});
    EXPECT_EQ(msgs_.texts(), QStringList {"2008/02/02版に更新しました"});
    EXPECT_EQ(fileBytes(dir_.filePath("jraGraph.dat")), fileBytes(pick_));
    EXPECT_TRUE(pd.jraGraphOn);
    EXPECT_EQ(jra_.text(), " 中央馬場情報ファイル：　2008/02/02版を読込み ");
}

TEST_F(TrackFileInstall, FileOfTheOtherKindIsRefused)
{
    const QByteArray before = fileBytes(installed_);
    pick_ = candidate(DataFileKind::JraGraph, "jra.dat", VbDate::fromYmd(2008, 3, 1));
    EXPECT_FALSE(updateNarBabaFile());
    pick_ = candidate(DataFileKind::StrevinData, "nar.dat", VbDate::fromYmd(2008, 3, 1));
    EXPECT_FALSE(updateJraBabaFile());
    EXPECT_EQ(msgs_.texts(), (QStringList {"地方版ファイルを選択してください", "中央版ファイルを選択してください"}));
    EXPECT_EQ(fileBytes(installed_), before);
    EXPECT_FALSE(QFile::exists(dir_.filePath("jraGraph.dat")));
    EXPECT_FALSE(pd.jraGraphOn);
}

TEST_F(TrackFileInstall, NothingPickedOrNothingToDo)
{
    const QByteArray before = fileBytes(installed_);
    pick_.clear();  // the dialog was cancelled
    EXPECT_FALSE(updateNarBabaFile());
    pick_ = installed_;  // the installed file itself
    EXPECT_FALSE(updateNarBabaFile());
    pick_ = candidate(DataFileKind::StrevinData, "undated.dat", VbDate());
    EXPECT_FALSE(updateNarBabaFile());  // no edition date: silently not installed
    pick_ = candidate(DataFileKind::StrevinData, "ancient.dat", VbDate::fromYmd(1899, 12, 1));
    EXPECT_FALSE(updateNarBabaFile());  // an edition not after the zero date is none either
    EXPECT_TRUE(msgs_.texts().isEmpty());
    EXPECT_EQ(fileBytes(installed_), before);
    EXPECT_EQ(titles_.size(), 4);
}

TEST_F(TrackFileInstall, UnusableFilesAreRefusedWithTheMessage)
{
    const QByteArray before = fileBytes(installed_);
    const QStringList bad {
        downloads_.filePath("text.dat"),
        downloads_.filePath("empty.dat"),
        downloads_.filePath("plain.dat"),
        candidate(DataFileKind::StrevinData, "no_waku.dat", VbDate::fromYmd(2008, 3, 1)),
        candidate(DataFileKind::StrevinData, "truncated.dat", VbDate::fromYmd(2008, 3, 1)),
        downloads_.filePath("missing.dat"),
    };
    {
        QFile text(bad[0]);
        ASSERT_TRUE(text.open(QIODevice::WriteOnly));
        text.write(QByteArray("S_zyo,S_date\n01,2008-03-01\n").repeated(100));
        QFile empty(bad[1]);
        ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
    }
    // Right tables, but without the password.
    createDbFile(bad[2], "", "CREATE TABLE T_sisuu (S_date TEXT, S_zyo TEXT, S_siba INT, S_sisuu REAL);"
                             "CREATE TABLE version (date TEXT); INSERT INTO version VALUES ('2008-03-01');");
    openDb(1, bad[3], dbPassword);
    slotConnection(1).execute("DROP TABLE T_waku");
    closeDb(1);
    QFile truncated(bad[4]);
    ASSERT_TRUE(truncated.resize(truncated.size() / 2));
    for (const QString& path : bad) {
        SCOPED_TRACE(path.toStdString());
        msgs_.clear();
        pick_ = path;
        EXPECT_FALSE(updateNarBabaFile());
        EXPECT_EQ(msgs_.texts(), QStringList {"馬場情報ファイルを選択してください"});
        EXPECT_FALSE(isDbOpen(1));
    }
    EXPECT_EQ(fileBytes(installed_), before);
    EXPECT_EQ(programFolder(), (QStringList {"NAR_data.dat", "Strevin_data.dat"}));
}

TEST_F(TrackFileInstall, UnwritableProgramFolderKeepsTheOldFile)
{
    pick_ = candidate(DataFileKind::StrevinData, "nar.dat", VbDate::fromYmd(2008, 3, 1));
    const QByteArray before = fileBytes(installed_);
    // The target is taken by a folder, as when the file cannot be replaced.
    const QString blocked = dir_.filePath("blocked/");
    ASSERT_TRUE(QDir().mkpath(blocked + "Strevin_data.dat"));
    setAppPathForTests(blocked);
    EXPECT_FALSE(updateNarBabaFile());
    setAppPathForTests(dir_.path());
    ASSERT_EQ(msgs_.texts().size(), 1);
    EXPECT_TRUE(msgs_.texts()[0].startsWith("馬場情報ファイルを書き込めませんでした"));
    EXPECT_EQ(QDir(blocked).entryList(QDir::Files | QDir::Hidden), QStringList());

    // A program folder that does not exist (or refuses new files) gets the same.
    msgs_.clear();
    setAppPathForTests(dir_.filePath("gone/"));
    EXPECT_FALSE(updateNarBabaFile());
    setAppPathForTests(dir_.path());
    EXPECT_EQ(msgs_.texts().size(), 1);
    EXPECT_EQ(fileBytes(installed_), before);
}

TEST_F(TrackFileInstall, ChooserOffersBothKindsAndCancel)
{
    auto chooser = [] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == "dialogBabaFile" && w->isVisible())
                return w;
        return static_cast<QWidget*>(nullptr);
    };
    showDialogBabaFile();
    showDialogBabaFile();  // one chooser at a time
    QWidget* d = chooser();
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->windowTitle(), "馬場情報ファイルの更新");
    EXPECT_EQ(childNamed<QLabel>(d, "Label1")->text(), "更新する馬場情報ファイルを選択してください");
    EXPECT_EQ(childNamed<QPushButton>(d, "cmdJra")->text(), "中央馬場情報ファイルの更新");
    EXPECT_EQ(childNamed<QPushButton>(d, "cmdNar")->text(), "地方馬場情報ファイルの更新");
    EXPECT_EQ(childNamed<QPushButton>(d, "cmdCancel")->text(), "キャンセル");

    childNamed<QPushButton>(d, "cmdCancel")->click();
    EXPECT_EQ(chooser(), nullptr);
    EXPECT_TRUE(titles_.isEmpty());

    showDialogBabaFile();
    childNamed<QPushButton>(chooser(), "cmdNar")->click();
    EXPECT_EQ(chooser(), nullptr);  // gone before the file dialog opens
    showDialogBabaFile();
    childNamed<QPushButton>(chooser(), "cmdJra")->click();
    EXPECT_EQ(titles_, (QStringList {"地方馬場情報ファイルの更新", "中央馬場情報ファイルの更新"}));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

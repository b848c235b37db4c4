#pragma once
// Our own results pages and a program folder with the race database and the track information
// file, for the results-import tests and benchmark.
#include "core/publicFunction.h"
#include "platform/database.h"
#include "platform/msgbox.h"
#include "platform/textcodec.h"
#include "platform/vbformat.h"
#include "platform/webbrowser.h"
#include "tests/support/dataFiles.h"
#include "tests/support/pageServer.h"
#include "webimport/ReadWeb.h"

#include <QFile>
#include <gtest/gtest.h>

// A results page of tests/pages as the server sends it (CP932).
inline QByteArray seisekiPage(const QString& fileName)
{
    QFile file(QStringLiteral(BRENNOCK_PAGES_DIR "/") + fileName);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << fileName.toStdString();
    return file.readAll();
}

// The page with one text replaced (the page must hold it).
inline QByteArray pageWith(const QByteArray& page, const QString& from, const QString& to)
{
    QString text = fromCp932(page);
    EXPECT_TRUE(text.contains(from)) << from.toStdString();
    return toCp932(text.replace(from, to));
}

// The normal page retitled as another race (its runners stay the same).
inline QByteArray raceOn(const QString& zyo, const VbDate& day, int raceNo)
{
    return pageWith(seisekiPage("seiseki_normal.htm"), "2008年3月24日（月）　大井　第11競走",
                    QStringLiteral("%1年%2月%3日（月）　%4　第%5競走")
                        .arg(day.year()).arg(day.month()).arg(day.day()).arg(zyo).arg(raceNo));
}

// Cuts a page into the cell table as the loader does after a load.
inline void cutPage(const QByteArray& page)
{
    clearWebCell();
    cutWebTable(bodyInnerHtmlOf(decodePage(page, "Shift_JIS")).remove(QStringLiteral("\r\n")));
}

// The path and query the import asks for.
inline QString resultsPath(const QString& code, const VbDate& day, int raceNo)
{
    return "/keibaWeb/PageFlows/RaceMarkTable/RaceMarkTableController.jpf?k_babaCode=" + code
        + "&k_raceNo=" + QString::number(raceNo) + "&k_raceDate=" + Format(day, "yyyy") + "%2F"
        + Format(day, "mm") + "%2F" + Format(day, "dd");
}

// A program folder with NAR_data.dat and Strevin_data.dat, the settings file pointing the
// loader at a test server, and message boxes recorded.
class SeisekiFolder : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir_.isValid());
        dir_.createNarData();
        dir_.createStrevinData();
        ASSERT_TRUE(server_.start());
        iniWrite("System", "webHost", QStringLiteral("127.0.0.1:%1").arg(server_.port()));
    }

    // Opens the connections the writer expects: the track file on 1, the race database on 2.
    void openWriterSlots()
    {
        openDb(1, appPath() + "Strevin_data.dat", dbPassword);
        openDb(2, appPath() + "NAR_data.dat", dbPassword);
    }

    static int count(int slot, const QString& sql, const DbParams& params = {})
    {
        RecordSet rs(slot, sql, params);
        return rs.field(0).toInt();
    }

    TestAppDir dir_;
    PageServer server_;
    MsgBoxRecorder msgs_;
};

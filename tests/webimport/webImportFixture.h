#pragma once
#include "core/publicDim.h"
#include "core/publicFunction.h"
#include "core/trackFileLoan.h"
#include "platform/database.h"
#include "platform/msgbox.h"
#include "platform/textcodec.h"
#include "platform/vberror.h"
#include "tests/support/dataFiles.h"
#include "tests/support/pageServer.h"
#include "webimport/ReadWeb.h"
#include "webimport/dialogWeb.h"

#include <QFile>
#include <gtest/gtest.h>

inline QString text(const QString& s) { return s; }
inline QString text(const char* s) { return QString::fromUtf8(s); }
inline QString text(const std::string& s) { return QString::fromStdString(s); }
inline QString text(const VbDate& d) { return d.toDbText(); }
template <class T> requires std::is_arithmetic_v<T> QString text(T v) { return QString::number(v); }
template <class... T> std::string joined(const T&... values) { return QStringList {text(values)...}.join(u'|').toStdString(); }

inline std::string pastRun(int k, int r)
{
    return joined(pd.uTuka(k, 1, r), pd.uTuka(k, 2, r), pd.uTuka(k, 3, r), pd.uTuka(k, 4, r), pd.uKyakusitu(k, r));
}

// The rows of a statement on a data file, one a line, on slot 0, which the program never uses.
inline std::string stored(const QString& sql, const DbParams& params = {}, const QString& file = "NAR_data.dat")
{
    openDbOrThrow(0, appPath() + file, dbPassword);
    QString rows;
    for (RecordSet rs(0, sql, params); !rs.eof(); rs.moveNext())
        for (int i = 0; i < rs.fieldCount(); ++i)
            rows += rs.field(i).toString() + (i + 1 < rs.fieldCount() ? "|" : "\n");
    closeDb(0);
    return rows.chopped(rows.endsWith(u'\n')).toStdString();
}

inline void execute(const QString& file, const QString& sql, const DbParams& params = {}) { stored(sql, params, file); }

inline QByteArray samplePage(const QString& fileName)
{
    QFile file(QStringLiteral(BRENNOCK_PAGES_DIR "/") + fileName);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << fileName.toStdString();
    return file.readAll();
}

struct WebImportTest : ::testing::Test {
    TestAppDir appDir;
    PageServer server;
    MsgBoxRecorder messages;

    void SetUp() override
    {
        ASSERT_TRUE(server.start() && appDir.createNarData() != "" && appDir.createStrevinData() != "");
        iniWrite("System", "webHost", QStringLiteral("127.0.0.1:%1").arg(server.port()));
        std::tie(debugMode, pd.webCancel, pd.webTimeOut, pd.timerInter) = std::tuple {false, false, false, 1};
        clearWebCell();
        // Each case is a read of its own: no track file kept from an earlier case's folder.
        beginRaceAnalysis();
    }
    void TearDown() override
    {
        endRaceAnalysis();
        unloadDialogWeb();
        setVbToday(VbDate());
    }

    static void clearRace() { initPublic(); redimUma(18, pd.kakoMax = 150); }
    QString url(const QString& pathAndQuery) const { return server.baseUrl() + pathAndQuery; }
    std::string shown() const { return messages.texts().join(u'|').toStdString(); }
};

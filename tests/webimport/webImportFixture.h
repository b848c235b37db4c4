#pragma once
// Shared ground of the web import tests: a program folder, a page server on 127.0.0.1 that
// the settings point the loader at, recorded message boxes and a short page time-out.
#include "core/publicDim.h"
#include "core/publicFunction.h"
#include "platform/msgbox.h"
#include "platform/vberror.h"
#include "tests/support/dataFiles.h"
#include "tests/support/pageServer.h"
#include "webimport/ReadWeb.h"
#include "webimport/dialogWeb.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <string>

// Texts compare as UTF-8 so that a failure prints them readably.
inline std::string u8(const QString& s)
{
    return s.toStdString();
}

inline std::string cell(int r, int c)
{
    return webCell(r, c).toStdString();
}

inline std::vector<std::string> u8(const QStringList& list)
{
    std::vector<std::string> out;
    for (const QString& s : list)
        out.push_back(s.toStdString());
    return out;
}

struct WebImportTest : ::testing::Test {
    TestAppDir appDir;
    PageServer server;
    MsgBoxRecorder messages;

    void SetUp() override
    {
        ASSERT_TRUE(server.start());
        iniWrite(QStringLiteral("System"), QStringLiteral("webHost"), QStringLiteral("127.0.0.1:%1").arg(server.port()));
        debugMode = false;
        pd.timerInter = 1;
        pd.webCancel = false;
        pd.webTimeOut = false;
        clearWebCell();
    }

    void TearDown() override { unloadDialogWeb(); }

    // The address of a page on the test server.
    QString url(const QString& pathAndQuery) const { return server.baseUrl() + pathAndQuery; }

    // Serves a file of tests/pages at a path and returns its address.
    QString servePage(const QString& pathAndQuery, const QString& file,
                      const QByteArray& contentType = "text/html; charset=Shift_JIS")
    {
        server.addFile(pathAndQuery, file, contentType);
        return url(pathAndQuery);
    }

    std::vector<std::string> shown() const { return u8(messages.texts()); }
};

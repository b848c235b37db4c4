#include "tests/support/pageServer.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTimer>
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>
#include <memory>

namespace {

struct PageServerTest : ::testing::Test {
    PageServer server;
    QNetworkAccessManager nam;

    void SetUp() override { ASSERT_TRUE(server.start()); }

    std::unique_ptr<QNetworkReply> get(const QString& pathAndQuery)
    {
        return std::unique_ptr<QNetworkReply>(nam.get(QNetworkRequest(QUrl(server.baseUrl() + pathAndQuery))));
    }

    static bool waitFinished(QNetworkReply* reply, int ms = 5000)
    {
        if (!reply->isFinished()) {
            QEventLoop loop;
            QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
            QTimer::singleShot(ms, &loop, &QEventLoop::quit);
            loop.exec();
        }
        return reply->isFinished();
    }

    static void processEventsFor(int ms)
    {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < ms)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }

    static int status(QNetworkReply* reply)
    {
        return reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    }
};

TEST_F(PageServerTest, ServesPagesAnswers404AndLogsTargetsAsReceived)
{
    const QByteArray body = "<html><body>\x93\xfa\x96\x7b</body></html>";  // Shift-JIS bytes
    server.addPage("/race?name=a%2Fb", body, "text/html; charset=Shift_JIS");

    auto page = get("/race?name=a%2Fb");
    ASSERT_TRUE(waitFinished(page.get()));
    EXPECT_EQ(status(page.get()), 200);
    EXPECT_EQ(page->readAll(), body);
    EXPECT_EQ(page->header(QNetworkRequest::ContentTypeHeader).toString(), "text/html; charset=Shift_JIS");

    auto missing = get("/race?name=a/b");
    ASSERT_TRUE(waitFinished(missing.get()));
    EXPECT_EQ(status(missing.get()), 404);

    auto again = get("/race?name=a%2Fb");
    ASSERT_TRUE(waitFinished(again.get()));
    EXPECT_EQ(server.requestCount("/race?name=a%2Fb"), 2);
    EXPECT_EQ(server.requestCount("/race?name=a/b"), 1);
    EXPECT_EQ(server.totalRequests(), 3);
    EXPECT_EQ(server.requestLog(), QStringList({"/race?name=a%2Fb", "/race?name=a/b", "/race?name=a%2Fb"}));
}

TEST_F(PageServerTest, DelayedPageArrivesAfterAQuickOne)
{
    server.addPage("/slow", "slow");
    server.addPage("/quick", "quick");
    server.setDelayMs("/slow", 300);

    auto slow = get("/slow");
    auto quick = get("/quick");
    ASSERT_TRUE(waitFinished(quick.get()));
    EXPECT_FALSE(slow->isFinished());
    ASSERT_TRUE(waitFinished(slow.get()));
    EXPECT_EQ(slow->readAll(), "slow");
}

TEST_F(PageServerTest, SlowFirstRequestsThenQuickRetryAndHungPage)
{
    server.addPage("/retry", "second time lucky");
    server.setDelayFirstN("/retry", 1, 60000);
    server.addPage("/hung", "never seen");
    server.setNeverAnswer("/hung", true);

    auto first = get("/retry");
    auto hung = get("/hung");
    processEventsFor(200);
    EXPECT_FALSE(first->isFinished());
    EXPECT_FALSE(hung->isFinished());
    EXPECT_EQ(server.requestCount("/hung"), 1);
    first->abort();
    hung->abort();

    auto retry = get("/retry");
    ASSERT_TRUE(waitFinished(retry.get()));
    EXPECT_EQ(retry->readAll(), "second time lucky");
    EXPECT_EQ(server.requestCount("/retry"), 2);
}

TEST_F(PageServerTest, ServesAFileAndFailsLoudlyOnAMissingOne)
{
    const QString path = QString::fromUtf8(BRENNOCK_TEST_OUTPUT_DIR) + "/pageserver-sample.html";
    QDir().mkpath(QString::fromUtf8(BRENNOCK_TEST_OUTPUT_DIR));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("<p>from a file</p>");
    file.close();

    ASSERT_TRUE(server.addFile("/file", path));
    auto page = get("/file");
    ASSERT_TRUE(waitFinished(page.get()));
    EXPECT_EQ(page->readAll(), "<p>from a file</p>");

    ::testing::TestPartResultArray failures;
    bool added = true;
    {
        ::testing::ScopedFakeTestPartResultReporter reporter(
            ::testing::ScopedFakeTestPartResultReporter::INTERCEPT_ONLY_CURRENT_THREAD, &failures);
        added = server.addFile("/none", "no-such-page.html");
    }
    EXPECT_FALSE(added);
    ASSERT_EQ(failures.size(), 1);
    EXPECT_NE(std::string(failures.GetTestPartResult(0).message()).find("no-such-page.html"), std::string::npos);
}

}  // namespace

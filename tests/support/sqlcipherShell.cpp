#include "tests/support/sqlcipherShell.h"

#include "platform/database.h"

#include <QProcess>
#include <QStandardPaths>

QStringList sqlcipherQuery(const QString& file, const QString& password, const QString& sql)
{
    const QString shell = QStandardPaths::findExecutable(QStringLiteral("sqlcipher"));
    if (shell.isEmpty())
        return {};
    QProcess p;
    p.start(shell, {file});
    p.write(QStringLiteral("PRAGMA key = \"x'%1'\";\nPRAGMA cipher_page_size = 4096;\n%2;\n")
                .arg(QString::fromLatin1(dbKeyFor(password).toHex()), sql)
                .toUtf8());
    p.closeWriteChannel();
    p.waitForFinished(10000);
    QStringList lines = QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    if (!lines.isEmpty() && lines.first() == QStringLiteral("ok"))
        lines.removeFirst();
    return lines;
}

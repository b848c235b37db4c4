#include "sampleText.h"

#include "platform/textcodec.h"

#include <QRandomGenerator>
#include <QStringList>

namespace {

QString proseLine(QRandomGenerator& rng)
{
    static const QStringList words = {
        QStringLiteral("大井"), QStringLiteral("川崎"), QStringLiteral("船橋"), QStringLiteral("浦和"),
        QStringLiteral("の"), QStringLiteral("は"), QStringLiteral("で"), QStringLiteral("が"),
        QStringLiteral("逃げ馬"), QStringLiteral("差し"), QStringLiteral("先行"), QStringLiteral("追込"),
        QStringLiteral("良馬場"), QStringLiteral("稍重"), QStringLiteral("不良"), QStringLiteral("１着"),
        QStringLiteral("２着"), QStringLiteral("騎手"), QStringLiteral("調教師"), QStringLiteral("指数"),
        QStringLiteral("推奨"), QStringLiteral("本命"), QStringLiteral("対抗"), QStringLiteral("穴"),
        QStringLiteral("ダート"), QStringLiteral("１２００ｍ"), QStringLiteral("直線"), QStringLiteral("コーナー"),
        QStringLiteral("、"), QStringLiteral("。"), QStringLiteral("予想"), QStringLiteral("出走表"),
    };
    QString line;
    const int count = 8 + rng.bounded(24);
    for (int i = 0; i < count; ++i)
        line += words[rng.bounded(int(words.size()))];
    return line + QStringLiteral("。\r\n");
}

QString csvLine(QRandomGenerator& rng)
{
    QString line = QStringLiteral("%1,%2,%3").arg(20240000 + rng.bounded(1231)).arg(1 + rng.bounded(12)).arg(1 + rng.bounded(16));
    for (int i = 0; i < 6; ++i)
        line += QStringLiteral(",%1.%2").arg(rng.bounded(100)).arg(rng.bounded(10));
    return line + QStringLiteral("\r\n");
}

}  // namespace

QByteArray mixedCp932Text(qsizetype bytes, quint32 seed)
{
    QRandomGenerator rng(seed);
    QByteArray out;
    out.reserve(bytes + 256);
    while (out.size() < bytes) {
        // Encoded a chunk at a time: one conversion per line would dominate a 50 MB run.
        QString chunk;
        while (chunk.size() < 65536)
            chunk += rng.bounded(3) == 0 ? csvLine(rng) : proseLine(rng);
        out += toCp932(chunk);
    }
    out.truncate(bytes);
    return out;
}

QByteArray randomBytes(qsizetype bytes, quint32 seed)
{
    QRandomGenerator rng(seed);
    QByteArray out(bytes, Qt::Uninitialized);
    for (char& c : out)
        c = char(rng.generate() & 0xFF);
    return out;
}

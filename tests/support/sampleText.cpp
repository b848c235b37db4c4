#include "sampleText.h"

#include "platform/textcodec.h"

#include <QRandomGenerator>
#include <QStringList>

static QString proseLine(QRandomGenerator& rng)
{
    static const QStringList words = QStringLiteral(
        "大井 川崎 船橋 浦和 の は で が 逃げ馬 差し 先行 追込 良馬場 稍重 不良 １着 "
        "２着 騎手 調教師 指数 推奨 本命 対抗 穴 ダート １２００ｍ 直線 コーナー 、 。 予想 出走表").split(u' ');
    QString line;
    const int count = 8 + rng.bounded(24);
    for (int i = 0; i < count; ++i)
        line += words[rng.bounded(int(words.size()))];
    return line + QStringLiteral("。\r\n");
}

static QString csvLine(QRandomGenerator& rng)
{
    QString line = QStringLiteral("%1,%2,%3").arg(20240000 + rng.bounded(1231)).arg(1 + rng.bounded(12)).arg(1 + rng.bounded(16));
    for (int i = 0; i < 6; ++i)
        line += QStringLiteral(",%1.%2").arg(rng.bounded(100)).arg(rng.bounded(10));
    return line + QStringLiteral("\r\n");
}

QByteArray mixedCp932Text(qsizetype bytes, quint32 seed)
{
    QRandomGenerator rng(seed);
    QByteArray out;
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

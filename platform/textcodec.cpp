#include "platform/textcodec.h"

#include "platform/vberror.h"

#include <QList>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

namespace {
// ICU's "windows-31j" is Microsoft's table: 0x817C is U+FF0D, 0x8160 is U+FF5E, and the
// NEC/IBM extensions (①, 髙, 﨑) are present, unlike strict Shift_JIS.
constexpr auto kCp932 = "windows-31j";

QString decode(const QByteArray& bytes, const char* name)
{
    QStringDecoder decoder(name, QStringDecoder::Flag::Stateless);
    return decoder.decode(bytes);
}

// Encodes character by character; a character CP932 lacks is written as `missing` gives it.
template <class Missing>
QByteArray encodeEach(const QString& text, Missing missing)
{
    QByteArray out;
    for (const char32_t cp : text.toUcs4()) {
        QStringEncoder encoder(kCp932, QStringEncoder::Flag::Stateless);
        const QByteArray one = encoder.encode(QString::fromUcs4(&cp, 1));
        out += encoder.hasError() ? missing(cp) : one;
    }
    return out;
}

QByteArray encodeCp932(const QString& text, QByteArray (*missing)(char32_t))
{
    QStringEncoder encoder(kCp932, QStringEncoder::Flag::Stateless);
    const QByteArray out = encoder.encode(text);
    return encoder.hasError() ? encodeEach(text, missing) : out;
}

bool isCp932LeadByte(uchar b)
{
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// ICU keeps a lead byte at the very end waiting for its partner and never flushes it;
// a text cut after a lead byte shows U+FFFD there rather than losing the byte silently.
bool endsWithLoneLeadByte(const QByteArray& bytes)
{
    qsizetype i = 0;
    while (i < bytes.size())
        i += isCp932LeadByte(uchar(bytes[i])) ? 2 : 1;
    return i > bytes.size();
}
}

QString fromCp932(const QByteArray& bytes)
{
    if (endsWithLoneLeadByte(bytes))
        return decode(bytes.chopped(1), kCp932) + QChar(QChar::ReplacementCharacter);
    return decode(bytes, kCp932);
}

// A character CP932 lacks is written as '?', as the platform's own conversion does.
QByteArray toCp932(const QString& text)
{
    return encodeCp932(text, [](char32_t) { return QByteArray("?"); });
}

QByteArray toCp932Html(const QString& text)
{
    return encodeCp932(text, [](char32_t cp) { return "&#" + QByteArray::number(uint(cp)) + ';'; });
}

QString decodeByCharset(const QByteArray& bytes, const QByteArray& charset)
{
    const QByteArray name = charset.trimmed().toLower();
    if (name == "euc-jp" || name == "x-euc-jp")
        return decode(bytes, "EUC-JP");
    if (name == "utf-8" || name == "utf8")
        return decode(bytes, "UTF-8");
    return fromCp932(bytes);
}

void saveCp932File(const QString& path, const QString& text)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(toCp932(text)) < 0 || !file.commit())
        throw VbError(vbErrFile, path + QStringLiteral(": ") + file.errorString(), fileWriteCause(path));
}

#include "platform/fonts.h"

#include <QFontMetricsF>

namespace {
const QString proportionalFace = QStringLiteral("IPAPGothic");
const QString monospaceFace = QStringLiteral("IPAGothic");

QString installedFamily(const QString& name)
{
    if (name == QStringLiteral("ＭＳゴシック"))
        return monospaceFace;
    if (name == QStringLiteral("ＭＳ Ｐゴシック"))
        return proportionalFace;
    return name;
}
}  // namespace

QFont vbFont(const QString& name, double points)
{
    QFont font(installedFamily(name));
    font.setPointSizeF(points);
    return font;
}

QFont fontForText(const QFont& font, const QString& text)
{
    if (font.family() != proportionalFace)
        return font;
    QFont monospace = font;
    monospace.setFamily(monospaceFace);
    return QFontMetricsF(monospace).horizontalAdvance(text) < QFontMetricsF(font).horizontalAdvance(text) ? monospace : font;
}

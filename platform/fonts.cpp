#include "platform/fonts.h"

#include <QFontMetricsF>
#include <QHash>

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
    const auto monospace = [&font] {
        QFont other = font;
        other.setFamily(monospaceFace);
        return other;
    };
    // The same texts come again at every repaint and redraw: each is measured once per size and weight.
    static QHash<std::pair<QString, int>, bool> monospaceNarrower;
    const std::pair<QString, int> key(text, int(font.pointSizeF() * 4) * 1024 + font.weight());
    auto known = monospaceNarrower.constFind(key);
    if (known == monospaceNarrower.cend()) {
        if (monospaceNarrower.size() > 20000)
            monospaceNarrower.clear();
        known = monospaceNarrower.insert(
            key, QFontMetricsF(monospace()).horizontalAdvance(text) < QFontMetricsF(font).horizontalAdvance(text));
    }
    return *known ? monospace() : font;
}

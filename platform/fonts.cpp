#include "platform/fonts.h"

namespace {
QString installedFamily(const QString& name)
{
    if (name == QStringLiteral("ＭＳゴシック"))
        return QStringLiteral("IPAGothic");
    if (name == QStringLiteral("ＭＳ Ｐゴシック"))
        return QStringLiteral("IPAPGothic");
    return name;
}
}  // namespace

QFont vbFont(const QString& name, double points)
{
    QFont font(installedFamily(name));
    font.setPointSizeF(points);
    return font;
}

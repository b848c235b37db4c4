#pragma once
// The system names Windows' Japanese fonts; on Linux the IPA fonts stand in for them.
#include <QFont>
#include <QString>

// A font of the given face name and size in points. "ＭＳゴシック" maps to IPAGothic and
// "ＭＳ Ｐゴシック" to IPAPGothic; other names are used as they are.
QFont vbFont(const QString& name, double points);

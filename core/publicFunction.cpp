#include "core/publicFunction.h"

#include "platform/colors.h"
#include "platform/inifile.h"
#include "platform/msgbox.h"
#include "platform/vbformat.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QWidget>
#include <cmath>

namespace {

struct LocalTrack {
    const char* zyo;
    const char* chiku;
    const char* narCode;
};
// Local tracks by their stored two-character name: region and the authority's track code.
constexpr LocalTrack kLocalTracks[] = {
    {"金沢", "金沢", "22"}, {"名古", "東海", "24"}, {"笠松", "東海", "23"}, {"大井", "南関", "20"},
    {"川崎", "南関", "21"}, {"船橋", "南関", "19"}, {"浦和", "南関", "18"}, {"園田", "兵庫", "27"},
    {"姫路", "兵庫", "28"}, {"高知", "高知", "31"}, {"旭川", "北海", "7"},  {"札幌", "北海", "8"},
    {"門別", "北海", "36"}, {"佐賀", "九州", "32"}, {"荒尾", "九州", "33"}, {"盛岡", "岩手", "10"},
    {"水沢", "岩手", "11"}, {"福山", "福山", "30"},
};

constexpr const char* kCentralTracks[] = {"札幌", "函館", "福島", "新潟", "東京",
                                          "中山", "中京", "京都", "阪神", "小倉"};

constexpr const char* kBaba[] = {"良", "稍", "重", "不"};

const LocalTrack* findLocalTrack(const QString& zyo)
{
    for (const auto& t : kLocalTracks)
        if (zyo == QString::fromUtf8(t.zyo))
            return &t;
    return nullptr;
}

QString appPathOverride;
QString (*trackSelectorHook)() = nullptr;

}

int32_t babaToCode(const QString& baba)
{
    for (int i = 0; i < 4; ++i)
        if (baba == QString::fromUtf8(kBaba[i]))
            return i + 1;
    return 0;
}

QString codeToBaba(int32_t code)
{
    return code >= 1 && code <= 4 ? QString::fromUtf8(kBaba[code - 1]) : QString();
}

const QStringList& kikanEntries()
{
    static const QStringList entries {QStringLiteral("6ヶ月以内対象"), QStringLiteral("1年以内対象"),
                                      QStringLiteral("2年以内対象"), QStringLiteral("全期間対象")};
    return entries;
}

int32_t kikanDays(const QString& text)
{
    static constexpr int32_t days[] {183, 365, 730, 3650};
    const qsizetype i = kikanEntries().indexOf(text);
    return i < 0 ? 0 : days[i];
}

int32_t kikanBound(const QString& text, const VbDate& raceDate)
{
    const int32_t days = kikanDays(text);
    return days == 0 ? 0 : raceDate.serial() - days;
}

QString zyoToChiku(const QString& zyo)
{
    const LocalTrack* t = findLocalTrack(zyo);
    return t ? QString::fromUtf8(t->chiku) : QString();
}

QString zyoToNarCode(const QString& zyo)
{
    const LocalTrack* t = findLocalTrack(zyo);
    return t ? QString::fromUtf8(t->narCode) : QString();
}

QString zyoToJraCode(const QString& zyo)
{
    for (int i = 0; i < 10; ++i)
        if (zyo == QString::fromUtf8(kCentralTracks[i]))
            return QStringLiteral("%1").arg(i + 1, 2, 10, QLatin1Char('0'));
    return {};
}

bool isCentralTrack(const QString& zyo)
{
    return zyo.startsWith(kCentralMark);
}

uint32_t wakuColor(int32_t waku)
{
    switch (waku) {
    case 2: return RGB(1, 1, 1);  // not pure black: black is the grids' "no colour set"
    case 3: return RGB(255, 0, 0);
    case 4: return RGB(0, 0, 255);
    case 5: return RGB(255, 255, 0);
    case 6: return RGB(0, 255, 0);
    case 7: return RGB(255, 128, 0);
    case 8: return RGB(255, 128, 128);
    default: return RGB(255, 255, 255);
    }
}

uint32_t cyakuColor(int32_t cyaku)
{
    switch (cyaku) {
    case 1: return RGB(255, 200, 200);
    case 2: return RGB(255, 200, 128);
    case 3: return RGB(200, 255, 255);
    default: return RGB(255, 255, 255);
    }
}

QString weekdayLabel(const VbDate& date)
{
    static const char* const labels[] = {"（月）", "（火）", "（水）", "（木）", "（金）", "（土）", "（日）"};
    return QString::fromUtf8(labels[date.toQDate().dayOfWeek() - 1]);
}

QString timeToText(float t)
{
    if (!(t > 0))
        return {};
    // Rounding to tenths first keeps 72.96 from becoming 1:12:10.
    const double tenthsTotal = std::nearbyint(double(t) * 10.0);
    const int64_t whole = int64_t(tenthsTotal) / 10;
    const int64_t tenths = int64_t(tenthsTotal) % 10;
    // Whole numbers only: plain digits, without the general number patterns (a long run list
    // shows tens of thousands of times).
    const auto twoDigits = [](int64_t v) { return QString::number(v).rightJustified(2, u'0'); };
    const QString end = QStringLiteral(":") + QChar(u'0' + int(tenths));
    if (whole < 60)
        return twoDigits(whole) + end;
    return QString::number(whole / 60) + QChar(u':') + twoDigits(whole % 60) + end;
}

QString delSpace(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text)
        if (c != QLatin1Char(' ') && c != QChar(0x3000))
            out += c;
    return out;
}

QString appPath()
{
    static const QString programFolder = [] {
        QString dir = QCoreApplication::applicationDirPath();
        return dir.endsWith('/') ? dir : dir + '/';
    }();
    return appPathOverride.isEmpty() ? programFolder : appPathOverride;
}

void setAppPathForTests(const QString& folder)
{
    appPathOverride = folder.isEmpty() || folder.endsWith('/') ? folder : folder + '/';
}

bool batchMode()
{
    return isFormLoaded(QStringLiteral("frmKanri"));
}

QWidget* loadedForm(const QString& name)
{
    if (!qApp)
        return nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == name)
            return w;
    return nullptr;
}

bool isFormLoaded(const QString& name)
{
    return loadedForm(name) != nullptr;
}

QString iniRead(const QString& section, const QString& key, const QString& def)
{
    QString value;
    const int n = IniFile(appPath() + "Strevin.ini").getString(section, key, def, value);
    return n == 0 ? def : value.trimmed();
}

bool iniWrite(const QString& section, const QString& key, const QString& value)
{
    return iniWriteAll({{section, key, value}});
}

bool iniWriteAll(const QList<IniEntry>& entries)
{
    return IniFile(appPath() + "Strevin.ini").writeStrings(entries);
}

bool createDefaultSettings(const QString& targetDir)
{
    const QString path = QDir(targetDir).filePath(QStringLiteral("Strevin.ini"));
    if (QFileInfo::exists(path))
        return true;
    return IniFile(path).writeString(QStringLiteral("System"), QStringLiteral("webHost"), webHostDefault);
}

void setTrackSelectorHook(QString (*currentZyo)())
{
    trackSelectorHook = currentZyo;
}

namespace {
bool programEnding = false;
}

bool isProgramEnding()
{
    return programEnding;
}

// A track that could not be stored is said so: the next start would open on another one.
void endProgram()
{
    programEnding = true;
    if (trackSelectorHook) {
        const QString zyo = trackSelectorHook();
        if (!iniWrite("System", "Zyo", zyo))
            msgBox(QStringLiteral("選択中の場（%1）を保存できませんでした\n%2 に書き込めません")
                       .arg(zyo, QDir::toNativeSeparators(appPath() + "Strevin.ini")));
    }
    for (QWidget* w : QApplication::topLevelWidgets())
        w->close();
}

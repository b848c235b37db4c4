#include "core/settingRanges.h"

#include "core/publicFunction.h"
#include "platform/vberror.h"
#include "platform/vbformat.h"

namespace {

template <class Convert>
auto readNumber(const NumericSetting& setting, QString& badKey, Convert convert)
{
    auto value = convert(setting.def);
    const bool usable = vbTrapAlwaysToLog(QStringLiteral("readNumber"), [&] {
        const auto read = convert(iniRead(setting.section, setting.key, setting.def));
        if (!setting.allows(double(read)))
            throw VbError(vbErrOverflow, setting.where());
        value = read;
    });
    if (!usable && badKey.isEmpty())
        badKey = setting.where();
    return value;
}

}

QString NumericSetting::where() const
{
    return QStringLiteral("[%1] %2").arg(section, key);
}

const NumericSetting& settingTarKikanWebUma()
{
    static const NumericSetting s {"System", "tarKikanWebUma", 1, 36500, "730"};
    return s;
}

const NumericSetting& settingTimerInter()
{
    static const NumericSetting s {"System", "timerInter", 5, 3600, "5"};
    return s;
}

const NumericSetting& settingLineRatio()
{
    static const NumericSetting s {"graph", "iniGraph(7)", 0, 1, "0.2"};
    return s;
}

NumericSetting settingPara(int i)
{
    return {"parameter", QStringLiteral("para(%1)").arg(i), 0, 200, "100"};
}

int32_t IniNumbers::readLong(const NumericSetting& setting)
{
    return readNumber(setting, badKey_, CLngText);
}

float IniNumbers::readSingle(const NumericSetting& setting)
{
    return readNumber(setting, badKey_, CSngText);
}

void IniNumbers::throwIfAnyBad() const
{
    if (!badKey_.isEmpty())
        throw VbError(vbErrTypeMismatch, QStringLiteral("Strevin.ini: %1 is no usable number").arg(badKey_));
}

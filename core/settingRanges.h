#pragma once
// The numbers Strevin.ini holds, each with its default and the range the program can work
// with. The start-up and the options dialog read them through IniNumbers alike: a value that
// is no number or lies outside its range (a hand-edited or damaged file) counts as the default.
#include <QString>
#include <cstdint>

struct NumericSetting {
    QString section;
    QString key;
    double low;
    double high;
    QString def;

    bool allows(double value) const { return value >= low && value <= high; }
    // "[System] timerInter": how a message names it for the user.
    QString where() const;
};

// Days of horse history to import: up to a century, so that no date falls outside the calendar.
const NumericSetting& settingTarKikanWebUma();
// Page time-out in seconds: the options dialog's shortest, up to an hour.
const NumericSetting& settingTimerInter();
// Quantile of the chart's percentage line.
const NumericSetting& settingLineRatio();
// Prediction weight i (0..7) in percent, the sliders' range.
NumericSetting settingPara(int i);

// Reads the numeric settings; every one is read even when an earlier one was unusable, so one
// bad line neither leaves the others unread nor leaves a setting at 0. The first unusable one
// is remembered for the caller's message.
class IniNumbers {
public:
    int32_t readLong(const NumericSetting& setting);
    float readSingle(const NumericSetting& setting);
    // "[System] timerInter" of the first value that was no number or out of range; empty when
    // every value read was usable.
    const QString& firstBad() const { return badKey_; }
    // Throws a type-mismatch VbError naming the first unusable key, for the caller's trap.
    void throwIfAnyBad() const;

private:
    QString badKey_;
};

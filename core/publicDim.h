#pragma once
// The program-wide state: the race on screen, every runner's runs, the prediction
// results, the sheet selection, the settings held in memory and the run-time flags.
// One object for the whole run, reached directly by every subsystem.
#include "platform/vbarray.h"
#include "platform/vbdate.h"
#include <QPointer>
#include <QString>
#include <QWidget>
#include <array>

struct PublicDim {
    // Race header.
    VbDate raceDate;
    QString raceZyo;
    QString raceChiku;
    int32_t raceNo = 0;
    QString raceCode;
    int32_t raceBaba = 0;
    int32_t raceKyori = 0;
    QString raceName;
    QString raceClass;
    int32_t tousuu = 0;
    int32_t raceSyurui = 0;
    QString raceTitle;
    int32_t raceSiba = 0;
    // Which race read of this run put the race here: the race read counts up as it starts, so a
    // page filled again for the same number shows the same race.
    int32_t raceReadNo = 0;
    int32_t umaIdx = 0;

    // Run table: per runner (0..horses).
    Array1<QString> uName, uSeirei, uChichi, uUrl;
    // Per run (0..horses, 0..kakoMax); run 0 is the race on screen, 1.. the past runs, newest first.
    Array2<VbDate> uDate;
    Array2<QString> uZyo, uRname, uChiku, uKisyu, uCyoukyou, uSyozoku, uKyakusitu;
    Array2<int32_t> uRaceNo, uKyori, uBaba, uWaku, uNo, uNinki, uCyaku, uTousuu, uTaizyu, uZougen, uSiba,
        uKankaku;
    Array2<float> uTime, uCyakusa, u3f, uHutan, uSisuu, uSisuu3f, uFile;
    // 1 when the day's track-variant row was found for the run's index (its value, in uFile, may be 0).
    Array2<char> uFileFound;
    // 1 when this read's history gave the run its index: the analysis would compute the same again.
    Array2<char> uIndexed;
    // Corner positions (0..horses, 0..4, 0..kakoMax); corner index 0 unused.
    Array3<int32_t> uTuka;

    // Prediction results.
    Array2<float> kisoSisuu;      // (h,0) base index, (h,1) runs it was built from
    Array2<float> tekiseiFactor;  // (h,0) combined, (h,1..7) factors
    Array1<float> yosouSisuu;
    Array1<QString> sirusi;
    Array2<float> sirusiTop {5, 1};  // fixed (0..5, 0..1)
    Array1<float> kakuritu1, kakuritu2;
    Array2<float> tuka1Ave;
    Array3<float> taisenMatrix;
    float lineSisuu = 0;
    int32_t sisuuOffset = 0;

    // Settings held in memory.
    int32_t kakoKikan = 0;
    int32_t timerInter = 0;
    std::array<QString, 7> graphFlags;
    float lineRatio = 0;

    // Run-time flags (debugMode itself lives with the error trap: platform/vberror.h).
    bool jraGraphOn = false;
    bool webCancel = false;
    bool webTimeOut = false;
    bool raceExists = false;
    bool graphMode = true;
    int32_t graphShiftDays = 0;
    int32_t kakoMax = 0;

    // Sheet selection.
    QString sheetKey;
    // Null once that sheet is closed.
    QPointer<QWidget> sheetForm;
};

extern PublicDim pd;

// Clears the race header before a race is read.
void initPublic();
// Re-dimensions, and so clears, the run table and the prediction results.
void redimUma(int umaCount, int rekiCount);
// Lengthens (or shortens) the run dimension, keeping what every runner's runs hold.
void redimUmaPreserve(int umaCount, int rekiCount);

// Calls f with every per-run array of the run table (uDate .. uKankaku; uTuka apart).
template <class F>
void forEachRunArray(F&& f)
{
    f(pd.uDate);
    for (auto* a : {&pd.uZyo, &pd.uRname, &pd.uChiku, &pd.uKisyu, &pd.uCyoukyou, &pd.uSyozoku, &pd.uKyakusitu})
        f(*a);
    for (auto* a : {&pd.uRaceNo, &pd.uKyori, &pd.uBaba, &pd.uWaku, &pd.uNo, &pd.uNinki, &pd.uCyaku, &pd.uTousuu,
                    &pd.uTaizyu, &pd.uZougen, &pd.uSiba, &pd.uKankaku})
        f(*a);
    for (auto* a : {&pd.uTime, &pd.uCyakusa, &pd.u3f, &pd.uHutan, &pd.uSisuu, &pd.uSisuu3f, &pd.uFile})
        f(*a);
    f(pd.uFileFound);
    f(pd.uIndexed);
}

#include "core/publicDim.h"

PublicDim pd;

void initPublic()
{
    pd.raceDate = VbDate();
    pd.raceZyo.clear();
    pd.raceChiku.clear();
    pd.raceCode.clear();
    pd.raceName.clear();
    pd.raceClass.clear();
    pd.raceTitle.clear();
    pd.raceNo = 0;
    pd.raceBaba = 0;
    pd.raceKyori = 0;
    pd.tousuu = 0;
    pd.raceSyurui = 0;
    pd.raceSiba = 0;
    pd.umaIdx = 0;
    pd.webCancel = false;
    pd.graphMode = true;
}

void redimUma(int umaCount, int rekiCount)
{
    for (auto* a : {&pd.uName, &pd.uSeirei, &pd.uChichi, &pd.uUrl, &pd.sirusi})
        a->redim(umaCount);
    for (auto* a : {&pd.yosouSisuu, &pd.kakuritu1, &pd.kakuritu2})
        a->redim(umaCount);
    forEachRunArray([&](auto& a) { a.redim(umaCount, rekiCount); });
    pd.uTuka.redim(umaCount, 4, rekiCount);
    for (auto* a : {&pd.kisoSisuu, &pd.tuka1Ave})
        a->redim(umaCount, 1);
    pd.taisenMatrix.redim(umaCount, umaCount, 1);
    pd.tekiseiFactor.redim(umaCount, 7);
}

void redimUmaPreserve(int umaCount, int rekiCount)
{
    forEachRunArray([&](auto& a) { a.redimPreserve(umaCount, rekiCount); });
    pd.uTuka.redimPreserve(umaCount, 4, rekiCount);
}

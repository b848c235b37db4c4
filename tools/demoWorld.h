#pragma once
// A small racing world for the demo, made from a fixed seed and today's date: three local tracks
// that race every seven days (today included, yesterday not), a stable of horses at each, and
// every race of the last twenty race days with its whole field. Everything follows from the date,
// so the same day gives the same world; the pages (demoWorldPages.h) are written from it, and the
// histories and results agree because both are read from the same starts.
#include "platform/vbdate.h"

#include <QString>
#include <QStringList>
#include <array>
#include <vector>

struct DemoHorse {
    QString id;  // the authority's 10-character registration id
    QString name;
    QString sex;  // 牡, 牝 or セ
    int birthYear = 0;
    QString sire, dam, damSire, owner, breeder, coat;
    int home = 0;  // index of the track the horse is stabled at
    QString trainer;
    int ability = 0;  // its usual speed index
    int style = 0;    // 0 goes to the front .. 9 comes from behind
    std::vector<std::pair<int, int>> starts;  // (race, index in its field), oldest first
};

struct DemoStart {
    int horse = 0;
    int number = 0, bracket = 0;
    int finish = 0, popularity = 0;
    int timeTenths = 0, last3fTenths = 0;
    int marginTenths = 0;  // as the results writer keeps it: winner minus second, others minus winner
    int bodyWeight = 0, weightChange = 0;
    int carriedTenths = 0;  // weight carried in tenths of a kg
    QString jockey;         // the full name
    std::array<int, 4> corners {};  // position at each corner the race lists (0 beyond them)
};

struct DemoPayouts {
    int win = 0, quinella = 0, exacta = 0, trio = 0, trifecta = 0;
    std::array<int, 3> place {}, wide {};
};

struct DemoWorldRace {
    VbDate date;
    int track = 0;
    int raceNo = 0;
    int kyori = 0;
    int baba = 1;  // 1 良 .. 4 不良
    QString weather;
    QString className;  // two characters, as the race name begins: Ｃ３ .. Ａ２
    QString name;
    QString post;  // 発走時刻 "hh:mm"
    int cornerCount = 2;
    std::vector<DemoStart> field;  // by horse number (field[i].number == i + 1)
    DemoPayouts pay;               // none for today's races
    bool today = false;
    // The field by finishing order.
    std::vector<const DemoStart*> byFinish() const;
};

struct DemoTrack {
    QString name;  // two characters, as the program names it
    std::array<int, 4> distances {};
    QStringList jockeys, trainers;
};

// The win odds the board shows for a popularity.
double demoOdds(int popularity);

class DemoWorld {
public:
    static constexpr int kRaceDays = 20;  // past race days, seven days apart
    static constexpr int kDaysApart = 7;
    static constexpr int kRacesPerDay = 12;

    explicit DemoWorld(const VbDate& today);

    const VbDate& today() const { return today_; }
    const std::vector<DemoTrack>& tracks() const { return tracks_; }
    const std::vector<DemoHorse>& horses() const { return horses_; }
    const std::vector<DemoWorldRace>& races() const { return races_; }
    const DemoStart& start(const std::pair<int, int>& s) const { return races_[size_t(s.first)].field[size_t(s.second)]; }

    // The track variant of a day in seconds per 1500 m (positive: a slow track), from its date
    // alone, and the standard time of a course for a class ("ave": all classes).
    double variant(const VbDate& day, int track) const;
    double standardTime(int track, int kyori, const QString& className) const;
    static QStringList classNames();

private:
    void makeHorses();
    void runDay(int daysBack);
    void fillRace(DemoWorldRace& race, std::vector<int> runners, int daysBack);
    void placeField(DemoWorldRace& race);

    VbDate today_;
    std::vector<DemoTrack> tracks_;
    std::vector<DemoHorse> horses_;
    std::vector<DemoWorldRace> races_;
};

#include "tools/demoWorld.h"

#include "core/publicFunction.h"
#include "tools/demoHtml.h"

#include <QSet>
#include <algorithm>
#include <cmath>
#include <numeric>

namespace {

constexpr int kHorsesPerTrack = 320;  // half of them race on each race day
constexpr int kMaxField = 14;

// A fixed pseudo-random number for a tuple of whole numbers: the world is the same every time.
unsigned noise(int a, int b, int c, int d = 0)
{
    uint64_t v = uint64_t(unsigned(a)) * 0x9E3779B97F4A7C15ull ^ uint64_t(unsigned(b)) * 0xC2B2AE3D27D4EB4Full
                 ^ uint64_t(unsigned(c)) * 0x165667B19E3779F9ull ^ uint64_t(unsigned(d)) * 0x27D4EB2F165667C5ull;
    v ^= v >> 31;
    v *= 0xBF58476D1CE4E5B9ull;
    v ^= v >> 29;
    v *= 0x94D049BB133111EBull;
    v ^= v >> 32;
    return unsigned(v);
}

QStringList split(const char* words)
{
    return QString::fromUtf8(words).split(u' ');
}

const QStringList& namePrefixes()
{
    static const QStringList list = split(
        "アサカゼ ハヤテ ミナミ ユウヒ カゼノ トウカイ ホシノ サクラ ライト ツキノ ヒカリ マツリ シラユキ ダイチ アオゾラ ナミノ "
        "コハク レイメイ ハルカ イナズマ ソラノ ミドリ キンノ ギンノ ウミノ ヤマノ モリノ ハナノ ユキノ アカツキ シオカゼ ホムラ");
    return list;
}

const QStringList& nameSuffixes()
{
    static const QStringList list = split(
        "スター オー カオリ クイーン シラベ ボルト キセキ シズク ミチ ツバサ バヤシ ヒメ チカラ カナタ ハナ ユメ "
        "ロード キング ダンサー ソング ルビー パール ウイング ハート ブレイブ ジェット ライデン マーチ リボン ガール ボーイ トップ");
    return list;
}

template <class T>
const T& pick(const QList<T>& list, unsigned n)
{
    return list[qsizetype(n % unsigned(list.size()))];
}

int classIndex(int raceNo)
{
    return raceNo <= 3 ? 0 : raceNo <= 6 ? 1 : raceNo <= 9 ? 2 : raceNo <= 11 ? 3 : 4;
}

// The usual speed index of a class's horses: the stables are graded into races 1 (weakest) to 12.
double classLevel(int index)
{
    static const double middleRace[] = {2.0, 5.0, 8.0, 10.5, 12.0};
    return 25.0 + 50.0 * (middleRace[index] - 0.5) / 12.0;
}

int tenths(double seconds)
{
    return int(std::lround(seconds * 10.0));
}

int baba(const VbDate& day, int track)
{
    const unsigned n = noise(day.serial(), track, 4) % 10;
    return n < 6 ? 1 : n < 8 ? 2 : n < 9 ? 3 : 4;
}

// Positions 1..n of the field by a score, lower first; equal scores by horse number.
std::vector<int> ranks(const std::vector<double>& score)
{
    std::vector<int> order(score.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return score[size_t(a)] < score[size_t(b)]; });
    std::vector<int> rank(score.size());
    for (size_t i = 0; i < order.size(); ++i)
        rank[size_t(order[i])] = int(i) + 1;
    return rank;
}

int round10(double yen)
{
    return std::max(100, int(std::lround(yen / 10.0)) * 10);
}

DemoPayouts payouts(const std::vector<const DemoStart*>& order, unsigned salt)
{
    const double a = demoOdds(order[0]->popularity), b = demoOdds(order[1]->popularity), c = demoOdds(order[2]->popularity);
    const double luck = 0.9 + double(salt % 20) / 100.0;
    DemoPayouts p;
    p.win = round10(a * 100.0 * luck);
    p.place = {round10(100.0 + (a - 1.0) * 25.0), round10(100.0 + (b - 1.0) * 25.0), round10(100.0 + (c - 1.0) * 25.0)};
    p.quinella = round10(a * b * 40.0 * luck);
    p.exacta = round10(a * b * 75.0 * luck);
    p.wide = {round10(a * b * 12.0 + 100.0), round10(a * c * 12.0 + 100.0), round10(b * c * 12.0 + 100.0)};
    p.trio = round10(a * b * c * 30.0 * luck);
    p.trifecta = round10(a * b * c * 170.0 * luck);
    return p;
}

}

double demoOdds(int popularity)
{
    static const double table[] = {1.8, 3.4, 5.2, 7.5, 10.8, 15.2, 21.0, 29.0, 40.0, 55.0, 75.0, 98.0, 130.0, 170.0};
    return table[std::clamp(popularity, 1, 14) - 1];
}

std::vector<const DemoStart*> DemoWorldRace::byFinish() const
{
    std::vector<const DemoStart*> order;
    for (const DemoStart& s : field)
        order.push_back(&s);
    std::sort(order.begin(), order.end(), [](const DemoStart* a, const DemoStart* b) { return a->finish < b->finish; });
    return order;
}

QStringList DemoWorld::classNames()
{
    return split("Ｃ３ Ｃ２ Ｃ１ Ｂ２ Ａ２");
}

DemoWorld::DemoWorld(const VbDate& today) : today_(today)
{
    tracks_ = {
        {QStringLiteral("大井"), {1200, 1400, 1600, 1800}, split("山田太郎 佐藤次郎 鈴木一郎 高橋三郎 田中四郎 伊藤五郎 渡辺六助 中村七海 小林八雲 加藤九十"),
         split("井上孝志 木村正人 林田勝 清水修一 山口健二 松本浩三 森田誠 池田昭 橋本豊 石川光男")},
        {QStringLiteral("川崎"), {1400, 1500, 1600, 2000}, split("吉田一輝 山本翔太 中島拓也 前田大地 藤田隼人 岡田優斗 長谷川蓮 村上悠真 近藤陸 坂本湊"),
         split("斎藤和夫 阿部信也 福田守 西村弘 太田雅彦 藤井康夫 原田進 三浦徹 竹内実 金子稔")},
        {QStringLiteral("園田"), {1230, 1400, 1700, 1870}, split("松田健太 野口誠也 菊地亮 杉山剛 千葉拓海 宮崎蒼 大野颯 市川航 上田匠 森本陽"),
         split("小野寺昇 久保田茂 今井清 河野勇 武田秀樹 上野隆 高木勉 安藤哲也 丸山忠 北村博")},
    };
    makeHorses();
    for (int n = kRaceDays; n >= 0; --n)
        runDay(n * kDaysApart);
}

void DemoWorld::makeHorses()
{
    static const QStringList sires = split("ゴールドアリュール サウスヴィグラス シニスターミニスター ヘニーヒューズ パイロ エスポワールシチー "
                                          "ホッコータルマエ キンシャサノキセキ ロードカナロア ドゥラメンテ カネヒキリ スマートファルコン");
    static const QStringList dams = split("ハナミズキ アジサイ スズラン ヒマワリ コスモス ツバキ サザンカ カトレア リンドウ キキョウ ナデシコ アザミ");
    static const QStringList coats = split("鹿毛 栗毛 黒鹿毛 青鹿毛 芦毛 栃栗毛");
    static const QStringList owners = split("青木商事 北斗牧場 三和興業 東洋ホース 大和ファーム 丸星企画");
    static const QStringList breeders = split("新冠牧場 浦河ファーム 日高育成牧場 静内スタッド 門別牧場 様似牧場");
    QSet<QString> taken;
    const int combos = int(namePrefixes().size() * nameSuffixes().size());
    for (int t = 0; t < int(tracks_.size()); ++t)
        for (int i = 0; i < kHorsesPerTrack; ++i) {
            const int h = int(horses_.size());
            DemoHorse horse;
            horse.home = t;
            horse.birthYear = today_.year() - 3 - int(noise(h, 0, 1) % 5);
            horse.id = QStringLiteral("%1%2%3").arg(horse.birthYear).arg(zyoToNarCode(tracks_[size_t(t)].name), 2, u'0')
                           .arg(i, 4, 10, QLatin1Char('0'));
            for (int c = int(noise(h, 0, 2) % unsigned(combos));; c = (c + 1) % combos) {
                horse.name = namePrefixes()[c / nameSuffixes().size()] + nameSuffixes()[c % nameSuffixes().size()];
                if (!taken.contains(horse.name))
                    break;
            }
            taken.insert(horse.name);
            const unsigned s = noise(h, 0, 3) % 10;
            horse.sex = s < 6 ? QStringLiteral("牡") : s < 9 ? QStringLiteral("牝") : QStringLiteral("セ");
            horse.sire = pick(sires, noise(h, 0, 4));
            horse.dam = pick(dams, noise(h, 0, 5)) + pick(nameSuffixes(), noise(h, 0, 6));
            horse.damSire = pick(sires, noise(h, 0, 7) + 5);
            horse.coat = pick(coats, noise(h, 0, 8));
            horse.owner = pick(owners, noise(h, 0, 9));
            horse.breeder = pick(breeders, noise(h, 0, 10));
            horse.trainer = pick(tracks_[size_t(t)].trainers, noise(h, 0, 11));
            horse.ability = 25 + int(noise(h, 0, 12) % 51);
            horse.style = int(noise(h, 0, 13) % 10);
            horses_.push_back(horse);
        }
}

// The horses of one day: half of every stable, some resting, some travelling to another track;
// at each track they are graded by ability into races 1 to 12.
void DemoWorld::runDay(int daysBack)
{
    const int n = daysBack / kDaysApart;
    std::vector<std::vector<int>> atTrack(tracks_.size());
    for (int h = n % 2; h < int(horses_.size()); h += 2) {
        if (noise(h, n, 1) % 10 == 0)
            continue;
        const int home = horses_[size_t(h)].home;
        const unsigned travel = noise(h, n, 2) % 16;
        const int venue = travel == 0 ? (home + 1) % 3 : travel == 1 && home < 2 ? 1 - home : home;
        atTrack[size_t(venue)].push_back(h);
    }
    for (int t = 0; t < int(tracks_.size()); ++t) {
        std::vector<int>& list = atTrack[size_t(t)];
        const auto grade = [&](int h) { return horses_[size_t(h)].ability * 1000 + int(noise(h, n, 3) % 8000); };
        std::stable_sort(list.begin(), list.end(), [&](int a, int b) { return grade(a) < grade(b); });
        const int count = std::min(int(list.size()), kMaxField * kRacesPerDay);
        std::array<int, kRacesPerDay> sizes {};
        for (int r = 0; r < kRacesPerDay; ++r)
            sizes[size_t(r)] = count / kRacesPerDay + (r >= kRacesPerDay - count % kRacesPerDay ? 1 : 0);
        for (int r = 0; r + 1 < kRacesPerDay; r += 2)
            if (noise(t, n, r, 5) % 2 && sizes[size_t(r)] > 6 && sizes[size_t(r) + 1] < kMaxField) {
                --sizes[size_t(r)];
                ++sizes[size_t(r) + 1];
            }
        auto next = list.begin();
        for (int r = 0; r < kRacesPerDay; ++r) {
            DemoWorldRace race;
            race.date = today_.addDays(-daysBack);
            race.track = t;
            race.raceNo = r + 1;
            race.today = daysBack == 0;
            fillRace(race, std::vector<int>(next, next + sizes[size_t(r)]), n);
            next += sizes[size_t(r)];
            races_.push_back(std::move(race));
        }
    }
}

void DemoWorld::fillRace(DemoWorldRace& race, std::vector<int> runners, int n)
{
    static const QStringList groups = split("一 二 三");
    const int t = race.track;
    race.kyori = tracks_[size_t(t)].distances[size_t(race.raceNo * 3 + n) % 4];
    race.baba = baba(race.date, t);
    race.weather = race.baba == 1 ? (noise(t, n, 6) % 3 ? QStringLiteral("晴") : QStringLiteral("曇"))
                                  : (noise(t, n, 6) % 2 ? QStringLiteral("雨") : QStringLiteral("曇"));
    race.className = classNames()[classIndex(race.raceNo)];
    race.name = race.className + groups[(race.raceNo - 1) % 3] + QStringLiteral("組") + (race.raceNo == 11 ? QStringLiteral("特別") : QString());
    const int minutes = 14 * 60 + 30 * (race.raceNo - 1) + 5 * t;
    race.post = QStringLiteral("%1:%2").arg(minutes / 60).arg(minutes % 60, 2, 10, QLatin1Char('0'));
    race.cornerCount = race.kyori <= 1400 ? 2 : 4;
    std::stable_sort(runners.begin(), runners.end(), [&](int a, int b) { return noise(a, n, 7) < noise(b, n, 7); });
    const int field = int(runners.size());
    for (int i = 0; i < field; ++i) {
        const int h = runners[size_t(i)];
        DemoHorse& horse = horses_[size_t(h)];
        DemoStart s;
        s.horse = h;
        s.number = i + 1;
        s.bracket = demoBracketOf(s.number, field);
        s.carriedTenths = (horse.sex == QStringLiteral("牝") ? 530 : 550) + 10 * int(noise(h, n, 8) % 3);
        s.jockey = pick(tracks_[size_t(t)].jockeys, noise(h, n, 9));
        s.bodyWeight = 430 + int(noise(h, 0, 14) % 80) + int(noise(h, n, 10) % 13) - 6;
        s.weightChange = horse.starts.empty() ? 0 : s.bodyWeight - start(horse.starts.back()).bodyWeight;
        race.field.push_back(s);
    }
    placeField(race);
    const int index = int(races_.size());
    for (int i = 0; i < field; ++i)
        horses_[size_t(race.field[size_t(i)].horse)].starts.emplace_back(index, i);
}

// Finishing order, times, last 600 m, margins, corners and popularity of a field, and its payouts.
void DemoWorld::placeField(DemoWorldRace& race)
{
    const int n = (today_ - race.date) / kDaysApart;
    const size_t field = race.field.size();
    const double ave = standardTime(race.track, race.kyori, QStringLiteral("ave"));
    const double scale = race.kyori / 1500.0, v = variant(race.date, race.track);
    std::vector<double> perf(field), fancied(field), early(field);
    for (size_t i = 0; i < field; ++i) {
        const DemoHorse& horse = horses_[size_t(race.field[i].horse)];
        perf[i] = -(horse.ability + (double(noise(race.field[i].horse, n, 11) % 201) - 100.0) / 10.0);
        fancied[i] = -(horse.ability + double(noise(race.field[i].horse, n, 12) % 150) / 10.0);
        early[i] = horse.style * 100.0 + double(noise(race.field[i].horse, n, 13) % 300);
    }
    const std::vector<int> finish = ranks(perf), popularity = ranks(fancied), front = ranks(early);
    for (size_t i = 0; i < field; ++i) {
        DemoStart& s = race.field[i];
        const DemoHorse& horse = horses_[size_t(s.horse)];
        s.finish = finish[i];
        s.popularity = popularity[i];
        s.timeTenths = tenths(ave + (v + (50.0 + perf[i]) / 10.0) * scale);
        s.last3fTenths = tenths(ave * 600.0 / race.kyori + 1.2 + (50.0 + perf[i]) / 40.0 - (horse.style - 4.5) * 0.15);
    }
    static const double weightOfStart[2][4] = {{0.6, 0.3}, {1.0, 0.8, 0.6, 0.3}};
    for (int c = 0; c < race.cornerCount; ++c) {
        const double w = weightOfStart[race.cornerCount == 4][c];
        std::vector<double> score(field);
        for (size_t i = 0; i < field; ++i)
            score[i] = w * front[i] + (1.0 - w) * finish[i];
        const std::vector<int> position = ranks(score);
        for (size_t i = 0; i < field; ++i)
            race.field[i].corners[size_t(c)] = position[i];
    }
    const std::vector<const DemoStart*> order = race.byFinish();
    const int first = order[0]->timeTenths, second = field > 1 ? order[1]->timeTenths : 0;
    for (DemoStart& s : race.field)
        s.marginTenths = s.finish == 1 ? first - second : s.timeTenths - first;
    if (!race.today)
        race.pay = payouts(order, noise(race.track, n, race.raceNo, 14));
}

double DemoWorld::variant(const VbDate& day, int track) const
{
    static const double wet[] = {0.0, 0.0, -0.3, -0.6, -0.9};
    return double(int(noise(day.serial(), track, 15) % 31) - 15) / 10.0 + wet[baba(day, track)];
}

// An index-50 horse's time for "ave"; a class's time is that of its usual horse.
double DemoWorld::standardTime(int track, int kyori, const QString& className) const
{
    static const double trackOffset[] = {0.0, 0.6, 0.9};
    const double ave = 74.0 + (kyori - 1200) * 0.0665 + trackOffset[track];
    const qsizetype c = classNames().indexOf(className);
    return c < 0 ? ave : ave + (50.0 - classLevel(int(c))) / 10.0 * kyori / 1500.0;
}

#include "tools/demoTrackFiles.h"

#include "core/dataFiles.h"
#include "core/publicFunction.h"
#include "platform/database.h"

#include <QDir>
#include <QFileInfo>
#include <cmath>

namespace {

// The slot the demo's own writes use, apart from the program's.
constexpr int kSlot = slotTools;
constexpr int kVariantDays = 366;

struct StandardTime {
    QString zyo;
    int kyori;
    QString className;
    double time;
};

// Every course of every track, for all classes ("ave", which the speed index reads) and for each
// class (which the track-file build measures races against); all on dirt.
std::vector<StandardTime> standardTimes(const DemoWorld& world)
{
    QStringList classes = DemoWorld::classNames();
    classes.prepend(QStringLiteral("ave"));
    std::vector<StandardTime> times;
    for (int t = 0; t < int(world.tracks().size()); ++t)
        for (const int kyori : world.tracks()[size_t(t)].distances)
            for (const QString& className : classes)
                times.push_back({world.tracks()[size_t(t)].name, kyori, className, world.standardTime(t, kyori, className)});
    return times;
}

// Whether the file's standard times are the world's, row for row (as stored, in single precision).
bool holdsWorldTimes(const std::vector<StandardTime>& times)
{
    if (RecordSet(kSlot, QStringLiteral("SELECT COUNT(*) FROM T_avetime")).field(0).toInt() != int(times.size()))
        return false;
    for (const StandardTime& s : times) {
        const RecordSet rs(kSlot, QStringLiteral("SELECT A_time FROM T_avetime WHERE A_zyo = ? AND A_kyori = ? AND A_class = ? "
                                                 "AND A_sin_kyu = 1 AND A_siba = 0"),
                           {s.zyo, s.kyori, s.className});
        if (rs.eof() || std::abs(rs.field(0).toDouble() - s.time) > 1e-3)
            return false;
    }
    return true;
}

void writeStandardTimes(const std::vector<StandardTime>& times)
{
    for (const StandardTime& s : times)
        insertRow(kSlot, "T_avetime", DbRow().set("A_zyo", s.zyo).set("A_kyori", s.kyori).set("A_class", s.className)
                                          .set("A_sin_kyu", 1).set("A_siba", 0).set("A_time", s.time));
}

// Every day of the year up to today that the file lacks, not only the world's race days: the
// variant of a day follows from its date alone, so a folder filled on an earlier day gets the
// days since then when the demo runs again (its world races on other days), with the same value
// in every file. Gives the number of days added.
int addVariants(const DemoWorld& world)
{
    int added = 0;
    for (int d = -kVariantDays; d <= 0; ++d)
        for (int t = 0; t < int(world.tracks().size()); ++t) {
            const VbDate day = world.today().addDays(d);
            added += insertRowIfNew(kSlot, "T_sisuu", DbRow().set("S_date", day).set("S_zyo", world.tracks()[size_t(t)].name)
                                                          .set("S_siba", 0).set("S_sisuu", world.variant(day, t))) ? 1 : 0;
        }
    return added;
}

}

QStringList fillDemoTrackFiles(const QString& folder, const DemoWorld& world)
{
    struct File {
        DataFileKind kind;
        bool variants;
        bool dated;  // a track information file, whose edition is the newest day of its variants
    };
    const std::vector<StandardTime> times = standardTimes(world);
    QStringList written;
    // The work file holds the variants the track file was made from: the index recalculation
    // reads them there, and with other ones would give the stored runs other indices.
    for (const File& f : {File {DataFileKind::StrevinData, true, true}, File {DataFileKind::CalSisuu, true, false},
                          File {DataFileKind::Motofile, false, false}}) {
        const DataFileEntry& entry = dataFileEntry(f.kind);
        const QString path = QDir(folder).filePath(entry.fileName);
        if (!QFileInfo::exists(path))
            continue;
        openDbOrThrow(kSlot, path, entry.password);
        const DbSlotCloser closer(kSlot);
        const bool empty = RecordSet(kSlot, QStringLiteral("SELECT A_time FROM T_avetime LIMIT 1")).eof();
        if (!empty && !holdsWorldTimes(times))
            continue;
        DbTransaction tables(kSlot);
        if (empty)
            writeStandardTimes(times);
        const int added = f.variants ? addVariants(world) : 0;
        if (f.dated && (empty || added > 0))
            setEdition(kSlot, world.today());
        tables.commit();
        if (empty || added > 0)
            written << entry.fileName;
    }
    return written;
}

#include "tools/demoTrackFiles.h"

#include "core/dataFiles.h"
#include "core/publicFunction.h"
#include "platform/database.h"

#include <QDir>
#include <QFileInfo>

namespace {

// The slot the demo's own writes use, apart from the program's.
constexpr int kSlot = slotTools;
constexpr int kVariantDays = 366;

bool holdsStandardTimes(const QString& path, const QString& password)
{
    openDbOrThrow(kSlot, path, password);
    const DbSlotCloser closer(kSlot);
    return !RecordSet(kSlot, QStringLiteral("SELECT A_time FROM T_avetime LIMIT 1")).eof();
}

// Every course of every track, for all classes ("ave", which the speed index reads) and for each
// class (which the track-file build measures races against).
void writeStandardTimes(const DemoWorld& world)
{
    QStringList classes = DemoWorld::classNames();
    classes.prepend(QStringLiteral("ave"));
    for (int t = 0; t < int(world.tracks().size()); ++t)
        for (const int kyori : world.tracks()[size_t(t)].distances)
            for (const QString& className : classes)
                insertRow(kSlot, "T_avetime", DbRow().set("A_zyo", world.tracks()[size_t(t)].name).set("A_kyori", kyori)
                                                  .set("A_class", className).set("A_sin_kyu", 1).set("A_siba", 0)
                                                  .set("A_time", world.standardTime(t, kyori, className)));
}

// Every day of two years around today, not only the world's race days: the variant of a day
// follows from its date alone, so a program folder filled today still gives indices when the demo
// runs again on a later day (whose world races on other days).
void writeVariants(const DemoWorld& world)
{
    for (int d = -kVariantDays; d <= kVariantDays; ++d)
        for (int t = 0; t < int(world.tracks().size()); ++t) {
            const VbDate day = world.today().addDays(d);
            insertRow(kSlot, "T_sisuu", DbRow().set("S_date", day).set("S_zyo", world.tracks()[size_t(t)].name).set("S_siba", 0)
                                            .set("S_sisuu", world.variant(day, t)));
        }
}

}

QStringList fillEmptyTrackFiles(const QString& folder, const DemoWorld& world)
{
    struct File {
        DataFileKind kind;
        bool variants;
    };
    QStringList filled;
    for (const File& f : {File {DataFileKind::StrevinData, true}, File {DataFileKind::CalSisuu, false},
                          File {DataFileKind::Motofile, false}}) {
        const DataFileEntry& entry = dataFileEntry(f.kind);
        const QString path = QDir(folder).filePath(entry.fileName);
        if (!QFileInfo::exists(path) || holdsStandardTimes(path, entry.password))
            continue;
        openDbOrThrow(kSlot, path, entry.password);
        const DbSlotCloser closer(kSlot);
        DbTransaction tables(kSlot);
        writeStandardTimes(world);
        if (f.variants)
            writeVariants(world);
        tables.commit();
        filled << entry.fileName;
    }
    return filled;
}

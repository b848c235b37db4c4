#include "core/raceIndexes.h"

#include "core/dialogSincyoku.h"
#include "platform/database.h"
#include "platform/vberror.h"
#include "platform/widgets.h"

namespace {
struct RaceIndex {
    const char* name;
    const char* create;
    const char* extends;  // the older index on the leading columns, made useless by this one
};

// As in the race database's schema.
const RaceIndex raceIndexes[] = {
    {"T_Rdata_race_day",
     "CREATE INDEX T_Rdata_race_day ON T_Rdata (R_date, R_no, R_code, R_zyo, R_name, R_siba, R_kyori, R_baba, R_tousuu)",
     "T_Rdata_R_date"},
    {"T_Useiseki_kisyu_race", "CREATE INDEX T_Useiseki_kisyu_race ON T_Useiseki (U_kisyu, R_code)",
     "T_Useiseki_U_kisyu"},
    {"T_Useiseki_cyoukyou_race", "CREATE INDEX T_Useiseki_cyoukyou_race ON T_Useiseki (U_cyoukyou, R_code)",
     "T_Useiseki_U_cyoukyou"},
    {"T_Useiseki_chichi_race", "CREATE INDEX T_Useiseki_chichi_race ON T_Useiseki (U_chichi, R_code)",
     "T_Useiseki_U_chichi"},
};

bool hasIndex(int slot, const char* name)
{
    return !RecordSet(slot, "SELECT 1 FROM sqlite_master WHERE type = 'index' AND name = ?", {name}).eof();
}

// The progress window tells what is being done while it counts the indexes, then shows its
// caller's caption and bar again.
class IndexProgress {
public:
    explicit IndexProgress(int steps)
        : title_(dialogSincyoku().windowTitle()), max_(dialogSincyoku().max()), value_(dialogSincyoku().value())
    {
        dialogSincyoku().setWindowTitle("過去データの索引を作成しています。しばらくお待ちください・・・");
        dialogSincyoku().setMax(float(steps));
        dialogSincyoku().setValue(0);
        paintNow(&dialogSincyoku());
    }
    ~IndexProgress()
    {
        dialogSincyoku().setWindowTitle(title_);
        dialogSincyoku().setMax(max_);
        dialogSincyoku().setValue(value_);
    }
    IndexProgress(const IndexProgress&) = delete;
    IndexProgress& operator=(const IndexProgress&) = delete;
    void step()
    {
        dialogSincyoku().setValue(dialogSincyoku().value() + 1);
        paintNow(&dialogSincyoku());
    }

private:
    QString title_;
    float max_, value_;
};
}  // namespace

bool hasRaceIndexes(int slot)
{
    for (const RaceIndex& index : raceIndexes)
        if (!hasIndex(slot, index.name))
            return false;
    return true;
}

void addRaceIndexes(int slot)
{
    if (hasRaceIndexes(slot))
        return;
    IndexProgress progress(int(std::size(raceIndexes)));
    vbTrapAlwaysToLog(QStringLiteral("addRaceIndexes"), [slot, &progress] {
        for (const RaceIndex& index : raceIndexes) {
            if (!hasIndex(slot, index.name)) {
                DbTransaction t(slot);
                slotConnection(slot).execute(QString::fromUtf8(index.create));
                slotConnection(slot).execute("DROP INDEX IF EXISTS " + quoteIdent(index.extends));
                t.commit();
            }
            progress.step();
        }
    });
}

QString raceRunIndex(const QString& personColumn)
{
    return QStringLiteral("T_Useiseki_%1_race").arg(personColumn.mid(2));
}

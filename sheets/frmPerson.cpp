#include "sheets/frmPerson.h"

#include "platform/vberror.h"

namespace {
struct PersonSheetDef {
    SheetKind kind;
    const char* caption;
    const char* fillTag;
    SheetTags tags;
};

const PersonSheetDef& personSheet(SheetKind kind)
{
    // The trainer sheet's unload has no trap of its own (an empty tag): a failure there reaches the
    // program's top-level handler.
    static const PersonSheetDef defs[] = {
        {SheetKind::Kisyu, "騎手シート ", "Error-frmKisyu-1",
         {"Error-frmKisyu-2", "Error-frmKisyu-3", "Error-frmKisyu-4", "Error-frmKisyu-7", "Error-frmKisyu-5",
          "Error-frmKisyu-6", "Error-frmKisyu-7"}},
        {SheetKind::Cyoukyou, "調教師シート ", "Error-frmCyoukyo-1",
         {"Error-frmCyoukyo-2", "Error-frmCyoukyo-3", "", "Error-frmCyoukyo-7",
          "Error-frmCyoukyo-4", "Error-frmCyoukyo-5", "Error-frmCyoukyo-6"}},
        {SheetKind::Syuboba, "種牡馬シート ", "Error-frmSyuboba-1",
         {"Error-frmSyuboba-2", "Error-frmSyuboba-3", "Error-frmSyuboba-4", "Error-frmSyuboba-8",
          "Error-frmSyuboba-5", "Error-frmSyuboba-6", "Error-frmSyuboba-7"}},
    };
    for (const PersonSheetDef& def : defs)
        if (def.kind == kind)
            return def;
    throw VbError(vbErrInvalidUse, "not a person sheet");
}
}  // namespace

FrmPerson::FrmPerson(SheetKind kind, const QString& key)
    : SubjectSheet(kind, key, personSheet(kind).tags, personSheet(kind).fillTag, 4)
{
}

void FrmPerson::load()
{
    vbTrap(tags_.load, [this] {
        buildSubject(personSheet(kind_).caption + key_, {"Back"});
        loadSubject(key_);
    });
}

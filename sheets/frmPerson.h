#pragma once
// The jockey, trainer and sire sheets: one window class, what differs in a table.
#include "sheets/subjectSheet.h"

class FrmPerson : public SubjectSheet {
    Q_OBJECT
public:
    // kind: Kisyu, Cyoukyou or Syuboba.
    FrmPerson(SheetKind kind, const QString& key);
    void load() override;
};

#pragma once
// The race-result sheet's comment grid: its runners with their comment and marks in the race.
#include "sheets/kextukaRireki.h"
#include "core/publicComment.h"
#include "platform/flexgrid.h"

// notes: by horse name.
void drawGridKextukaComment(FlexGrid& grid, const RaceResult& race, const QHash<QString, CommentNote>& notes);

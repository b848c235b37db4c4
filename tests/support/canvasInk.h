#pragma once
// Drawing calls by the pixels they ink on a 96-dpi picture (the charts' pictures): texts whose ink a
// surface's edge cuts or that touch other ink, with no background pixel between.
#include "platform/canvas.h"

#include <QSizeF>
#include <QStringList>
#include <vector>

// Texts cut by the surface's edges, and texts whose ink touches the ink of a call that `obstacle`
// names (texts included only when it names them). A text set wholly beyond the edges is skipped.
QStringList inkClashes(const std::vector<CanvasOp>& ops, const QSizeF& surface, bool (*obstacle)(const CanvasOp&));

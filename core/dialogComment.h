#pragma once
// The note editor: one horse's general note or its note on one race, with two free marks.
// Whoever opens it says what it edits (the key as values, not read back from a label); the
// texts come from the store, never from the opener's cells, and every view hears of the save
// through commentStore(), so the main window and the sheets share it.
#include "core/publicComment.h"

#include <QDialog>
#include <QMultiHash>
#include <utility>

class FlexGrid;
class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

inline const QString commentHorseLabel = QStringLiteral("馬コメント");

struct CommentTarget {
    QString uName;      // lblUma
    QString raceLabel;  // lblRace: commentHorseLabel or the race label of commentRaceLabel()
    QString rCode;      // the key under which the note is filed: commentKeyUma or a race code
    QString motoSheet;  // lblMotoSheet: the origin view, "Main", "Uma" or "Race"
};

class DialogComment : public QDialog {
    Q_OBJECT
public:
    explicit DialogComment(QWidget* owner);
    // Shows the target with the note the store holds for it.
    void load(CommentTarget target, const CommentNote& stored);

private:
    void cmdEnd_Click();
    void cmdCancel_Click();
    CommentNote shownNote() const;
    void showNote(const CommentNote& note);
    // A save of the same note elsewhere replaces what the dialog shows, unless the user has
    // changed it here.
    void noteSaved(const QString& rCode, const QString& uName, const CommentNote& note);

    CommentTarget target_;
    CommentNote loaded_;
    QLabel* lblUma;
    QLabel* lblRace;
    QLabel* lblMotoSheet;
    QPlainTextEdit* txtComment;
    QComboBox* cmbSign01;
    QComboBox* cmbSign02;
    QPushButton* cmdEnd;
    QPushButton* cmdCancel;
};

// Where a grid shows notes: per key (R_code, U_name), the first of the note's three cells
// (comment, mark 1, mark 2). A view records them as it fills and writes a saved note into every
// place that shows its key.
class CommentCells {
public:
    void clear() { cells_.clear(); }
    void add(const QString& rCode, const QString& uName, int row, int col);
    void write(FlexGrid& grid, const QString& rCode, const QString& uName, const CommentNote& note) const;

private:
    QMultiHash<std::pair<QString, QString>, std::pair<int, int>> cells_;
};

// A comment box of a window: grey while it holds typing not yet saved, the menu-text colour
// once saved or loaded. A box with unsaved typing keeps it when the store announces a save.
void showCommentBoxSaved(QWidget* box, bool saved);
bool commentBoxSaved(const QWidget* box);

// Shows the single dialog (modeless, owned by `owner`), filled with the target and the note the
// store holds for it; a second call refills the same window. Throws, opening nothing, when the
// store cannot be read.
DialogComment* showDialogComment(QWidget* owner, CommentTarget target);

#pragma once
// The note editor: one horse's general note or its note on one race, with two free marks.
// Whoever opens it says what it edits (the key as values, not read back from a label) and how
// its own view is refreshed after a save, so the main window and the sheets share it.
#include "core/publicComment.h"

#include <QDialog>
#include <functional>

class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

inline const QString commentHorseLabel = QStringLiteral("馬コメント");

struct CommentTarget {
    QString uName;      // lblUma
    QString raceLabel;  // lblRace: commentHorseLabel or the race label of commentRaceLabel()
    QString rCode;      // the key under which the note is filed: commentKeyUma or a race code
    CommentNote note;   // the texts to start from
    QString motoSheet;  // lblMotoSheet: the origin view, "Main", "Uma" or "Race"
    // Refreshes the origin view, with that view's own key, after a save.
    std::function<void()> refresh;
};

class DialogComment : public QDialog {
    Q_OBJECT
public:
    explicit DialogComment(QWidget* owner);
    void load(CommentTarget target);

private:
    void cmdEnd_Click();
    void cmdCancel_Click();

    CommentTarget target_;
    QLabel* lblUma;
    QLabel* lblRace;
    QLabel* lblMotoSheet;
    QPlainTextEdit* txtComment;
    QComboBox* cmbSign01;
    QComboBox* cmbSign02;
    QPushButton* cmdEnd;
    QPushButton* cmdCancel;
};

// Shows the single dialog (modeless, owned by `owner`), refilled with the target; a second call
// refills the same window.
DialogComment* showDialogComment(QWidget* owner, CommentTarget target);

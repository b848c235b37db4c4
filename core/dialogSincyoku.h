#pragma once
// The one progress window: callers show it, set the bar's maximum to their number of steps,
// advance it after each step and unload it when done. Its timer keeps the windows painted while
// the work runs on the one thread; a caller that can undo its work offers a Cancel button and
// polls it.
#include <QDialog>

class QProgressBar;
class QPushButton;
class QTimer;

class DialogSincyoku : public QDialog {
    Q_OBJECT
public:
    explicit DialogSincyoku(QWidget* owner = nullptr);

    // prgSincyoku's Max and Value as the callers write them. A maximum below 1 counts as 1 and
    // a value is kept within 0..Max, so a caller that oversteps never fails.
    float max() const;
    void setMax(float max);
    float value() const;
    void setValue(float value);
    // The caption can be changed with setWindowTitle; a new load starts from the usual one.

    // Shows the Cancel button until the dialog is unloaded.
    void offerCancel();
    // Lets waiting events run (the bar repaints, a click on Cancel lands) at most every 100 ms,
    // so a caller may poll once per row; true once Cancel was pressed.
    bool pollCancel();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Timer1_Timer();

    QProgressBar* prgSincyoku;
    QPushButton* cmdCancel;
    QTimer* Timer1;
    bool cancelled_ = false;
    qint64 lastPoll_ = 0;
};

// The shared instance, created (loaded) on first use.
DialogSincyoku& dialogSincyoku();
// Shows it modeless; a form passes itself as owner, a module procedure passes none.
void showDialogSincyoku(QWidget* owner = nullptr);
// Destroys it; the next use loads it again with the bar at 0 of 100.
void unloadDialogSincyoku();
bool isDialogSincyokuLoaded();

// Unloads the progress window when the operation that shows it ends, on every path.
struct DialogSincyokuUnloader {
    DialogSincyokuUnloader() = default;
    ~DialogSincyokuUnloader() { unloadDialogSincyoku(); }
    DialogSincyokuUnloader(const DialogSincyokuUnloader&) = delete;
    DialogSincyokuUnloader& operator=(const DialogSincyokuUnloader&) = delete;
};

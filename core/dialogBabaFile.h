#pragma once
// The small chooser between installing the local and the central track information file.
#include <QDialog>

class QLabel;
class QPushButton;

class DialogBabaFile : public QDialog {
    Q_OBJECT
public:
    explicit DialogBabaFile(QWidget* parent = nullptr);

private:
    void cmdJra_Click();
    void cmdNar_Click();

    QLabel* Label1;
    QPushButton* cmdJra;
    QPushButton* cmdNar;
    QPushButton* cmdCancel;
};

// Shows the chooser modeless; a second call brings the open one to the front.
void showDialogBabaFile();

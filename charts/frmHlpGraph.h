#pragma once
// The chart help window: six topic labels on the left, the topic's picture on the right, the
// window fitted to the picture.
#include <QWidget>
#include <array>

class QLabel;

class FrmHlpGraph : public QWidget {
    Q_OBJECT
public:
    explicit FrmHlpGraph(QWidget* parent = nullptr);

    // A click on label `index`: shows its topic; an index outside 0..5 does nothing.
    void lblSyurui_Click(int index);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Form_Load();
    void showHelpImage(const QString& path);

    std::array<QLabel*, 6> lblSyurui {};
    QLabel* Image1 = nullptr;
};

// Shows the single help window, modeless and without owner.
void showFrmHlpGraph();
// The hand cursor of a cursor file, with the hot spot its header names; the standard
// pointing hand when the file is missing or unreadable.
QCursor loadHandCursor(const QString& path);

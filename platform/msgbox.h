#pragma once
// Message boxes in one place. Tests install a MsgBoxRecorder so no modal box blocks.
#include <QString>
#include <QStringList>
#include <functional>

enum VbMsgButtons { vbOKOnly = 0, vbOKCancel = 1, vbYesNo = 4 };
enum VbMsgResult { vbOK = 1, vbCancel = 2, vbYes = 6, vbNo = 7 };

// Shows a modal box with the given text and returns the button pressed. Its title is the
// application's name unless another is given.
int msgBox(const QString& text, int buttons = vbOKOnly, const QString& title = {});

// While alive, every msgBox is recorded instead of shown and answered with `answer`
// (or by the answerer function when set).
class MsgBoxRecorder {
public:
    explicit MsgBoxRecorder(int answer = vbOK);
    ~MsgBoxRecorder();
    MsgBoxRecorder(const MsgBoxRecorder&) = delete;
    MsgBoxRecorder& operator=(const MsgBoxRecorder&) = delete;

    const QStringList& texts() const { return texts_; }
    // The first line of each text: a message's fixed tag, without the file or cause lines after it.
    QStringList firstLines() const;
    void clear() { texts_.clear(); }
    void setAnswerer(std::function<int(const QString&)> f) { answerer_ = std::move(f); }

private:
    friend int msgBox(const QString&, int, const QString&);
    QStringList texts_;
    int answer_;
    std::function<int(const QString&)> answerer_;
    MsgBoxRecorder* previous_;
};

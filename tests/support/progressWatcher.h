#pragma once
// Follows every progress window shown while it lives: for each, its maximum and the highest value
// it reached, read as the caller's bar showed them.
#include "core/dialogSincyoku.h"

#include <QApplication>
#include <QPointer>
#include <QProgressBar>
#include <algorithm>
#include <utility>
#include <vector>

class ProgressWatcher : public QObject {
public:
    ProgressWatcher() { qApp->installEventFilter(this); }
    ~ProgressWatcher() override { qApp->removeEventFilter(this); }

    // (maximum, highest value) per window, in the order they were shown.
    const std::vector<std::pair<float, float>>& runs() const { return runs_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* dialog = qobject_cast<DialogSincyoku*>(watched);
        if (event->type() == QEvent::Show && dialog && !std::count(seen_.begin(), seen_.end(), dialog))
            follow(dialog);
        return false;
    }

private:
    void follow(DialogSincyoku* dialog)
    {
        seen_.emplace_back(dialog);
        const size_t i = runs_.size();
        runs_.emplace_back(dialog->max(), dialog->value());
        connect(dialog->findChild<QProgressBar*>("prgSincyoku"), &QProgressBar::valueChanged, this, [this, dialog, i] {
            runs_[i] = {dialog->max(), std::max(runs_[i].second, dialog->value())};
        });
    }

    std::vector<QPointer<DialogSincyoku>> seen_;
    std::vector<std::pair<float, float>> runs_;
};

// The window's "fast replies" setting: off unless the user turns it on
// (a check box on the upgrade and DTU pages, or --fast). With it on, a
// reply that is a whole response frame reaches the pages the moment its
// last byte arrives instead of after 400 to 500 ms of silence; everything
// else still completes by silence.
#pragma once

#include <QObject>

class QCheckBox;
class QWidget;

namespace ui {

class FastReplies : public QObject {
    Q_OBJECT
public:
    static FastReplies& instance();

    bool on() const;
    // The user's choice, remembered for the next start.
    void set(bool on);
    // A command-line choice: this run only.
    void setForThisRun(bool on);

    // A check box that shows the setting and changes it; every such box
    // follows the others.
    static QCheckBox* MakeCheckBox(QWidget* parent);

signals:
    void changed(bool on);
};

}  // namespace ui

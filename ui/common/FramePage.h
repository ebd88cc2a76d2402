// Base of the pages the main window notifies of completed frames: a modeless
// dialog that, closed, only hides.
#pragma once

#include "ui/common/FrameEvent.h"

#include <QDialog>

namespace ui {

class FramePage : public QDialog {
    Q_OBJECT
public:
    FramePage(QEvent::Type frameType, const QString& caption, QWidget* parent);

    QEvent::Type frameType() const { return frameType_; }

protected:
    bool event(QEvent* e) override;
    // A frame completed while the page was visible.
    virtual void OnFrame(const FrameEvent& frame);

private:
    const QEvent::Type frameType_;
};

}  // namespace ui

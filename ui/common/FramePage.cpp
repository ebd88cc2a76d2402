#include "ui/common/FramePage.h"

namespace ui {

FramePage::FramePage(QEvent::Type frameType, const QString& caption, QWidget* parent)
    : QDialog(parent), frameType_(frameType)
{
    setWindowTitle(caption);
    // A window of its own, beside the main window rather than inside it.
    setWindowFlags(Qt::Window | Qt::WindowCloseButtonHint | Qt::WindowMinimizeButtonHint);
    setModal(false);
}

bool FramePage::event(QEvent* e)
{
    if (e->type() == frameType_) {
        OnFrame(*static_cast<FrameEvent*>(e));
        return true;
    }
    return QDialog::event(e);
}

void FramePage::OnFrame(const FrameEvent&) {}

}  // namespace ui

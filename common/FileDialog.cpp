#include "common/FileDialog.h"

#include <QFileDialog>

namespace ui {

namespace {

OpenFileHandler& Handler()
{
    static OpenFileHandler handler;
    return handler;
}

}  // namespace

QString GetOpenFileName(QWidget* parent, const QString& filter)
{
    if (Handler())
        return Handler()(filter);
    return QFileDialog::getOpenFileName(parent, QString(), QString(), filter);
}

void SetOpenFileHandler(OpenFileHandler handler)
{
    Handler() = std::move(handler);
}

}  // namespace ui

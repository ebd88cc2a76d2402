#include "common/FileDialog.h"

#include <QFileDialog>

namespace ui {

namespace {

OpenFileHandler& Handler()
{
    static OpenFileHandler handler;
    return handler;
}

SaveFileHandler& SaveHandler()
{
    static SaveFileHandler handler;
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

QString GetSaveFileName(QWidget* parent, const QString& filter, QString* selectedFilter)
{
    if (SaveHandler())
        return SaveHandler()(filter, selectedFilter);
    return QFileDialog::getSaveFileName(parent, QString(), QString(), filter, selectedFilter);
}

void SetSaveFileHandler(SaveFileHandler handler)
{
    SaveHandler() = std::move(handler);
}

}  // namespace ui

#include "ui/common/FileDialog.h"

#include "ui/common/Settings.h"

#include <QFileDialog>
#include <QFileInfo>

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

QString Folder(const QString& key)
{
    const auto settings = Remembered();
    return settings && !key.isEmpty() ? settings->value(key).toString() : QString();
}

QString Remember(const QString& key, const QString& path)
{
    if (const auto settings = Remembered(); settings && !key.isEmpty() && !path.isEmpty())
        settings->setValue(key, QFileInfo(path).absolutePath());
    return path;
}

}  // namespace

QString GetOpenFileName(QWidget* parent, const QString& filter, const QString& folderKey)
{
    if (Handler())
        return Remember(folderKey, Handler()(filter));
    return Remember(folderKey, QFileDialog::getOpenFileName(parent, QString(), Folder(folderKey), filter));
}

void SetOpenFileHandler(OpenFileHandler handler)
{
    Handler() = std::move(handler);
}

QString GetSaveFileName(QWidget* parent, const QString& filter, QString* selectedFilter, const QString& folderKey)
{
    if (SaveHandler())
        return Remember(folderKey, SaveHandler()(filter, selectedFilter));
    return Remember(folderKey,
                    QFileDialog::getSaveFileName(parent, QString(), Folder(folderKey), filter, selectedFilter));
}

void SetSaveFileHandler(SaveFileHandler handler)
{
    SaveHandler() = std::move(handler);
}

}  // namespace ui

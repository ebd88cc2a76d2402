// Every file dialog of the tool goes through here, so that tests can
// choose a file without a person (SetOpenFileHandler, SetSaveFileHandler).
#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace ui {

// The full path of the chosen file, or an empty string when the user cancels.
// `filter` is in Qt's form: "Data Files(*.bin);;All Files (*.*)". With a
// `folderKey`, the dialog starts in the folder last chosen under that key
// in the tool's settings, and remembers the new one.
QString GetOpenFileName(QWidget* parent, const QString& filter, const QString& folderKey = {});

// Test seam: while set, called instead of showing the dialog, with the
// filter it would have shown; its result is the choice.
using OpenFileHandler = std::function<QString(const QString& filter)>;
void SetOpenFileHandler(OpenFileHandler handler);

// The path to save to, or an empty string when the user cancels; `filter`
// as above. `selectedFilter` receives the filter entry chosen, if given.
QString GetSaveFileName(QWidget* parent, const QString& filter, QString* selectedFilter = nullptr,
                        const QString& folderKey = {});

// Test seam for the save dialog, as for the open dialog.
using SaveFileHandler = std::function<QString(const QString& filter, QString* selectedFilter)>;
void SetSaveFileHandler(SaveFileHandler handler);

}  // namespace ui

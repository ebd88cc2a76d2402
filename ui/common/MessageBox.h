// Every message box of the tool goes through here, so that tests can answer
// them without a person (SetMessageHandler) and see what was said.
#pragma once

#include <QMessageBox>
#include <QString>

#include <functional>

class QWidget;

namespace ui {

enum class Buttons { Ok, OkCancel };

// Shows a modal box; returns QMessageBox::Ok or QMessageBox::Cancel.
int ShowMessage(QWidget* parent, const QString& caption, const QString& text, Buttons buttons = Buttons::Ok,
                QMessageBox::Icon icon = QMessageBox::Information);

// The caption of the boxes that carry the application's name.
QString AppCaption();

// Test seam: while set, called instead of showing a box; its result is the
// button pressed.
using MessageHandler = std::function<int(const QString& caption, const QString& text, Buttons buttons)>;
void SetMessageHandler(MessageHandler handler);

}  // namespace ui

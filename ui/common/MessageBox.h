// Every message box of the tool goes through here, so that tests can answer
// them without a person (SetMessageHandler) and see what was said.
#pragma once

#include <QMessageBox>
#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

namespace ui {

enum class Buttons { Ok, OkCancel };

// Shows a modal box; returns QMessageBox::Ok or QMessageBox::Cancel.
int ShowMessage(QWidget* parent, const QString& caption, const QString& text, Buttons buttons = Buttons::Ok,
                QMessageBox::Icon icon = QMessageBox::Information);

// The caption of the boxes that carry the application's name.
QString AppCaption();

// Asks which of `choices` (button captions, the last one cancels); the index
// chosen, or -1 when the box is closed.
int AskChoice(QWidget* parent, const QString& caption, const QString& text, const QStringList& choices);
using ChoiceHandler = std::function<int(const QString& text, const QStringList& choices)>;
void SetChoiceHandler(ChoiceHandler handler);

// Test seam: while set, called instead of showing a box; its result is the
// button pressed.
using MessageHandler = std::function<int(const QString& caption, const QString& text, Buttons buttons)>;
void SetMessageHandler(MessageHandler handler);

}  // namespace ui

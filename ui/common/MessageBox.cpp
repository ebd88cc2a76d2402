#include "ui/common/MessageBox.h"

#include <QAbstractButton>
#include <QPushButton>
#include <QApplication>

#include <algorithm>
#include <vector>

namespace ui {

namespace {

MessageHandler& Handler()
{
    static MessageHandler handler;
    return handler;
}

ChoiceHandler& Chooser()
{
    static ChoiceHandler handler;
    return handler;
}

}  // namespace

int ShowMessage(QWidget* parent, const QString& caption, const QString& text, Buttons buttons, QMessageBox::Icon icon)
{
    if (Handler())
        return Handler()(caption, text, buttons);
    QMessageBox box(icon, caption, text,
                    buttons == Buttons::Ok ? QMessageBox::Ok : QMessageBox::Ok | QMessageBox::Cancel, parent);
    // Messages quote DTUs, servers and files: their words are never markup.
    box.setTextFormat(Qt::PlainText);
    return box.exec();
}

int AskChoice(QWidget* parent, const QString& caption, const QString& text, const QStringList& choices)
{
    if (Chooser())
        return Chooser()(text, choices);
    QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::NoButton, parent);
    box.setTextFormat(Qt::PlainText);
    std::vector<QAbstractButton*> buttons;
    for (qsizetype i = 0; i < choices.size(); ++i)
        buttons.push_back(box.addButton(choices[i], i + 1 == choices.size() ? QMessageBox::RejectRole
                                                                            : QMessageBox::AcceptRole));
    box.exec();
    const auto chosen = std::find(buttons.begin(), buttons.end(), box.clickedButton());
    return chosen == buttons.end() ? -1 : static_cast<int>(chosen - buttons.begin());
}

void SetChoiceHandler(ChoiceHandler handler)
{
    Chooser() = std::move(handler);
}

QString AppCaption()
{
    return QApplication::applicationDisplayName();
}

void SetMessageHandler(MessageHandler handler)
{
    Handler() = std::move(handler);
}

}  // namespace ui

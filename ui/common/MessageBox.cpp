#include "ui/common/MessageBox.h"

#include <QApplication>

namespace ui {

namespace {

MessageHandler& Handler()
{
    static MessageHandler handler;
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

QString AppCaption()
{
    return QApplication::applicationDisplayName();
}

void SetMessageHandler(MessageHandler handler)
{
    Handler() = std::move(handler);
}

}  // namespace ui

#include "ui/common/Widgets.h"

#include <QKeyEvent>
#include <QLineEdit>

namespace ui {

QLabel* Label(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    label->setText(text);
    return label;
}

namespace {

bool DarkBase(const QPalette& palette)
{
    return palette.color(QPalette::Base).lightness() < 128;
}

}  // namespace

QColor AlarmColour(const QPalette& palette)
{
    return DarkBase(palette) ? QColor(0xFF, 0x7A, 0x7A) : QColor(0xB0, 0x00, 0x20);
}

QColor GoodColour(const QPalette& palette)
{
    return DarkBase(palette) ? QColor(0x7C, 0xE0, 0x7C) : QColor(0x00, 0x80, 0x00);
}

QPushButton* Button(QWidget* parent, const QString& caption, const char* name, int id, const QString& description)
{
    auto* button = Tag(new QPushButton(caption, parent), id, name);
    if (!description.isEmpty())
        button->setAccessibleDescription(description);
    button->setAutoDefault(false);
    return button;
}

void NameAfter(QWidget* field, const QString& caption)
{
    QString name = caption;
    while (name.endsWith(QLatin1Char(':')) || name.endsWith(QChar(0xFF1A)))
        name.chop(1);
    field->setAccessibleName(name);
}

QComboBox* DropDown(QWidget* parent, const QStringList& items)
{
    auto* box = new QComboBox(parent);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->addItems(items);
    return box;
}

int SelectedIndex(const QComboBox* box)
{
    return box->findText(box->currentText(), Qt::MatchExactly);
}

void SelectIndex(QComboBox* box, int index)
{
    if (index >= 0 && index < box->count()) {
        box->setCurrentIndex(index);
    } else {
        box->setCurrentIndex(-1);
        box->clearEditText();
    }
}

bool SwallowClosingKey(QKeyEvent* e)
{
    switch (e->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        e->accept();
        return true;
    default:
        return false;
    }
}

}  // namespace ui

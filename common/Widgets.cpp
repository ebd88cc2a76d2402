#include "common/Widgets.h"

#include <QLineEdit>

namespace ui {

QComboBox* DropDown(QWidget* parent, std::initializer_list<const char*> items)
{
    auto* box = new QComboBox(parent);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    for (const char* item : items)
        box->addItem(QString::fromUtf8(item));
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

}  // namespace ui

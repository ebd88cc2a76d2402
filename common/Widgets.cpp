#include "common/Widgets.h"

#include <QLineEdit>

namespace ui {

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

}  // namespace ui

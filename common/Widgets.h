// Small helpers shared by the pages' forms.
#pragma once

#include <QComboBox>
#include <QWidget>

#include <initializer_list>

namespace ui {

// Names a control and keeps its number, so that tests and readers can map
// it: the number is the "controlId" property.
template <class W>
W* Tag(W* w, int id, const char* name)
{
    w->setObjectName(QLatin1String(name));
    w->setProperty("controlId", id);
    return w;
}

// An editable drop-down list with the given entries.
QComboBox* DropDown(QWidget* parent, std::initializer_list<const char*> items);

// The index of the entry the box shows, or -1 when its text (typed over the
// list) matches no entry.
int SelectedIndex(const QComboBox* box);
// Selects an entry; an index outside the list leaves no selection.
void SelectIndex(QComboBox* box, int index);

}  // namespace ui

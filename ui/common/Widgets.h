// Small helpers shared by the pages' forms.
#pragma once

#include <QColor>
#include <QComboBox>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QStringList>
#include <QWidget>

#include <array>
#include <cstddef>

class QKeyEvent;

namespace ui {

// Names a control and keeps its number, so that tests and readers can map
// it: the number is the "controlId" property. A control of our own has no
// number: 0.
template <class W>
W* Tag(W* w, int id, const char* name)
{
    w->setObjectName(QLatin1String(name));
    if (id != 0)
        w->setProperty("controlId", id);
    return w;
}

template <class W>
W* Named(W* w, const char* name)
{
    return Tag(w, 0, name);
}

// A label that shows its text as it is: what comes from a DTU, a server or
// a file never styles the window, however much it looks like HTML.
QLabel* Label(const QString& text, QWidget* parent);
inline QLabel* Label(QWidget* parent)
{
    return Label(QString(), parent);
}

// Red for what went wrong, green for what matched: dark on a light base,
// light on a dark one, so that both stay readable under a dark theme.
QColor AlarmColour(const QPalette& palette);
QColor GoodColour(const QPalette& palette);

// A push button that Enter never presses: on these pages Enter sends from
// its line or does nothing. `description` says what it does, for a screen
// reader.
QPushButton* Button(QWidget* parent, const QString& caption, const char* name, int id = 0,
                    const QString& description = {});

// A field named after its caption as a screen reader should say it: without
// the caption's trailing colon.
void NameAfter(QWidget* field, const QString& caption);

// An editable drop-down list with the given entries.
QComboBox* DropDown(QWidget* parent, const QStringList& items);
template <std::size_t N>
QComboBox* DropDown(QWidget* parent, const std::array<const char*, N>& items)
{
    QStringList list;
    for (const char* item : items)
        list << QString::fromUtf8(item);
    return DropDown(parent, list);
}

// The index of the entry the box shows, or -1 when its text (typed over the
// list) matches no entry.
int SelectedIndex(const QComboBox* box);
// Selects an entry; an index outside the list leaves no selection.
void SelectIndex(QComboBox* box, int index);

// Return, Enter and Escape, taken so that they neither close a window that
// must stay nor press its default button; false for any other key.
bool SwallowClosingKey(QKeyEvent* e);

}  // namespace ui

#include "dtu/Edit_Hex_Ex.h"

#include "common/Hex.h"

#include <QApplication>
#include <QKeyEvent>

int g_HexInput = 0;

namespace ui {

bool RefuseHexKey(QKeyEvent* e)
{
    if (g_HexInput <= 0)
        return false;
    // Shortcuts (copy, paste, select all, undo) are commands, not characters.
    if (e->modifiers() & (Qt::ControlModifier | Qt::MetaModifier))
        return false;
    const QString text = e->text();
    if (text.isEmpty())  // arrows, Home, Delete: no character typed
        return false;
    for (const char32_t c : text.toUcs4()) {
        if (!hex::AcceptsHexKey(c)) {
            QApplication::beep();
            e->accept();
            return true;
        }
    }
    return false;
}

}  // namespace ui

void CEdit_Hex_Ex::keyPressEvent(QKeyEvent* e)
{
    if (!ui::RefuseHexKey(e))
        QLineEdit::keyPressEvent(e);
}

void CRichEdit_Hex_Ex::keyPressEvent(QKeyEvent* e)
{
    if (!ui::RefuseHexKey(e))
        QPlainTextEdit::keyPressEvent(e);
}

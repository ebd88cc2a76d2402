#include "common/LineEdits.h"

#include <QApplication>
#include <QKeyEvent>
#include <QRegularExpressionValidator>

namespace ui {

void DigitEdit::keyPressEvent(QKeyEvent* e)
{
    const QString text = e->text();
    const bool command = (e->modifiers() & (Qt::ControlModifier | Qt::MetaModifier)) || text.isEmpty();
    bool typable = true;
    for (const QChar c : text)
        typable = typable && ((c >= u'0' && c <= u'9') || c == u'\b');
    if (!command && !typable) {
        QApplication::beep();
        e->accept();
        return;
    }
    QLineEdit::keyPressEvent(e);
}

IpAddressEdit::IpAddressEdit(QWidget* parent) : QLineEdit(parent)
{
    static const QString part = QStringLiteral("(?:25[0-5]|2[0-4][0-9]|1[0-9][0-9]|[1-9]?[0-9])");
    setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("(?:%1?\\.){0,3}%1?").arg(part)), this));
    setPlaceholderText(QStringLiteral("0.0.0.0"));
    setInputMethodHints(Qt::ImhPreferNumbers);
}

IpAddressEdit::Address IpAddressEdit::address() const
{
    Address a{};
    const QStringList parts = text().split(u'.');
    for (int i = 0; i < 4 && i < parts.size(); ++i)
        a[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(std::min(parts[i].toUInt(), 255u));
    return a;
}

void IpAddressEdit::setAddress(const Address& a)
{
    setText(QStringLiteral("%1.%2.%3.%4").arg(a[0]).arg(a[1]).arg(a[2]).arg(a[3]));
}

}  // namespace ui

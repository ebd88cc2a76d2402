#include "ui/common/LineEdits.h"

#include "ui/common/MessageBox.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QRegularExpressionValidator>

namespace ui {

namespace {

bool AllPass(const QString& text, CharTest accepts)
{
    for (const char32_t c : text.toUcs4())
        if (!accepts(c))
            return false;
    return true;
}

bool IsDigitKey(char32_t c)
{
    return (c >= U'0' && c <= U'9') || c == U'\b';
}

}  // namespace

bool KeyPasses(QKeyEvent* e, CharTest accepts, bool enterPasses)
{
    if (e->modifiers() & (Qt::ControlModifier | Qt::MetaModifier))
        return true;
    switch (e->key()) {
    case Qt::Key_Delete:  // arrives with the text "\x7f" on X11
    case Qt::Key_Escape:
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (enterPasses)
            return true;
        break;
    default:
        break;
    }
    if (e->text().isEmpty() || AllPass(e->text(), accepts))
        return true;
    QApplication::beep();
    e->accept();
    return false;
}

std::unique_ptr<QInputMethodEvent> FilteredCommit(const QInputMethodEvent* e, CharTest accepts)
{
    const QString commit = e->commitString();
    if (AllPass(commit, accepts))
        return nullptr;
    QString kept;
    for (const char32_t c : commit.toUcs4())
        if (accepts(c))
            kept += QString::fromUcs4(&c, 1);
    QApplication::beep();
    auto filtered = std::make_unique<QInputMethodEvent>(e->preeditString(), e->attributes());
    filtered->setCommitString(kept, e->replacementStart(), e->replacementLength());
    return filtered;
}

bool DigitEdit::WouldExceedLimit(const QString& typed) const
{
    if (typingLimit_ <= 0 || typed.isEmpty() || typed == QLatin1String("\b"))
        return false;
    return text().size() - selectedText().size() + typed.size() > typingLimit_;
}

CharTest DigitEdit::Test() const
{
    return IsDigitKey;
}

bool DigitEdit::KeyAllowed(QKeyEvent* e)
{
    if ((e->modifiers() & (Qt::ControlModifier | Qt::MetaModifier)) || !WouldExceedLimit(e->text()))
        return true;
    QApplication::beep();
    e->accept();
    return false;
}

bool DigitEdit::CommitAllowed(const QString& typed)
{
    if (!WouldExceedLimit(typed))
        return true;
    QApplication::beep();
    return false;
}

IpAddressEdit::IpAddressEdit(QWidget* parent) : QLineEdit(parent)
{
    // 0 to 255 in at most three digits, leading zeros allowed ("001" as pasted).
    static const QString part = QStringLiteral("(?:25[0-5]|2[0-4][0-9]|1[0-9][0-9]|0?[1-9][0-9]|0{0,2}[0-9])");
    setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("(?:%1?\\.){0,3}%1?").arg(part)), this));
    setPlaceholderText(QStringLiteral("0.0.0.0"));
    setInputMethodHints(Qt::ImhPreferNumbers);
    connect(this, &QLineEdit::inputRejected, this, &IpAddressEdit::Refused);
}

void IpAddressEdit::keyPressEvent(QKeyEvent* e)
{
    attempted_ = text();
    const int at = hasSelectedText() ? selectionStart() : cursorPosition();
    attempted_.replace(at, static_cast<int>(selectedText().size()), e->text());
    QLineEdit::keyPressEvent(e);
    attempted_.clear();
}

void IpAddressEdit::Refused()
{
    QStringList parts = attempted_.split(u'.');
    int end = 0;
    for (QString& part : parts) {
        end += static_cast<int>(part.size());
        bool number = false;
        const unsigned value = part.toUInt(&number);
        if (number && part.size() <= 3 && value > 255) {
            part = QStringLiteral("255");
            QString clamped = parts.join(u'.');
            int at = 0;
            if (validator()->validate(clamped, at) == QValidator::Invalid)
                return;
            setText(clamped);
            setCursorPosition(end);
            ShowMessage(this, tr("错误"), tr("%1 is not a valid entry. Specify a value between 0 and 255.").arg(value));
            return;
        }
        ++end;  // the dot
    }
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

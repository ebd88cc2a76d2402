// The saved commands: one button each, sent as the send line's options say.
#include "ui/terminal/TerminalWindow.h"

#include "ui/common/Widgets.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

void TerminalWindow::ShowCommands()
{
    QWidget* list = commandsLayout_->parentWidget();
    qDeleteAll(list->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly));
    while (QLayoutItem* item = commandsLayout_->takeAt(0))
        delete item;
    if (commands_.isEmpty()) {
        auto* none = ui::Label(tr("还没有快捷命令。\n按“编辑…”添加。"), list);
        none->setObjectName(QStringLiteral("noCommandsLabel"));
        none->setWordWrap(true);
        commandsLayout_->addWidget(none);
    }
    for (const terminal::SavedCommand& c : std::as_const(commands_)) {
        auto* b = ui::Button(list, c.caption, "commandButton");
        // A tool tip takes text that looks like markup for markup.
        b->setToolTip(QStringLiteral("<p style='white-space:pre'>%1</p>").arg(c.text.toHtmlEscaped()));
        b->setAccessibleDescription(tr("发送%1：%2").arg(c.hex ? tr("十六进制") : QString(),
                                                                    c.text));
        b->setEnabled(portOpen_);
        connect(b, &QPushButton::clicked, this, [this, c] { SendCommand(c); });
        commandsLayout_->addWidget(b);
    }
    commandsLayout_->addStretch(1);
}

void TerminalWindow::OnEditCommands()
{
    CommandsDialog editor(commands_, this);
    if (editor.exec() != QDialog::Accepted)
        return;
    commands_ = editor.commands();
    SaveCommands();
    ShowCommands();
}

void TerminalWindow::SendCommand(const terminal::SavedCommand& command)
{
    UpdatePortState();
    if (!portOpen_)
        return;
    const terminal::Outgoing out =
        command.hex ? terminal::BuildHex(command.text)
                    : terminal::BuildText(command.text, encoding(),
                                          static_cast<terminal::LineEnding>(endingCombo_->currentIndex()));
    if (!out.ok()) {
        Refuse(tr("快捷命令“%1”：%2").arg(command.caption, out.refusal));
        return;
    }
    if (!out.bytes.empty())
        Transmit(out.bytes);
}

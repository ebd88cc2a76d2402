#include "ui/terminal/CommandsDialog.h"

#include "ui/common/Widgets.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

enum Column { Caption, Text, Hex, ColumnCount };

}  // namespace

CommandsDialog::CommandsDialog(const QList<terminal::SavedCommand>& commands, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("CCommandsDlg"));
    setWindowTitle(tr("编辑快捷命令"));

    auto* label = ui::Label(tr("快捷命令(&L):"), this);
    table_ = new QTableWidget(0, ColumnCount, this);
    table_->setObjectName(QStringLiteral("commandTable"));
    table_->setHorizontalHeaderLabels({tr("按钮名称"), tr("发送内容"), QStringLiteral("HEX")});
    table_->horizontalHeader()->setSectionResizeMode(Text, QHeaderView::Stretch);
    table_->setColumnWidth(Caption, 120);
    table_->setColumnWidth(Hex, 48);
    table_->verticalHeader()->hide();
    table_->setTabKeyNavigation(false);  // Tab leaves the table for the buttons
    table_->setAccessibleDescription(tr("每行一条命令：按钮名称、发送内容、是否按十六进制发送"));
    label->setBuddy(table_);

    auto* add = new QPushButton(tr("添加(&A)"), this);
    add->setObjectName(QStringLiteral("addCommandButton"));
    add->setAutoDefault(false);
    auto* remove = new QPushButton(tr("删除(&D)"), this);
    remove->setObjectName(QStringLiteral("removeCommandButton"));
    remove->setAutoDefault(false);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("commandButtons"));

    auto* rowButtons = new QHBoxLayout;
    rowButtons->addWidget(add);
    rowButtons->addWidget(remove);
    rowButtons->addStretch(1);
    rowButtons->addWidget(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(table_, 1);
    layout->addLayout(rowButtons);

    connect(add, &QPushButton::clicked, this, &CommandsDialog::OnAdd);
    connect(remove, &QPushButton::clicked, this, &CommandsDialog::OnRemove);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    for (const terminal::SavedCommand& c : commands)
        AddRow(c);
    resize(520, 320);
}

void CommandsDialog::AddRow(const terminal::SavedCommand& command)
{
    const int row = table_->rowCount();
    table_->insertRow(row);
    table_->setItem(row, Caption, new QTableWidgetItem(command.caption));
    table_->setItem(row, Text, new QTableWidgetItem(command.text));
    auto* hex = new QTableWidgetItem;
    hex->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    hex->setCheckState(command.hex ? Qt::Checked : Qt::Unchecked);
    table_->setItem(row, Hex, hex);
}

void CommandsDialog::OnAdd()
{
    AddRow({});
    const int row = table_->rowCount() - 1;
    table_->setCurrentCell(row, Caption);
    table_->setFocus();
    table_->editItem(table_->item(row, Caption));
}

void CommandsDialog::OnRemove()
{
    const int row = table_->currentRow();
    if (row >= 0)
        table_->removeRow(row);
}

QList<terminal::SavedCommand> CommandsDialog::commands() const
{
    QList<terminal::SavedCommand> list;
    for (int row = 0; row < table_->rowCount(); ++row) {
        terminal::SavedCommand c;
        c.caption = table_->item(row, Caption)->text().trimmed();
        c.text = table_->item(row, Text)->text();
        c.hex = table_->item(row, Hex)->checkState() == Qt::Checked;
        if (c.text.isEmpty())
            continue;
        if (c.caption.isEmpty())
            c.caption = c.text.trimmed();
        list << c;
    }
    return list;
}

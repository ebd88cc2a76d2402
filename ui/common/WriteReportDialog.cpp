#include "ui/common/WriteReportDialog.h"

#include "ui/common/Widgets.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

WriteReportDialog::WriteReportDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("writeReport"));
    summary_ = ui::Named(ui::Label(this), "reportSummary");
    summary_->setWordWrap(true);
    rows_ = ui::Named(new QTreeWidget(this), "reportRows");
    rows_->setHeaderLabels({tr("参数"), tr("写入"), tr("读回"), tr("结果")});
    rows_->setRootIsDecorated(false);
    rows_->setAccessibleName(tr("写入与读回"));
    rows_->setAccessibleDescription(tr("每项参数写入的值、读回的值和是否一致，不一致的在前"));
    summary_->setBuddy(rows_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::hide);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(summary_);
    layout->addWidget(rows_, 1);
    layout->addWidget(buttons);
    resize(640, 420);
}

int WriteReportDialog::Show(std::vector<profile::Checked> rows, const std::vector<std::string>& unanswered)
{
    // A write the DTU never answered may still read back right; it is the
    // read-back that decides, and an unanswered one shows as missing.
    std::stable_partition(rows.begin(), rows.end(),
                          [](const profile::Checked& c) { return c.verdict == profile::Verdict::Differs; });
    const auto q = [](const std::string& s) { return QString::fromStdString(s); };
    rows_->clear();
    int differs = 0;
    for (const profile::Checked& c : rows) {
        auto* item = new QTreeWidgetItem({q(c.setting), q(c.wanted), q(c.readBack), q(profile::VerdictText(c.verdict))});
        if (c.verdict == profile::Verdict::Differs) {
            ++differs;
            for (int i = 0; i < 4; ++i)
                item->setForeground(i, ui::AlarmColour(rows_->palette()));
        }
        rows_->addTopLevelItem(item);
    }
    for (const std::string& m : unanswered)
        rows_->addTopLevelItem(new QTreeWidgetItem({q(m), QString(), QString(), tr("无应答")}));
    for (int i = 0; i < 4; ++i)
        rows_->resizeColumnToContents(i);
    show();
    raise();
    return differs;
}

void WriteReportDialog::SetSummary(const QString& text)
{
    summary_->setText(text);
}

#include "ui/dtu/RfDialog.h"

#include "core/dtu/Commands.h"
#include "core/dtu/Lists.h"
#include "core/dtu/Messages.h"
#include "ui/common/Language.h"
#include "ui/common/LineEdits.h"
#include "ui/common/MessageBox.h"
#include "ui/common/PortWrite.h"
#include "ui/common/Widgets.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

RfDialog::RfDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("CDialog_Rf_Setup"));
    setWindowTitle(tr("无线参数配置页"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setModal(false);

    frequency_ = ui::Tag(new ui::DigitEdit(QStringLiteral("434.00"), this), 1011, "frequencyEdit");
    sleep_ = ui::Tag(ui::DropDown(this, dtu::kSleepCaptions), 1026, "sleepCombo");
    breath_ = ui::Tag(ui::DropDown(this, dtu::kBreathCaptions), 1027, "breathCombo");
    address_ = ui::Tag(new ui::DigitEdit(QStringLiteral("00"), this), 1012, "addressEdit");
    // Two digits by hand; a read shows the DTU's address whole (up to 255).
    address_->setTypingLimit(2);
    power_ = ui::Tag(ui::DropDown(this, dtu::kPowerCaptions),
                     1028, "powerCombo");
    write_ = ui::Tag(new QPushButton(QStringLiteral("Write"), this), 1008, "writeRfButton");
    read_ = ui::Tag(new QPushButton(QStringLiteral("Read"), this), 1016, "readRfButton");
    sleep_->setCurrentIndex(0);
    breath_->setCurrentIndex(4);
    power_->setCurrentIndex(6);

    // Each value in its own captioned frame; the caption is the field's label.
    auto* grid = new QGridLayout;
    const struct {
        QString caption;
        QWidget* field;
        const char* unit;
    } frames[] = {
        {tr("无线频率"), frequency_, "MHz"}, {tr("休眠周期"), sleep_, nullptr}, {tr("呼吸时间"), breath_, nullptr},
        {tr("网络地址"), address_, nullptr}, {tr("发送功率"), power_, nullptr},
    };
    int i = 0;
    for (const auto& f : frames) {
        auto* box = new QGroupBox(f.caption, this);
        auto* row = new QHBoxLayout(box);
        row->addWidget(f.field, 1);
        if (f.unit)
            row->addWidget(ui::Label(QString::fromUtf8(f.unit), box));
        f.field->setAccessibleName(box->title());
        grid->addWidget(box, i / 2, i % 2);
        ++i;
    }
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(write_);
    buttons->addWidget(read_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    for (QPushButton* b : {write_, read_})
        b->setAutoDefault(false);

    connect(write_, &QPushButton::clicked, this, &RfDialog::OnWrite);
    connect(read_, &QPushButton::clicked, this, &RfDialog::OnRead);
}

dtu::RfSettings RfDialog::settings() const
{
    return {frequency_->text().toStdString(), ui::SelectedIndex(sleep_), ui::SelectedIndex(breath_),
            address_->text().toStdString(), ui::SelectedIndex(power_)};
}

void RfDialog::Apply(const dtu::RfRecord& r)
{
    frequency_->setText(QString::fromStdString(r.frequency));
    ui::SelectIndex(sleep_, r.sleepIndex);
    ui::SelectIndex(breath_, r.breathIndex);
    address_->setText(QString::fromStdString(r.address));
    ui::SelectIndex(power_, r.powerIndex);
}

void RfDialog::keyPressEvent(QKeyEvent* e)
{
    // Enter, like Esc, closes (hides) the dialog; Space presses a button.
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        hide();
        e->accept();
        return;
    }
    QDialog::keyPressEvent(e);
}

void RfDialog::OnWrite()
{
    const int mhz = dtu::LeadingInteger(frequency_->text().toStdString());
    if (mhz < 1 || mhz > 1023) {
        ui::ShowMessage(this, tr("提示！"), ui::CoreText("dtu::msg", dtu::msg::kRfFrequencyRange));
        return;
    }
    Send(dtu::BuildWriteRf(settings()));
}

void RfDialog::Send(const dtu::Bytes& frame)
{
    ui::SendFrameOrSay(this, frame, tr("提示！"));
}

void RfDialog::OnRead()
{
    Send(*dtu::BuildQuery(dtu::cmd::kReadRf));
}

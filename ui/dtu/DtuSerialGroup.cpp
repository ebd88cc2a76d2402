#include "ui/dtu/DtuSerialGroup.h"

#include "core/dtu/Commands.h"
#include "core/dtu/Lists.h"
#include "core/profile/Profile.h"
#include "core/profile/Settings.h"
#include "ui/common/Widgets.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QPushButton>

#include <ctime>

using namespace ui::dtu_internal;

DtuSerialGroup::DtuSerialGroup(DtuPageLink& page, QWidget* parent) : QObject(parent), page_(page)
{
    uartBox_ = BuildUartBox(parent);
    clockBox_ = BuildClockBox(parent);
    connect(writeUart_, &QPushButton::clicked, this, &DtuSerialGroup::OnWriteUart);
    connect(readUart_, &QPushButton::clicked, this, &DtuSerialGroup::OnReadUart);
    connect(setClock_, &QPushButton::clicked, this, &DtuSerialGroup::OnSetClock);
    connect(readClock_, &QPushButton::clicked, this, &DtuSerialGroup::OnReadClock);

    baud_->setCurrentIndex(3);
    parity_->setCurrentIndex(0);
    interface_->setCurrentIndex(0);
}

QGroupBox* DtuSerialGroup::BuildUartBox(QWidget* parent)
{
    auto* box = new QGroupBox(tr("串口参数管理"), parent);
    baud_ = ui::Tag(ui::DropDown(box, dtu::kBaudCaptions), 1002, "baudCombo");
    parity_ = ui::Tag(ui::DropDown(box, dtu::kParityCaptions), 1003, "parityCombo");
    interface_ = ui::Tag(ui::DropDown(box, dtu::kInterfaceCaptions), 1004, "interfaceCombo");
    writeUart_ = ui::Button(box, tr("写入参数"), "writeUartButton", 1044);
    readUart_ = ui::Button(box, tr("读取参数"), "readUartButton", 1047);
    auto* grid = new QGridLayout(box);
    Row(grid, 0, tr("波特率:"), baud_);
    Row(grid, 1, tr("效验位:"), parity_);
    Row(grid, 2, tr("选择方式:"), interface_);
    grid->addWidget(writeUart_, 0, 2);
    grid->addWidget(readUart_, 1, 2);
    grid->setColumnStretch(1, 1);
    return box;
}

QGroupBox* DtuSerialGroup::BuildClockBox(QWidget* parent)
{
    auto* box = new QGroupBox(tr("时间配置"), parent);
    setClock_ = ui::Button(box, tr("设置时间"), "setClockButton", 1009);
    readClock_ = ui::Button(box, tr("读取时间"), "readClockButton", 1069);
    box->setLayout(Buttons({setClock_, readClock_}));
    return box;
}

void DtuSerialGroup::ShowUart(const dtu::UartIndexes& u)
{
    ui::SelectIndex(baud_, u.baud);
    ui::SelectIndex(parity_, u.parity);
    ui::SelectIndex(interface_, u.interface);
}

void DtuSerialGroup::Settings(unsigned queries, profile::DeviceSettings& s) const
{
    if (queries & profile::kUart)
        s.uart = dtu::UartIndexes{baud_->currentIndex(), parity_->currentIndex(), interface_->currentIndex()};
}

void DtuSerialGroup::Apply(const profile::Profile& p)
{
    if (!p.serial)
        return;
    if (p.serial->baud)
        ui::SelectIndex(baud_, *p.serial->baud);
    if (p.serial->parity)
        ui::SelectIndex(parity_, *p.serial->parity);
    if (p.serial->interface)
        ui::SelectIndex(interface_, *p.serial->interface);
}

void DtuSerialGroup::OnWriteUart()
{
    page_.Send(dtu::BuildWriteUart(ui::SelectedIndex(baud_), ui::SelectedIndex(parity_), ui::SelectedIndex(interface_)));
}

void DtuSerialGroup::OnReadUart()
{
    page_.SendQuery(dtu::cmd::kReadUart);
}

void DtuSerialGroup::OnSetClock()
{
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    if (localtime_r(&now, &tm) == nullptr)
        return;
    page_.Send(dtu::BuildSetClock({static_cast<int>(static_cast<unsigned>(tm.tm_year) + 1900u), tm.tm_mon + 1,
                                   tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec, tm.tm_wday}));
}

void DtuSerialGroup::OnReadClock()
{
    page_.SendQuery(dtu::cmd::kReadClock);
}

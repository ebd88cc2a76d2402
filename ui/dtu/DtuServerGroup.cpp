#include "ui/dtu/DtuServerGroup.h"

#include "core/dtu/Commands.h"
#include "core/profile/Profile.h"
#include "core/profile/Settings.h"
#include "ui/common/LineEdits.h"
#include "ui/common/Widgets.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>

using namespace ui::dtu_internal;

DtuServerGroup::DtuServerGroup(DtuPageLink& page, QWidget* parent) : QObject(parent), page_(page)
{
    serverBox_ = BuildServerBox(parent);
    modeBox_ = BuildModeBox(parent);
    modeButtonsBox_ = BuildModeButtonsBox(parent);
    Connect();
    ip_->setAddress({192, 168, 1, 100});
}

QGroupBox* DtuServerGroup::BuildServerBox(QWidget* parent)
{
    auto* box = new QGroupBox(tr("TCP服务器管理"), parent);
    ip_ = ui::Tag(new ui::IpAddressEdit(box), 1035, "ipEdit");
    domain_ = ui::Tag(new QLineEdit(box), 1036, "domainEdit");
    ipRadio_ = Radio(box, 1049, "ipRadio", tr("设置IP地址"));
    domainRadio_ = Radio(box, 1050, "domainRadio", tr("设置域名"));
    addressKind_ = new QButtonGroup(box);
    addressKind_->addButton(ipRadio_, 0);
    addressKind_->addButton(domainRadio_, 1);
    setAddress_ = ui::Button(box, tr("设置"), "setAddressButton", 1008);
    port_ = ui::Tag(new ui::DigitEdit(box), 1037, "portEdit");
    setPort_ = ui::Button(box, tr("设置"), "setPortButton", 1010);

    auto* grid = new QGridLayout(box);
    Row(grid, 0, tr("远程IP:"), ip_, 0, 2);
    Row(grid, 1, tr("远程域名:"), domain_, 0, 2);
    grid->addWidget(ipRadio_, 2, 1);
    grid->addWidget(domainRadio_, 2, 2);
    grid->addWidget(setAddress_, 2, 3);
    Row(grid, 3, tr("远程端口:"), port_, 0, 2);
    grid->addWidget(setPort_, 3, 3);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(2, 1);
    return box;
}

QGroupBox* DtuServerGroup::BuildModeBox(QWidget* parent)
{
    auto* box = new QGroupBox(tr("工作模式"), parent);
    protocol_ = Radio(box, 1039, "protocolRadio", tr("协议传输"));
    transparent_ = Radio(box, 1040, "transparentRadio", tr("透明传输"));
    transferKind_ = new QButtonGroup(box);
    transferKind_->addButton(protocol_, 0);
    transferKind_->addButton(transparent_, 1);
    smsOption_ = Check(box, 1031, "smsOptionCheck", tr("短信US2编码"));
    smsHexOption_ = Check(box, 1041, "smsHexOptionCheck", tr("短信HEX编码"));
    tcpOption_ = Check(box, 1042, "tcpOptionCheck", "TCP");
    smsMode_ = Radio(box, 1043, "smsModeRadio", tr("短信US2编码"));
    smsHexMode_ = Radio(box, 1045, "smsHexModeRadio", tr("短信HEX编码"));
    tcpMode_ = Radio(box, 1046, "tcpModeRadio", "TCP");
    subMode_ = new QButtonGroup(box);
    subMode_->addButton(smsMode_, 0);
    subMode_->addButton(smsHexMode_, 1);
    subMode_->addButton(tcpMode_, 2);
    // The same captions twice: say which transfer each belongs to.
    for (QWidget* w : {static_cast<QWidget*>(smsOption_), static_cast<QWidget*>(smsHexOption_),
                       static_cast<QWidget*>(tcpOption_)})
        w->setAccessibleDescription(tr("协议传输的选项"));
    for (QWidget* w : {static_cast<QWidget*>(smsMode_), static_cast<QWidget*>(smsHexMode_),
                       static_cast<QWidget*>(tcpMode_)})
        w->setAccessibleDescription(tr("透明传输的方式"));

    auto* grid = new QGridLayout(box);
    grid->addWidget(protocol_, 0, 0);
    grid->addWidget(smsOption_, 0, 1);
    grid->addWidget(smsHexOption_, 0, 2);
    grid->addWidget(tcpOption_, 0, 3);
    grid->addWidget(transparent_, 1, 0);
    grid->addWidget(smsMode_, 1, 1);
    grid->addWidget(smsHexMode_, 1, 2);
    grid->addWidget(tcpMode_, 1, 3);
    return box;
}

QGroupBox* DtuServerGroup::BuildModeButtonsBox(QWidget* parent)
{
    auto* box = new QGroupBox(tr("模式"), parent);
    setMode_ = ui::Button(box, tr("模式配置"), "setModeButton", 1021);
    defaultMode_ = ui::Button(box, tr("默认配置"), "defaultModeButton", 1023);
    readNet_ = ui::Button(box, tr("读网络参数"), "readNetButton", 1022);
    box->setLayout(Buttons({setMode_, defaultMode_, readNet_}));
    return box;
}

void DtuServerGroup::Connect()
{
    connect(setAddress_, &QPushButton::clicked, this, &DtuServerGroup::OnSetAddress);
    connect(setPort_, &QPushButton::clicked, this, &DtuServerGroup::OnSetPort);
    connect(protocol_, &QRadioButton::clicked, this, &DtuServerGroup::OnProtocolTransfer);
    connect(transparent_, &QRadioButton::clicked, this, &DtuServerGroup::OnTransparentTransfer);
    connect(setMode_, &QPushButton::clicked, this, &DtuServerGroup::OnSetMode);
    connect(defaultMode_, &QPushButton::clicked, this, &DtuServerGroup::OnDefaultMode);
    connect(readNet_, &QPushButton::clicked, this, &DtuServerGroup::OnReadNetParams);
}

QString DtuServerGroup::portText() const
{
    return port_->text();
}

void DtuServerGroup::SaveData()
{
    data_.transferKind = transferKind_->checkedId();
    data_.subMode = subMode_->checkedId();
    data_.addressKind = addressKind_->checkedId();
    data_.domain = domain_->text();
    data_.port = port_->text();
}

void DtuServerGroup::LoadData()
{
    SetSelection(transferKind_, data_.transferKind);
    SetSelection(subMode_, data_.subMode);
    SetSelection(addressKind_, data_.addressKind);
    domain_->setText(data_.domain);
    port_->setText(data_.port);
}

void DtuServerGroup::SetTransferControls(bool optionsEnabled)
{
    Enable({smsOption_, smsHexOption_, tcpOption_}, optionsEnabled);
    Enable({smsMode_, smsHexMode_, tcpMode_}, !optionsEnabled);
}

void DtuServerGroup::ApplyModel(DtuModel model)
{
    const bool m = model == DtuModel::M330M;
    if (!m)
        OnProtocolTransfer();
    Enable({protocol_, transparent_, smsOption_, smsHexOption_, tcpOption_, setMode_, defaultMode_}, m);
    if (!m)
        Enable({smsMode_, smsHexMode_, tcpMode_}, false);
}

void DtuServerGroup::ShowNetParams(const dtu::Response& r)
{
    for (QCheckBox* c : {smsOption_, smsHexOption_, tcpOption_})
        c->setChecked(false);
    page_.SaveData();

    dtu::NetPageState page;
    page.transferKind = data_.transferKind;
    page.subMode = data_.subMode;
    page.addressKind = data_.addressKind;
    page.domain = Std(data_.domain);
    page.port = Std(data_.port);
    page.ip = ip_->address();
    dtu::ApplyNetParams(dtu::DecodeNetParams(r), page);

    data_.transferKind = page.transferKind;
    data_.subMode = page.subMode;
    data_.addressKind = page.addressKind;
    data_.domain = Q(page.domain);
    data_.port = Q(page.port);
    if (page.ip)
        ip_->setAddress(*page.ip);
    else
        ip_->clearAddress();
    smsOption_->setChecked(page.sms);
    smsHexOption_->setChecked(page.smsHex);
    tcpOption_->setChecked(page.tcp);
    SetTransferControls(page.optionsEnabled);
    page_.LoadData();
}

bool DtuServerGroup::Settings(unsigned queries, profile::DeviceSettings& s, std::string* refusal) const
{
    if (!(queries & profile::kNet))
        return true;
    const dtu::Built port = dtu::BuildSetPort(Std(port_->text()));
    if (!port.ok()) {
        *refusal = port.message;
        return false;
    }
    dtu::NetParams n{};
    n.addressKind = addressKind_->checkedId() == 1 ? 1 : 0;
    n.domain = Std(domain_->text());
    n.ip = ip_->address();
    n.port = static_cast<std::uint16_t>(std::stoul(Std(port_->text())));
    if (transferKind_->checkedId() == 0) {
        n.transferKind = 2;
        n.modeByte = static_cast<std::uint8_t>((smsOption_->isChecked() ? 1 : 0) | (smsHexOption_->isChecked() ? 2 : 0) |
                                               (tcpOption_->isChecked() ? 4 : 0));
    } else {
        n.transferKind = 1;
        n.modeByte = static_cast<std::uint8_t>(std::clamp(subMode_->checkedId(), -1, 3) & 0xFF);
    }
    s.net = n;
    return true;
}

void DtuServerGroup::Apply(const profile::Profile& p)
{
    page_.SaveData();
    if (p.server) {
        if (p.server->ip) {
            ip_->setAddress(*p.server->ip);
            data_.addressKind = 0;
        }
        if (p.server->domain) {
            data_.domain = Q(*p.server->domain);
            if (!p.server->ip)
                data_.addressKind = 1;
        }
        if (p.server->port)
            data_.port = QString::number(*p.server->port);
    }
    if (p.mode) {
        const profile::Profile::Mode& m = *p.mode;
        data_.transferKind = m.protocol ? 0 : 1;
        if (m.protocol) {
            smsOption_->setChecked(m.sms);
            smsHexOption_->setChecked(m.smsHex);
            tcpOption_->setChecked(m.tcp);
        } else {
            data_.subMode = m.subMode;
        }
    }
    page_.LoadData();
    if (p.mode && page_.CurrentModel() == DtuModel::M330M)
        SetTransferControls(p.mode->protocol);
}

void DtuServerGroup::OnSetAddress()
{
    page_.SaveData();
    if (data_.addressKind == 0) {
        page_.Send(dtu::BuildSetServerIp(ip_->address()));
        return;
    }
    page_.SendBuilt(dtu::BuildSetDomain(Std(data_.domain)));
}

void DtuServerGroup::OnSetPort()
{
    page_.SaveData();
    page_.SendBuilt(dtu::BuildSetPort(Std(data_.port)));
}

void DtuServerGroup::OnProtocolTransfer()
{
    SetTransferControls(true);
}

void DtuServerGroup::OnTransparentTransfer()
{
    SetTransferControls(false);
}

void DtuServerGroup::OnSetMode()
{
    page_.SaveData();
    dtu::WorkMode mode;
    mode.transferKind = data_.transferKind == 0 ? 0 : 1;
    mode.sms = smsOption_->isChecked();
    mode.smsHex = smsHexOption_->isChecked();
    mode.tcp = tcpOption_->isChecked();
    mode.subMode = data_.subMode;
    page_.Send(dtu::BuildSetWorkMode(mode));
}

void DtuServerGroup::OnDefaultMode()
{
    // Local only: the user sends the result with "模式配置".
    data_.transferKind = 0;
    data_.subMode = -1;
    smsOption_->setChecked(true);
    smsHexOption_->setChecked(true);
    tcpOption_->setChecked(false);
    SetTransferControls(true);
    page_.LoadData();
}

void DtuServerGroup::OnReadNetParams()
{
    page_.SendQuery(dtu::cmd::kReadNetParams);
}

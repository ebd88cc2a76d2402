// The DTU page's form, its model enable table and its dialog data. The
// request handlers are in DtuCommands.cpp, the answers in DtuResponses.cpp.
#include "dtu/DtuDlg.h"

#include "common/FastReplies.h"
#include "common/LineEdits.h"
#include "common/Widgets.h"
#include "dtu/Dialog_Rf_Setup.h"
#include "dtu/Edit_Hex_Ex.h"
#include "dtu/Lists.h"
#include "profile/Profile.h"
#include "profile/Provision.h"
#include "profile/Sequence.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <array>
#include <tuple>

namespace {

QPushButton* Button(QWidget* parent, int id, const char* name, const QString& caption)
{
    auto* b = ui::Tag(new QPushButton(caption, parent), id, name);
    b->setAutoDefault(false);
    return b;
}

QCheckBox* Check(QWidget* parent, int id, const char* name, const QString& caption)
{
    return ui::Tag(new QCheckBox(caption, parent), id, name);
}

QRadioButton* Radio(QWidget* parent, int id, const char* name, const QString& caption)
{
    return ui::Tag(new QRadioButton(caption, parent), id, name);
}

// A label with its field: the label's caption is the field's name for
// assistive technology, and its mnemonic-less buddy takes the focus.
void Row(QGridLayout* grid, int row, const QString& caption, QWidget* field, int column = 0, int span = 1)
{
    auto* label = new QLabel(caption, field->parentWidget());
    label->setBuddy(field);
    field->setAccessibleName(label->text().remove(u':').remove(u'：'));
    grid->addWidget(label, row, column);
    grid->addWidget(field, row, column + 1, 1, span);
}

QTreeWidget* List(QWidget* parent, int id, const char* name, const QString& valueCaption, const QString& description)
{
    auto* list = ui::Tag(new QTreeWidget(parent), id, name);
    list->setColumnCount(2);
    list->setHeaderLabels({QCoreApplication::translate("CDtuDlg", "序列编号"), valueCaption});
    list->setColumnWidth(0, 70);
    list->setColumnWidth(1, 130);
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setAllColumnsShowFocus(true);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->header()->setSectionsMovable(true);
    list->header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    list->setMinimumHeight(90);
    list->setAccessibleName(valueCaption);
    list->setAccessibleDescription(description);
    return list;
}

QHBoxLayout* Buttons(std::initializer_list<QWidget*> buttons)
{
    auto* row = new QHBoxLayout;
    for (QWidget* b : buttons)
        row->addWidget(b);
    return row;
}

// A list's write, read, delete and clear buttons: "writePhonesButton" ...
std::array<QPushButton*, 4> ListButtons(QWidget* box, std::array<int, 4> ids, const char* noun)
{
    static const char* const verbs[] = {"write", "read", "delete", "clear"};
    static const char* const captions[] = {QT_TRANSLATE_NOOP("CDtuDlg", "写入"), QT_TRANSLATE_NOOP("CDtuDlg", "读取"),
                                           QT_TRANSLATE_NOOP("CDtuDlg", "删除"), QT_TRANSLATE_NOOP("CDtuDlg", "清空")};
    std::array<QPushButton*, 4> buttons{};
    for (std::size_t i = 0; i < 4; ++i) {
        const QByteArray name = QByteArray(verbs[i]) + noun + "Button";
        buttons[i] = Button(box, ids[i], name.constData(), QCoreApplication::translate("CDtuDlg", captions[i]));
    }
    return buttons;
}

// Entry row on top, the list, its buttons below.
void ListLayout(QGroupBox* box, QLayout* entry, QTreeWidget* list, const std::array<QPushButton*, 4>& buttons)
{
    auto* layout = new QVBoxLayout(box);
    layout->addLayout(entry);
    layout->addWidget(list, 1);
    layout->addLayout(Buttons({buttons[0], buttons[1], buttons[2], buttons[3]}));
}

}  // namespace

CDtuDlg::CDtuDlg(QWidget* parent) : FramePage(ui::kDtuFrame, tr("DTU参数设置"), parent)
{
    setObjectName(QStringLiteral("CDtuDlg"));
    BuildForm();
    Connect();

    // The state every start comes up in.
    baud_->setCurrentIndex(3);
    parity_->setCurrentIndex(0);
    ip_->setAddress({192, 168, 1, 100});
    for (QLineEdit* e : {apn_, apnUser_, apnPassword_})
        e->setMaxLength(32);
    apn_->setText(QStringLiteral("CMNET"));
    interface_->setCurrentIndex(0);
    heartbeatEdit_->setMaxLength(30);
    registrationEdit_->setMaxLength(96);
    LoadData();
    model331_->setChecked(true);
    OnModel331();
}

CDtuDlg::~CDtuDlg() = default;

void CDtuDlg::BuildForm()
{
    auto* left = new QVBoxLayout;
    left->addWidget(BuildModelFrame());
    left->addWidget(BuildPhoneFrame(), 1);
    left->addWidget(BuildIdFrame(), 1);

    auto* middle = new QVBoxLayout;
    middle->addWidget(BuildServerFrame());
    middle->addWidget(BuildModeFrame());
    middle->addWidget(BuildModeButtonsFrame());
    middle->addWidget(BuildVersionFrame());
    middle->addWidget(ui::FastReplies::MakeCheckBox(this));
    middle->addWidget(BuildProfileFrame());
    middle->addStretch();

    auto* right = new QVBoxLayout;
    right->addWidget(BuildApnFrame());
    right->addWidget(BuildPacketFrame());
    right->addWidget(BuildUartFrame());
    auto* lastRow = new QHBoxLayout;
    lastRow->addWidget(BuildClockFrame());
    lastRow->addWidget(BuildResetFrame());
    right->addLayout(lastRow);
    right->addStretch();

    auto* columns = new QHBoxLayout;
    columns->addLayout(left, 10);
    columns->addLayout(middle, 10);
    columns->addLayout(right, 11);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 0);
    layout->addLayout(columns, 1);
    BuildStatusBar(layout);
}

QGroupBox* CDtuDlg::BuildModelFrame()
{
    auto* box = new QGroupBox(tr("产品型号:"), this);
    model330M_ = Radio(box, 1062, "model330MRadio", "KV-330-M");
    model330N_ = Radio(box, 1063, "model330NRadio", "KV-330-N");
    model331_ = Radio(box, 1064, "model331Radio", "KV-331");
    auto* group = new QButtonGroup(box);
    group->addButton(model330M_);
    group->addButton(model330N_);
    group->addButton(model331_);
    box->setLayout(Buttons({model330M_, model330N_, model331_}));
    return box;
}

QGroupBox* CDtuDlg::BuildPhoneFrame()
{
    auto* box = new QGroupBox(tr("手机号码管理"), this);
    phoneEdit_ = ui::Tag(new ui::DigitEdit(box), 1011, "phoneEdit");
    addPhone_ = Button(box, 1012, "addPhoneButton", tr("增加"));
    phoneReadUnused_ = Button(box, 1027, "phoneReadUnusedButton", tr("读取"));
    phoneReadUnused_->setEnabled(false);
    phoneList_ = List(box, 1033, "phoneList", tr("电话号码"), tr("DTU 的授权电话号码列表"));
    const auto buttons = ListButtons(box, {1013, 1014, 1024, 1015}, "Phones");
    std::tie(writePhones_, readPhones_, deletePhone_, clearPhones_) = std::tuple_cat(buttons);

    auto* entry = new QGridLayout;
    Row(entry, 0, tr("号码:"), phoneEdit_);
    entry->addWidget(addPhone_, 0, 2);
    entry->addWidget(phoneReadUnused_, 0, 3);
    ListLayout(box, entry, phoneList_, buttons);
    return box;
}

QGroupBox* CDtuDlg::BuildIdFrame()
{
    auto* box = new QGroupBox(tr("通讯ID管理"), this);
    idEdit_ = ui::Tag(new QLineEdit(box), 1016, "idEdit");
    customId_ = Check(box, 1065, "customIdCheck", tr("自定义"));
    addId_ = Button(box, 1017, "addIdButton", tr("增加"));
    readOwnId_ = Button(box, 1026, "readOwnIdButton", tr("读取"));
    idList_ = List(box, 1034, "idList", tr("MAC地址"), tr("DTU 的通讯 ID 列表"));
    const auto buttons = ListButtons(box, {1018, 1019, 1025, 1020}, "Ids");
    std::tie(writeIds_, readIds_, deleteId_, clearIds_) = std::tuple_cat(buttons);

    auto* entry = new QGridLayout;
    Row(entry, 0, tr("通讯ID:"), idEdit_);
    entry->addWidget(customId_, 1, 1);
    entry->addWidget(addId_, 0, 2);
    entry->addWidget(readOwnId_, 0, 3);
    ListLayout(box, entry, idList_, buttons);
    return box;
}

QGroupBox* CDtuDlg::BuildServerFrame()
{
    auto* box = new QGroupBox(tr("TCP服务器管理"), this);
    ip_ = ui::Tag(new ui::IpAddressEdit(box), 1035, "ipEdit");
    domain_ = ui::Tag(new QLineEdit(box), 1036, "domainEdit");
    ipRadio_ = Radio(box, 1049, "ipRadio", tr("设置IP地址"));
    domainRadio_ = Radio(box, 1050, "domainRadio", tr("设置域名"));
    addressKind_ = new QButtonGroup(box);
    addressKind_->addButton(ipRadio_, 0);
    addressKind_->addButton(domainRadio_, 1);
    setAddress_ = Button(box, 1008, "setAddressButton", tr("设置"));
    port_ = ui::Tag(new ui::DigitEdit(box), 1037, "portEdit");
    setPort_ = Button(box, 1010, "setPortButton", tr("设置"));

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

QGroupBox* CDtuDlg::BuildModeFrame()
{
    auto* box = new QGroupBox(tr("工作模式"), this);
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

QGroupBox* CDtuDlg::BuildModeButtonsFrame()
{
    auto* box = new QGroupBox(tr("模式"), this);
    setMode_ = Button(box, 1021, "setModeButton", tr("模式配置"));
    defaultMode_ = Button(box, 1023, "defaultModeButton", tr("默认配置"));
    readNet_ = Button(box, 1022, "readNetButton", tr("读网络参数"));
    box->setLayout(Buttons({setMode_, defaultMode_, readNet_}));
    return box;
}

QGroupBox* CDtuDlg::BuildVersionFrame()
{
    auto* box = new QGroupBox(tr("版本/场强信息"), this);
    versionText_ = ui::Tag(new QLineEdit(box), 1038, "versionEdit");
    versionText_->setReadOnly(true);
    versionText_->setAccessibleName(box->title());
    readVersion_ = Button(box, 1028, "readVersionButton", tr("读版本"));
    readSignal_ = Button(box, 1071, "readSignalButton", tr("读场强"));
    auto* layout = new QVBoxLayout(box);
    layout->addWidget(versionText_);
    layout->addLayout(Buttons({readVersion_, readSignal_}));
    return box;
}

QGroupBox* CDtuDlg::BuildApnFrame()
{
    auto* box = new QGroupBox(tr("运营商管理"), this);
    apn_ = ui::Tag(new QLineEdit(box), 1053, "apnEdit");
    apnUser_ = ui::Tag(new QLineEdit(box), 1054, "apnUserEdit");
    apnPassword_ = ui::Tag(new QLineEdit(box), 1055, "apnPasswordEdit");
    setApn_ = Button(box, 1056, "setApnButton", tr("设置APN"));
    auto* grid = new QGridLayout(box);
    Row(grid, 0, "APN:", apn_);
    Row(grid, 1, "Name:", apnUser_);
    Row(grid, 2, "Pwd:", apnPassword_);
    grid->addWidget(setApn_, 2, 2);
    return box;
}

QGroupBox* CDtuDlg::BuildPacketFrame()
{
    auto* box = new QGroupBox(tr("心跳自定义"), this);
    heartbeatEdit_ = ui::Tag(new CEdit_Hex_Ex(box), 1057, "heartbeatEdit");
    registrationEdit_ = ui::Tag(new CEdit_Hex_Ex(box), 1058, "registrationEdit");
    hex_ = Check(box, 1067, "hexCheck", "Hex");
    hex_->setAccessibleDescription(tr("以十六进制显示心跳和注册包，并在所有十六进制输入框中只接受十六进制数字"));
    customPackets_ = Check(box, 1066, "customPacketsCheck", tr("自定义"));
    writePackets_ = Button(box, 1061, "writePacketsButton", tr("写入"));
    readPackets_ = Button(box, 1032, "readPacketsButton", tr("读取"));
    auto* grid = new QGridLayout(box);
    Row(grid, 0, tr("心跳:"), heartbeatEdit_, 0, 3);
    Row(grid, 1, tr("注册:"), registrationEdit_, 0, 3);
    grid->addWidget(hex_, 2, 1);
    grid->addWidget(customPackets_, 2, 2);
    grid->addLayout(Buttons({writePackets_, readPackets_}), 2, 3);
    grid->setColumnStretch(3, 1);
    return box;
}

QGroupBox* CDtuDlg::BuildClockFrame()
{
    auto* box = new QGroupBox(tr("时间配置"), this);
    setClock_ = Button(box, 1009, "setClockButton", tr("设置时间"));
    readClock_ = Button(box, 1069, "readClockButton", tr("读取时间"));
    box->setLayout(Buttons({setClock_, readClock_}));
    return box;
}

QGroupBox* CDtuDlg::BuildUartFrame()
{
    auto* box = new QGroupBox(tr("串口参数管理"), this);
    baud_ = ui::Tag(ui::DropDown(box, dtu::kBaudCaptions), 1002,
                  "baudCombo");
    parity_ = ui::Tag(ui::DropDown(box, dtu::kParityCaptions), 1003, "parityCombo");
    interface_ = ui::Tag(ui::DropDown(box, dtu::kInterfaceCaptions), 1004, "interfaceCombo");
    writeUart_ = Button(box, 1044, "writeUartButton", tr("写入参数"));
    readUart_ = Button(box, 1047, "readUartButton", tr("读取参数"));
    auto* grid = new QGridLayout(box);
    Row(grid, 0, tr("波特率:"), baud_);
    Row(grid, 1, tr("效验位:"), parity_);
    Row(grid, 2, tr("选择方式:"), interface_);
    grid->addWidget(writeUart_, 0, 2);
    grid->addWidget(readUart_, 1, 2);
    grid->setColumnStretch(1, 1);
    return box;
}

QGroupBox* CDtuDlg::BuildResetFrame()
{
    auto* box = new QGroupBox(tr("系统复位"), this);
    restart_ = Button(box, 1029, "restartButton", tr("重启DTU"));
    wireless_ = Button(box, 1030, "wirelessButton", tr("无线配置"));
    box->setLayout(Buttons({restart_, wireless_}));
    return box;
}

void CDtuDlg::BuildStatusBar(QLayout* layout)
{
    auto* status = new QStatusBar(this);
    status->setObjectName(QStringLiteral("statusBar"));
    status->setSizeGripEnabled(false);
    status->setFixedHeight(22);
    const QString texts[] = {tr("就绪"), QStringLiteral("None"), tr("运行正常")};
    const QString roles[] = {tr("页面状态"), tr("请求与应答状态"), tr("运行状态")};
    for (int i = 0; i < 3; ++i) {
        panes_[i] = new QLabel(texts[i], status);
        panes_[i]->setObjectName(QStringLiteral("pane%1").arg(i));
        panes_[i]->setAccessibleDescription(roles[i]);
        if (i < 2)
            panes_[i]->setFixedWidth(260);
        status->addWidget(panes_[i], i == 2 ? 1 : 0);
    }
    layout->addWidget(status);
}

void CDtuDlg::Connect()
{
    connect(model330M_, &QRadioButton::clicked, this, &CDtuDlg::OnModel330M);
    connect(model330N_, &QRadioButton::clicked, this, &CDtuDlg::OnModel330N);
    connect(model331_, &QRadioButton::clicked, this, &CDtuDlg::OnModel331);
    connect(addPhone_, &QPushButton::clicked, this, &CDtuDlg::OnAddPhone);
    connect(writePhones_, &QPushButton::clicked, this, &CDtuDlg::OnWritePhones);
    connect(readPhones_, &QPushButton::clicked, this, &CDtuDlg::OnReadPhones);
    connect(deletePhone_, &QPushButton::clicked, this, &CDtuDlg::OnDeletePhone);
    connect(clearPhones_, &QPushButton::clicked, this, &CDtuDlg::OnClearPhones);
    connect(addId_, &QPushButton::clicked, this, &CDtuDlg::OnAddIdOrSetOwnId);
    connect(readOwnId_, &QPushButton::clicked, this, &CDtuDlg::OnReadOwnId);
    connect(writeIds_, &QPushButton::clicked, this, &CDtuDlg::OnWriteIds);
    connect(readIds_, &QPushButton::clicked, this, &CDtuDlg::OnReadIds);
    connect(deleteId_, &QPushButton::clicked, this, &CDtuDlg::OnDeleteId);
    connect(clearIds_, &QPushButton::clicked, this, &CDtuDlg::OnClearIds);
    connect(setAddress_, &QPushButton::clicked, this, &CDtuDlg::OnSetAddress);
    connect(setPort_, &QPushButton::clicked, this, &CDtuDlg::OnSetPort);
    connect(protocol_, &QRadioButton::clicked, this, &CDtuDlg::OnProtocolTransfer);
    connect(transparent_, &QRadioButton::clicked, this, &CDtuDlg::OnTransparentTransfer);
    connect(setMode_, &QPushButton::clicked, this, &CDtuDlg::OnSetMode);
    connect(defaultMode_, &QPushButton::clicked, this, &CDtuDlg::OnDefaultMode);
    connect(readNet_, &QPushButton::clicked, this, &CDtuDlg::OnReadNetParams);
    connect(writeUart_, &QPushButton::clicked, this, &CDtuDlg::OnWriteUart);
    connect(readUart_, &QPushButton::clicked, this, &CDtuDlg::OnReadUart);
    connect(setApn_, &QPushButton::clicked, this, &CDtuDlg::OnSetApn);
    connect(readVersion_, &QPushButton::clicked, this, &CDtuDlg::OnReadVersion);
    connect(readSignal_, &QPushButton::clicked, this, &CDtuDlg::OnReadSignal);
    connect(restart_, &QPushButton::clicked, this, &CDtuDlg::OnRestart);
    connect(setClock_, &QPushButton::clicked, this, &CDtuDlg::OnSetClock);
    connect(readClock_, &QPushButton::clicked, this, &CDtuDlg::OnReadClock);
    connect(wireless_, &QPushButton::clicked, this, &CDtuDlg::OnWireless);
    connect(writePackets_, &QPushButton::clicked, this, &CDtuDlg::OnWritePackets);
    connect(readPackets_, &QPushButton::clicked, this, &CDtuDlg::OnReadPackets);
    connect(hex_, &QCheckBox::clicked, this, &CDtuDlg::OnHex);
}

QString CDtuDlg::paneText(int pane) const
{
    return pane >= 0 && pane < 3 ? panes_[pane]->text() : QString();
}

namespace {

// -1, or an index outside the group, leaves every button unchecked.
void SetSelection(QButtonGroup* group, int id)
{
    if (QAbstractButton* b = group->button(id)) {
        b->setChecked(true);
        return;
    }
    group->setExclusive(false);
    for (QAbstractButton* b : group->buttons())
        b->setChecked(false);
    group->setExclusive(true);
}

}  // namespace

void CDtuDlg::SaveData()
{
    data_.phone = phoneEdit_->text();
    data_.id = idEdit_->text();
    data_.transferKind = transferKind_->checkedId();
    data_.subMode = subMode_->checkedId();
    data_.addressKind = addressKind_->checkedId();
    data_.domain = domain_->text();
    data_.port = port_->text();
}

void CDtuDlg::LoadData()
{
    phoneEdit_->setText(data_.phone);
    idEdit_->setText(data_.id);
    SetSelection(transferKind_, data_.transferKind);
    SetSelection(subMode_, data_.subMode);
    SetSelection(addressKind_, data_.addressKind);
    domain_->setText(data_.domain);
    port_->setText(data_.port);
}

void CDtuDlg::SetTransferControls(bool optionsEnabled)
{
    for (QWidget* w : {static_cast<QWidget*>(smsOption_), static_cast<QWidget*>(smsHexOption_),
                       static_cast<QWidget*>(tcpOption_)})
        w->setEnabled(optionsEnabled);
    for (QWidget* w : {static_cast<QWidget*>(smsMode_), static_cast<QWidget*>(smsHexMode_),
                       static_cast<QWidget*>(tcpMode_)})
        w->setEnabled(!optionsEnabled);
}

void CDtuDlg::ApplyModel(Model model)
{
    const bool m = model == Model::M330M;
    if (!m)
        OnProtocolTransfer();
    const auto enable = [](std::initializer_list<QWidget*> widgets, bool on) {
        for (QWidget* w : widgets)
            w->setEnabled(on);
    };
    enable({phoneEdit_, addPhone_, phoneList_, writePhones_, readPhones_, deletePhone_, clearPhones_, idList_,
            writeIds_, readIds_, deleteId_, clearIds_, protocol_, transparent_, smsOption_, smsHexOption_, tcpOption_,
            setMode_, defaultMode_},
           m);
    if (!m)
        enable({smsMode_, smsHexMode_, tcpMode_}, false);
    enable({customId_, heartbeatEdit_, registrationEdit_, hex_, customPackets_, writePackets_, readPackets_}, !m);
    wireless_->setEnabled(model == Model::M331);
    addId_->setText(m ? tr("增加") : tr("设置"));
    // The rest (ID entry, server, version, APN, serial, clock, restart)
    // stays enabled on every model.
}

void CDtuDlg::OnModel330M()
{
    ApplyModel(Model::M330M);
}

void CDtuDlg::OnModel330N()
{
    ApplyModel(Model::M330N);
}

void CDtuDlg::OnModel331()
{
    ApplyModel(Model::M331);
}

CDialog_Rf_Setup* CDtuDlg::Rf()
{
    if (!rf_)
        rf_ = new CDialog_Rf_Setup(this);
    return rf_;
}

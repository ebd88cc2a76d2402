#include "serial/UartParamDlg.h"

#include "serial/KVSerial.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <cstring>

namespace {

QComboBox* Combo(QWidget* parent, const char* name, int id, const QStringList& items)
{
    auto* box = new QComboBox(parent);
    box->setObjectName(QLatin1String(name));
    box->setProperty("controlId", id);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->addItems(items);
    return box;
}

// Why an open failed, in words a user can act on.
QString FailureText(SerialError error, int err, const QString& path)
{
    switch (error) {
    case SerialError::NotFound:
        return QStringLiteral("找不到设备 %1。").arg(path);
    case SerialError::Permission:
        return QStringLiteral("没有权限打开 %1：请把当前用户加入 dialout 组"
                              "（sudo usermod -aG dialout $USER），重新登录后再打开。")
            .arg(path);
    case SerialError::Busy:
        return QStringLiteral("%1 正被其他程序占用，请先关闭该程序。").arg(path);
    case SerialError::NotATerminal:
        return QStringLiteral("%1 不是串口设备。").arg(path);
    case SerialError::Settings:
        return QStringLiteral("%1 不支持所选的波特率或效验位。").arg(path);
    default:
        return QStringLiteral("无法打开 %1：%2").arg(path, QString::fromLocal8Bit(std::strerror(err)));
    }
}

}  // namespace

CUartParamDlg::CUartParamDlg(PortSource ports, QWidget* parent) : QDialog(parent), ports_(std::move(ports))
{
    setObjectName(QStringLiteral("CUartParamDlg"));
    setWindowTitle(QStringLiteral("串口参数配置"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    auto* group = new QGroupBox(QStringLiteral("串口参数"), this);
    portCombo_ = Combo(group, "portCombo", 1001, {});
    portCombo_->setMinimumContentsLength(16);
    baudCombo_ = Combo(group, "baudCombo", 1002,
                       {"1200", "2400", "4800", "9600", "19200", "38400", "57600", "115200"});
    parityCombo_ = Combo(group, "parityCombo", 1003, {"NO", "ODD", "EVEN"});

    auto* grid = new QGridLayout(group);
    const std::pair<const char*, QComboBox*> rows[] = {
        {"串   口：", portCombo_}, {"波特率：", baudCombo_}, {"效   验：", parityCombo_}};
    int row = 0;
    for (const auto& [caption, box] : rows) {
        auto* label = new QLabel(QString::fromUtf8(caption), group);
        label->setBuddy(box);
        grid->addWidget(label, row, 0);
        grid->addWidget(box, row, 1);
        ++row;
    }

    openButton_ = new QPushButton(QStringLiteral("打开"), this);
    openButton_->setObjectName(QStringLiteral("openButton"));
    openButton_->setProperty("controlId", 1004);
    refreshButton_ = new QPushButton(QStringLiteral("刷新"), this);
    refreshButton_->setObjectName(QStringLiteral("refreshButton"));
    refreshButton_->setProperty("controlId", 1005);
    failure_ = new QLabel(this);
    failure_->setObjectName(QStringLiteral("failureLabel"));
    failure_->setWordWrap(true);
    failure_->setAccessibleName(QStringLiteral("打开失败的原因"));
    failure_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    failure_->hide();

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(openButton_);
    buttons->addWidget(refreshButton_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addLayout(buttons);
    layout->addWidget(failure_);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(openButton_, &QPushButton::clicked, this, &CUartParamDlg::OnOpenClose);
    connect(refreshButton_, &QPushButton::clicked, this, &CUartParamDlg::OnRefresh);

    baudCombo_->setCurrentIndex(7);
    parityCombo_->setCurrentIndex(0);
    OnRefresh();
    UpdateState();
}

QString CUartParamDlg::failureText() const
{
    return failure_->text();
}

void CUartParamDlg::OnRefresh()
{
    portCombo_->clear();
    portCombo_->clearEditText();
    portCombo_->addItems(ports_ ? ports_() : QStringList());
    if (portCombo_->count() > 0)
        portCombo_->setCurrentIndex(0);
}

void CUartParamDlg::OnOpenClose()
{
    failure_->clear();
    failure_->hide();
    if (g_Serial.IsOpen()) {
        g_Serial.Close();
        UpdateState();
        return;
    }
    const QString path = portCombo_->currentText().trimmed();
    if (path.isEmpty())
        return;
    // The settings come from the lists only; text typed over them is not a
    // setting, and no port is opened with a guess.
    const int baud = baudCombo_->currentIndex();
    const int parity = parityCombo_->currentIndex();
    if (baud < 0 || parity < 0 || baudCombo_->currentText() != baudCombo_->itemText(baud) ||
        parityCombo_->currentText() != parityCombo_->itemText(parity)) {
        failure_->setText(QStringLiteral("请从列表中选择波特率和效验位。"));
        failure_->show();
        return;
    }
    if (!g_Serial.Open(path.toStdString(), baudCombo_->itemText(baud).toUInt(), static_cast<unsigned>(parity))) {
        failure_->setText(FailureText(g_Serial.LastError(), g_Serial.LastErrno(), path));
        failure_->show();
    }
    UpdateState();
}

void CUartParamDlg::UpdateState()
{
    const bool open = g_Serial.IsOpen();
    openButton_->setText(open ? QStringLiteral("关闭") : QStringLiteral("打开"));
    for (QWidget* w : {static_cast<QWidget*>(portCombo_), static_cast<QWidget*>(baudCombo_),
                       static_cast<QWidget*>(parityCombo_), static_cast<QWidget*>(refreshButton_)})
        w->setEnabled(!open);
}

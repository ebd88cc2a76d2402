#include "app/AboutDlg.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("CAboutDlg"));
    setWindowTitle(QStringLiteral("关于 dtutool"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    auto* text = new QLabel(this);
    text->setObjectName(QStringLiteral("aboutText"));
    text->setWordWrap(true);
    text->setTextFormat(Qt::RichText);
    text->setTextInteractionFlags(Qt::TextBrowserInteraction);
    text->setOpenExternalLinks(true);
    text->setText(QStringLiteral(
                      "<h3>DTU参数配置工具 %1</h3>"
                      "<p>配置和测试 DTU（经串口连接的蜂窝通信模块）：读写电话号码与通讯ID列表、"
                      "服务器地址与端口、工作模式、APN、心跳与注册包、时钟、串口与射频参数；"
                      "读取版本与场强；收发短信与TCP数据；在线升级固件（APP/IAP，CRC-32校验）。</p>"
                      "<p>Configures and tests a DTU over a serial line, hands it SMS and TCP data "
                      "and upgrades its firmware.</p>"
                      "<p>没有设备时可用 <tt>dtutool --simulate</tt> 连接内置的模拟 DTU。</p>"
                      "<p>使用说明（README）：<br><a href=\"%2\">%3</a></p>")
                      .arg(QApplication::applicationVersion(), QStringLiteral(DTU_README_URL),
                           QStringLiteral(DTU_README_PATH)));
    text->setMinimumWidth(420);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addWidget(buttons);
}

#include "ui/app/AboutDialog.h"
#include "ui/common/Widgets.h"

#include "ui/common/Language.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent)
{
    // Keys the saved position: kept as earlier versions saved it.
    setObjectName(QStringLiteral("CAboutDlg"));
    setWindowTitle(tr("关于 dtutool"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    auto* text = new QLabel(this);
    text->setObjectName(QStringLiteral("aboutText"));
    text->setWordWrap(true);
    text->setTextFormat(Qt::RichText);
    text->setTextInteractionFlags(Qt::TextBrowserInteraction);
    text->setOpenExternalLinks(true);
    text->setText(tr("<h3>DTU参数配置工具 %1</h3>"
                     "<p>配置和测试 DTU（经串口连接的蜂窝通信模块）：读写电话号码与通讯ID列表、"
                     "服务器地址与端口、工作模式、APN、心跳与注册包、时钟、串口与射频参数；"
                     "读取版本与场强；收发短信与TCP数据；在线升级固件（APP/IAP，CRC-32校验）。</p>"
                     "<p>没有设备时可用 <tt>dtutool --simulate</tt> 连接内置的模拟 DTU。</p>"
                     "<p>使用说明（README）：<br><a href=\"%2\">%3</a></p>")
                      .arg(QApplication::applicationVersion(), QStringLiteral(DTU_README_URL),
                           QStringLiteral(DTU_README_PATH)));
    text->setMinimumWidth(420);

    // Read at start-up only: a window half in one language and half in the
    // other is what the choice avoids.
    language_ = new QComboBox(this);
    language_->setObjectName(QStringLiteral("languageCombo"));
    language_->addItem(tr("中文"), ui::LanguageName(ui::Language::Chinese));
    language_->addItem(tr("英文"), ui::LanguageName(ui::Language::English));
    language_->setCurrentIndex(
        language_->findData(ui::LanguageName(ui::RememberedLanguage().value_or(ui::CurrentLanguage()))));
    language_->setAccessibleDescription(tr("下次启动时生效"));
    auto* languageLabel = ui::Label(tr("界面语言(&L):"), this);
    languageLabel->setBuddy(language_);
    note_ = ui::Label(this);
    note_->setObjectName(QStringLiteral("languageNote"));
    connect(language_, &QComboBox::activated, this, &AboutDialog::OnLanguage);

    auto* languageRow = new QHBoxLayout;
    languageRow->addWidget(languageLabel);
    languageRow->addWidget(language_);
    languageRow->addWidget(note_, 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addLayout(languageRow);
    layout->addWidget(buttons);
}

void AboutDialog::OnLanguage(int index)
{
    const auto chosen = ui::ParseLanguage(language_->itemData(index).toString());
    if (!chosen)
        return;
    ui::RememberLanguage(*chosen);
    note_->setText(*chosen == ui::CurrentLanguage() ? QString() : tr("下次启动时生效。"));
}

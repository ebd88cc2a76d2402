// The page and its controls, and what it does with the keys and on closing.
#include "ui/upgrade/UpgradePage.h"

#include "ui/common/FastReplies.h"
#include "ui/common/MessageBox.h"
#include "ui/common/Widgets.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>


namespace {

QLabel* Value(QWidget* parent, const char* name, int id, const QString& role)
{
    // 34 spaces: the label keeps its width before a file is chosen.
    auto* label = ui::Label(QString(34, QLatin1Char(' ')), parent);
    label->setObjectName(QLatin1String(name));
    label->setProperty("controlId", id);
    // Described, not named: a reader is to read the value itself.
    label->setAccessibleDescription(role);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

}  // namespace

UpgradePage::UpgradePage(QWidget* parent) : FramePage(ui::kUpgradeFrame, tr("KV-330型在线升级系统"), parent)
{
    // Keys the saved position: kept as earlier versions saved it.
    setObjectName(QStringLiteral("CDialog_OTG"));
    BuildControls();
    clock_.start();
}

UpgradePage::~UpgradePage()
{
    watch_.stop();
    transfer_.Stop();
}

void UpgradePage::BuildControls()
{
    auto* fileGroup = new QGroupBox(tr("打开文件"), this);
    pathEdit_ = new QLineEdit(fileGroup);
    pathEdit_->setObjectName(QStringLiteral("pathEdit"));
    pathEdit_->setProperty("controlId", 1013);
    pathEdit_->setAccessibleName(tr("升级文件路径"));
    pathEdit_->setAccessibleDescription(tr("由“打开”填入，也可以直接输入"));
    pathEdit_->setMinimumWidth(280);
    openButton_ = ui::Button(fileGroup, tr("打开"), "openButton", 1012, tr("选择升级文件"));
    auto* fileRow = new QHBoxLayout(fileGroup);
    fileRow->addWidget(pathEdit_, 1);
    fileRow->addWidget(openButton_);

    auto* infoGroup = new QGroupBox(tr("文件信息"), this);
    nameLabel_ = Value(infoGroup, "nameLabel", 1050, tr("文件名称"));
    sizeLabel_ = Value(infoGroup, "sizeLabel", 1051, tr("文件大小"));
    auto* infoRow = new QHBoxLayout(infoGroup);
    infoRow->addWidget(ui::Label(tr("文件名称:"), infoGroup));
    infoRow->addWidget(nameLabel_, 3);
    infoRow->addWidget(ui::Label(tr("文件大小:"), infoGroup));
    infoRow->addWidget(sizeLabel_, 2);

    auto* controlGroup = new QGroupBox(tr("烧录控制"), this);
    appButton_ = ui::Button(controlGroup, tr("APP升级"), "appButton", 1014, tr("把文件作为 APP 固件发送给 DTU"));
    iapButton_ = ui::Button(controlGroup, tr("IAP升级"), "iapButton", 1015, tr("把文件作为 IAP 固件发送给 DTU"));
    stopButton_ = ui::Button(controlGroup, tr("STOP升级"), "stopButton", 1016, tr("停止正在进行的升级"));
    auto* controlRow = new QHBoxLayout(controlGroup);
    for (QPushButton* b : {appButton_, iapButton_, stopButton_})
        controlRow->addWidget(b);
    controlRow->addWidget(ui::FastReplies::MakeCheckBox(controlGroup));

    auto* progressGroup = new QGroupBox(tr("烧写进度"), this);
    auto* progressLabel = ui::Label(tr("烧录进度:"), progressGroup);
    progressBar_ = new QProgressBar(progressGroup);
    progressBar_->setObjectName(QStringLiteral("progressBar"));
    progressBar_->setProperty("controlId", 1052);
    progressBar_->setAccessibleDescription(tr("已发送的块数"));
    progressBar_->setFormat(tr("%v/%m 块"));
    progressBar_->setRange(0, 1);
    progressBar_->setValue(0);
    progressBar_->setTextVisible(false);
    progressLabel->setBuddy(progressBar_);
    progressText_ = ui::Label(progressGroup);
    progressText_->setObjectName(QStringLiteral("progressText"));
    progressText_->setAccessibleDescription(tr("已发送的块数和字节数、用时和剩余时间"));
    progressText_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    verdictText_ = ui::Label(progressGroup);
    verdictText_->setObjectName(QStringLiteral("verdictText"));
    verdictText_->setAccessibleDescription(tr("升级结果"));
    verdictText_->setWordWrap(true);
    verdictText_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* progressGrid = new QGridLayout(progressGroup);
    progressGrid->addWidget(progressLabel, 0, 0);
    progressGrid->addWidget(progressBar_, 0, 1);
    progressGrid->addWidget(progressText_, 1, 1);
    progressGrid->addWidget(verdictText_, 2, 1);

    auto* layout = new QVBoxLayout(this);
    for (QGroupBox* g : {fileGroup, infoGroup, controlGroup, progressGroup})
        layout->addWidget(g);
    layout->addStretch();
    // Room for the longest progress line, so the page keeps its width.
    setMinimumWidth(520);

    connect(openButton_, &QPushButton::clicked, this, &UpgradePage::OnOpen);
    connect(appButton_, &QPushButton::clicked, this, &UpgradePage::OnApp);
    connect(iapButton_, &QPushButton::clicked, this, &UpgradePage::OnIap);
    connect(stopButton_, &QPushButton::clicked, this, &UpgradePage::OnStop);
}

void UpgradePage::Say(const QString& text)
{
    ui::ShowMessage(this, ui::AppCaption(), text);
}

void UpgradePage::keyPressEvent(QKeyEvent* e)
{
    if (!ui::SwallowClosingKey(e))
        FramePage::keyPressEvent(e);
}

void UpgradePage::closeEvent(QCloseEvent* e)
{
    // A hidden page gets no replies, so a transfer cannot go on behind it.
    if (transferring()) {
        const int answer = ui::ShowMessage(this, ui::AppCaption(),
                                           tr("正在升级。关闭本页将停止升级，DTU 中的固件会不完整。\n"
                                                          "确定要停止升级并关闭吗？"),
                                           ui::Buttons::OkCancel, QMessageBox::Question);
        if (answer != QMessageBox::Ok) {
            e->ignore();
            return;
        }
        EndTransfer();
    }
    FramePage::closeEvent(e);
}

void UpgradePage::hideEvent(QHideEvent* e)
{
    // Minimising is spontaneous and keeps the page notified; any other hide
    // does not.
    if (!e->spontaneous())
        EndTransfer();
    FramePage::hideEvent(e);
}

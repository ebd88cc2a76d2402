#include "upgrade/Dialog_OTG.h"

#include "common/FastReplies.h"
#include "common/FileDialog.h"
#include "common/MessageBox.h"
#include "common/PortWrite.h"
#include "common/Widgets.h"
#include "serial/KVSerial.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <climits>

namespace {

// Replies are looked for and the port is watched this often while a transfer
// runs; the main window completes frames no faster than every 100 ms.
constexpr int kWatchMs = 100;

const char kFilter[] = "Data Files(*.bin);;All Files (*.*)";
const char kEmptyPath[] = QT_TRANSLATE_NOOP("CDialog_OTG", "打开文件的路径不正确,或不能为空！");
const char kStopped[] = QT_TRANSLATE_NOOP("CDialog_OTG", "停止下载程序成功！");
const char kCheckFailed[] = QT_TRANSLATE_NOOP("CDialog_OTG", "校验错误,升级失败!");
const char kSucceeded[] = QT_TRANSLATE_NOOP("CDialog_OTG", "升级成功，等待从新启动");
const char kNothingSent[] = QT_TRANSLATE_NOOP("CDialog_OTG", "未发送任何数据。");

QString Text(const char* source)
{
    return QCoreApplication::translate("CDialog_OTG", source);
}

QString Shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

QLabel* Value(QWidget* parent, const char* name, int id, const QString& role)
{
    // 34 spaces: the label keeps its width before a file is chosen.
    auto* label = new QLabel(QString(34, QLatin1Char(' ')), parent);
    label->setObjectName(QLatin1String(name));
    label->setProperty("controlId", id);
    // Described, not named: a reader is to read the value itself.
    label->setAccessibleDescription(role);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

}  // namespace

void CDialog_OTG::PortSink::WriteFrame(std::span<const std::uint8_t> frame)
{
    CDialog_OTG* const page = page_;
    const std::uint64_t run = page->run_;
    ui::SendFrame(page, frame, [page, run](const QString& why) { page->WriteFailed(run, why); });
}

CDialog_OTG::CDialog_OTG(QWidget* parent) : FramePage(ui::kUpgradeFrame, tr("KV-330型在线升级系统"), parent)
{
    setObjectName(QStringLiteral("CDialog_OTG"));
    BuildControls();
    clock_.start();
}

CDialog_OTG::~CDialog_OTG()
{
    watch_.stop();
    transfer_.Stop();
}

void CDialog_OTG::BuildControls()
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
    infoRow->addWidget(new QLabel(tr("文件名称:"), infoGroup));
    infoRow->addWidget(nameLabel_, 3);
    infoRow->addWidget(new QLabel(tr("文件大小:"), infoGroup));
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
    auto* progressLabel = new QLabel(tr("烧录进度:"), progressGroup);
    progressBar_ = new QProgressBar(progressGroup);
    progressBar_->setObjectName(QStringLiteral("progressBar"));
    progressBar_->setProperty("controlId", 1052);
    progressBar_->setAccessibleDescription(tr("已发送的块数"));
    progressBar_->setFormat(tr("%v/%m 块"));
    progressBar_->setRange(0, 1);
    progressBar_->setValue(0);
    progressBar_->setTextVisible(false);
    progressLabel->setBuddy(progressBar_);
    progressText_ = new QLabel(progressGroup);
    progressText_->setObjectName(QStringLiteral("progressText"));
    progressText_->setAccessibleDescription(tr("已发送的块数和字节数、用时和剩余时间"));
    progressText_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    verdictText_ = new QLabel(progressGroup);
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

    connect(openButton_, &QPushButton::clicked, this, &CDialog_OTG::OnOpen);
    connect(appButton_, &QPushButton::clicked, this, &CDialog_OTG::OnApp);
    connect(iapButton_, &QPushButton::clicked, this, &CDialog_OTG::OnIap);
    connect(stopButton_, &QPushButton::clicked, this, &CDialog_OTG::OnStop);
}

void CDialog_OTG::OnOpen()
{
    const QString path = ui::GetOpenFileName(this, Text(kFilter), QStringLiteral("folders/image"));
    if (path.isEmpty())
        return;
    pathEdit_->setText(path);
    const qint64 size = QFileInfo(path).size();
    ShowFileInfo(path, size);
    // A running transfer goes on with the image it read at its start; its
    // progress is left alone.
    if (transferring())
        return;
    imageBytes_ = static_cast<std::uint64_t>(std::max<qint64>(0, size));
    started_ = false;
    SetRange(imageBytes_);
    verdictText_->clear();
    UpdateProgress();
}

void CDialog_OTG::OnApp()
{
    Start(upgrade::Kind::App);
}

void CDialog_OTG::OnIap()
{
    Start(upgrade::Kind::Iap);
}

void CDialog_OTG::OnStop()
{
    if (transferring())
        Finish(tr("升级已停止。"));
    transfer_.Stop();
    progressBar_->setValue(0);
    Say(Text(kStopped));
}

void CDialog_OTG::EndTransfer()
{
    if (transferring())
        Finish(tr("窗口已关闭，升级已停止。"));
}

void CDialog_OTG::Start(upgrade::Kind kind)
{
    // A start without a file only says so: the transfer under way goes on.
    const QString path = pathEdit_->text();
    if (path.trimmed().isEmpty()) {
        Say(Text(kEmptyPath));
        return;
    }
    portLossReported_ = false;
    // Pressing a start button ends what ran before.
    if (transferring())
        Finish(tr("升级已停止。"));
    if (!g_Serial.IsOpen() || g_Serial.PortLost()) {
        Say(tr("串口没有打开，不能升级。请先在“系统设置”中打开串口。"));
        return;
    }
    std::optional<std::vector<std::uint8_t>> bytes = ReadImage(path);
    if (!bytes)
        return;

    transfer_.Stop();
    image_.emplace(std::move(*bytes));
    imageBytes_ = image_->size();
    // What is shown is what is sent: the file as it was read just now.
    ShowFileInfo(path, static_cast<qint64>(imageBytes_));
    SetRange(imageBytes_);
    verdictText_->clear();
    sentBlocks_ = 0;
    sentBytes_ = 0;
    started_ = true;
    const std::int64_t now = NowMs();
    pace_ = {0, upgrade::BlocksFor(imageBytes_) + (kind == upgrade::Kind::App ? 1 : 0), now, now};
    replyTimeoutMs_ = upgrade::ReplyTimeoutMs(g_Serial.BaudRate());
    transfer_.SetReplyTimeout(replyTimeoutMs_);

    ++run_;
    const upgrade::Outcome outcome = transfer_.Start(kind, *image_, now);
    if (transferring())
        watch_.start(kWatchMs, this);
    Show(outcome, {});
}

std::optional<std::vector<std::uint8_t>> CDialog_OTG::ReadImage(const QString& path)
{
    const QFileInfo info(path);
    QString why;
    QFile file(path);
    QByteArray data;
    if (!info.exists()) {
        why = tr("找不到升级文件 %1。").arg(Shown(path));
    } else if (info.isDir()) {
        why = tr("%1 是文件夹，不是升级文件。").arg(Shown(path));
    } else if (!info.isFile()) {
        // A device or a pipe could be read for ever.
        why = tr("%1 不是普通文件，不能作为升级文件。").arg(Shown(path));
    } else if (!file.open(QIODevice::ReadOnly)) {
        why = tr("无法打开升级文件 %1：%2。").arg(Shown(path), file.errorString());
    } else {
        data = file.read(kMaxImageBytes + 1);
        if (file.error() != QFileDevice::NoError)
            why = tr("读取升级文件 %1 失败：%2。").arg(Shown(path), file.errorString());
        else if (data.size() > kMaxImageBytes)
            why = tr("升级文件 %1 大于 %2 MB，不是 DTU 的固件。").arg(Shown(path)).arg(kMaxImageBytes >> 20);
        else if (data.isEmpty())
            why = tr("升级文件 %1 是空的。").arg(Shown(path));
    }
    if (!why.isEmpty()) {
        Say(why + Text(kNothingSent));
        return std::nullopt;
    }
    return std::vector<std::uint8_t>(data.begin(), data.end());
}

void CDialog_OTG::OnFrame(const ui::FrameEvent& frame)
{
    // Only the bytes of this frame: left-overs of an earlier, longer one are
    // no verdict.
    HandleReply(frame.code, frame.bytes());
}

void CDialog_OTG::HandleReply(std::uint8_t command, std::span<const std::uint8_t> reply)
{
    const QString outstanding = OutstandingFrame();
    const upgrade::Outcome outcome = transfer_.OnReply(command, reply, NowMs());
    Show(outcome, outstanding);
}

void CDialog_OTG::timerEvent(QTimerEvent* e)
{
    if (e->timerId() != watch_.timerId()) {
        FramePage::timerEvent(e);
        return;
    }
    if (!g_Serial.IsOpen() || g_Serial.PortLost()) {
        PortLost();
        return;
    }
    const QString outstanding = OutstandingFrame();
    const upgrade::Outcome late = transfer_.Poll(NowMs());
    if (late != upgrade::Outcome::Ignored)
        Show(late, outstanding);
    else
        UpdateProgress();
}

void CDialog_OTG::Show(upgrade::Outcome outcome, const QString& lastFrame)
{
    using upgrade::Outcome;
    switch (outcome) {
    case Outcome::Ignored:
    case Outcome::Empty:
        return;
    case Outcome::BlockWritten:
        sentBlocks_ = transfer_.blocksWritten();
        sentBytes_ = transfer_.bytesSent();
        progressBar_->setValue(static_cast<int>(std::min<std::uint64_t>(sentBlocks_, progressBar_->maximum())));
        [[fallthrough]];
    case Outcome::EndFrameWritten:
        ++pace_.framesWritten;
        pace_.lastWriteMs = NowMs();
        UpdateProgress();
        return;
    case Outcome::Failed:
        Finish(Text(kCheckFailed));
        Say(Text(kCheckFailed));
        return;
    case Outcome::Succeeded:
        Finish(Text(kSucceeded));
        // The answer changes nothing.
        ui::ShowMessage(this, ui::AppCaption(), Text(kSucceeded), ui::Buttons::OkCancel);
        return;
    case Outcome::TimedOut: {
        const QString text = tr("%1在 %2 秒内没有应答，升级已停止。\n请检查 DTU 和连线后重新升级。")
                                 .arg(lastFrame)
                                 .arg((replyTimeoutMs_ + 999) / 1000);
        Finish(text);
        Say(text);
        return;
    }
    case Outcome::ReadFailed:
        Finish(tr("读取升级文件失败，升级已停止。"));
        Say(verdictText_->text());
        return;
    }
}

void CDialog_OTG::PortLost()
{
    Interrupted(tr("串口已断开"));
}

void CDialog_OTG::WriteFailed(std::uint64_t run, const QString& why)
{
    // A frame of a transfer that has ended since has nothing left to stop.
    if (run != run_ || !transferring())
        return;
    // One frame is out at a time: the one that failed is the last counted.
    if (transfer_.state() == upgrade::State::Sending && sentBlocks_ > 0) {
        --sentBlocks_;
        sentBytes_ = std::min<std::uint64_t>(imageBytes_, sentBlocks_ * upgrade::kBlockSize);
    }
    Interrupted(why);
}

void CDialog_OTG::Interrupted(const QString& why)
{
    const QString text = tr("%1，升级已中断：已发送 %2/%3 块。\n"
                                        "请检查连接，在“系统设置”中重新打开串口后重新升级。")
                             .arg(why)
                             .arg(sentBlocks_)
                             .arg(upgrade::BlocksFor(imageBytes_));
    portLossReported_ = true;
    Finish(text);
    Say(text);
}

void CDialog_OTG::Finish(const QString& verdict)
{
    watch_.stop();
    endedMs_ = NowMs();
    transfer_.Stop();
    image_.reset();
    verdictText_->setText(verdict);
    UpdateProgress();
}

QString CDialog_OTG::OutstandingFrame() const
{
    if (transfer_.state() == upgrade::State::AwaitingVerdict)
        return tr("结束帧（全部 %1 块已发送）").arg(transfer_.blocksWritten());
    return tr("第 %1 块（共 %2 块）").arg(transfer_.blocksWritten()).arg(upgrade::BlocksFor(imageBytes_));
}

void CDialog_OTG::ShowFileInfo(const QString& path, qint64 size)
{
    nameLabel_->setText(QFileInfo(path).fileName());
    sizeLabel_->setText(QString::fromStdString(upgrade::SizeText(static_cast<std::uint64_t>(std::max<qint64>(0, size)))));
}

void CDialog_OTG::SetRange(std::uint64_t bytes)
{
    // Blocks sent of blocks to send: full when the last block has gone.
    progressBar_->setRange(0, static_cast<int>(std::clamp<std::uint64_t>(upgrade::BlocksFor(bytes), 1, INT_MAX)));
    progressBar_->setValue(0);
    progressBar_->setTextVisible(true);
}

void CDialog_OTG::UpdateProgress()
{
    const std::uint64_t blocks = upgrade::BlocksFor(imageBytes_);
    if (!started_) {
        progressText_->setText(tr("共 %1 块，%2 字节").arg(blocks).arg(imageBytes_));
        return;
    }
    const bool running = transferring();
    const std::int64_t now = NowMs();
    QString text = tr("已发送 %1/%2 块，%3/%4 字节，%5 %6")
                       .arg(sentBlocks_)
                       .arg(blocks)
                       .arg(sentBytes_)
                       .arg(imageBytes_)
                       .arg(running ? tr("已用") : tr("用时"))
                       .arg(QString::fromStdString(upgrade::DurationText((running ? now : endedMs_) - pace_.startMs)));
    if (running) {
        if (const std::optional<std::int64_t> left = upgrade::RemainingMs(pace_, now))
            text += tr("，剩余约 %1").arg(QString::fromStdString(upgrade::DurationText(*left)));
    }
    progressText_->setText(text);
}

void CDialog_OTG::Say(const QString& text)
{
    ui::ShowMessage(this, ui::AppCaption(), text);
}

void CDialog_OTG::keyPressEvent(QKeyEvent* e)
{
    // Neither key may close the page or press anything.
    static constexpr int kSwallowed[] = {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape};
    if (std::ranges::find(kSwallowed, e->key()) != std::end(kSwallowed))
        e->accept();
    else
        FramePage::keyPressEvent(e);
}

void CDialog_OTG::closeEvent(QCloseEvent* e)
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

void CDialog_OTG::hideEvent(QHideEvent* e)
{
    // Minimising is spontaneous and keeps the page notified; any other hide
    // does not.
    if (!e->spontaneous())
        EndTransfer();
    FramePage::hideEvent(e);
}

#include "terminal/TerminalDlg.h"

#include "common/FileDialog.h"
#include "common/MessageBox.h"
#include "common/PortWrite.h"
#include "common/Settings.h"
#include "common/Widgets.h"
#include "monitor/LineLog.h"
#include "serial/KVSerial.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QTextCursor>
#include <QVBoxLayout>

#include <algorithm>
#include <chrono>

namespace {

const char kTip[] = QT_TRANSLATE_NOOP("CTerminalDlg", "提示！");
const char kLogCaption[] = QT_TRANSLATE_NOOP("CTerminalDlg", "保存日志…");

// Where the terminal keeps what it remembers in the tool's settings.
namespace key {
const char kHistory[] = "terminal/history";
const char kCommands[] = "terminal/commands";
const char kView[] = "terminal/view";
const char kEncoding[] = "terminal/encoding";
const char kStamps[] = "terminal/timestamps";
const char kShowSent[] = "terminal/showSent";
const char kHexSend[] = "terminal/hexSend";
const char kLineEnding[] = "terminal/lineEnding";
const char kInterval[] = "terminal/intervalMs";
}  // namespace key

std::int64_t NowMs()
{
    return QDateTime::currentMSecsSinceEpoch();
}

// For pacing: the wall clock may jump.
std::int64_t SteadyMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

QLabel* LabelFor(const QString& caption, QWidget* field, QWidget* parent)
{
    auto* label = new QLabel(caption, parent);
    label->setBuddy(field);
    return label;
}

void SelectStored(QComboBox* box, const QVariant& stored)
{
    bool ok = false;
    const int index = stored.toInt(&ok);
    if (ok && index >= 0 && index < box->count())
        box->setCurrentIndex(index);
}

}  // namespace

CTerminalDlg::CTerminalDlg(QWidget* parent) : FramePage(ui::kTerminalFrame, tr("调试工具"), parent)
{
    setObjectName(QStringLiteral("CTerminalDlg"));
    BuildForm();
    LoadSettings();
    ShowCommands();
    UpdatePortState();
    resize(900, 560);
}

CTerminalDlg::~CTerminalDlg() = default;

void CTerminalDlg::BuildForm()
{
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);

    portState_ = ui::Named(new QLabel(this), "portState");
    portState_->setWordWrap(true);
    portState_->setAccessibleDescription(tr("串口状态"));
    settingsButton_ = ui::Button(this, tr("系统设置…"), "settingsButton");
    settingsButton_->setAccessibleDescription(tr("打开串口设置页，在那里打开或关闭串口"));

    view_ = ui::Named(new QPlainTextEdit(this), "receiveView");
    view_->setReadOnly(true);
    view_->setUndoRedoEnabled(false);  // an undo history would keep every dropped line
    view_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    view_->setTabChangesFocus(true);
    view_->setFont(fixed);
    view_->document()->setMaximumBlockCount(kViewLines);
    view_->setAccessibleName(tr("接收区"));
    view_->setAccessibleDescription(tr("收到的数据，每段数据（线路静默处结束）另起一行；只保留最新的部分"));

    viewCombo_ = ui::Named(new QComboBox(this), "viewCombo");
    viewCombo_->addItems({tr("文本"), QStringLiteral("HEX"), tr("文本+HEX")});
    encodingCombo_ = ui::Named(new QComboBox(this), "encodingCombo");
    encodingCombo_->addItems({QStringLiteral("GBK"), QStringLiteral("UTF-8")});
    encodingCombo_->setAccessibleDescription(tr("收到和发送的文本所用的编码"));
    stampsCheck_ = ui::Named(new QCheckBox(tr("时间戳"), this), "stampsCheck");
    stampsCheck_->setAccessibleDescription(tr("每段数据前显示时间，精确到毫秒"));
    showSentCheck_ = ui::Named(new QCheckBox(tr("显示发送"), this), "showSentCheck");
    showSentCheck_->setAccessibleDescription(tr("接收区也显示发出的数据，以 TX 标出，收到的以 RX 标出"));
    showSentCheck_->setChecked(true);
    clearButton_ = ui::Button(this, tr("清空"), "clearButton");
    clearButton_->setAccessibleDescription(tr("清空接收区"));
    logButton_ = ui::Button(this, tr(kLogCaption), "logButton");
    logButton_->setAccessibleDescription(tr("把本次会话（收发两个方向，带时间）随时写入一个文本文件"));
    logState_ = ui::Named(new QLabel(this), "logState");
    logState_->setAccessibleDescription(tr("日志状态"));
    logState_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    sendEdit_ = ui::Named(new QLineEdit(this), "sendEdit");
    sendEdit_->setFont(fixed);
    sendEdit_->setAccessibleDescription(tr("回车发送；上下方向键翻看发送过的内容"));
    sendEdit_->installEventFilter(this);
    sendButton_ = ui::Button(this, tr("发送"), "sendButton");
    hexCheck_ = ui::Named(new QCheckBox(tr("HEX发送"), this), "hexSendCheck");
    hexCheck_->setAccessibleDescription(tr("发送行按十六进制字节解读，如 41 54 0D"));
    endingCombo_ = ui::Named(new QComboBox(this), "endingCombo");
    endingCombo_->addItems({tr("无"), QStringLiteral("CR (\\r)"), QStringLiteral("LF (\\n)"),
                            QStringLiteral("CR+LF (\\r\\n)")});
    endingCombo_->setCurrentIndex(static_cast<int>(terminal::LineEnding::CrLf));
    timedCheck_ = ui::Named(new QCheckBox(tr("定时发送"), this), "timedCheck");
    timedCheck_->setAccessibleDescription(tr("勾选时的发送内容按间隔反复发送，串口关闭或窗口关闭时停止"));
    intervalSpin_ = ui::Named(new QSpinBox(this), "intervalSpin");
    intervalSpin_->setRange(kMinIntervalMs, kMaxIntervalMs);
    intervalSpin_->setValue(1000);
    intervalSpin_->setSuffix(QStringLiteral(" ms"));
    intervalSpin_->setAccelerated(true);

    commandsBox_ = ui::Named(new QGroupBox(tr("快捷命令"), this), "commandsBox");
    auto* list = new QWidget;
    commandsLayout_ = new QVBoxLayout(list);
    commandsLayout_->setContentsMargins(0, 0, 0, 0);
    auto* scroll = new QScrollArea(commandsBox_);
    scroll->setWidget(list);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setFocusPolicy(Qt::NoFocus);  // its buttons take the focus themselves
    editCommandsButton_ = ui::Button(commandsBox_, tr("编辑…"), "editCommandsButton");
    editCommandsButton_->setAccessibleDescription(tr("添加、修改或删除快捷命令"));
    auto* commandsBoxLayout = new QVBoxLayout(commandsBox_);
    commandsBoxLayout->addWidget(scroll, 1);
    commandsBoxLayout->addWidget(editCommandsButton_);
    commandsBox_->setFixedWidth(170);

    auto* states = new QVBoxLayout;
    states->addWidget(portState_);
    states->addWidget(logState_);
    logState_->hide();
    auto* portRow = new QHBoxLayout;
    portRow->addLayout(states, 1);
    portRow->addWidget(settingsButton_);

    auto* middle = new QHBoxLayout;
    middle->addWidget(view_, 1);
    middle->addWidget(commandsBox_);

    auto* showRow = new QHBoxLayout;
    showRow->addWidget(LabelFor(tr("显示:"), viewCombo_, this));
    showRow->addWidget(viewCombo_);
    showRow->addWidget(LabelFor(tr("编码:"), encodingCombo_, this));
    showRow->addWidget(encodingCombo_);
    showRow->addWidget(stampsCheck_);
    showRow->addWidget(showSentCheck_);
    showRow->addStretch(1);
    showRow->addWidget(clearButton_);
    showRow->addWidget(logButton_);

    auto* sendRow = new QHBoxLayout;
    sendRow->addWidget(LabelFor(tr("发送:"), sendEdit_, this));
    sendRow->addWidget(sendEdit_, 1);
    sendRow->addWidget(sendButton_);

    auto* optionsRow = new QHBoxLayout;
    optionsRow->addWidget(hexCheck_);
    optionsRow->addWidget(LabelFor(tr("行尾:"), endingCombo_, this));
    optionsRow->addWidget(endingCombo_);
    optionsRow->addSpacing(16);
    optionsRow->addWidget(timedCheck_);
    optionsRow->addWidget(LabelFor(tr("间隔:"), intervalSpin_, this));
    optionsRow->addWidget(intervalSpin_);
    optionsRow->addStretch(1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(portRow);
    layout->addLayout(middle, 1);
    layout->addLayout(showRow);
    layout->addLayout(sendRow);
    layout->addLayout(optionsRow);

    // Tab goes from the send line to what sends it, then to its options.
    setTabOrder(sendEdit_, sendButton_);
    setTabOrder(sendButton_, hexCheck_);
    setTabOrder(hexCheck_, endingCombo_);
    setTabOrder(endingCombo_, timedCheck_);
    setTabOrder(timedCheck_, intervalSpin_);

    connect(settingsButton_, &QPushButton::clicked, this, &CTerminalDlg::settingsRequested);
    connect(sendEdit_, &QLineEdit::returnPressed, this, &CTerminalDlg::OnSend);
    connect(sendButton_, &QPushButton::clicked, this, &CTerminalDlg::OnSend);
    connect(hexCheck_, &QCheckBox::toggled, this, &CTerminalDlg::OnHexToggled);
    connect(timedCheck_, &QCheckBox::toggled, this, &CTerminalDlg::OnTimedToggled);
    connect(intervalSpin_, &QSpinBox::valueChanged, this, [this](int ms) {
        if (sendTimer_.isActive())
            sendTimer_.start(ms, this);
        SaveOptions();
    });
    connect(viewCombo_, &QComboBox::currentIndexChanged, this, &CTerminalDlg::OnShowOptionChanged);
    connect(encodingCombo_, &QComboBox::currentIndexChanged, this, &CTerminalDlg::OnShowOptionChanged);
    connect(stampsCheck_, &QCheckBox::toggled, this, &CTerminalDlg::OnShowOptionChanged);
    connect(showSentCheck_, &QCheckBox::toggled, this, &CTerminalDlg::OnShowOptionChanged);
    connect(endingCombo_, &QComboBox::currentIndexChanged, this, &CTerminalDlg::SaveOptions);
    connect(clearButton_, &QPushButton::clicked, this, &CTerminalDlg::OnClear);
    connect(logButton_, &QPushButton::clicked, this, &CTerminalDlg::OnLog);
    connect(editCommandsButton_, &QPushButton::clicked, this, &CTerminalDlg::OnEditCommands);

    OnHexToggled(false);
    OnShowOptionChanged();
}

void CTerminalDlg::LoadSettings()
{
    const auto settings = ui::Remembered();
    if (!settings)
        return;
    QSettings& s = *settings;
    loading_ = true;
    history_ = terminal::History(s.value(key::kHistory).toStringList());
    SelectStored(viewCombo_, s.value(key::kView));
    SelectStored(encodingCombo_, s.value(key::kEncoding));
    SelectStored(endingCombo_, s.value(key::kLineEnding));
    stampsCheck_->setChecked(s.value(key::kStamps, stampsCheck_->isChecked()).toBool());
    showSentCheck_->setChecked(s.value(key::kShowSent, showSentCheck_->isChecked()).toBool());
    hexCheck_->setChecked(s.value(key::kHexSend, false).toBool());
    intervalSpin_->setValue(s.value(key::kInterval, intervalSpin_->value()).toInt());
    const int n = s.beginReadArray(key::kCommands);
    for (int i = 0; i < n; ++i) {
        s.setArrayIndex(i);
        terminal::SavedCommand c{s.value("caption").toString(), s.value("text").toString(), s.value("hex").toBool()};
        if (!c.text.isEmpty())
            commands_ << c;
    }
    s.endArray();
    loading_ = false;
}

void CTerminalDlg::SaveOptions()
{
    const auto settings = ui::Remembered();
    if (loading_ || !settings)
        return;
    QSettings& s = *settings;
    s.setValue(key::kView, viewCombo_->currentIndex());
    s.setValue(key::kEncoding, encodingCombo_->currentIndex());
    s.setValue(key::kStamps, stampsCheck_->isChecked());
    s.setValue(key::kShowSent, showSentCheck_->isChecked());
    s.setValue(key::kHexSend, hexCheck_->isChecked());
    s.setValue(key::kLineEnding, endingCombo_->currentIndex());
    s.setValue(key::kInterval, intervalSpin_->value());
}

void CTerminalDlg::SaveCommands()
{
    const auto settings = ui::Remembered();
    if (!settings)
        return;
    QSettings& s = *settings;
    s.remove(key::kCommands);
    s.beginWriteArray(key::kCommands, int(commands_.size()));
    for (int i = 0; i < commands_.size(); ++i) {
        s.setArrayIndex(i);
        s.setValue("caption", commands_[i].caption);
        s.setValue("text", commands_[i].text);
        s.setValue("hex", commands_[i].hex);
    }
    s.endArray();
}

bool CTerminalDlg::wantsFrames() const
{
    return isVisible() || log_.isOpen();
}

QString CTerminalDlg::viewText() const
{
    return view_->toPlainText();
}

terminal::Encoding CTerminalDlg::encoding() const
{
    return encodingCombo_->currentIndex() == 1 ? terminal::Encoding::Utf8 : terminal::Encoding::Gbk;
}

// ---- The port ----

void CTerminalDlg::showEvent(QShowEvent* e)
{
    FramePage::showEvent(e);
    UpdatePortState();
    portTimer_.start(100, this);
}

void CTerminalDlg::hideEvent(QHideEvent* e)
{
    // Nobody watches a closed window's timed send.
    portTimer_.stop();
    StopTimed();
    FramePage::hideEvent(e);
}

void CTerminalDlg::timerEvent(QTimerEvent* e)
{
    if (e->timerId() == portTimer_.timerId()) {
        UpdatePortState();
    } else if (e->timerId() == sendTimer_.timerId()) {
        if (SteadyMs() >= lineFreeAtMs_)
            Transmit(timedBytes_);
    } else {
        FramePage::timerEvent(e);
    }
}

void CTerminalDlg::UpdatePortState()
{
    const bool open = g_Serial.IsOpen();
    if (portShown_ && open == portOpen_ &&
        (!open || (g_Serial.PortPath() == shownPath_ && g_Serial.BaudRate() == shownBaud_)))
        return;
    portShown_ = true;
    portOpen_ = open;
    if (open) {
        shownPath_ = g_Serial.PortPath();
        shownBaud_ = g_Serial.BaudRate();
        portState_->setText(tr("串口 %1 已打开（%2 bps）。")
                                .arg(QString::fromStdString(shownPath_))
                                .arg(shownBaud_));
        portState_->setStyleSheet({});
    } else {
        shownPath_.clear();
        portState_->setText(tr("串口未打开，不能发送。请在“系统设置”中打开串口。"));
        portState_->setStyleSheet(QStringLiteral("font-weight: bold;"));
        StopTimed();
    }
    sendButton_->setEnabled(open);
    timedCheck_->setEnabled(open);
    for (QPushButton* b : commandsBox_->findChildren<QPushButton*>(QStringLiteral("commandButton")))
        b->setEnabled(open);
}

// ---- Sending ----

bool CTerminalDlg::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == sendEdit_ && e->type() == QEvent::KeyPress) {
        const int k = static_cast<QKeyEvent*>(e)->key();
        if (k == Qt::Key_Up || k == Qt::Key_Down) {
            const std::optional<QString> line = k == Qt::Key_Up ? history_.Older(sendEdit_->text()) : history_.Newer();
            if (line)
                sendEdit_->setText(*line);
            return true;
        }
    }
    return FramePage::eventFilter(watched, e);
}

std::optional<terminal::Bytes> CTerminalDlg::LineBytes()
{
    const terminal::Outgoing out =
        hexCheck_->isChecked()
            ? terminal::BuildHex(sendEdit_->text())
            : terminal::BuildText(sendEdit_->text(), encoding(),
                                  static_cast<terminal::LineEnding>(endingCombo_->currentIndex()));
    if (!out.ok()) {
        Refuse(out.refusal);
        return std::nullopt;
    }
    return out.bytes;
}

void CTerminalDlg::OnSend()
{
    // The port may have opened since the last look.
    UpdatePortState();
    if (!portOpen_) {
        QApplication::beep();
        return;
    }
    const std::optional<terminal::Bytes> bytes = LineBytes();
    if (!bytes)
        return;
    if (!bytes->empty())
        Transmit(*bytes);
    Remember(sendEdit_->text());
    sendEdit_->clear();
}

void CTerminalDlg::Remember(const QString& line)
{
    if (line.isEmpty())
        return;
    history_.Add(line);
    if (const auto settings = ui::Remembered())
        settings->setValue(key::kHistory, history_.entries());
}

void CTerminalDlg::OnHexToggled(bool hex)
{
    endingCombo_->setEnabled(!hex);
    sendEdit_->setPlaceholderText(hex ? tr("十六进制字节，如 41 54 0D 0A")
                                      : tr("文本，如 AT+CSQ；回车发送"));
    SaveOptions();
}

void CTerminalDlg::OnTimedToggled(bool on)
{
    UpdatePortState();
    if (!on) {
        sendTimer_.stop();
        return;
    }
    // What the line holds now is what repeats; editing it meanwhile changes
    // nothing until the next start.
    const std::optional<terminal::Bytes> bytes = portOpen_ ? LineBytes() : std::optional<terminal::Bytes>();
    if (bytes && bytes->empty())
        Refuse(tr("发送行是空的，没有可定时发送的内容！"));
    if (!bytes || bytes->empty()) {
        const QSignalBlocker quiet(timedCheck_);
        timedCheck_->setChecked(false);
        return;
    }
    timedBytes_ = *bytes;
    Remember(sendEdit_->text());
    Transmit(timedBytes_);
    sendTimer_.start(intervalSpin_->value(), this);
}

void CTerminalDlg::StopTimed()
{
    if (timedCheck_->isChecked())
        timedCheck_->setChecked(false);
}

void CTerminalDlg::Transmit(const terminal::Bytes& bytes)
{
    ui::SendFrame(this, bytes, [this](const QString& why) { OnSendFailed(why); });
    // Start, 8 data bits, parity, stop: the time the bytes take on the wire.
    const unsigned baud = std::max(1u, g_Serial.BaudRate());
    const std::int64_t bits = std::int64_t(bytes.size()) * (g_Serial.Parity() != 0 ? 11 : 10);
    lineFreeAtMs_ = std::max(SteadyMs(), lineFreeAtMs_) + (bits * 1000 + baud - 1) / baud;
    Record({NowMs(), Kind::Sent, bytes, {}});
}

void CTerminalDlg::OnSendFailed(const QString& why)
{
    StopTimed();
    Record({NowMs(), Kind::Notice, {}, tr("发送失败：%1").arg(why)});
}

void CTerminalDlg::Refuse(const QString& why)
{
    ui::ShowMessage(this, tr(kTip), why, ui::Buttons::Ok, QMessageBox::Warning);
}

// ---- Saved commands ----

void CTerminalDlg::ShowCommands()
{
    QWidget* list = commandsLayout_->parentWidget();
    qDeleteAll(list->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly));
    while (QLayoutItem* item = commandsLayout_->takeAt(0))
        delete item;
    if (commands_.isEmpty()) {
        auto* none = new QLabel(tr("还没有快捷命令。\n按“编辑…”添加。"), list);
        none->setObjectName(QStringLiteral("noCommandsLabel"));
        none->setWordWrap(true);
        commandsLayout_->addWidget(none);
    }
    for (const terminal::SavedCommand& c : std::as_const(commands_)) {
        auto* b = ui::Button(list, c.caption, "commandButton");
        b->setToolTip(c.text);
        b->setAccessibleDescription(tr("发送%1：%2").arg(c.hex ? tr("十六进制") : QString(),
                                                                    c.text));
        b->setEnabled(portOpen_);
        connect(b, &QPushButton::clicked, this, [this, c] { SendCommand(c); });
        commandsLayout_->addWidget(b);
    }
    commandsLayout_->addStretch(1);
}

void CTerminalDlg::OnEditCommands()
{
    CCommandsDlg editor(commands_, this);
    if (editor.exec() != QDialog::Accepted)
        return;
    commands_ = editor.commands();
    SaveCommands();
    ShowCommands();
}

void CTerminalDlg::SendCommand(const terminal::SavedCommand& command)
{
    UpdatePortState();
    if (!portOpen_)
        return;
    const terminal::Outgoing out =
        command.hex ? terminal::BuildHex(command.text)
                    : terminal::BuildText(command.text, encoding(),
                                          static_cast<terminal::LineEnding>(endingCombo_->currentIndex()));
    if (!out.ok()) {
        Refuse(tr("快捷命令“%1”：%2").arg(command.caption, out.refusal));
        return;
    }
    if (!out.bytes.empty())
        Transmit(out.bytes);
}

// ---- What the view and the log show ----

void CTerminalDlg::OnFrame(const ui::FrameEvent& frame)
{
    const auto length = static_cast<std::size_t>(std::clamp<std::int32_t>(frame.lParam, 0, ReceiveBuffer::kCapacity));
    if (length == 0)
        return;
    const auto bytes = frame.buffer.first(length);
    Record({NowMs(), Kind::Received, terminal::Bytes(bytes.begin(), bytes.end()), {}});
}

void CTerminalDlg::Record(Chunk chunk)
{
    if (log_.isOpen()) {
        const auto view = static_cast<terminal::View>(viewCombo_->currentIndex());
        QString line = QDateTime::fromMSecsSinceEpoch(chunk.wallMs).toString(QStringLiteral("yyyy-MM-dd ")) +
                       QString::fromStdString(monitor::FormatTime(chunk.wallMs)) + u' ' + Mark(chunk.kind);
        if (chunk.kind == Kind::Notice)
            line += chunk.notice;
        else if (view == terminal::View::Text)
            line += terminal::OneLine(chunk.bytes, encoding());
        else
            line += terminal::Render(chunk.bytes, terminal::View::Hex, encoding()).join(u' ') +
                    (view == terminal::View::Both ? QStringLiteral("  ") + terminal::OneLine(chunk.bytes, encoding())
                                                  : QString());
        if (const QString failure = log_.Write(line); !failure.isEmpty())
            StopLog(failure);
    }
    AppendToView(chunk);
    chunkBytes_ += chunk.bytes.size();
    chunks_.push_back(std::move(chunk));
    while (chunks_.size() > kKeptChunks || (chunkBytes_ > kKeptBytes && chunks_.size() > 1)) {
        chunkBytes_ -= chunks_.front().bytes.size();
        chunks_.pop_front();
    }
}

QString CTerminalDlg::Mark(Kind kind)
{
    switch (kind) {
    case Kind::Sent: return QStringLiteral("TX ");
    case Kind::Received: return QStringLiteral("RX ");
    case Kind::Notice: break;
    }
    return QStringLiteral("!! ");
}

void CTerminalDlg::AppendToView(const Chunk& chunk)
{
    const bool showSent = showSentCheck_->isChecked();
    if (chunk.kind == Kind::Sent && !showSent)
        return;
    QString prefix;
    if (stampsCheck_->isChecked())
        prefix = QStringLiteral("[%1] ").arg(QString::fromStdString(monitor::FormatTime(chunk.wallMs)));
    // Received chunks need no mark while nothing else is shown.
    if (chunk.kind == Kind::Notice || showSent)
        prefix += Mark(chunk.kind);
    const QStringList lines =
        chunk.kind == Kind::Notice
            ? QStringList{chunk.notice}
            : terminal::Render(chunk.bytes, static_cast<terminal::View>(viewCombo_->currentIndex()), encoding());
    if (lines.isEmpty())
        return;

    QScrollBar* bar = view_->verticalScrollBar();
    const bool following = bar->value() == bar->maximum();
    QTextCursor cursor(view_->document());
    cursor.movePosition(QTextCursor::End);
    cursor.beginEditBlock();
    // Each chunk on lines of its own; the lines after its first are indented
    // under its text.
    const QString indent(prefix.size(), QLatin1Char(' '));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (!view_->document()->isEmpty())
            cursor.insertBlock();
        cursor.insertText((i == 0 ? prefix : indent) + lines[i]);
    }
    cursor.endEditBlock();
    if (following)
        bar->setValue(bar->maximum());
}

void CTerminalDlg::OnShowOptionChanged()
{
    // Hex rows line up only unbroken.
    view_->setLineWrapMode(viewCombo_->currentIndex() == int(terminal::View::Text) ? QPlainTextEdit::WidgetWidth
                                                                                    : QPlainTextEdit::NoWrap);
    SaveOptions();
    if (!loading_)
        ShowAgain();
}

void CTerminalDlg::ShowAgain()
{
    view_->setUpdatesEnabled(false);
    view_->clear();
    for (const Chunk& c : chunks_)
        AppendToView(c);
    view_->setUpdatesEnabled(true);
    view_->verticalScrollBar()->setValue(view_->verticalScrollBar()->maximum());
}

void CTerminalDlg::OnClear()
{
    view_->clear();
    chunks_.clear();
    chunkBytes_ = 0;
}

// ---- The session log ----

void CTerminalDlg::OnLog()
{
    if (log_.isOpen()) {
        StopLog({});
        return;
    }
    const QString path =
        ui::GetSaveFileName(this, tr("日志文件 (*.log *.txt);;所有文件 (*)"));
    if (path.isEmpty())
        return;
    QString failure = log_.Open(path);
    if (failure.isEmpty()) {
        const QString port = g_Serial.IsOpen()
                                 ? tr("串口 %1，%2 bps").arg(QString::fromStdString(g_Serial.PortPath()))
                                       .arg(g_Serial.BaudRate())
                                 : tr("串口未打开");
        const QString now = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        failure = log_.Write(tr("# 调试工具会话日志，开始于 %1，%2").arg(now, port));
    }
    if (!failure.isEmpty()) {
        ui::ShowMessage(this, ui::AppCaption(), failure, ui::Buttons::Ok, QMessageBox::Warning);
        return;
    }
    logButton_->setText(tr("停止日志"));
    logState_->setText(tr("正在记录日志：%1").arg(path));
    logState_->show();
}

void CTerminalDlg::StopLog(const QString& why)
{
    log_.Close();
    logButton_->setText(tr(kLogCaption));
    if (why.isEmpty()) {
        logState_->clear();
        logState_->hide();
        return;
    }
    logState_->setText(tr("日志已停止：%1").arg(why));
    // Said after the frame in hand has reached every page, not inside its
    // notification.
    QMetaObject::invokeMethod(
        this,
        [this, why] {
            ui::ShowMessage(this, ui::AppCaption(), tr("%1\n日志已停止，终端照常工作。").arg(why),
                            ui::Buttons::Ok, QMessageBox::Warning);
        },
        Qt::QueuedConnection);
}

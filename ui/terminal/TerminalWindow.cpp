#include "ui/terminal/TerminalWindow.h"

#include "driver/serial/BufferedPort.h"
#include "ui/common/Widgets.h"
#include "ui/terminal/TerminalWindowInternal.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QVBoxLayout>

namespace ui::terminal_internal {
const char kLogCaption[] = QT_TRANSLATE_NOOP("TerminalWindow", "保存日志…");
}  // namespace ui::terminal_internal

using ui::terminal_internal::kLogCaption;
using ui::terminal_internal::SteadyMs;

namespace {

QLabel* LabelFor(const QString& caption, QWidget* field, QWidget* parent)
{
    auto* label = ui::Label(caption, parent);
    label->setBuddy(field);
    return label;
}

}  // namespace

TerminalWindow::TerminalWindow(QWidget* parent) : FramePage(ui::kTerminalFrame, tr("调试工具"), parent)
{
    setObjectName(QStringLiteral("CTerminalDlg"));
    BuildForm();
    LoadSettings();
    ShowCommands();
    UpdatePortState();
    resize(900, 560);
}

TerminalWindow::~TerminalWindow() = default;

void TerminalWindow::BuildForm()
{
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);

    portState_ = ui::Named(ui::Label(this), "portState");
    portState_->setWordWrap(true);
    portState_->setAccessibleDescription(tr("串口状态"));
    settingsButton_ = ui::Button(this, tr("系统设置…"), "settingsButton");
    settingsButton_->setAccessibleDescription(tr("打开串口设置页，在那里打开或关闭串口"));

    view_ = ui::Named(new terminal::ReceiveView(this), "receiveView");
    view_->setFont(fixed);
    view_->setMaxLines(kViewLines);
    view_->setAccessibleName(tr("接收区"));
    view_->setAccessibleDescription(tr("收到的数据，每段数据（线路静默处结束）另起一行；只保留最新的部分"));
    viewLinesSpin_ = ui::Named(new QSpinBox(this), "viewLinesSpin");
    viewLinesSpin_->setRange(kMinViewLines, kMaxViewLines);
    viewLinesSpin_->setValue(kViewLines);
    viewLinesSpin_->setSingleStep(1000);
    viewLinesSpin_->setAccessibleDescription(tr("接收区最多保留的行数；更早的行移出接收区（日志中仍有）"));
    linesGone_ = ui::Named(ui::Label(this), "linesGone");
    linesGone_->setAccessibleDescription(tr("移出接收区的行数"));
    linesGone_->hide();

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
    logState_ = ui::Named(ui::Label(this), "logState");
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
    states->addWidget(linesGone_);
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
    showRow->addWidget(LabelFor(tr("保留行数:"), viewLinesSpin_, this));
    showRow->addWidget(viewLinesSpin_);
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

    connect(settingsButton_, &QPushButton::clicked, this, &TerminalWindow::settingsRequested);
    connect(sendEdit_, &QLineEdit::returnPressed, this, &TerminalWindow::OnSend);
    connect(sendButton_, &QPushButton::clicked, this, &TerminalWindow::OnSend);
    connect(hexCheck_, &QCheckBox::toggled, this, &TerminalWindow::OnHexToggled);
    connect(timedCheck_, &QCheckBox::toggled, this, &TerminalWindow::OnTimedToggled);
    connect(intervalSpin_, &QSpinBox::valueChanged, this, [this](int ms) {
        if (sendTimer_.isActive())
            sendTimer_.start(ms, this);
        SaveOptions();
    });
    connect(viewCombo_, &QComboBox::currentIndexChanged, this, &TerminalWindow::OnShowOptionChanged);
    connect(encodingCombo_, &QComboBox::currentIndexChanged, this, &TerminalWindow::OnShowOptionChanged);
    connect(stampsCheck_, &QCheckBox::toggled, this, &TerminalWindow::OnShowOptionChanged);
    connect(showSentCheck_, &QCheckBox::toggled, this, &TerminalWindow::OnShowOptionChanged);
    connect(endingCombo_, &QComboBox::currentIndexChanged, this, &TerminalWindow::SaveOptions);
    connect(clearButton_, &QPushButton::clicked, this, &TerminalWindow::OnClear);
    connect(viewLinesSpin_, &QSpinBox::valueChanged, this, &TerminalWindow::OnViewLinesChanged);
    stream_ = new ui::StreamReader({[this] { liveSinceMs_ = ui::terminal_internal::NowMs(); },
                                    [this](ui::StreamReader::Records& records) { RecordCut(records); },
                                    [this](quint64 count) { OnDropped(count); }},
                                   this);
    connect(logButton_, &QPushButton::clicked, this, &TerminalWindow::OnLog);
    connect(editCommandsButton_, &QPushButton::clicked, this, &TerminalWindow::OnEditCommands);


    OnHexToggled(false);
    OnShowOptionChanged();
}

bool TerminalWindow::wantsFrames() const
{
    return isVisible() || log_.isOpen();
}

QString TerminalWindow::viewText() const
{
    return view_->text();
}

text::Encoding TerminalWindow::encoding() const
{
    return encodingCombo_->currentIndex() == 1 ? text::Encoding::Utf8 : text::Encoding::Gbk;
}

// ---- The port ----

void TerminalWindow::showEvent(QShowEvent* e)
{
    FramePage::showEvent(e);
    UpdatePortState();
    portTimer_.start(100, this);
}

void TerminalWindow::hideEvent(QHideEvent* e)
{
    // Nobody watches a closed window's timed send.
    portTimer_.stop();
    StopTimed();
    FramePage::hideEvent(e);
}

void TerminalWindow::timerEvent(QTimerEvent* e)
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

void TerminalWindow::UpdatePortState()
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

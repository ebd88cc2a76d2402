// The toolbar and the right-click menu: the two ways to the pages.
#include "driver/serial/BufferedPort.h"
#include "ui/app/MainWindow.h"
#include "ui/common/Widgets.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>
#include <QToolBar>
#include <QVBoxLayout>

#include <algorithm>
#include <iterator>

namespace {

struct Command {
    const char* name;
    // Its number, kept as the "commandId" property as controls keep theirs
    // (ui::Tag); 0 for a command of our own, which has none.
    int id;
    const char* caption;
    const char* icon;
    void (MainWindow::*slot)();
};

struct Key {
    void (MainWindow::*slot)();
    QKeyCombination key;
};

void GiveKey(MainWindow* window, QAction* action, const Key& k)
{
    action->setShortcut(k.key);
    action->setShortcutContext(Qt::ApplicationShortcut);
    // A menu's items take their keys only while it is open.
    window->addAction(action);
}

QAction* NewAction(MainWindow* window, const Command& c)
{
    auto* action = new QAction(QIcon(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(c.icon))),
                               MainWindow::tr(c.caption), window);
    action->setObjectName(QLatin1String(c.name));
    if (c.id != 0)
        action->setProperty("commandId", c.id);
    QObject::connect(action, &QAction::triggered, window, c.slot);
    return action;
}

}  // namespace

void MainWindow::BuildCommands()
{
    static const Command kToolbar[] = {
        {"settingsToolbarAction", 1004, QT_TR_NOOP("系统设置"), "settings", &MainWindow::OnSettings},
        {"dtuToolbarAction", 1005, QT_TR_NOOP("DTU参数设置"), "dtu", &MainWindow::OnDtu},
        {"smsTextToolbarAction", 1006, QT_TR_NOOP("US2编码短信"), "sms-text", &MainWindow::OnSmsText},
        {"smsHexToolbarAction", 1007, QT_TR_NOOP("HEX编码短信"), "sms-hex", &MainWindow::OnSmsHex},
        {"tcpToolbarAction", 1008, QT_TR_NOOP("TCP透传"), "tcp", &MainWindow::OnTcp},
        {"upgradeToolbarAction", 1009, QT_TR_NOOP("在线升级"), "upgrade", &MainWindow::OnUpgrade},
        {"terminalToolbarAction", 1010, QT_TR_NOOP("调试工具"), "debug", &MainWindow::OnDebugTool},
        {"homePageToolbarAction", 1011, QT_TR_NOOP("公司主页"), "home", &MainWindow::OnHomePage},
        {"helpToolbarAction", 1012, QT_TR_NOOP("帮助"), "help", &MainWindow::OnHelp},
        {"monitorToolbarAction", 0, QT_TR_NOOP("线路监视"), "monitor", &MainWindow::OnMonitor},
        {"serverToolbarAction", 0, QT_TR_NOOP("测试服务器"), "server", &MainWindow::OnServer},
        {"benchToolbarAction", 0, QT_TR_NOOP("批量操作"), "bench", &MainWindow::OnBench},
    };
    static const Command kMenu[] = {
        {"settingsMenuAction", 32779, QT_TR_NOOP("系统参数设置(&E)"), "settings", &MainWindow::OnSettings},
        {"dtuMenuAction", 32780, QT_TR_NOOP("DTU参数设置(&V)"), "dtu", &MainWindow::OnDtu},
        {"smsTextMenuAction", 32781, QT_TR_NOOP("短信传输(&S)"), "sms-text", &MainWindow::OnSmsText},
        {"smsHexMenuAction", 32782, QT_TR_NOOP("透明传输(&T)"), "sms-hex", &MainWindow::OnSmsHex},
        {"tcpMenuAction", 32783, QT_TR_NOOP("TCP传输(&P)"), "tcp", &MainWindow::OnTcp},
        {"monitorMenuAction", 0, QT_TR_NOOP("线路监视(&M)"), "monitor", &MainWindow::OnMonitor},
        {"serverMenuAction", 0, QT_TR_NOOP("测试服务器(&N)"), "server", &MainWindow::OnServer},
        {"benchMenuAction", 0, QT_TR_NOOP("批量操作(&B)"), "bench", &MainWindow::OnBench},
        {"recordsMenuAction", 0, QT_TR_NOOP("记录(&R)"), "records", &MainWindow::OnRecords},
    };

    // Keys that open a page from any of the tool's windows. Each belongs to
    // one action, lest Qt find two and take neither: the right-click menu's
    // item, which shows it, where the page has one.
    static const Key kKeys[] = {
        {&MainWindow::OnDebugTool, Qt::CTRL | Qt::Key_T},
        {&MainWindow::OnMonitor, Qt::CTRL | Qt::Key_M},
        {&MainWindow::OnBench, Qt::CTRL | Qt::Key_B},
        {&MainWindow::OnRecords, Qt::CTRL | Qt::Key_R},
    };
    const auto keyOf = [](const Command& c) -> const Key* {
        for (const Key& k : kKeys)
            if (k.slot == c.slot)
                return &k;
        return nullptr;
    };

    auto* toolbar = new QToolBar(this);
    toolbar->setObjectName(QStringLiteral("toolbar"));
    toolbar->setIconSize(QSize(32, 32));
    toolbar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    toolbar->setMovable(false);
    const auto inMenu = [](const Command& c) {
        return std::any_of(std::begin(kMenu), std::end(kMenu), [&c](const Command& m) { return m.slot == c.slot; });
    };
    for (const Command& c : kToolbar) {
        QAction* action = NewAction(this, c);
        toolbar->addAction(action);
        if (const Key* k = keyOf(c)) {
            action->setToolTip(QStringLiteral("%1 (%2)").arg(action->text(),
                                                            QKeySequence(k->key).toString(QKeySequence::NativeText)));
            if (!inMenu(c))
                GiveKey(this, action, *k);
        }
        // Toolbar buttons take the keyboard focus too: Tab reaches them,
        // Space presses them.
        if (QWidget* button = toolbar->widgetForAction(action)) {
            button->setFocusPolicy(Qt::StrongFocus);
            button->setMinimumSize(57, 60);
        }
        toolbar->addSeparator();
    }

    // The right-click menu, also reached with the menu key.
    menu_ = new QMenu(tr("选择(&C)"), this);
    for (const Command& c : kMenu) {
        QAction* action = NewAction(this, c);
        menu_->addAction(action);
        // Three groups: the settings, the transfers, the tools.
        if (c.slot == &MainWindow::OnDtu || c.slot == &MainWindow::OnTcp)
            menu_->addSeparator();
        if (const Key* k = keyOf(c))
            GiveKey(this, action, *k);
    }

    // A window manager's menu cannot take items from a program: the about
    // item sits at the end of this one instead.
    menu_->addSeparator();
    auto* about = new QAction(tr("关于 Tavrin(&A)..."), this);
    about->setObjectName(QStringLiteral("aboutMenuAction"));
    about->setProperty("commandId", 16);
    connect(about, &QAction::triggered, this, &MainWindow::OnAboutBox);
    menu_->addAction(about);

    hint_ = ui::Named(ui::Label(this), "hint");
    hint_->setAlignment(Qt::AlignCenter);
    hint_->setEnabled(false);
    hintSaysOpen_ = !g_Serial.IsOpen();
    UpdateHint();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(toolbar);
    layout->addWidget(hint_, 1);
}

void MainWindow::UpdateHint()
{
    const bool open = g_Serial.IsOpen();
    if (open == hintSaysOpen_)
        return;
    hintSaysOpen_ = open;
    hint_->setText(open ? tr("用工具栏或右键菜单打开各功能页。")
                        : tr("用工具栏或右键菜单打开各功能页。\n先在“系统设置”中打开串口。"));
}

void MainWindow::contextMenuEvent(QContextMenuEvent* e)
{
    menu_->exec(e->globalPos());
}

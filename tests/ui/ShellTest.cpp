// The main window, the settings page and the login prompt, driven through
// their real widgets (offscreen). Message boxes are answered through the
// application's message function; frames come through a real
// pseudo-terminal.
#include "driver/serial/BufferedPort.h"
#include "tests/support/MessageBoxes.h"
#include "tests/support/Pty.h"
#include "ui/app/LoginDialog.h"
#include "ui/app/MainWindow.h"
#include "ui/bench/BenchPage.h"
#include "ui/dtu/DtuPage.h"
#include "ui/monitor/MonitorWindow.h"
#include "ui/pages/SmsHexPage.h"
#include "ui/pages/SmsTextPage.h"
#include "ui/pages/TcpPage.h"
#include "ui/records/RecordsPage.h"
#include "ui/terminal/TerminalWindow.h"
#include "ui/upgrade/UpgradePage.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include <functional>
#include <memory>

namespace {

// Records the types and lengths of the frame events a page receives.
class FrameRecorder : public QObject {
public:
    FrameRecorder(std::vector<std::pair<int, int>>& log) : log_(log) {}
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() >= QEvent::Type(1001) && e->type() <= QEvent::Type(1025))
            log_.emplace_back(static_cast<int>(e->type()), static_cast<const ui::FrameEvent*>(e)->length);
        return false;
    }

private:
    std::vector<std::pair<int, int>>& log_;
};

}  // namespace

class ShellTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<MainWindow> window_;
    std::unique_ptr<PtyPair> pty_;
    MessageBoxes boxes_;
    QStringList ports_;

    void Trigger(const QString& action) { window_->findChild<QAction*>(action)->trigger(); }
    void Trigger(const char* action) { Trigger(QLatin1String(action)); }
    void OpenPty()
    {
        pty_ = std::make_unique<PtyPair>();
        QVERIFY(g_Serial.Open(pty_->terminalPath(), 115200, 0));
    }
    // Runs `interact` on the login prompt once it is up, then opens the upgrade page.
    void WithLogin(std::function<void(LoginDialog*)> interact)
    {
        QTimer::singleShot(0, this, [interact] {
            auto* login = qobject_cast<LoginDialog*>(QApplication::activeModalWidget());
            QVERIFY(login);
            interact(login);
            if (login->isVisible())
                login->reject();
        });
        Trigger("upgradeToolbarAction");
    }

private slots:
    void init()
    {
        boxes_.Start();
        window_ = std::make_unique<MainWindow>([this] { return ports_; });
        window_->show();
    }
    void cleanup()
    {
        window_.reset();
        g_Serial.Close();
        pty_.reset();
        ports_.clear();
        boxes_.Stop();
    }

    void startsWithCaptionSizeAndStatus()
    {
        QCOMPARE(window_->windowTitle(), QStringLiteral("DTU参数配置工具-------Norvale V1.1"));
        QCOMPARE(window_->height(), 400);
        QVERIFY(window_->width() >= 600);
        QCOMPARE(window_->findChild<QLabel*>(QStringLiteral("pane0"))->text(), QStringLiteral("Open"));
        // What a pane shows is what assistive technology reads.
        QVERIFY(window_->findChild<QLabel*>(QStringLiteral("pane0"))->accessibleName().isEmpty());
        QVERIFY(!window_->findChild<QLabel*>(QStringLiteral("pane2"))->text().isEmpty());
    }

    // The toolbar and the right-click menu in their order, separators as
    // "-"; a command with a number keeps it as "commandId".
    void commandsSitInOrderWithTheirNumbers()
    {
        const auto listed = [](const QWidget* holder) {
            QStringList items;
            for (const QAction* a : holder->actions())
                if (a->isSeparator())
                    items << QStringLiteral("-");
                else
                    items << QStringLiteral("%1 %2").arg(a->objectName()).arg(a->property("commandId").toInt());
            return items;
        };
        QStringList toolbar = listed(window_->findChild<QToolBar*>(QStringLiteral("toolbar")));
        toolbar.removeAll(QStringLiteral("-"));  // one after every button
        QCOMPARE(toolbar, (QStringList{"settingsToolbarAction 1004", "dtuToolbarAction 1005",
                                       "smsTextToolbarAction 1006", "smsHexToolbarAction 1007", "tcpToolbarAction 1008",
                                       "upgradeToolbarAction 1009", "terminalToolbarAction 1010",
                                       "homePageToolbarAction 1011", "helpToolbarAction 1012", "monitorToolbarAction 0",
                                       "serverToolbarAction 0", "benchToolbarAction 0"}));
        QCOMPARE(listed(window_->findChild<QMenu*>()),
                 (QStringList{"settingsMenuAction 32779", "dtuMenuAction 32780", "-", "smsTextMenuAction 32781",
                              "smsHexMenuAction 32782", "tcpMenuAction 32783", "-", "monitorMenuAction 0",
                              "serverMenuAction 0", "benchMenuAction 0", "recordsMenuAction 0", "-",
                              "aboutMenuAction 16"}));
    }

    void refusesPagesWhileNoPortIsOpen_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("text");
        const QString dtu = QStringLiteral("  不能进行DTU参数设置，请检查系统\n设置中是否打开可用串口！");
        const QString sms = QStringLiteral("  不能进行短信发送，请检查系统\n设置中是否打开可用串口！");
        const QString hex = QStringLiteral("  不能进行透明传输，请检查系统\n设置中是否打开可用串口！");
        const QString tcp = QStringLiteral("  不能进行TCP传输，请检查系统\n设置中是否打开可用串口！");
        QTest::newRow("dtuToolbarAction") << QStringLiteral("dtuToolbarAction") << dtu;
        QTest::newRow("dtuMenuAction") << QStringLiteral("dtuMenuAction") << dtu;
        QTest::newRow("smsTextToolbarAction") << QStringLiteral("smsTextToolbarAction") << sms;
        QTest::newRow("smsTextMenuAction") << QStringLiteral("smsTextMenuAction") << sms;
        QTest::newRow("smsHexToolbarAction") << QStringLiteral("smsHexToolbarAction") << hex;
        QTest::newRow("smsHexMenuAction") << QStringLiteral("smsHexMenuAction") << hex;
        QTest::newRow("tcpToolbarAction") << QStringLiteral("tcpToolbarAction") << tcp;
        QTest::newRow("tcpMenuAction") << QStringLiteral("tcpMenuAction") << tcp;
        QTest::newRow("upgradeToolbarAction says the TCP text") << QStringLiteral("upgradeToolbarAction") << tcp;
    }
    void refusesPagesWhileNoPortIsOpen()
    {
        QFETCH(QString, action);
        QFETCH(QString, text);
        Trigger(action);
        QCOMPARE(boxes_.shown.size(), size_t(1));
        QCOMPARE(boxes_.shown[0].caption, QStringLiteral("错误！"));
        QCOMPARE(boxes_.shown[0].text, text);
        QVERIFY(!window_->dtuPage() && !window_->smsTextPage() && !window_->smsHexPage() && !window_->tcpPage() &&
                !window_->upgradePage());
    }

    void commandsThatNeedNoPort()
    {
        Trigger("settingsToolbarAction");
        QVERIFY(window_->settingsPage() && window_->settingsPage()->isVisible());
        Trigger("settingsMenuAction");
        Trigger("helpToolbarAction");
        QVERIFY(window_->findChild<QDialog*>(QStringLiteral("CAboutDlg"))->isVisible());
        Trigger("terminalToolbarAction");  // the terminal opens with the port closed
        QVERIFY(window_->terminalPage() && window_->terminalPage()->isVisible());
        QVERIFY(boxes_.shown.empty());
    }

    // The keys that open a page from anywhere: each shown beside its item in
    // the right-click menu, each pressed from another window.
    void everyPageKeyIsShownAndOpensItsPage_data()
    {
        QTest::addColumn<QString>("menuItem");
        QTest::addColumn<QKeySequence>("key");
        QTest::addColumn<std::function<QWidget*(MainWindow*)>>("page");
        QTest::newRow("monitor") << QStringLiteral("monitorMenuAction") << QKeySequence(Qt::CTRL | Qt::Key_M)
                                 << std::function([](MainWindow* w) -> QWidget* { return w->monitor(); });
        QTest::newRow("bench") << QStringLiteral("benchMenuAction") << QKeySequence(Qt::CTRL | Qt::Key_B)
                               << std::function([](MainWindow* w) -> QWidget* { return w->benchPage(); });
        QTest::newRow("records") << QStringLiteral("recordsMenuAction") << QKeySequence(Qt::CTRL | Qt::Key_R)
                                 << std::function([](MainWindow* w) -> QWidget* { return w->recordsPage(); });
    }
    void everyPageKeyIsShownAndOpensItsPage()
    {
        QFETCH(QString, menuItem);
        QFETCH(QKeySequence, key);
        QFETCH(std::function<QWidget*(MainWindow*)>, page);
        QCOMPARE(window_->findChild<QAction*>(menuItem)->shortcut(), key);
        // One action a key, or Qt takes neither.
        QList<QKeySequence> keys;
        for (const QAction* action : window_->findChildren<QAction*>())
            if (!action->shortcut().isEmpty()) {
                QVERIFY2(!keys.contains(action->shortcut()), qPrintable(action->shortcut().toString()));
                keys << action->shortcut();
            }
        Trigger("settingsToolbarAction");
        QWidget* settings = window_->settingsPage();
        QApplication::setActiveWindow(settings);
        QVERIFY(QTest::qWaitForWindowActive(settings));
        QTest::keySequence(settings, key);
        QTRY_VERIFY(page(window_.get()) && page(window_.get())->isVisible());
    }

    void pagesAreCreatedOnceAndShownAgain()
    {
        OpenPty();
        Trigger("dtuToolbarAction");
        DtuPage* first = window_->dtuPage();
        QVERIFY(first && first->isVisible());
        QCOMPARE(first->windowTitle(), QStringLiteral("DTU参数设置"));
        first->close();
        QVERIFY(!first->isVisible());
        Trigger("dtuMenuAction");
        QCOMPARE(window_->dtuPage(), first);
        QVERIFY(first->isVisible());
        QCOMPARE(window_->findChildren<DtuPage*>().size(), qsizetype(1));

        Trigger("smsTextToolbarAction");
        Trigger("smsHexToolbarAction");
        Trigger("tcpToolbarAction");
        QCOMPARE(window_->smsTextPage()->windowTitle(), QStringLiteral("短信US2编码方式传输"));
        QCOMPARE(window_->smsHexPage()->windowTitle(), QStringLiteral("短信HEX编码方式传输"));
        QCOMPARE(window_->tcpPage()->windowTitle(), QStringLiteral("TCP数据传输"));
        QVERIFY(boxes_.shown.empty());
    }

    void password_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("exact") << QStringLiteral("QWPZ") << true;
        QTest::newRow("lower case") << QStringLiteral("qwpz") << false;
        QTest::newRow("trailing space") << QStringLiteral("QWPZ ") << false;
        QTest::newRow("empty") << QString() << false;
        QTest::newRow("longer") << QStringLiteral("QWPZX") << false;
    }
    void password()
    {
        QFETCH(QString, typed);
        QFETCH(bool, accepted);
        OpenPty();
        bool stayedOpen = false;
        QString kept, selected;
        WithLogin([&](LoginDialog* login) {
            auto* edit = login->findChild<QLineEdit*>(QStringLiteral("passwordEdit"));
            QTest::keyClicks(edit, typed);
            QTest::keyClick(edit, Qt::Key_Return);  // Enter checks as the button does
            stayedOpen = login->isVisible();
            kept = edit->text();
            selected = edit->selectedText();
        });
        QCOMPARE(window_->upgradePage() != nullptr, accepted);
        QCOMPARE(stayedOpen, !accepted);
        if (accepted) {
            QVERIFY(boxes_.shown.empty());
            QVERIFY(window_->upgradePage()->isVisible());
        } else {
            QCOMPARE(boxes_.shown.size(), size_t(1));
            QCOMPARE(boxes_.shown[0].text, QStringLiteral("输入口令错误,请重新输入！"));
            QCOMPARE(kept, typed);
            QCOMPARE(selected, typed);
        }
    }

    void passwordAskedEveryTimeAndEscDoesNothing()
    {
        OpenPty();
        for (int round = 0; round < 2; ++round) {
            bool asked = false;
            WithLogin([&](LoginDialog* login) {
                asked = true;
                QTest::keyClick(login, Qt::Key_Escape);
                QVERIFY(login->isVisible());
                QTest::keyClicks(login->findChild<QLineEdit*>(QStringLiteral("passwordEdit")), QStringLiteral("QWPZ"));
                QTest::mouseClick(login->findChild<QPushButton*>(QStringLiteral("loginButton")), Qt::LeftButton);
            });
            QVERIFY(asked);
            QVERIFY(window_->upgradePage()->isVisible());
        }
        QCOMPARE(window_->findChildren<UpgradePage*>().size(), qsizetype(1));
    }

    void enterAndEscDoNothingInTheMainWindow()
    {
        for (int key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape})
            QTest::keyClick(window_.get(), Qt::Key(key));
        QVERIFY(window_->isVisible());
        QVERIFY(!window_->settingsPage());
    }

    void framesGoToVisiblePagesInOrder()
    {
        OpenPty();
        Trigger("dtuToolbarAction");      // DTU page, 1004
        Trigger("tcpToolbarAction");      // TCP page, 1003
        Trigger("smsHexToolbarAction");   // SMS HEX page, hidden below
        Trigger("smsTextToolbarAction");  // SMS text page, 1001
        window_->smsHexPage()->hide();

        std::vector<std::pair<int, int>> log;
        FrameRecorder recorder(log);
        for (QObject* page : std::initializer_list<QObject*>{window_->dtuPage(), window_->tcpPage(),
                                                             window_->smsHexPage(), window_->smsTextPage()})
            page->installEventFilter(&recorder);

        pty_->Send({0xFA, 0x00, 0xE7, 0x01, 0x00, 0xE2, 0x0D});
        QTRY_COMPARE_WITH_TIMEOUT(log.size(), size_t(3), 3000);
        QCOMPARE(log[0], std::make_pair(1001, 7));
        QCOMPARE(log[1], std::make_pair(1003, 7));
        QCOMPARE(log[2], std::make_pair(1004, 7));
        QCOMPARE(g_Rx.RxLength(), 0);
        // One frame, one round of notifications.
        QTest::qWait(700);
        QCOMPARE(log.size(), size_t(3));
    }

    void settingsPageOpensAndClosesThePort()
    {
        pty_ = std::make_unique<PtyPair>();
        ports_ = {QString::fromStdString(pty_->terminalPath())};
        Trigger("settingsToolbarAction");
        SerialSettingsPage* page = window_->settingsPage();
        auto* port = page->findChild<QComboBox*>(QStringLiteral("portCombo"));
        auto* baud = page->findChild<QComboBox*>(QStringLiteral("baudCombo"));
        auto* parity = page->findChild<QComboBox*>(QStringLiteral("parityCombo"));
        auto* open = page->findChild<QPushButton*>(QStringLiteral("openButton"));
        auto* refresh = page->findChild<QPushButton*>(QStringLiteral("refreshButton"));
        QCOMPARE(port->currentText(), ports_[0]);
        QCOMPARE(baud->currentText(), QStringLiteral("115200"));
        QCOMPARE(parity->currentText(), QStringLiteral("NO"));

        QTest::mouseClick(open, Qt::LeftButton);
        QVERIFY(g_Serial.IsOpen());
        QCOMPARE(g_Serial.BaudRate(), 115200u);
        QCOMPARE(open->text(), QStringLiteral("关闭"));
        QVERIFY(!port->isEnabled() && !baud->isEnabled() && !parity->isEnabled() && !refresh->isEnabled());

        QTest::mouseClick(open, Qt::LeftButton);
        QVERIFY(!g_Serial.IsOpen());
        QCOMPARE(open->text(), QStringLiteral("打开"));
        QVERIFY(port->isEnabled() && baud->isEnabled() && parity->isEnabled() && refresh->isEnabled());

        // A typed path and another rate.
        baud->setCurrentIndex(3);
        port->setEditText(QString::fromStdString(pty_->terminalPath()));
        QTest::mouseClick(open, Qt::LeftButton);
        QCOMPARE(g_Serial.BaudRate(), 9600u);
        QTest::mouseClick(open, Qt::LeftButton);

        // A failed open leaves the page closed and says why on the page.
        port->setEditText(QStringLiteral("/dev/no-such-port"));
        QTest::mouseClick(open, Qt::LeftButton);
        QVERIFY(!g_Serial.IsOpen());
        QCOMPARE(open->text(), QStringLiteral("打开"));
        QVERIFY(page->failureText().contains(QStringLiteral("/dev/no-such-port")));
        QVERIFY(boxes_.shown.empty());
    }

    void lostPortIsClosedAndSaidOnce()
    {
        pty_ = std::make_unique<PtyPair>();
        ports_ = {QString::fromStdString(pty_->terminalPath())};
        Trigger("settingsToolbarAction");
        auto* open = window_->settingsPage()->findChild<QPushButton*>(QStringLiteral("openButton"));
        QTest::mouseClick(open, Qt::LeftButton);
        QVERIFY(g_Serial.IsOpen());

        pty_->CloseMaster();  // the device goes away
        QTRY_VERIFY_WITH_TIMEOUT(!g_Serial.IsOpen(), 2000);
        QCOMPARE(open->text(), QStringLiteral("打开"));
        QTest::qWait(300);
        QCOMPARE(boxes_.shown.size(), size_t(1));
        QCOMPARE(boxes_.shown[0].caption, QStringLiteral("错误！"));
        QVERIFY(boxes_.shown[0].text.contains(QString::fromStdString(pty_->terminalPath())));
        QVERIFY(window_->isVisible());
    }

    // What a DTU, a server or a file says is shown as it is: no label takes
    // it for markup (the about box's own text aside).
    void everyLabelShowsPlainText()
    {
        OpenPty();
        for (const char* action : {"settingsToolbarAction", "dtuToolbarAction", "smsTextToolbarAction",
                                   "smsHexToolbarAction", "tcpToolbarAction", "terminalToolbarAction",
                                   "helpToolbarAction", "monitorToolbarAction", "serverToolbarAction"})
            Trigger(action);
        const auto labels = window_->findChildren<QLabel*>();
        QVERIFY(labels.size() > 40);
        for (const QLabel* label : labels)
            if (label->objectName() != QLatin1String("aboutText"))
                QVERIFY2(label->textFormat() == Qt::PlainText, qPrintable(label->objectName() + label->text()));
    }

    void theHintFollowsThePort()
    {
        auto* hint = window_->findChild<QLabel*>(QStringLiteral("hint"));
        QVERIFY(hint->text().contains(QStringLiteral("系统设置")));
        OpenPty();
        QTRY_VERIFY(!hint->text().contains(QStringLiteral("系统设置")));
        g_Serial.Close();
        QTRY_VERIFY(hint->text().contains(QStringLiteral("系统设置")));
    }

    void closingTheMainWindowEndsWithPagesAndPortOpen()
    {
        OpenPty();
        Trigger("dtuToolbarAction");
        Trigger("settingsToolbarAction");
        QSignalSpy closed(window_.get(), &MainWindow::closed);
        window_->close();
        QCOMPARE(closed.count(), 1);
        window_.reset();  // pages go with it; the reader is joined on Close
        QVERIFY(g_Serial.Close());
    }
};

QTEST_MAIN(ShellTest)
#include "ShellTest.moc"

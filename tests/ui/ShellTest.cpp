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
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

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

    void Trigger(int id) { window_->findChild<QAction*>(QStringLiteral("action%1").arg(id))->trigger(); }
    void OpenPty()
    {
        pty_ = std::make_unique<PtyPair>();
        QVERIFY(g_Serial.Open(pty_->terminalPath(), 115200, 0));
    }
    // Runs `interact` on the login prompt once it is up, then triggers 1009.
    void WithLogin(std::function<void(LoginDialog*)> interact)
    {
        QTimer::singleShot(0, this, [interact] {
            auto* login = qobject_cast<LoginDialog*>(QApplication::activeModalWidget());
            QVERIFY(login);
            interact(login);
            if (login->isVisible())
                login->reject();
        });
        Trigger(1009);
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

    void refusesPagesWhileNoPortIsOpen_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("text");
        const QString dtu = QStringLiteral("  不能进行DTU参数设置，请检查系统\n设置中是否打开可用串口！");
        const QString sms = QStringLiteral("  不能进行短信发送，请检查系统\n设置中是否打开可用串口！");
        const QString hex = QStringLiteral("  不能进行透明传输，请检查系统\n设置中是否打开可用串口！");
        const QString tcp = QStringLiteral("  不能进行TCP传输，请检查系统\n设置中是否打开可用串口！");
        QTest::newRow("1005") << 1005 << dtu;
        QTest::newRow("32780") << 32780 << dtu;
        QTest::newRow("1006") << 1006 << sms;
        QTest::newRow("32781") << 32781 << sms;
        QTest::newRow("1007") << 1007 << hex;
        QTest::newRow("32782") << 32782 << hex;
        QTest::newRow("1008") << 1008 << tcp;
        QTest::newRow("32783") << 32783 << tcp;
        QTest::newRow("1009 says the TCP text") << 1009 << tcp;
    }
    void refusesPagesWhileNoPortIsOpen()
    {
        QFETCH(int, id);
        QFETCH(QString, text);
        Trigger(id);
        QCOMPARE(boxes_.shown.size(), size_t(1));
        QCOMPARE(boxes_.shown[0].caption, QStringLiteral("错误！"));
        QCOMPARE(boxes_.shown[0].text, text);
        QVERIFY(!window_->dtuPage() && !window_->smsTextPage() && !window_->smsHexPage() && !window_->tcpPage() &&
                !window_->upgradePage());
    }

    void commandsThatNeedNoPort()
    {
        Trigger(1004);
        QVERIFY(window_->uartPage() && window_->uartPage()->isVisible());
        Trigger(32779);
        Trigger(1012);
        QVERIFY(window_->findChild<QDialog*>(QStringLiteral("CAboutDlg"))->isVisible());
        Trigger(1010);  // the terminal opens with the port closed
        QVERIFY(window_->terminalPage() && window_->terminalPage()->isVisible());
        QVERIFY(boxes_.shown.empty());
    }

    // The keys that open a page from anywhere: each shown beside its item in
    // the right-click menu, each pressed from another window.
    void everyPageKeyIsShownAndOpensItsPage_data()
    {
        QTest::addColumn<int>("menuItem");
        QTest::addColumn<QKeySequence>("key");
        QTest::addColumn<std::function<QWidget*(MainWindow*)>>("page");
        QTest::newRow("monitor") << 32784 << QKeySequence(Qt::CTRL | Qt::Key_M)
                                 << std::function([](MainWindow* w) -> QWidget* { return w->monitor(); });
        QTest::newRow("bench") << 32786 << QKeySequence(Qt::CTRL | Qt::Key_B)
                               << std::function([](MainWindow* w) -> QWidget* { return w->benchPage(); });
        QTest::newRow("records") << 32787 << QKeySequence(Qt::CTRL | Qt::Key_R)
                                 << std::function([](MainWindow* w) -> QWidget* { return w->recordsPage(); });
    }
    void everyPageKeyIsShownAndOpensItsPage()
    {
        QFETCH(int, menuItem);
        QFETCH(QKeySequence, key);
        QFETCH(std::function<QWidget*(MainWindow*)>, page);
        QCOMPARE(window_->findChild<QAction*>(QStringLiteral("action%1").arg(menuItem))->shortcut(), key);
        // One action a key, or Qt takes neither.
        QList<QKeySequence> keys;
        for (const QAction* action : window_->findChildren<QAction*>())
            if (!action->shortcut().isEmpty()) {
                QVERIFY2(!keys.contains(action->shortcut()), qPrintable(action->shortcut().toString()));
                keys << action->shortcut();
            }
        Trigger(1004);
        QWidget* settings = window_->uartPage();
        QApplication::setActiveWindow(settings);
        QVERIFY(QTest::qWaitForWindowActive(settings));
        QTest::keySequence(settings, key);
        QTRY_VERIFY(page(window_.get()) && page(window_.get())->isVisible());
    }

    void pagesAreCreatedOnceAndShownAgain()
    {
        OpenPty();
        Trigger(1005);
        DtuPage* first = window_->dtuPage();
        QVERIFY(first && first->isVisible());
        QCOMPARE(first->windowTitle(), QStringLiteral("DTU参数设置"));
        first->close();
        QVERIFY(!first->isVisible());
        Trigger(32780);
        QCOMPARE(window_->dtuPage(), first);
        QVERIFY(first->isVisible());
        QCOMPARE(window_->findChildren<DtuPage*>().size(), qsizetype(1));

        Trigger(1006);
        Trigger(1007);
        Trigger(1008);
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
        QVERIFY(!window_->uartPage());
    }

    void framesGoToVisiblePagesInOrder()
    {
        OpenPty();
        Trigger(1005);  // DTU page, 1004
        Trigger(1008);  // TCP page, 1003
        Trigger(1007);  // SMS HEX page, hidden below
        Trigger(1006);  // SMS text page, 1001
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
        Trigger(1004);
        SerialSettingsPage* page = window_->uartPage();
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
        Trigger(1004);
        auto* open = window_->uartPage()->findChild<QPushButton*>(QStringLiteral("openButton"));
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
        for (int id : {1004, 1005, 1006, 1007, 1008, 1010, 1012, 1013, 1014})
            Trigger(id);
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
        Trigger(1005);
        Trigger(1004);
        QSignalSpy closed(window_.get(), &MainWindow::closed);
        window_->close();
        QCOMPARE(closed.count(), 1);
        window_.reset();  // pages go with it; the reader is joined on Close
        QVERIFY(g_Serial.Close());
    }
};

QTEST_MAIN(ShellTest)
#include "ShellTest.moc"

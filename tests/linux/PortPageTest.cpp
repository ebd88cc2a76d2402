// The settings page on a machine of our own: adapters appear and go in a
// fake sysfs and /dev, by-id names point at pseudo-terminals that play the
// adapter, and the real inotify watch tells the page. No real serial device
// is ever opened.
#include "driver/serial/BufferedPort.h"
#include "driver/serial/PortHolder.h"
#include "driver/serial/PortList.h"
#include "dtu-sim/sim/SimulatedDtu.h"
#include "tests/support/FakeSystem.h"
#include "tests/support/Listener.h"
#include "tests/support/MessageBoxes.h"
#include "tests/support/OwnSettings.h"
#include "tests/support/Pty.h"
#include "tests/support/Ser2net.h"
#include "ui/app/LoginDialog.h"
#include "ui/app/MainWindow.h"
#include "ui/common/Settings.h"
#include "ui/upgrade/UpgradePage.h"

#include <QCheckBox>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <filesystem>
#include <fstream>
#include <memory>

namespace fs = std::filesystem;

namespace {

const char kById[] = "usb-FTDI_FT232R_USB_UART_A10K3XYZ-if00-port0";

}  // namespace

class PortPageTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<FakeSystem> fake_;
    std::unique_ptr<MainWindow> window_;
    MessageBoxes boxes_;
    QStringList extra_;

    serial::Roots Roots() const { return {fake_->sys(), fake_->dev()}; }
    QString ById() const { return QString::fromStdString(fake_->Dev(std::string("serial/by-id/") + kById)); }
    // As udev does: the link goes with the adapter and comes back with it.
    void LinkTo(const std::string& target)
    {
        std::error_code ec;
        fs::remove(fake_->root() / "dev/serial/by-id" / kById, ec);
        if (!target.empty())
            fake_->AddByIdLink(kById, target);
    }
    // What the application lists: its own paths first, then the system's.
    void MakeWindow(const SerialSettingsPage::PortNames& names = {})
    {
        window_ = std::make_unique<MainWindow>(
            [this] {
                QStringList list = extra_;
                for (const std::string& path : serial::ListPorts(Roots()))
                    list << QString::fromStdString(path);
                return list;
            },
            nullptr, Roots(), names);
        window_->show();
    }
    SerialSettingsPage* Page()
    {
        window_->findChild<QAction*>(QStringLiteral("settingsToolbarAction"))->trigger();
        return window_->settingsPage();
    }
    template <class W>
    W* Find(const char* name)
    {
        return window_->settingsPage()->findChild<W*>(QLatin1String(name));
    }

private slots:
    void init()
    {
        fake_ = std::make_unique<FakeSystem>();
        extra_.clear();
        boxes_.Start();
        MakeWindow();
    }
    void cleanup()
    {
        window_.reset();
        g_Serial.Close();
        boxes_.Stop();
        fake_.reset();
    }

    // Every state against every event, as a grid.
    void eachEventMovesTheStateItsOwnWay()
    {
        using S = SerialSettingsPage::State;
        using E = SerialSettingsPage::Event;
        const E events[] = {E::Opened, E::ConnectStarted, E::ConnectFailed, E::Cancelled, E::Closed,
                            E::Lost,   E::Refused,        E::LastRefused,   E::WaitEnded};
        const struct {
            S from;
            S next[std::size(events)];
        } rows[] = {
            // Opened ConnectStarted ConnectFailed Cancelled Closed Lost Refused LastRefused WaitEnded
            {S::Idle, {S::Open, S::Connecting, S::Idle, S::Idle, S::Idle, S::Awaiting, S::Idle, S::Idle, S::Idle}},
            {S::Connecting,
             {S::Open, S::Connecting, S::Idle, S::Idle, S::Connecting, S::Connecting, S::Connecting, S::Connecting,
              S::Connecting}},
            {S::Open, {S::Open, S::Open, S::Open, S::Open, S::Idle, S::Awaiting, S::Open, S::Open, S::Open}},
            {S::Awaiting,
             {S::Open, S::Reconnecting, S::Awaiting, S::Awaiting, S::Awaiting, S::Awaiting, S::Retrying, S::Awaiting,
              S::Idle}},
            {S::Retrying,
             {S::Open, S::Retrying, S::Retrying, S::Retrying, S::Retrying, S::Retrying, S::Retrying, S::Awaiting,
              S::Idle}},
            {S::Reconnecting,
             {S::Open, S::Reconnecting, S::Awaiting, S::Idle, S::Reconnecting, S::Reconnecting, S::Reconnecting,
              S::Reconnecting, S::Connecting}},
        };
        for (const auto& row : rows)
            for (std::size_t i = 0; i < std::size(events); ++i)
                QVERIFY2(SerialSettingsPage::Next(row.from, events[i]) == row.next[i],
                         qPrintable(QStringLiteral("state %1, event %2").arg(int(row.from)).arg(i)));
    }

    void listFollowsAdaptersWithTheirNames()
    {
        SerialSettingsPage* page = Page();
        auto* port = Find<QComboBox>("portCombo");
        QCOMPARE(port->count(), 0);
        QVERIFY(page->setupText().contains(QStringLiteral("没有找到")));

        // Plugged in: node, then its by-id link, as the kernel and udev do.
        fake_->AddUsbDevice("1-1.3", "0403", "6001", "FTDI", "FT232R USB UART", "A10K3XYZ");
        fake_->AddUsbTty("1-1.3", "ttyUSB0", "ftdi_sio");
        LinkTo("../../ttyUSB0");
        const QString usb0 = QString::fromStdString(fake_->Dev("ttyUSB0"));
        QTRY_COMPARE_WITH_TIMEOUT(port->count(), 2, 2000);
        QCOMPARE(port->itemText(0), usb0 + QStringLiteral(" - FT232R USB UART, serial A10K3XYZ"));
        QCOMPARE(port->itemData(0).toString(), usb0);
        QCOMPARE(port->itemText(1), ById());
        QCOMPARE(port->currentIndex(), 0);
        QVERIFY(!page->setupText().contains(QStringLiteral("没有找到")));

        // What the user chose stays chosen when another adapter comes.
        port->setCurrentIndex(1);
        fake_->AddUsbDevice("1-2", "2c7c", "0125", "Quectel", "EC25", "");
        fake_->AddUsbTty("1-2", "ttyACM0", "cdc_acm");
        QTRY_COMPARE_WITH_TIMEOUT(port->count(), 3, 2000);
        QCOMPARE(port->itemText(0), QString::fromStdString(fake_->Dev("ttyACM0")) + QStringLiteral(" - EC25"));
        QCOMPARE(port->currentText(), ById());

        // And so does a typed path; the pulled adapter leaves the list.
        port->setEditText(QStringLiteral("/dev/ttyTyped"));
        fs::remove(fake_->root() / "dev/ttyUSB0");
        LinkTo("");
        QTRY_COMPARE_WITH_TIMEOUT(port->count(), 1, 2000);
        QCOMPARE(port->currentText(), QStringLiteral("/dev/ttyTyped"));

        // A label typed back opens the path it starts with (a fake node is
        // no terminal, which the failure says, naming the path).
        const QString acm0 = QString::fromStdString(fake_->Dev("ttyACM0"));
        port->setEditText(acm0 + QStringLiteral(" - EC25"));
        QTest::mouseClick(Find<QPushButton>("openButton"), Qt::LeftButton);
        QVERIFY(!g_Serial.IsOpen());
        QCOMPARE(page->failureText(), acm0 + QStringLiteral(" 不是串口设备。"));
    }

    void pulledAdapterIsReopenedWithTheSameSettings()
    {
        auto first = std::make_unique<PtyPair>();
        LinkTo(first->terminalPath());
        extra_ = {ById()};
        SerialSettingsPage* page = Page();
        auto* port = Find<QComboBox>("portCombo");
        QCOMPARE(port->currentText(), ById());
        Find<QComboBox>("baudCombo")->setCurrentIndex(3);  // 9600
        QTest::mouseClick(Find<QPushButton>("openButton"), Qt::LeftButton);
        QVERIFY(g_Serial.IsOpen());

        // Pulled: the line hangs up and udev removes the link.
        first->CloseMaster();
        LinkTo("");
        QTRY_VERIFY_WITH_TIMEOUT(page->awaitingReconnect(), 2000);
        QVERIFY(!g_Serial.IsOpen());
        QVERIFY(page->reconnectText().contains(QStringLiteral("已断开")));
        QVERIFY(page->reconnectText().contains(ById()));
        QVERIFY(page->isVisible());
        QVERIFY(boxes_.shown.empty());
        QCOMPARE(Find<QPushButton>("openButton")->text(), QStringLiteral("打开"));

        // Plugged back in; the kernel gives it another name.
        PtyPair second;
        LinkTo(second.terminalPath());
        QTRY_VERIFY_WITH_TIMEOUT(g_Serial.IsOpen(), 3000);
        QCOMPARE(g_Serial.PortPath(), second.terminalPath());
        QCOMPARE(g_Serial.BaudRate(), 9600u);
        QCOMPARE(g_Serial.Parity(), 0u);
        QVERIFY(!page->awaitingReconnect());
        QVERIFY(page->reconnectText().contains(QStringLiteral("已重新打开")));
        QCOMPARE(Find<QPushButton>("openButton")->text(), QStringLiteral("关闭"));
        const std::vector<std::uint8_t> probe = {0xFA, 0x80, 0xE9, 0x01, 0x00, 0x64, 0x0D};
        QVERIFY(g_Serial.Write(probe.data(), probe.size()));
        QCOMPARE(second.Receive(probe.size(), std::chrono::seconds(2)), probe);

        // Pulled again, then reconnecting turned off while it waits.
        second.CloseMaster();
        LinkTo("");
        QTRY_VERIFY_WITH_TIMEOUT(page->awaitingReconnect(), 2000);
        Find<QCheckBox>("reconnectBox")->setChecked(false);
        QVERIFY(!page->awaitingReconnect());
        PtyPair third;
        LinkTo(third.terminalPath());
        // The list takes the adapter back (same event path), the port stays closed.
        QTRY_COMPARE_WITH_TIMEOUT(port->isEnabled(), true, 2000);
        QTRY_VERIFY_WITH_TIMEOUT(port->findData(ById()) >= 0, 2000);
        QVERIFY(!g_Serial.IsOpen());
    }

    void withReconnectOffTheLossIsSaidAsBefore()
    {
        PtyPair pty;
        LinkTo(pty.terminalPath());
        extra_ = {ById()};
        SerialSettingsPage* page = Page();
        Find<QCheckBox>("reconnectBox")->setChecked(false);
        QTest::mouseClick(Find<QPushButton>("openButton"), Qt::LeftButton);
        QVERIFY(g_Serial.IsOpen());
        pty.CloseMaster();
        QTRY_COMPARE_WITH_TIMEOUT(boxes_.shown.size(), size_t(1), 2000);
        QVERIFY(boxes_.shown[0].text.contains(ById()));
        QVERIFY(!page->awaitingReconnect());
        QVERIFY(page->reconnectText().isEmpty());
    }

    void aTransferEndedByTheLossIsNotResumed()
    {
        sim::SimulatedDtu::Options options;
        options.faults.hangupAfterBlocks = 2;  // the adapter is pulled mid-transfer
        sim::SimulatedDtu first(options);
        QVERIFY(first.Start());
        LinkTo(first.TerminalPath());
        extra_ = {ById()};
        Page();
        QTest::mouseClick(Find<QPushButton>("openButton"), Qt::LeftButton);
        QVERIFY(g_Serial.IsOpen());

        QTimer::singleShot(0, window_.get(), [] {
            if (auto* login = qobject_cast<LoginDialog*>(QApplication::activeModalWidget())) {
                login->findChild<QLineEdit*>(QStringLiteral("passwordEdit"))->setText(QStringLiteral("QWPZ"));
                login->findChild<QPushButton*>(QStringLiteral("loginButton"))->click();
            }
        });
        window_->findChild<QAction*>(QStringLiteral("upgradeToolbarAction"))->trigger();
        UpgradePage* upgrade = window_->upgradePage();
        QVERIFY(upgrade && upgrade->isVisible());
        const std::string image = (fake_->root() / "image.bin").string();
        std::ofstream(image, std::ios::binary) << std::string(5000, '\x5A');
        upgrade->findChild<QLineEdit*>(QStringLiteral("pathEdit"))->setText(QString::fromStdString(image));
        QTest::mouseClick(upgrade->findChild<QPushButton*>(QStringLiteral("appButton")), Qt::LeftButton);
        QVERIFY(upgrade->transferring());

        QTRY_VERIFY_WITH_TIMEOUT(first.hungUp(), 10000);
        LinkTo("");
        QTRY_VERIFY_WITH_TIMEOUT(window_->settingsPage()->awaitingReconnect(), 2000);
        QTRY_VERIFY_WITH_TIMEOUT(!upgrade->transferring(), 2000);

        // Back, and reopened; the DTU behind it gets no block unasked.
        sim::SimulatedDtu second({});
        QVERIFY(second.Start());
        LinkTo(second.TerminalPath());
        QTRY_VERIFY_WITH_TIMEOUT(g_Serial.IsOpen(), 3000);
        QCOMPARE(g_Serial.PortPath(), second.TerminalPath());
        QVERIFY(!upgrade->transferring());
        const QString verdict = upgrade->findChild<QLabel*>(QStringLiteral("verdictText"))->text();
        QVERIFY2(verdict.contains(QStringLiteral("升级已中断")), qPrintable(verdict));
        // Three of the page's 100 ms looks: had the transfer resumed, a block would be out.
        QTest::qWait(300);
        QVERIFY(!upgrade->transferring());
        std::size_t blocks = 1;
        second.WithDevice([&](sim::Device& d) { blocks = d.blocksReceived(); });
        QCOMPARE(blocks, std::size_t(0));
        g_Serial.Close();
    }

    void aPortHeldByAnotherProgramIsMarkedAndExplained()
    {
        PtyPair pty;
        const QString path = QString::fromStdString(pty.terminalPath());
        extra_ = {path};
        // flock(1) takes the lock a serial program takes and keeps the port
        // open; -o keeps the lock from its child, so that killing it frees the port.
        QProcess holder;
        holder.start(QStringLiteral("flock"),
                     {QStringLiteral("-o"), QStringLiteral("-x"), path, QStringLiteral("sleep"), QStringLiteral("30")});
        QVERIFY(holder.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(serial::FindHolder(pty.terminalPath()).has_value(), 3000);
        SerialSettingsPage* page = Page();
        auto* port = Find<QComboBox>("portCombo");
        QCOMPARE(port->itemText(0), path + QStringLiteral(" 占用: flock (%1)").arg(holder.processId()));

        QTest::mouseClick(Find<QPushButton>("openButton"), Qt::LeftButton);
        QVERIFY(!g_Serial.IsOpen());
        QTRY_VERIFY_WITH_TIMEOUT(page->failureText().contains(QStringLiteral("kill ")), 3000);
        const QString text = page->failureText();
        QVERIFY2(text.contains(QStringLiteral("占用")), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("flock（进程 %1）").arg(holder.processId())), qPrintable(text));
        holder.kill();
        holder.waitForFinished();

        // Once free, the marked entry opens its path, chosen or typed.
        QTest::mouseClick(Find<QPushButton>("openButton"), Qt::LeftButton);
        QVERIFY(g_Serial.IsOpen());
        QCOMPARE(g_Serial.PortPath(), pty.terminalPath());
        QTest::mouseClick(Find<QPushButton>("openButton"), Qt::LeftButton);
        port->setEditText(path + QStringLiteral(" 占用: minicom (4242)"));
        QTest::mouseClick(Find<QPushButton>("openButton"), Qt::LeftButton);
        QVERIFY(g_Serial.IsOpen());
        QCOMPARE(g_Serial.PortPath(), pty.terminalPath());
    }

    void theSimulatedDtuIsListedByNameAndOpens()
    {
        // It keeps its own terminal open, without a lock: not held.
        sim::SimulatedDtu dtu({});
        QVERIFY(dtu.Start());
        const QString path = QString::fromStdString(dtu.TerminalPath());
        extra_ = {path};
        MakeWindow({{path, QStringLiteral("模拟DTU")}});
        Page();
        QCOMPARE(Find<QComboBox>("portCombo")->itemText(0), path + QStringLiteral(" - 模拟DTU"));
        QTest::mouseClick(Find<QPushButton>("openButton"), Qt::LeftButton);
        QVERIFY(g_Serial.IsOpen());
        QCOMPARE(g_Serial.PortPath(), dtu.TerminalPath());
        g_Serial.Close();
    }

    // Typed URLs through a real ser2net: connected off the window's thread,
    // the rate confirmed by the server or left to it, a connection that
    // hangs cancelled, and a server that goes and comes back reconnected.
    void networkPortsOpenWithoutHoldingTheWindow()
    {
        sim::SimulatedDtu::Options options;
        options.baudRate = 9600;
        sim::SimulatedDtu telnetDtu(options), rawDtu(options);
        QVERIFY(telnetDtu.Start() && rawDtu.Start());
        Ser2net server(telnetDtu.TerminalPath(), rawDtu.TerminalPath(), "9600n81");
        QCOMPARE(QString::fromStdString(server.error()), QString());
        const Listener silent;  // takes connections and never speaks
        SerialSettingsPage* page = Page();
        auto* port = Find<QComboBox>("portCombo");
        auto* open = Find<QPushButton>("openButton");
        Find<QComboBox>("baudCombo")->setCurrentIndex(Find<QComboBox>("baudCombo")->findText(QStringLiteral("9600")));
        const struct {
            std::string url;
            const char* says;
        } rows[] = {{server.Rfc2217Url(), "服务器已确认线路设置：9600 波特，NO"}, {server.SocketUrl(), "由服务器决定"}};
        for (const auto& row : rows) {
            port->setEditText(QString::fromStdString(row.url));
            QTest::mouseClick(open, Qt::LeftButton);
            QVERIFY(page->connecting() || g_Serial.IsOpen());
            QTRY_VERIFY_WITH_TIMEOUT(g_Serial.IsOpen(), 5000);
            QVERIFY2(page->lineText().contains(QString::fromUtf8(row.says)), qPrintable(page->lineText()));
            QCOMPARE(open->text(), QStringLiteral("关闭"));
            QTest::mouseClick(open, Qt::LeftButton);
            QVERIFY(!g_Serial.IsOpen());
        }

        port->setEditText(QStringLiteral("rfc2217://127.0.0.1:%1").arg(silent.port()));
        QTest::mouseClick(open, Qt::LeftButton);
        QVERIFY(page->connecting());
        QCOMPARE(open->text(), QStringLiteral("取消"));
        QVERIFY(!port->isEnabled());
        QTest::mouseClick(open, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!page->connecting(), 1000);
        QVERIFY2(page->lineText().contains(QStringLiteral("已取消连接")), qPrintable(page->lineText()));
        QVERIFY(!g_Serial.IsOpen() && port->isEnabled());

        port->setEditText(QString::fromStdString(server.Rfc2217Url()));
        QTest::mouseClick(open, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(g_Serial.IsOpen(), 5000);
        server.Stop();
        QTRY_VERIFY_WITH_TIMEOUT(page->reconnectText().contains(QStringLiteral("重新连接")), 3000);
        QVERIFY(boxes_.shown.empty());
        // The lists can be changed while it waits; the reconnect keeps the
        // line it had, and so do the lists and the remembered settings.
        ui::RememberSettings(true);
        Find<QComboBox>("baudCombo")->setCurrentIndex(Find<QComboBox>("baudCombo")->findText(QStringLiteral("115200")));
        Find<QComboBox>("parityCombo")->setCurrentIndex(2);
        server.Start();
        QTRY_VERIFY_WITH_TIMEOUT(g_Serial.IsOpen(), 8000);
        QVERIFY2(page->reconnectText().contains(QStringLiteral("已重新打开")), qPrintable(page->reconnectText()));
        QCOMPARE(g_Serial.PortPath(), server.Rfc2217Url());
        QCOMPARE(Find<QComboBox>("baudCombo")->currentText(), QStringLiteral("9600"));
        QCOMPARE(Find<QComboBox>("parityCombo")->currentIndex(), 0);
        QCOMPARE(ui::Remembered()->value(QStringLiteral("port/baud")).toString(), QStringLiteral("9600"));
        QCOMPARE(ui::Remembered()->value(QStringLiteral("port/parity")).toInt(), 0);
        ui::RememberSettings(false);
        g_Serial.Close();
    }
};

int main(int argc, char** argv)
{
    return RunWithOwnSettings<PortPageTest>(argc, argv);
}
#include "PortPageTest.moc"

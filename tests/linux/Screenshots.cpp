// Renders the settings page on a machine of our own: two USB adapters with
// their names, the wait after a pulled adapter, the reopen, and a port that
// another program holds; a network port while it connects and once open.
// scripts/screenshots.sh runs it under Xvfb.
// Usage: port_page_screenshots OUTPUT_DIR
#include "driver/serial/BufferedPort.h"
#include "driver/serial/PortHolder.h"
#include "driver/serial/PortList.h"
#include "dtu-sim/sim/SimulatedDtu.h"
#include "tests/support/FakeSystem.h"
#include "tests/support/Listener.h"
#include "tests/support/Pty.h"
#include "tests/support/Ser2net.h"
#include "tests/support/Shots.h"
#include "ui/app/MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QPushButton>

#include <filesystem>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const QDir dir = ShotsFolder(argc, argv);

    FakeSystem fake;
    const std::string byId = "usb-FTDI_FT232R_USB_UART_A10K3XYZ-if00-port0";
    fake.AddUsbDevice("1-1.3", "0403", "6001", "FTDI", "FT232R USB UART", "A10K3XYZ");
    fake.AddUsbTty("1-1.3", "ttyUSB0", "ftdi_sio");
    fake.AddByIdLink(byId, "../../ttyUSB0");
    fake.AddUsbDevice("1-2", "1a86", "7523", "", "USB Serial", "");
    fake.AddUsbTty("1-2", "ttyUSB1", "ch341-uart");
    auto pty = std::make_unique<PtyPair>();
    const QString adapter = QString::fromStdString(fake.Dev("serial/by-id/" + byId));
    QStringList extra;
    MainWindow window(
        [&] {
            QStringList list = extra;
            for (const std::string& path : serial::ListPorts({fake.sys(), fake.dev()}))
                list << QString::fromStdString(path);
            return list;
        },
        nullptr, {fake.sys(), fake.dev()});
    window.show();
    window.findChild<QAction*>(QStringLiteral("settingsToolbarAction"))->trigger();
    SerialSettingsPage* page = window.settingsPage();
    SaveShot(page, dir, QStringLiteral("settings-adapters"));

    // The adapter plays a pseudo-terminal behind its by-id name, then is pulled.
    std::filesystem::remove(fake.root() / "dev/serial/by-id" / byId);
    fake.AddByIdLink(byId, pty->terminalPath());
    extra = {adapter};
    QMetaObject::invokeMethod(page->findChild<QPushButton*>(QStringLiteral("refreshButton")), "click");
    QMetaObject::invokeMethod(page->findChild<QPushButton*>(QStringLiteral("openButton")), "click");
    pty->CloseMaster();
    std::filesystem::remove(fake.root() / "dev/serial/by-id" / byId);
    RunUntil([&] { return page->awaitingReconnect(); });
    SaveShot(page, dir, QStringLiteral("settings-waiting"));

    PtyPair back;
    fake.AddByIdLink(byId, back.terminalPath());
    RunUntil([&] { return g_Serial.IsOpen(); });
    SaveShot(page, dir, QStringLiteral("settings-reopened"));
    g_Serial.Close();
    page->UpdateState();

    // Held by another program: named, with the command.
    const QString held = QString::fromStdString(back.terminalPath());
    QProcess holder;
    holder.start(QStringLiteral("flock"), {QStringLiteral("-x"), held, QStringLiteral("sleep"), QStringLiteral("30")});
    holder.waitForStarted();
    RunUntil([&] { return serial::FindHolder(back.terminalPath()).has_value(); });
    page->findChild<QComboBox*>(QStringLiteral("portCombo"))->setEditText(held);
    QMetaObject::invokeMethod(page->findChild<QPushButton*>(QStringLiteral("openButton")), "click");
    RunUntil([&] { return page->failureText().contains(QStringLiteral("kill")); });
    SaveShot(page, dir, QStringLiteral("settings-held"));
    holder.kill();
    holder.waitForFinished();

    // A network port: connecting to a server that does not answer, then
    // open through ser2net with the line the server confirmed.
    auto* port = page->findChild<QComboBox*>(QStringLiteral("portCombo"));
    auto* open = page->findChild<QPushButton*>(QStringLiteral("openButton"));
    const Listener silent;
    port->setEditText(QStringLiteral("rfc2217://127.0.0.1:%1").arg(silent.port()));
    QMetaObject::invokeMethod(open, "click");
    SaveShot(page, dir, QStringLiteral("settings-connecting"));
    QMetaObject::invokeMethod(open, "click");
    RunUntil([&] { return !page->connecting(); });
    sim::SimulatedDtu dtu({}), rawDtu({});
    dtu.Start();
    rawDtu.Start();
    Ser2net server(dtu.TerminalPath(), rawDtu.TerminalPath(), "115200n81");
    port->setEditText(QString::fromStdString(server.Rfc2217Url()));
    QMetaObject::invokeMethod(open, "click");
    RunUntil([&] { return g_Serial.IsOpen(); });
    SaveShot(page, dir, QStringLiteral("settings-network"));
    g_Serial.Close();
    return 0;
}

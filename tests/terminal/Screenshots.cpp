// Renders the debugging terminal after an AT exchange, in text, hex and
// both, and with the port closed, to PNG files to look at them as a user
// would. A pseudo-terminal plays a DTU that answers AT commands.
// scripts/screenshots.sh runs it under Xvfb.
// Usage: terminal_screenshots OUTPUT_DIR
#include "core/common/Codepage.h"
#include "driver/serial/BufferedPort.h"
#include "tests/support/Pty.h"
#include "tests/support/Shots.h"
#include "ui/app/MainWindow.h"
#include "ui/common/Settings.h"
#include "ui/terminal/TerminalWindow.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QSettings>
#include <QSocketNotifier>
#include <QTemporaryDir>

#include <functional>
#include <unistd.h>

namespace {

// Answers each command line (ended by CR) as a DTU in AT mode would; its
// text comes in GBK.
class AtPeer {
public:
    explicit AtPeer(PtyPair& pty) : pty_(pty), notifier_(pty.master(), QSocketNotifier::Read)
    {
        QObject::connect(&notifier_, &QSocketNotifier::activated, [this] { Read(); });
    }

private:
    void Read()
    {
        char buffer[256];
        const ssize_t n = ::read(pty_.master(), buffer, sizeof buffer);
        for (ssize_t i = 0; i < n; ++i) {
            if (buffer[i] == '\n')
                continue;
            if (buffer[i] != '\r') {
                line_ += buffer[i];
                continue;
            }
            const std::string answer = Answer(line_);
            line_.clear();
            pty_.Send(text::ToAnsi(answer));
        }
    }

    static std::string Answer(const std::string& command)
    {
        if (command == "AT")
            return "\r\nOK\r\n";
        if (command == "ATI")
            return "\r\nKV-331 V2.3.1\r\n\r\nOK\r\n";
        if (command == "AT+CSQ")
            return "\r\n+CSQ: 23,99\r\n\r\nOK\r\n";
        if (command == "AT+STATUS?")
            return "\r\n+STATUS: 已连接服务器 192.168.1.100:8080\r\n\r\nOK\r\n";
        return "\r\nERROR\r\n";
    }

    PtyPair& pty_;
    QSocketNotifier notifier_;
    std::string line_;
};

}  // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("dtutool"));
    QApplication::setApplicationName(QStringLiteral("dtutool"));
    const QDir dir = TitledShotsFolder(argc, argv);

    // Settings of its own, with a few saved commands.
    QTemporaryDir settingsDir;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
    ui::RememberSettings(true);
    {
        QSettings s;
        const char* commands[][2] = {{"信号强度", "AT+CSQ"}, {"版本", "ATI"}, {"连接状态", "AT+STATUS?"}};
        s.beginWriteArray(QStringLiteral("terminal/commands"));
        for (int i = 0; i < 3; ++i) {
            s.setArrayIndex(i);
            s.setValue(QStringLiteral("caption"), QString::fromUtf8(commands[i][0]));
            s.setValue(QStringLiteral("text"), QString::fromUtf8(commands[i][1]));
        }
        s.endArray();
        s.setValue(QStringLiteral("terminal/timestamps"), true);
    }

    MainWindow window([] { return QStringList(); });
    window.show();

    // The port closed: what the terminal says, and what it offers.
    window.findChild<QAction*>(QStringLiteral("terminalToolbarAction"))->trigger();
    TerminalWindow* terminal = window.terminalPage();
    SaveShot(terminal, dir, QStringLiteral("terminal-closed"));

    PtyPair pty;
    AtPeer peer(pty);
    if (!g_Serial.Open(pty.terminalPath(), 115200, 0))
        return 1;
    auto* line = terminal->findChild<QLineEdit*>(QStringLiteral("sendEdit"));
    for (const char* command : {"AT", "ATI", "AT+CSQ", "AT+STATUS?"}) {
        const auto answers = terminal->viewText().count(QStringLiteral("RX"));
        line->setText(QString::fromUtf8(command));
        QMetaObject::invokeMethod(line, "returnPressed");
        RunUntil([&] { return terminal->viewText().count(QStringLiteral("RX")) > answers; });
    }
    line->setText(QStringLiteral("AT+CGATT?"));
    SaveShot(terminal, dir, QStringLiteral("terminal-text"));

    auto* view = terminal->findChild<QComboBox*>(QStringLiteral("viewCombo"));
    view->setCurrentIndex(1);
    terminal->findChild<QCheckBox*>(QStringLiteral("hexSendCheck"))->setChecked(true);
    line->setText(QStringLiteral("41 54 0D"));
    SaveShot(terminal, dir, QStringLiteral("terminal-hex"));
    view->setCurrentIndex(2);
    SaveShot(terminal, dir, QStringLiteral("terminal-both"));
    UseDarkPalette();
    SaveShot(terminal, dir, QStringLiteral("terminal-both-dark"));

    g_Serial.Close();
    return 0;
}

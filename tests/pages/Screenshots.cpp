// Renders the SMS text, SMS hex and TCP pages, with traffic from the
// simulated DTU, and one refusal, to PNG files to look at them as a user
// would. scripts/screenshots.sh runs it under Xvfb.
// Usage: pages_screenshots OUTPUT_DIR
#include "tests/pages/OpenPages.h"

#include "driver/serial/BufferedPort.h"
#include "dtu-sim/sim/SimulatedDtu.h"
#include "tests/support/Shots.h"
#include "ui/app/MainWindow.h"
#include "ui/common/MessageBox.h"
#include "ui/pages/SmsHexPage.h"
#include "ui/pages/SmsTextPage.h"
#include "ui/pages/TcpPage.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

#include <functional>

namespace {

template <class W>
W* Find(QWidget* page, const char* name)
{
    return page->findChild<W*>(QLatin1String(name));
}

// Runs the event loop (and so the main window's frame completion) until
// `done` holds or three seconds pass.
}  // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const QDir dir = TitledShotsFolder(argc, argv);

    sim::SimulatedDtu dtu({});
    if (!dtu.Start() || !g_Serial.Open(dtu.TerminalPath(), 115200, 0))
        return 1;
    MainWindow window([] { return QStringList(); });
    const auto [text, hex, tcp] = OpenPages(window);

    // SMS text page: a Chinese message to one number, answered by the DTU.
    hex->hide();
    tcp->hide();
    Find<QLineEdit>(text, "phoneEdit")->setText(QStringLiteral("13800138000"));
    Find<QLineEdit>(text, "messageEdit")->setText(QStringLiteral("你好，DTU"));
    Find<QPushButton>(text, "sendButton")->click();
    auto* textArea = Find<QPlainTextEdit>(text, "receiveEdit");
    RunUntil([&] { return !textArea->toPlainText().isEmpty(); });
    SaveShot(text, dir, QStringLiteral("sms-text-page"));
    Find<QRadioButton>(text, "transparentRadio")->click();
    SaveShot(text, dir, QStringLiteral("sms-text-page-transparent"));

    // SMS hex page: a group send.
    text->hide();
    hex->show();
    Find<QCheckBox>(hex, "groupCheck")->click();
    Find<QLineEdit>(hex, "messageEdit")->setText(QStringLiteral("01 02 0A FF 7E"));
    Find<QPushButton>(hex, "sendButton")->click();
    auto* hexArea = Find<QPlainTextEdit>(hex, "receiveEdit");
    RunUntil([&] { return !hexArea->toPlainText().isEmpty(); });
    SaveShot(hex, dir, QStringLiteral("sms-hex-page"));

    // TCP page: a one-to-one send and a few streamed replies.
    hex->hide();
    tcp->show();
    Find<QLineEdit>(tcp, "addressEdit")->setText(QStringLiteral("0A1122334455"));
    Find<QPlainTextEdit>(tcp, "sendEdit")->setPlainText(QStringLiteral("48 65 6c 6c 6f 20 44 54 55"));
    for (int i = 0; i < 3; ++i) {
        const QString before = tcp->receivedText();
        Find<QPushButton>(tcp, i == 1 ? "oneToManyButton" : "oneToOneButton")->click();
        RunUntil([&] { return tcp->receivedText() != before; });
    }
    SaveShot(tcp, dir, QStringLiteral("tcp-page"));

    // A refusal as the user sees it.
    ui::SetMessageHandler([&](const QString& caption, const QString& message, ui::Buttons) {
        QMessageBox box(QMessageBox::Warning, caption, message, QMessageBox::Ok, tcp);
        box.show();
        SaveShot(&box, dir, QStringLiteral("tcp-refusal"));
        return int(QMessageBox::Ok);
    });
    Find<QPlainTextEdit>(tcp, "sendEdit")->setPlainText(QString(520, QLatin1Char('5')));
    Find<QPushButton>(tcp, "oneToManyButton")->click();
    ui::SetMessageHandler(nullptr);

    g_Serial.Close();
    dtu.Stop();
    return 0;
}

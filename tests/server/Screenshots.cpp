// Renders the test server page with three DTUs connected (one registered as
// expected, one not, one still silent) and during a data exchange.
// scripts/screenshots.sh runs it under Xvfb.
// Usage: server_screenshots OUTPUT_DIR
#include "tests/support/Listener.h"
#include "tests/support/Shots.h"
#include "ui/common/MessageBox.h"
#include "ui/server/TestServerPage.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <functional>
#include <cstring>

namespace {

void Pause(int ms)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
}

int Connect(std::uint16_t port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    return fd;
}

void Write(int fd, const char* text)
{
    [[maybe_unused]] const ssize_t n = ::send(fd, text, std::strlen(text), MSG_NOSIGNAL);
}

}  // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const QDir dir = TitledShotsFolder(argc, argv);
    ui::SetMessageHandler([](const QString&, const QString&, ui::Buttons) { return int(QMessageBox::Ok); });

    const std::uint16_t free = FreePort();
    TestServerPage page([free] {
        TestServerPage::Proposal p;
        p.port = QString::number(free);
        p.registration = server::Bytes{'D', 'T', 'U', '-', '0', '0', '4', '2'};
        p.heartbeat = server::Bytes{'P', 'I', 'N', 'G'};
        return p;
    });
    page.show();
    page.findChild<QPushButton*>(QStringLiteral("startStopButton"))->click();
    RunUntil([&] { return page.listening(); });
    const std::uint16_t port = page.port();
    if (port == 0) {
        std::fprintf(stderr, "the server did not start\n");
        return 1;
    }
    const int good = Connect(port), other = Connect(port), silent = Connect(port);
    bool ok = RunUntil([&] { return page.table()->topLevelItemCount() == 3; });
    Write(good, "DTU-0042");
    Write(other, "DTU-0017");
    Pause(200);
    for (int i = 0; i < 2; ++i) {
        Pause(1000);
        Write(good, "PING");
    }
    Pause(400);
    SaveShot(&page, dir, QStringLiteral("server-connections"));

    QTreeWidgetItem* row = page.table()->findItems(QStringLiteral("DTU-0042"), Qt::MatchExactly, TestServerPage::Registration).value(0);
    ok = ok && row;
    if (row) {
        page.table()->setCurrentItem(row);
        page.findChild<QLineEdit*>(QStringLiteral("sendEdit"))->setText(QStringLiteral("读表 01"));
        page.findChild<QPushButton*>(QStringLiteral("sendSelectedButton"))->click();
        Pause(150);
        Write(good, "\xB5\xE7\xB1\xED 01: 12.5 kWh\r\n");  // GBK: 电表 01: ...
        Pause(400);
        SaveShot(&page, dir, QStringLiteral("server-data"));
    }
    for (const int fd : {good, other, silent})
        ::close(fd);
    return ok ? 0 : 1;
}

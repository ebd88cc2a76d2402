// The test server page through its real widgets (offscreen), with DTUs
// played by plain sockets on 127.0.0.1, and reached from the main window.
#include "tests/support/MessageBoxes.h"
#include "ui/app/MainWindow.h"
#include "ui/common/FileDialog.h"
#include "ui/common/Language.h"
#include "ui/server/TestServerPage.h"

#include <QAction>
#include <QCheckBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTreeWidget>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <memory>

namespace {

// A DTU as the server sees it: a client socket.
class Dtu {
public:
    explicit Dtu(std::uint16_t port) : fd_(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0))
    {
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(port);
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::connect(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a);
    }
    ~Dtu() { ::close(fd_); }
    void Write(const QByteArray& bytes) { QCOMPARE(::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL), bytes.size()); }
    QByteArray Read()
    {
        pollfd p{fd_, POLLIN, 0};
        char buffer[256];
        if (::poll(&p, 1, 2000) <= 0)
            return {};
        const ssize_t n = ::recv(fd_, buffer, sizeof buffer, 0);
        return n > 0 ? QByteArray(buffer, static_cast<qsizetype>(n)) : QByteArray();
    }

private:
    int fd_;
};

}  // namespace

class ServerPageTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestServerPage> page_;
    MessageBoxes boxes_;

    template <class W>
    W* Find(const char* name) const
    {
        return page_->findChild<W*>(QLatin1String(name));
    }
    void Click(const char* name) { Find<QPushButton>(name)->click(); }
    QTreeWidgetItem* RowOf(const QString& registration) const
    {
        const auto found = page_->table()->findItems(registration, Qt::MatchExactly, TestServerPage::Registration);
        return found.isEmpty() ? nullptr : found.first();
    }

private slots:
    void init()
    {
        boxes_.Start();
        page_ = std::make_unique<TestServerPage>([] {
            TestServerPage::Proposal p;
            p.port = QStringLiteral("0");
            p.registration = server::Bytes{'D', 'T', 'U', '-', '1'};
            p.heartbeat = server::Bytes{'P', 'I', 'N', 'G'};
            return p;
        });
        page_->show();
    }
    void cleanup()
    {
        page_.reset();
        boxes_.Stop();
        ui::SetSaveFileHandler(nullptr);
    }

    void proposesTheDtuPagesPortAndPackets()
    {
        QCOMPARE(Find<QLineEdit>("portEdit")->text(), QStringLiteral("0"));
        QCOMPARE(Find<QLineEdit>("registrationEdit")->text(), QStringLiteral("DTU-1"));
        Find<QCheckBox>("expectedHexCheck")->setChecked(true);
        Click("proposeButton");
        QCOMPARE(Find<QLineEdit>("heartbeatEdit")->text(), QStringLiteral("50 49 4E 47"));
    }

    void showsConnectionsComparesRegistrationAndSends()
    {
        QTemporaryDir dir;
        const QString logPath = dir.filePath(QStringLiteral("server.log"));
        ui::SetSaveFileHandler([&](const QString&, QString*) { return logPath; });
        Click("logButton");
        Click("startStopButton");
        QTRY_VERIFY(page_->listening());
        const std::uint16_t port = page_->port();

        Dtu good(port), bad(port);
        QTRY_COMPARE(page_->table()->topLevelItemCount(), 2);
        good.Write("DTU-1");
        bad.Write("DTU-9");
        QTRY_VERIFY(RowOf(QStringLiteral("DTU-1")) && RowOf(QStringLiteral("DTU-9")));
        QCOMPARE(RowOf(QStringLiteral("DTU-1"))->text(TestServerPage::Compared), QStringLiteral("一致"));
        QCOMPARE(RowOf(QStringLiteral("DTU-9"))->text(TestServerPage::Compared), QStringLiteral("不一致"));

        good.Write("PING");
        QTest::qWait(100);
        good.Write("PING");
        QTRY_COMPARE(RowOf(QStringLiteral("DTU-1"))->text(TestServerPage::Heartbeats), QStringLiteral("2"));
        QVERIFY(RowOf(QStringLiteral("DTU-1"))->text(TestServerPage::Interval).endsWith(QStringLiteral(" s")));

        // A send to the selected DTU reaches it alone, and shows in its data.
        page_->table()->setCurrentItem(RowOf(QStringLiteral("DTU-1")));
        QVERIFY(page_->dataText().contains(QStringLiteral("收 注册包 5字节: DTU-1")));
        Find<QLineEdit>("sendEdit")->setText(QStringLiteral("你好"));
        Click("sendSelectedButton");
        QCOMPARE(good.Read(), QByteArray("\xC4\xE3\xBA\xC3"));  // GBK
        QTRY_VERIFY(page_->dataText().contains(QStringLiteral("发 数据 4字节: 你好")));

        // Hex to all; an odd digit is refused and nothing goes out.
        Find<QCheckBox>("sendHexCheck")->setChecked(true);
        Find<QLineEdit>("sendEdit")->setText(QStringLiteral("01 0"));
        Click("sendAllButton");
        QCOMPARE(boxes_.texts().size(), 1);
        Find<QLineEdit>("sendEdit")->setText(QStringLiteral("01 02"));
        Click("sendAllButton");
        QCOMPARE(bad.Read(), QByteArray("\x01\x02"));
        QCOMPARE(good.Read(), QByteArray("\x01\x02"));

        Click("closeSelectedButton");
        QTRY_COMPARE(page_->table()->topLevelItemCount(), 1);
        QCOMPARE(good.Read(), QByteArray());

        QFile log(logPath);
        QVERIFY(log.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(log.readAll());
        for (const char* line : {"registration  5 bytes  44 54 55 2D 31  \"DTU-1\"  as expected", "heartbeat 2 after",
                                 "sent  2 bytes  01 02", "close: closed by the server"})
            QVERIFY2(text.contains(QLatin1String(line)), line);
    }

    // The window's thread busy past the packet gap: its registration and
    // heartbeat are still two packets.
    void aPausedWindowKeepsPacketsApart()
    {
        Click("startStopButton");
        QTRY_VERIFY(page_->listening());
        Dtu dtu(page_->port());
        QTRY_COMPARE(page_->table()->topLevelItemCount(), 1);
        dtu.Write("DTU-1");
        QThread::msleep(150);
        dtu.Write("PING");
        QThread::msleep(150);
        QTRY_VERIFY(RowOf(QStringLiteral("DTU-1")));
        QTRY_COMPARE(RowOf(QStringLiteral("DTU-1"))->text(TestServerPage::Heartbeats), QStringLiteral("1"));
        QCOMPARE(RowOf(QStringLiteral("DTU-1"))->text(TestServerPage::Compared), QStringLiteral("一致"));
    }

    // A full disk stops the log in words; the server goes on.
    void aLogThatCannotBeWrittenStopsAndSaysSo()
    {
        ui::SetSaveFileHandler([](const QString&, QString*) { return QStringLiteral("/dev/full"); });
        Click("logButton");
        Click("startStopButton");
        QTRY_COMPARE(boxes_.texts().size(), 1);
        QVERIFY2(boxes_.texts()[0].contains(QStringLiteral("/dev/full")), qPrintable(boxes_.texts()[0]));
        QCOMPARE(Find<QPushButton>("logButton")->text(), QStringLiteral("记录到文件..."));
        QTRY_VERIFY(page_->listening());
        Dtu dtu(page_->port());
        dtu.Write("DTU-1");
        QTRY_VERIFY(RowOf(QStringLiteral("DTU-1")));
        QCOMPARE(boxes_.texts().size(), 1);
    }

    void headersShowWhole_data()
    {
        QTest::addColumn<int>("language");
        QTest::newRow("Chinese") << int(ui::Language::Chinese);
        QTest::newRow("English") << int(ui::Language::English);
    }
    void headersShowWhole()
    {
        QFETCH(int, language);
        QVERIFY(ui::InstallLanguage(static_cast<ui::Language>(language)));
        TestServerPage page({});
        QHeaderView* header = page.table()->header();
        QVERIFY(ui::InstallLanguage(ui::Language::Chinese));
        for (int c = 0; c < TestServerPage::ColumnCount; ++c)
            QVERIFY2(header->sectionSize(c) >= header->sectionSizeHint(c),
                     qPrintable(page.table()->headerItem()->text(c)));
    }

    void theMainWindowOpensItOnce()
    {
        MainWindow window([] { return QStringList(); });
        for (const char* action : {"serverToolbarAction", "serverMenuAction"}) {
            window.findChild<QAction*>(QLatin1String(action))->trigger();
            QVERIFY(window.serverPage() && window.serverPage()->isVisible());
            window.serverPage()->hide();
        }
        TestServerPage* first = window.serverPage();
        window.findChild<QAction*>(QStringLiteral("serverToolbarAction"))->trigger();
        QCOMPARE(window.serverPage(), first);
    }
};

QTEST_MAIN(ServerPageTest)
#include "ServerPageTest.moc"

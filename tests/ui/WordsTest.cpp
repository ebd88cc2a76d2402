// The lower layers' English messages as the Chinese window shows them:
// known ones in Chinese, values as they came, "; "-joined ones part by part,
// unknown ones unchanged; the English window shows every one as it is.
#include "core/common/Tr.h"
#include "driver/records/Store.h"
#include "driver/serial/OpenFailure.h"
#include "jobs/port/Upgrade.h"
#include "ui/common/Language.h"
#include "ui/common/Words.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <system_error>

class WordsTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { ui::InstallLanguage(ui::Language::Chinese); }

    void showsTheWindowsLanguage_data()
    {
        QTest::addColumn<QString>("english");
        QTest::addColumn<QString>("chinese");
        const auto row = [](const char* name, const char* english, const char* chinese) {
            QTest::newRow(name) << QString::fromUtf8(english) << QString::fromUtf8(chinese);
        };
        row("a store's cause, the system's words in it",
            "records store /srv/records.sqlite: cannot open the file (Permission denied)",
            "记录存放处 /srv/records.sqlite：无法打开文件（权限不够）");
        row("a server's refusal", "records store postgresql://keeper@db:5432/records: authentication failed for user keeper",
            "记录存放处 postgresql://keeper@db:5432/records：用户 keeper 认证失败");
        row("a path that holds \": \"", "records store /tmp/a: b/r.sqlite: is a folder, not a records file",
            "记录存放处 /tmp/a: b/r.sqlite：这是文件夹，不是记录文件");
        row("a cause we do not know, inside one we do", "records store r.sqlite: FATAL: too many connections",
            "记录存放处 r.sqlite：FATAL: too many connections");
        row("SQLite's words", "records store r.sqlite: database is locked", "记录存放处 r.sqlite：数据库被锁定");
        row("an image refused, \"; \" in the message", "/img/app.bin: the image is empty; nothing to send",
            "升级文件 /img/app.bin 是空的，没有可发送的内容");
        row("a request the core names", "no answer to read version within 1000 ms (sent 7B 0E 00 8E 7D)",
            "“读版本”在 1000 毫秒内无应答（已发送 7B 0E 00 8E 7D）");
        row("an image block", "no answer to image block 17 within 3000 ms", "“固件块 17”在 3000 毫秒内无应答");
        row("a refusal after so much", "the DTU rejected the image (DCK) after 1024 bytes in 2.5 s",
            "DTU 拒绝了固件（DCK），此前 2.5 秒发送 1024 字节");
        row("a port that would not open, and where to ask why",
            "/dev/ttyUSB0 is in use by another program; close that program first. (dtuctl doctor -p /dev/ttyUSB0 says "
            "why)",
            "/dev/ttyUSB0 正被其他程序占用，请先关闭该程序。（dtuctl doctor -p /dev/ttyUSB0 可查明原因）");
        row("a port that would not open, the system's words in it", "Cannot open /dev/ttyS4: Input/output error",
            "无法打开 /dev/ttyS4：输入/输出错误");
        row("joined by \"; \"", "the port went away while sending image block; records store r.sqlite: database is locked",
            "发送“固件块”时端口断开；记录存放处 r.sqlite：数据库被锁定");
        row("joined, one part unknown", "something odd; the port went away", "something odd；端口断开");
        row("a job's end as a page keeps it", "stopped after 12/32 blocks: the window was closed",
            "发送 12/32 块后停止：窗口已关闭");
        row("a record that could not be begun", "records store r.sqlite: database is locked; nothing was sent",
            "记录存放处 r.sqlite：数据库被锁定；没有发送任何内容");
        row("unknown", "server port read back 7001, written 7000", "server port read back 7001, written 7000");
        row("the settings a write found different", "serial.baud, server.ip", "serial.baud, server.ip");
        row("empty", "", "");
    }
    void showsTheWindowsLanguage()
    {
        QFETCH(QString, english);
        QFETCH(QString, chinese);
        QCOMPARE(ui::Words(english.toStdString()), chinese);
        ui::InstallLanguage(ui::Language::English);
        QCOMPARE(ui::Words(english.toStdString()), english);
    }

    // What the code writes, not a copy of it: the messages that the core
    // translates itself where it writes them (the window's own port), and
    // those it keeps in English (the records, dtuctl), read back alike.
    void readsWhatTheCodeWrites()
    {
        const SerialError errors[] = {SerialError::NotFound,       SerialError::Permission,   SerialError::Busy,
                                      SerialError::NotATerminal,   SerialError::Settings,     SerialError::BadUrl,
                                      SerialError::HostNotFound,   SerialError::LookupFailed, SerialError::Refused,
                                      SerialError::ConnectTimedOut, SerialError::ServerClosed, SerialError::NoComPort,
                                      SerialError::LineRefused,    SerialError::LineUnconfirmed};
        const auto open = [](SerialError e, bool explained) {
            return serial::OpenFailureText(e, e == SerialError::LineRefused ? 9600 : 0, "rfc2217://bench-3:4001",
                                           explained, "");
        };
        std::vector<std::string> english;
        text::SetTranslator(nullptr);
        for (const SerialError e : errors)
            for (const bool explained : {false, true})
                english.push_back(open(e, explained));
        ui::InstallLanguage(ui::Language::Chinese);
        std::size_t i = 0;
        for (const SerialError e : errors)
            for (const bool explained : {false, true})
                QCOMPARE(ui::Words(english[i++]), QString::fromStdString(open(e, explained)));

        QTemporaryDir dir;
        const QString empty = dir.filePath(QStringLiteral("empty.bin"));
        QFile(empty).open(QIODevice::WriteOnly);
        const struct {
            QString path;
            QString shown;
        } images[] = {
            {empty, "升级文件 " + empty + " 是空的，没有可发送的内容"},
            {dir.path(), dir.path() + " 不能作为升级文件（不是普通文件）"},
            {dir.filePath(QStringLiteral("none.bin")), dir.filePath(QStringLiteral("none.bin")) + " 不能作为升级文件（找不到文件）"},
        };
        for (const auto& image : images) {
            std::string error;
            QVERIFY(!jobs::LoadImage(image.path.toStdString(), upgrade::Kind::App, error));
            QCOMPARE(ui::Words(error), image.shown);
        }
        std::string error;
        QVERIFY(!records::OpenStore(dir.path().toStdString(), error));
        QCOMPARE(ui::Words(error), "记录存放处 " + dir.path() + "：这是文件夹，不是记录文件");
    }

    // Each pattern has its Chinese, under the context it is marked with;
    // and the system's words within them are the system's.
    void knowsEveryPatternInChinese()
    {
        for (const ui::KnownWords& k : ui::AllKnownWords()) {
            const QString shown = QCoreApplication::translate(k.context, k.english);
            QVERIFY2(shown.contains(QRegularExpression(QStringLiteral("[\\x{4E00}-\\x{9FFF}]"))), k.english);
        }
        for (const int err : {ENOENT, EACCES, EPERM, EROFS, ENOSPC, EDQUOT, EISDIR, ENOTDIR, ENAMETOOLONG, EMFILE, EIO,
                              EBUSY, ENODEV, ENXIO, EPIPE}) {
            const std::string said = std::generic_category().message(err);
            QVERIFY2(ui::Words(said) != QString::fromStdString(said), said.c_str());
        }
    }
};

QTEST_GUILESS_MAIN(WordsTest)
#include "WordsTest.moc"

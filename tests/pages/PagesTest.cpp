// The SMS text, SMS hex and TCP pages, driven through
// their real widgets (offscreen). Sends go through g_Serial to a real
// pseudo-terminal whose far side the test reads byte for byte; the receive
// displays are fed by the main window's frame completion, from the simulated
// DTU or from bytes the test writes as the DTU. Message boxes are answered
// through the application's message function.
#include "tests/pages/OpenPages.h"

#include "core/dtu/Messages.h"
#include "driver/serial/BufferedPort.h"
#include "dtu-sim/sim/SimulatedDtu.h"
#include "tests/support/Bytes.h"
#include "tests/support/MessageBoxes.h"
#include "tests/support/Pty.h"
#include "ui/app/MainWindow.h"
#include "ui/common/HexEdits.h"
#include "ui/pages/SmsHexPage.h"
#include "ui/pages/SmsTextPage.h"
#include "ui/pages/TcpPage.h"

#include <QAccessible>
#include <QAction>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTextDocument>
#include <QTimer>

#include <array>
#include <memory>

Q_DECLARE_METATYPE(Bytes)

namespace {

enum class SmsKind { Text, Hex };

QString U(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

template <class W>
W* Find(QWidget* page, const char* name)
{
    W* w = page->findChild<W*>(QLatin1String(name));
    if (!w)
        qFatal("no %s on %s", name, qPrintable(page->objectName()));
    return w;
}

void Click(QAbstractButton* b)
{
    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(8, b->height() / 2));
}

// Types text as a user does: key by key for Latin text, through an input
// method commit for Chinese.
void Type(QWidget* field, const QString& text)
{
    for (const QChar c : text) {
        if (c.unicode() < 0x80) {
            QTest::keyClick(field, c.toLatin1());
        } else {
            QInputMethodEvent commit;
            commit.setCommitString(QString(c));
            QCoreApplication::sendEvent(field, &commit);
        }
    }
}

// The field that assistive technology finds by `name` under `page` (the
// group box that frames it carries the same name and is not a field).
QObject* ByAccessibleName(QWidget* page, const QString& name)
{
    std::vector<QAccessibleInterface*> todo{QAccessible::queryAccessibleInterface(page)};
    while (!todo.empty()) {
        QAccessibleInterface* a = todo.back();
        todo.pop_back();
        if (!a)
            continue;
        if (a->text(QAccessible::Name) == name && a->role() == QAccessible::EditableText)
            return a->object();
        for (int i = 0; i < a->childCount(); ++i)
            todo.push_back(a->child(i));
    }
    return nullptr;
}

// A completed frame as the main window hands it to a page.
void Deliver(QWidget* page, QEvent::Type type, const Bytes& frame, std::int32_t length = -1)
{
    static std::array<std::uint8_t, ReceiveBuffer::kCapacity> buffer;
    std::copy(frame.begin(), frame.end(), buffer.begin());
    ui::FrameEvent event(type, ReceiveBuffer::Frame{buffer, length < 0 ? std::int32_t(frame.size()) : length});
    QCoreApplication::sendEvent(page, &event);
}

}  // namespace

class PagesTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<PtyPair> pty_;
    MessageBoxes boxes_;

    // What the page wrote: exactly `count` bytes, and nothing after them.
    Bytes Written(std::size_t count) { return pty_->ReceiveExactly(count); }
    bool NothingWritten() { return pty_->ReceivesNothing(); }

    std::unique_ptr<pages::SmsPage> SmsPage(SmsKind kind)
    {
        std::unique_ptr<pages::SmsPage> page;
        if (kind == SmsKind::Text)
            page = std::make_unique<SmsTextPage>(nullptr);
        else
            page = std::make_unique<SmsHexPage>(nullptr);
        page->show();
        return page;
    }

    // Fills an SMS page as a user would and presses "发送".
    void SendSms(pages::SmsPage* page, bool transparent, bool group, const QString& number, const QString& message)
    {
        if (transparent)
            Click(Find<QRadioButton>(page, "transparentRadio"));
        else if (group)
            Click(Find<QCheckBox>(page, "groupCheck"));
        if (!number.isEmpty()) {
            // The field is disabled in transparent mode; a number typed
            // before switching stays in it.
            auto* phone = Find<QLineEdit>(page, "phoneEdit");
            if (phone->isEnabled())
                Type(phone, number);
            else
                phone->setText(number);
        }
        Type(Find<QLineEdit>(page, "messageEdit"), message);
        Click(Find<QPushButton>(page, "sendButton"));
    }

    void SendTcp(TcpPage* page, bool transparent, bool oneToOne, const QString& address, const QString& data)
    {
        if (transparent)
            Click(Find<QRadioButton>(page, "transparentRadio"));
        Type(Find<QLineEdit>(page, "addressEdit"), address);
        Type(Find<QPlainTextEdit>(page, "sendEdit"), data);
        Click(Find<QPushButton>(page, oneToOne ? "oneToOneButton" : "oneToManyButton"));
    }

private slots:
    void init()
    {
        ui::SetHexInputOnly(false);
        boxes_.Start();
        pty_ = std::make_unique<PtyPair>();
        QVERIFY(g_Serial.Open(pty_->terminalPath(), 115200, 0));
    }
    void cleanup()
    {
        g_Serial.Close();
        pty_.reset();
        ui::SetHexInputOnly(false);
        boxes_.Stop();
    }

    // ---- Controls, captions and initial state ----

    void smsPagesHaveTheirControls_data()
    {
        QTest::addColumn<SmsKind>("kind");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("messageCaption");
        QTest::newRow("text") << SmsKind::Text << U("短信US2编码方式传输") << U("文本");
        QTest::newRow("hex") << SmsKind::Hex << U("短信HEX编码方式传输") << U("HEX文本");
    }
    void smsPagesHaveTheirControls()
    {
        QFETCH(SmsKind, kind);
        QFETCH(QString, title);
        QFETCH(QString, messageCaption);
        auto page = SmsPage(kind);
        QCOMPARE(page->windowTitle(), title);
        QStringList groups;
        for (auto* g : page->findChildren<QGroupBox*>())
            groups << g->title();
        for (const QString& g : {U("短信接收"), U("短信发送"), U("手机"), messageCaption, U("短信模式"), U("传输")})
            QVERIFY2(groups.contains(g), qPrintable(g));
        QCOMPARE(Find<QPushButton>(page.get(), "clearButton")->text(), U("清除"));
        QCOMPARE(Find<QPushButton>(page.get(), "sendButton")->text(), U("发送"));
        QCOMPARE(Find<QRadioButton>(page.get(), "protocolRadio")->text(), U("协议"));
        QCOMPARE(Find<QRadioButton>(page.get(), "transparentRadio")->text(), U("透传"));
        QCOMPARE(Find<QCheckBox>(page.get(), "groupCheck")->text(), U("群发"));
        // The message field of the hex page is the hex-only field.
        QCOMPARE(dynamic_cast<HexLineEdit*>(Find<QLineEdit>(page.get(), "messageEdit")) != nullptr,
                 kind == SmsKind::Hex);
        QCOMPARE(Find<QLineEdit>(page.get(), "phoneEdit")->property("controlId").toInt(), 1011);
        QCOMPARE(Find<QLineEdit>(page.get(), "messageEdit")->property("controlId").toInt(), 1013);
        QCOMPARE(Find<QPlainTextEdit>(page.get(), "receiveEdit")->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);

        // Protocol mode, group send off and enabled, the phone field enabled.
        QVERIFY(Find<QRadioButton>(page.get(), "protocolRadio")->isChecked());
        QVERIFY(!Find<QRadioButton>(page.get(), "transparentRadio")->isChecked());
        QVERIFY(!Find<QCheckBox>(page.get(), "groupCheck")->isChecked());
        QVERIFY(Find<QCheckBox>(page.get(), "groupCheck")->isEnabled());
        QVERIFY(Find<QLineEdit>(page.get(), "phoneEdit")->isEnabled());
    }

    void smsModeButtonsLockGroupSend_data()
    {
        QTest::addColumn<SmsKind>("kind");
        QTest::newRow("text") << SmsKind::Text;
        QTest::newRow("hex") << SmsKind::Hex;
    }
    void smsModeButtonsLockGroupSend()
    {
        QFETCH(SmsKind, kind);
        auto page = SmsPage(kind);
        auto* protocol = Find<QRadioButton>(page.get(), "protocolRadio");
        auto* transparent = Find<QRadioButton>(page.get(), "transparentRadio");
        auto* group = Find<QCheckBox>(page.get(), "groupCheck");
        auto* phone = Find<QLineEdit>(page.get(), "phoneEdit");

        Click(group);
        QVERIFY(group->isChecked() && !phone->isEnabled());
        Click(group);
        QVERIFY(!group->isChecked() && phone->isEnabled());

        Click(transparent);
        QVERIFY(transparent->isChecked() && !protocol->isChecked());
        QVERIFY(group->isChecked() && !group->isEnabled() && !phone->isEnabled());

        Click(protocol);
        QVERIFY(protocol->isChecked());
        QVERIFY(!group->isChecked() && group->isEnabled() && phone->isEnabled());

        // "协议" enables the phone field whatever its state before.
        Click(group);
        QVERIFY(!phone->isEnabled());
        Click(protocol);
        QVERIFY(!group->isChecked() && phone->isEnabled());
    }

    void phoneFieldTakesDigitsOnly()
    {
        auto page = SmsPage(SmsKind::Text);
        auto* phone = Find<QLineEdit>(page.get(), "phoneEdit");
        Type(phone, QStringLiteral("138a-0 013b8000"));
        QCOMPARE(phone->text(), QStringLiteral("13800138000"));
    }

    void tcpPageHasItsControls()
    {
        TcpPage page(nullptr);
        page.show();
        QCOMPARE(page.windowTitle(), U("TCP数据传输"));
        QStringList groups;
        for (auto* g : page.findChildren<QGroupBox*>())
            groups << g->title();
        for (const QString& g : {U("TCP数据接收区:"), U("TCP数据发送区:"), U("清空数据区"), U("模式切换"),
                                 U("通迅MAC地址"), U("数据发送")})
            QVERIFY2(groups.contains(g), qPrintable(g));
        QCOMPARE(Find<QPushButton>(&page, "clearReceiveButton")->text(), U("清空接收区"));
        QCOMPARE(Find<QPushButton>(&page, "clearAllButton")->text(), U("清空全部"));
        QCOMPARE(Find<QPushButton>(&page, "oneToManyButton")->text(), U("1对多发送"));
        QCOMPARE(Find<QPushButton>(&page, "oneToOneButton")->text(), U("1对1发送"));
        QCOMPARE(Find<QRadioButton>(&page, "protocolRadio")->text(), U("协议模式"));
        QCOMPARE(Find<QRadioButton>(&page, "transparentRadio")->text(), U("透传模式"));
        QVERIFY(Find<QRadioButton>(&page, "protocolRadio")->isChecked());
        QVERIFY(Find<QRadioButton>(&page, "protocolRadio")->isEnabled());
        QVERIFY(Find<QPlainTextEdit>(&page, "receiveLog")->isReadOnly());
        QVERIFY(dynamic_cast<HexTextEdit*>(Find<QPlainTextEdit>(&page, "sendEdit")));
        QCOMPARE(Find<QPlainTextEdit>(&page, "sendEdit")->property("controlId").toInt(), 1048);
        QCOMPARE(Find<QPlainTextEdit>(&page, "receiveLog")->property("controlId").toInt(), 1049);
    }

    void fieldsAreNamedByTheirCaptions()
    {
        auto text = SmsPage(SmsKind::Text);
        QCOMPARE(ByAccessibleName(text.get(), U("手机")), Find<QLineEdit>(text.get(), "phoneEdit"));
        QCOMPARE(ByAccessibleName(text.get(), U("文本")), Find<QLineEdit>(text.get(), "messageEdit"));
        QCOMPARE(ByAccessibleName(text.get(), U("短信接收")), Find<QPlainTextEdit>(text.get(), "receiveEdit"));
        auto hex = SmsPage(SmsKind::Hex);
        QCOMPARE(ByAccessibleName(hex.get(), U("HEX文本")), Find<QLineEdit>(hex.get(), "messageEdit"));
        QCOMPARE(ByAccessibleName(hex.get(), U("手机")), Find<QLineEdit>(hex.get(), "phoneEdit"));
        TcpPage tcp(nullptr);
        tcp.show();
        QCOMPARE(ByAccessibleName(&tcp, U("TCP数据接收区")), Find<QPlainTextEdit>(&tcp, "receiveLog"));
        QCOMPARE(ByAccessibleName(&tcp, U("TCP数据发送区")), Find<QPlainTextEdit>(&tcp, "sendEdit"));
        QCOMPARE(ByAccessibleName(&tcp, U("通迅MAC地址")), Find<QLineEdit>(&tcp, "addressEdit"));
    }

    // ---- Sends: exactly the bytes the DTU expects ----

    void smsSends_data()
    {
        QTest::addColumn<SmsKind>("kind");
        QTest::addColumn<bool>("transparent");
        QTest::addColumn<bool>("group");
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("message");
        QTest::addColumn<Bytes>("expected");
        const QString number = QStringLiteral("12345678901");
        const Bytes digits = H("31 32 33 34 35 36 37 38 39 30 31");
        QTest::newRow("text, protocol, group") << SmsKind::Text << false << true << QString() << U("AB")
                                               << H("7E 00 41 42 7F");
        QTest::newRow("text, protocol, one number")
            << SmsKind::Text << false << false << number << U("AB") << H("7E 01") + digits + H("41 42 7F");
        QTest::newRow("text, only eleven digits of thirteen")
            << SmsKind::Text << false << false << U("1234567890123") << U("AB") << H("7E 01") + digits + H("41 42 7F");
        QTest::newRow("text, transparent") << SmsKind::Text << true << true << number << U("AB") << H("41 42");
        QTest::newRow("text, Chinese, group") << SmsKind::Text << false << true << QString() << U("中文")
                                              << H("7E 00 D6 D0 CE C4 7F");
        QTest::newRow("text, Chinese and Latin, one number")
            << SmsKind::Text << false << false << number << U("你好A") << H("7E 01") + digits + H("C4 E3 BA C3 41 7F");
        QTest::newRow("text, Chinese, transparent")
            << SmsKind::Text << true << true << QString() << U("中文") << H("D6 D0 CE C4");
        QTest::newRow("text, empty, group") << SmsKind::Text << false << true << QString() << QString() << H("7E 00 7F");
        QTest::newRow("text, empty, one number")
            << SmsKind::Text << false << false << number << QString() << H("7E 01") + digits + H("7F");
        QTest::newRow("hex, protocol, group") << SmsKind::Hex << false << true << QString() << U("12 ab")
                                              << H("7E 02 12 AB 7F");
        QTest::newRow("hex, protocol, one number")
            << SmsKind::Hex << false << false << number << U("0102") << H("7E 03") + digits + H("01 02 7F");
        QTest::newRow("hex, transparent, odd digit dropped")
            << SmsKind::Hex << true << true << QString() << U("414") << H("41");
        QTest::newRow("hex, empty, group") << SmsKind::Hex << false << true << QString() << QString()
                                           << H("7E 02 7F");
    }
    void smsSends()
    {
        QFETCH(SmsKind, kind);
        QFETCH(bool, transparent);
        QFETCH(bool, group);
        QFETCH(QString, number);
        QFETCH(QString, message);
        QFETCH(Bytes, expected);
        auto page = SmsPage(kind);
        SendSms(page.get(), transparent, group, number, message);
        QCOMPARE(Written(expected.size()), expected);
        QVERIFY(boxes_.shown.empty());
        // The fields keep what was typed.
        QCOMPARE(Find<QLineEdit>(page.get(), "messageEdit")->text(), message);
    }

    void emptyTransparentSendsWriteNothing_data()
    {
        QTest::addColumn<SmsKind>("kind");
        QTest::newRow("text") << SmsKind::Text;
        QTest::newRow("hex") << SmsKind::Hex;
    }
    void emptyTransparentSendsWriteNothing()
    {
        QFETCH(SmsKind, kind);
        auto page = SmsPage(kind);
        SendSms(page.get(), true, true, QString(), QString());
        QVERIFY(NothingWritten());
        QVERIFY(boxes_.shown.empty());
    }

    void tcpSends_data()
    {
        QTest::addColumn<bool>("transparent");
        QTest::addColumn<bool>("oneToOne");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("data");
        QTest::addColumn<Bytes>("expected");
        QTest::newRow("one-to-many, protocol") << false << false << QString() << U("01 02 0a") << H("7E 04 01 02 0A 7F");
        QTest::newRow("one-to-many, protocol, empty") << false << false << QString() << QString() << H("7E 04 7F");
        QTest::newRow("one-to-many, transparent") << true << false << QString() << U("AABB") << H("AA BB");
        QTest::newRow("one-to-many ignores the address")
            << false << false << U("12") << U("aabb") << H("7E 04 AA BB 7F");
        QTest::newRow("one-to-one, transparent")
            << true << true << U("112233445566") << U("AABB") << H("11 22 33 44 55 66 AA BB");
        QTest::newRow("one-to-one, protocol, empty data")
            << false << true << U("112233445566") << QString() << H("7E 05 11 22 33 44 55 66 7F");
        QTest::newRow("one-to-one, protocol, data")
            << false << true << U("112233445566") << U("7e 7f") << H("7E 05 11 22 33 44 55 66 7E 7F 7F");
        QTest::newRow("lower-case address") << true << true << U("0a1122334455") << QString()
                                            << H("0A 11 22 33 44 55");
    }
    void tcpSends()
    {
        QFETCH(bool, transparent);
        QFETCH(bool, oneToOne);
        QFETCH(QString, address);
        QFETCH(QString, data);
        QFETCH(Bytes, expected);
        TcpPage page(nullptr);
        page.show();
        SendTcp(&page, transparent, oneToOne, address, data);
        QCOMPARE(Written(expected.size()), expected);
        QVERIFY(boxes_.shown.empty());
        // The address field keeps what the user typed.
        QCOMPARE(Find<QLineEdit>(&page, "addressEdit")->text(), address);
    }

    void tcpEmptyTransparentOneToManyWritesNothing()
    {
        TcpPage page(nullptr);
        page.show();
        SendTcp(&page, true, false, QString(), QString());
        QVERIFY(NothingWritten());
    }

    void largestFramesGoOut()
    {
        // 241 text bytes to one number make a frame of exactly 255 bytes.
        auto page = SmsPage(SmsKind::Text);
        Find<QLineEdit>(page.get(), "messageEdit")->setText(QString(241, QLatin1Char('x')));
        Type(Find<QLineEdit>(page.get(), "phoneEdit"), QStringLiteral("12345678901"));
        Click(Find<QPushButton>(page.get(), "sendButton"));
        QCOMPARE(Written(255).size(), size_t(255));
        QVERIFY(boxes_.shown.empty());
    }

    // ---- Refusals: a clear message with the limit, and nothing sent ----

    void refusals_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<bool>("transparent");
        QTest::addColumn<bool>("flag");  // "群发" for SMS, one-to-one for TCP
        QTest::addColumn<QString>("recipient");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QStringList>("says");
        const QString app = QStringLiteral("app");
        const QString tip = U("提示！");
        const QString shortNumber = U(dtu::msg::kNumberTooShort);
        const QString tooLong = U(dtu::msg::kFrameTooLong);
        QTest::newRow("sms text, no number") << "text" << false << false << QString() << U("AB") << app
                                             << QStringList{shortNumber};
        QTest::newRow("sms text, ten digits") << "text" << false << false << U("1380013800") << U("AB") << app
                                              << QStringList{shortNumber, U("11位")};
        QTest::newRow("sms hex, ten digits") << "hex" << false << false << U("1380013800") << U("0102") << app
                                             << QStringList{shortNumber};
        QTest::newRow("sms text, 242 bytes to one number")
            << "text" << false << false << U("12345678901") << QString(242, QLatin1Char('x')) << app
            << QStringList{tooLong, U("最多 241 字节"), U("现为 242 字节")};
        QTest::newRow("sms text, 121 Chinese characters to one number")
            << "text" << false << false << U("12345678901") << QString(121, QChar(0x4E2D)) << app
            << QStringList{tooLong, U("最多 241 字节"), U("一个汉字占 2 字节"), U("现为 242 字节")};
        QTest::newRow("sms text, 253 bytes, group")
            << "text" << false << true << QString() << QString(253, QLatin1Char('x')) << app
            << QStringList{tooLong, U("最多 252 字节"), U("现为 253 字节")};
        QTest::newRow("sms text, 256 bytes, transparent")
            << "text" << true << true << QString() << QString(256, QLatin1Char('x')) << app
            << QStringList{tooLong, U("最多 255 字节")};
        QTest::newRow("sms hex, 242 bytes to one number")
            << "hex" << false << false << U("12345678901") << QString(484, QLatin1Char('A')) << app
            << QStringList{tooLong, U("最多 241 字节"), U("482 位十六进制数字"), U("现为 242 字节")};
        QTest::newRow("sms hex, 256 bytes, transparent")
            << "hex" << true << true << QString() << QString(512, QLatin1Char('5')) << app
            << QStringList{tooLong, U("510 位十六进制数字")};
        QTest::newRow("tcp, empty address") << "tcp" << false << true << QString() << U("01") << tip
                                            << QStringList{U("通信地址不能为空！")};
        QTest::newRow("tcp, 13 characters") << "tcp" << false << true << U("1122334455667") << U("01") << tip
                                            << QStringList{U("通信地址不能超过6个字节！")};
        QTest::newRow("tcp, spaces count") << "tcp" << true << true << U("11 22 33 44 55 66") << U("01") << tip
                                           << QStringList{U("通信地址不能超过6个字节！")};
        QTest::newRow("tcp, ten digits") << "tcp" << false << true << U("1122334455") << U("01") << tip
                                         << QStringList{U(dtu::msg::kAddressTooShort), U("12位")};
        QTest::newRow("tcp, 253 bytes one-to-many")
            << "tcp" << false << false << QString() << QString(506, QLatin1Char('5')) << tip
            << QStringList{tooLong, U("最多发送 252 字节"), U("504 位"), U("现为 253 字节")};
        QTest::newRow("tcp, 250 bytes one-to-one, transparent")
            << "tcp" << true << true << U("112233445566") << QString(500, QLatin1Char('5')) << tip
            << QStringList{tooLong, U("最多发送 249 字节")};
        // Anything but hex digits and blanks would go out as bytes nobody typed.
        QTest::newRow("sms hex, a letter past F") << "hex" << true << true << QString() << U("0a GG") << app
                                                  << QStringList{U("第 4 个字符“G”")};
        QTest::newRow("tcp, plain text") << "tcp" << false << false << QString() << U("hello tcp 123") << tip
                                         << QStringList{U("发送数据第 1 个字符“h”"), U("0-9、A-F")};
        QTest::newRow("tcp, a Chinese character") << "tcp" << true << false << QString() << U("0A\n中") << tip
                                                  << QStringList{U("第 4 个字符“中”")};
        QTest::newRow("tcp, address past F") << "tcp" << false << true << U("11223344556G") << U("01") << tip
                                             << QStringList{U("通信地址第 12 个字符“G”")};
    }
    void refusals()
    {
        QFETCH(QString, page);
        QFETCH(bool, transparent);
        QFETCH(bool, flag);
        QFETCH(QString, recipient);
        QFETCH(QString, message);
        QFETCH(QString, caption);
        QFETCH(QStringList, says);
        if (page == QLatin1String("tcp")) {
            TcpPage tcp(nullptr);
            tcp.show();
            if (transparent)
                Click(Find<QRadioButton>(&tcp, "transparentRadio"));
            Find<QLineEdit>(&tcp, "addressEdit")->setText(recipient);
            Find<QPlainTextEdit>(&tcp, "sendEdit")->setPlainText(message);
            Click(Find<QPushButton>(&tcp, flag ? "oneToOneButton" : "oneToManyButton"));
            // A refused send leaves the fields as typed, also after a frame.
            Deliver(&tcp, ui::kTcpFrame, H("01"));
            QCOMPARE(Find<QPlainTextEdit>(&tcp, "sendEdit")->toPlainText(), message);
        } else {
            auto sms = SmsPage(page == QLatin1String("text") ? SmsKind::Text : SmsKind::Hex);
            if (transparent)
                Click(Find<QRadioButton>(sms.get(), "transparentRadio"));
            else if (flag)
                Click(Find<QCheckBox>(sms.get(), "groupCheck"));
            Find<QLineEdit>(sms.get(), "phoneEdit")->setText(recipient);
            Find<QLineEdit>(sms.get(), "messageEdit")->setText(message);
            Click(Find<QPushButton>(sms.get(), "sendButton"));
        }
        QCOMPARE(boxes_.shown.size(), size_t(1));
        QCOMPARE(boxes_.shown[0].caption, caption == QLatin1String("app") ? ui::AppCaption() : caption);
        for (const QString& part : says)
            QVERIFY2(boxes_.shown[0].text.contains(part), qPrintable(boxes_.shown[0].text + " / " + part));
        QVERIFY(NothingWritten());
    }

    // ---- Hex input filter, following the DTU page's "Hex" box ----

    void hexFieldsFollowTheHexFlag()
    {
        auto hexPage = SmsPage(SmsKind::Hex);
        auto textPage = SmsPage(SmsKind::Text);
        TcpPage tcp(nullptr);
        tcp.show();
        auto* smsHex = Find<QLineEdit>(hexPage.get(), "messageEdit");
        auto* tcpSend = Find<QPlainTextEdit>(&tcp, "sendEdit");
        auto* smsText = Find<QLineEdit>(textPage.get(), "messageEdit");
        auto* address = Find<QLineEdit>(&tcp, "addressEdit");
        const QString typed = QStringLiteral("0A ffgG-,x");

        ui::SetHexInputOnly(true);  // the DTU page's "Hex" box checked
        Type(smsHex, typed);
        QCOMPARE(smsHex->text(), QStringLiteral("0A ff"));
        Type(tcpSend, typed);
        QTest::keyClick(tcpSend, Qt::Key_Return);
        QTest::keyClick(tcpSend, Qt::Key_Backspace);
        QCOMPARE(tcpSend->toPlainText(), QStringLiteral("0A f"));
        // Fields that are not hex fields are not filtered.
        Type(smsText, typed);
        QCOMPARE(smsText->text(), typed);
        Type(address, QStringLiteral("xy"));
        QCOMPARE(address->text(), QStringLiteral("xy"));

        ui::SetHexInputOnly(false);  // unchecked: everything goes in again
        smsHex->clear();
        tcpSend->clear();
        Type(smsHex, typed);
        QCOMPARE(smsHex->text(), typed);
        Type(tcpSend, typed);
        QCOMPARE(tcpSend->toPlainText(), typed);

        // Text typed while the flag was off stays when it is switched on.
        ui::SetHexInputOnly(true);
        QCOMPARE(smsHex->text(), typed);
        // Hex text goes out as before, in either case, an odd last digit dropped.
        Click(Find<QRadioButton>(hexPage.get(), "transparentRadio"));
        smsHex->setText(QStringLiteral("0a F"));
        Click(Find<QPushButton>(hexPage.get(), "sendButton"));
        QCOMPARE(Written(1), H("0A"));
    }

    // ---- A line that takes nothing ----

    void stalledLineNeverFreezesThePage()
    {
        TcpPage tcp(nullptr);
        tcp.show();
        // The DTU side stops reading: the kernel's queue fills up behind a
        // long burst and the line takes nothing more.
        g_Serial.Post(Bytes(256 * 1024, 0x55));
        QElapsedTimer sinceTick;
        qint64 longestStall = 0;
        QTimer ticker;
        QObject::connect(&ticker, &QTimer::timeout, [&] {
            longestStall = std::max(longestStall, sinceTick.restart());
        });
        ticker.start(5);
        sinceTick.start();
        for (int i = 0; i < 3; ++i)
            SendTcp(&tcp, true, false, QString(), QStringLiteral("0102"));
        // The writes give up after their bounded wait and say so, once.
        QTRY_COMPARE_WITH_TIMEOUT(boxes_.shown.size(), size_t(1), 3 * SerialPort::kWriteWaitMs * SerialPort::kMaxStalledWaits);
        QTest::qWait(200);
        ticker.stop();
        qInfo("longest event-loop stall with a stalled line: %lld ms", longestStall);
        QCOMPARE(boxes_.shown.size(), size_t(1));
        QVERIFY2(boxes_.shown[0].text.contains(QStringLiteral("未能发出数据")), qPrintable(boxes_.shown[0].text));
        // Far below the writes' one-second waits, which a blocking write shows.
        QVERIFY2(longestStall < 250, qPrintable(QString::number(longestStall)));
    }

    // ---- Receive displays ----

    void smsReceiveAreaShowsTheLastFrame_data()
    {
        QTest::addColumn<SmsKind>("kind");
        QTest::newRow("text") << SmsKind::Text;
        QTest::newRow("hex") << SmsKind::Hex;
    }
    void smsReceiveAreaShowsTheLastFrame()
    {
        QFETCH(SmsKind, kind);
        auto page = SmsPage(kind);
        const QEvent::Type type = kind == SmsKind::Text ? ui::kSmsTextFrame : ui::kSmsHexFrame;
        auto* area = Find<QPlainTextEdit>(page.get(), "receiveEdit");
        Deliver(page.get(), type, H("7E 01 41"));
        QCOMPARE(area->toPlainText(), QStringLiteral("7E 01 41 "));
        Deliver(page.get(), type, H("00 FF"));
        QCOMPARE(area->toPlainText(), QStringLiteral("00 FF "));  // replaced, not kept
        Deliver(page.get(), type, H("AA BB CC"), 0);
        QCOMPARE(area->toPlainText(), QString());  // length 0 empties it
        Deliver(page.get(), type, Bytes(1024, 0x5A));
        QCOMPARE(area->toPlainText().size(), 3 * 1024);
        Click(Find<QPushButton>(page.get(), "clearButton"));
        QCOMPARE(area->toPlainText(), QString());
    }

    void tcpLogAppendsFrames()
    {
        TcpPage page(nullptr);
        page.show();
        auto* log = Find<QPlainTextEdit>(&page, "receiveLog");
        Deliver(&page, ui::kTcpFrame, H("01 02"));
        Deliver(&page, ui::kTcpFrame, H("03"));
        QCOMPARE(page.receivedText(), QStringLiteral("01 02 03 "));
        QCOMPARE(log->toPlainText(), QStringLiteral("01 02 03 "));
        Deliver(&page, ui::kTcpFrame, H("04"), 0);  // length 0 adds nothing
        QCOMPARE(page.receivedText(), QStringLiteral("01 02 03 "));

        // "清空接收区" empties the log only.
        Find<QLineEdit>(&page, "addressEdit")->setText(QStringLiteral("112233445566"));
        Find<QPlainTextEdit>(&page, "sendEdit")->setPlainText(QStringLiteral("0102"));
        Click(Find<QPushButton>(&page, "clearReceiveButton"));
        QCOMPARE(page.receivedText(), QString());
        QCOMPARE(Find<QPlainTextEdit>(&page, "sendEdit")->toPlainText(), QStringLiteral("0102"));
        // "清空全部" empties the log and the send area, not the address.
        Deliver(&page, ui::kTcpFrame, H("05"));
        Click(Find<QPushButton>(&page, "clearAllButton"));
        QCOMPARE(page.receivedText(), QString());
        QCOMPARE(Find<QPlainTextEdit>(&page, "sendEdit")->toPlainText(), QString());
        QCOMPARE(Find<QLineEdit>(&page, "addressEdit")->text(), QStringLiteral("112233445566"));
    }

    void tcpSendAreaShowsTheSentTextNormalised()
    {
        TcpPage page(nullptr);
        page.show();
        auto* send = Find<QPlainTextEdit>(&page, "sendEdit");
        Deliver(&page, ui::kTcpFrame, H("01"));
        Type(send, QStringLiteral("01 02 0a"));
        Deliver(&page, ui::kTcpFrame, H("02"));  // nothing sent yet: the typing stays
        QCOMPARE(send->toPlainText(), QStringLiteral("01 02 0a"));
        Click(Find<QPushButton>(&page, "oneToManyButton"));
        QCOMPARE(Written(6), H("7E 04 01 02 0A 7F"));
        QCOMPARE(send->toPlainText(), QStringLiteral("01 02 0a"));
        Deliver(&page, ui::kTcpFrame, H("7E 84 01 02 0A 7F"));
        QCOMPARE(send->toPlainText(), QStringLiteral("01020A"));

        // Text typed after a send is not replaced by the next frame.
        Type(send, QStringLiteral(" ff"));
        Click(Find<QPushButton>(&page, "oneToManyButton"));
        QCOMPARE(Written(6), H("7E 04 01 02 0A FF 7F"));
        Type(send, QStringLiteral(" 1"));
        Deliver(&page, ui::kTcpFrame, H("03"));
        QCOMPARE(send->toPlainText(), QStringLiteral("01020A ff 1"));
    }

    void tcpLogKeepsTheNewestMegabyte()
    {
        TcpPage page(nullptr);
        page.show();
        // 1500 frames of 255 bytes: 1,147,500 characters of text.
        QString all;
        Bytes frame(255);
        for (int n = 0; n < 1500; ++n) {
            for (std::size_t i = 0; i < frame.size(); ++i)
                frame[i] = static_cast<std::uint8_t>(n * 7 + i);
            Deliver(&page, ui::kTcpFrame, frame);
            all += QString::fromStdString(pages::FormatReceived(frame));
        }
        const QString kept = page.receivedText();
        QVERIFY(kept.size() <= TcpPage::kLogMaxChars);
        QVERIFY(kept.size() > TcpPage::kLogMaxChars - TcpPage::kLogBlockChars);
        QVERIFY(all.size() > TcpPage::kLogMaxChars);
        QVERIFY(all.endsWith(kept));  // the newest part, the oldest dropped
        QVERIFY(kept.size() % 3 == 0 && kept[2] == QLatin1Char(' '));  // starts at a whole byte
        auto* log = Find<QPlainTextEdit>(&page, "receiveLog");
        QVERIFY(log->document()->blockCount() <= TcpPage::kLogBlocks);
        QVERIFY(log->document()->availableUndoSteps() == 0);
        // Appending goes on after the cap, and clearing starts afresh.
        Deliver(&page, ui::kTcpFrame, H("AB CD"));
        QVERIFY(page.receivedText().endsWith(QStringLiteral("AB CD ")));
        Click(Find<QPushButton>(&page, "clearReceiveButton"));
        Deliver(&page, ui::kTcpFrame, H("EF"));
        QCOMPARE(page.receivedText(), QStringLiteral("EF "));
    }

    // ---- Through the main window and the simulated DTU ----

    void roundTripThroughTheSimulatedDtu()
    {
        g_Serial.Close();
        sim::SimulatedDtu dtu({});
        QVERIFY2(dtu.Start(), dtu.error().c_str());
        QVERIFY(g_Serial.Open(dtu.TerminalPath(), 115200, 0));
        MainWindow window([] { return QStringList(); });
        const auto [text, hex, tcp] = OpenPages(window);
        QVERIFY(text && hex && tcp && text->isVisible() && hex->isVisible() && tcp->isVisible());
        auto* textArea = Find<QPlainTextEdit>(text, "receiveEdit");
        auto* hexArea = Find<QPlainTextEdit>(hex, "receiveEdit");

        // A group text send; the DTU shows what it got, marked as an answer.
        Click(Find<QCheckBox>(text, "groupCheck"));
        Type(Find<QLineEdit>(text, "messageEdit"), U("中文"));
        Click(Find<QPushButton>(text, "sendButton"));
        const QString first = QStringLiteral("7E 80 D6 D0 CE C4 7F ");
        QTRY_COMPARE_WITH_TIMEOUT(textArea->toPlainText(), first, 3000);
        QCOMPARE(hexArea->toPlainText(), first);  // every visible page sees the frame
        QCOMPARE(tcp->receivedText(), first);

        // A TCP send in transparent mode comes back as it went.
        Click(Find<QRadioButton>(tcp, "transparentRadio"));
        Type(Find<QPlainTextEdit>(tcp, "sendEdit"), QStringLiteral("01 02 0a"));
        Click(Find<QPushButton>(tcp, "oneToManyButton"));
        QTRY_COMPARE_WITH_TIMEOUT(textArea->toPlainText(), QStringLiteral("01 02 0A "), 3000);
        QCOMPARE(tcp->receivedText(), first + QStringLiteral("01 02 0A "));  // appended
        QCOMPARE(Find<QPlainTextEdit>(tcp, "sendEdit")->toPlainText(), QStringLiteral("01020A"));

        // A hidden page sees nothing.
        text->close();
        Click(Find<QRadioButton>(hex, "transparentRadio"));
        Type(Find<QLineEdit>(hex, "messageEdit"), QStringLiteral("FF"));
        Click(Find<QPushButton>(hex, "sendButton"));
        QTRY_COMPARE_WITH_TIMEOUT(hexArea->toPlainText(), QStringLiteral("FF "), 3000);
        QCOMPARE(textArea->toPlainText(), QStringLiteral("01 02 0A "));
        QVERIFY(boxes_.shown.empty());
        g_Serial.Close();
        dtu.Stop();
    }

    void framesCompletedBySilenceAreLogged()
    {
        // The test plays the DTU: two replies 600 ms apart are two frames.
        MainWindow window([] { return QStringList(); });
        window.show();
        window.findChild<QAction*>(QStringLiteral("tcpToolbarAction"))->trigger();
        TcpPage* tcp = window.tcpPage();
        QVERIFY(tcp && tcp->isVisible());
        pty_->Send(H("01 02"));
        QTRY_COMPARE_WITH_TIMEOUT(tcp->receivedText(), QStringLiteral("01 02 "), 3000);
        pty_->Send(H("03"));
        QTRY_COMPARE_WITH_TIMEOUT(tcp->receivedText(), QStringLiteral("01 02 03 "), 3000);
    }
};

QTEST_MAIN(PagesTest)
#include "PagesTest.moc"

// The DTU page through its real widgets (offscreen), against a real
// pseudo-terminal: the test reads what the page wrote on the master side
// and answers as the DTU would; the main window's tick completes frames.
#include "core/dtu/Commands.h"
#include "core/dtu/Frame.h"
#include "driver/serial/BufferedPort.h"
#include "dtu-sim/sim/SimulatedDtu.h"
#include "tests/support/Bytes.h"
#include "tests/support/MessageBoxes.h"
#include "tests/support/Pty.h"
#include "tests/support/RunTests.h"
#include "ui/app/MainWindow.h"
#include "ui/common/FastReplies.h"
#include "ui/common/HexEdits.h"
#include "ui/common/LineEdits.h"
#include "ui/dtu/DtuPage.h"
#include "ui/dtu/RfDialog.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTreeWidget>

#include <ctime>
#include <functional>
#include <memory>

namespace {

Bytes Response(std::uint8_t code, const Bytes& payload)
{
    return *dtu::BuildResponse(code, payload);
}

Bytes Request(std::uint8_t code, const Bytes& payload)
{
    return *dtu::BuildRequest(code, payload);
}

QString Hex(const Bytes& b)
{
    return QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(b.data()), qsizetype(b.size())).toHex(' '));
}

// Counts the frame notifications the page receives.
class FrameCounter : public QObject {
public:
    std::vector<int> lengths;
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == ui::kDtuFrame)
            lengths.push_back(static_cast<const ui::FrameEvent*>(e)->length);
        return false;
    }
};

}  // namespace

class DtuPageTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<MainWindow> window_;
    std::unique_ptr<PtyPair> pty_;
    MessageBoxes boxes_;
    DtuPage* page_ = nullptr;

    template <class W = QWidget>
    W* W_(const char* name)
    {
        W* w = page_->findChild<W*>(QLatin1String(name));
        if (!w)
            qFatal("no widget %s", name);
        return w;
    }
    void Click(const char* name) { W_<QAbstractButton>(name)->click(); }
    // A key as the X server sends it, text included.
    static void SendKey(QWidget* w, Qt::Key key, const QString& text)
    {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
        QCoreApplication::sendEvent(w, &press);
    }
    void SetText(const char* name, const QString& text) { W_<QLineEdit>(name)->setText(text); }
    QString Pane() const { return page_->paneText(1); }
    // Everything the page wrote since the last call.
    Bytes Written()
    {
        Bytes all;
        for (;;) {
            const Bytes more = pty_->Receive(4096, std::chrono::milliseconds(30));
            if (more.empty())
                return all;
            all = all + more;
        }
    }
    // Sends an answer and waits until the page has seen it.
    void Answer(const Bytes& frame)
    {
        const std::size_t before = counter_.lengths.size();
        pty_->Send(frame);
        QTRY_VERIFY_WITH_TIMEOUT(counter_.lengths.size() > before, 3000);
    }
    QStringList Rows(const char* list)
    {
        QStringList rows;
        auto* tree = W_<QTreeWidget>(list);
        for (int i = 0; i < tree->topLevelItemCount(); ++i)
            rows << tree->topLevelItem(i)->text(0) + u'=' + tree->topLevelItem(i)->text(1);
        return rows;
    }
    FrameCounter counter_;

private slots:
    void init()
    {
        boxes_.Start();
        pty_ = std::make_unique<PtyPair>();
        QVERIFY(g_Serial.Open(pty_->terminalPath(), 115200, 0));
        window_ = std::make_unique<MainWindow>([] { return QStringList{}; });
        window_->show();
        window_->findChild<QAction*>(QStringLiteral("dtuToolbarAction"))->trigger();
        page_ = window_->dtuPage();
        QVERIFY(page_ && page_->isVisible());
        counter_.lengths.clear();
        page_->installEventFilter(&counter_);
    }
    void cleanup()
    {
        window_.reset();
        g_Serial.Close();
        pty_.reset();
        ui::SetHexInputOnly(false);
        ui::FastReplies::instance().set(false);
        boxes_.Stop();
    }

    void startsAsKv331()
    {
        QCOMPARE(page_->windowTitle(), QStringLiteral("DTU参数设置"));
        QCOMPARE(page_->paneText(0), QStringLiteral("就绪"));
        QCOMPARE(Pane(), QStringLiteral("None"));
        QCOMPARE(page_->paneText(2), QStringLiteral("运行正常"));
        QVERIFY(W_<QRadioButton>("model331Radio")->isChecked());
        QCOMPARE(W_<QComboBox>("baudCombo")->currentText(), QStringLiteral("9600"));
        QCOMPARE(W_<QComboBox>("parityCombo")->currentText(), QStringLiteral("NO"));
        QCOMPARE(W_<QComboBox>("interfaceCombo")->currentText(), QStringLiteral("TTL"));
        QCOMPARE(W_<QLineEdit>("ipEdit")->text(), QStringLiteral("192.168.1.100"));
        QCOMPARE(W_<QLineEdit>("apnEdit")->text(), QStringLiteral("CMNET"));
        QCOMPARE(W_<QLineEdit>("apnEdit")->maxLength(), 32);
        QCOMPARE(W_<QLineEdit>("heartbeatEdit")->maxLength(), 30);
        QCOMPARE(W_<QLineEdit>("registrationEdit")->maxLength(), 96);
        QVERIFY(W_<QRadioButton>("protocolRadio")->isChecked());
        QVERIFY(W_<QRadioButton>("smsModeRadio")->isChecked());
        QVERIFY(W_<QRadioButton>("ipRadio")->isChecked());
        QVERIFY(!W_<QPushButton>("phoneReadUnusedButton")->isEnabled());
        // Fits a 1366 x 768 screen, title bar included.
        QVERIFY2(page_->sizeHint().width() <= 1366 && page_->sizeHint().height() <= 720,
                 qPrintable(QStringLiteral("%1 x %2").arg(page_->sizeHint().width()).arg(page_->sizeHint().height())));
        // Every field is named by its label for assistive technology.
        for (const char* name : {"phoneEdit", "idEdit", "ipEdit", "domainEdit", "portEdit", "apnEdit", "apnUserEdit",
                                 "apnPasswordEdit", "heartbeatEdit", "registrationEdit", "baudCombo", "versionEdit"})
            QVERIFY2(!W_(name)->accessibleName().isEmpty(), name);
        QCOMPARE(W_("portEdit")->accessibleName(), QStringLiteral("远程端口"));
    }

    void modelsEnableTheirControls_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("addCaption");
        QTest::addColumn<bool>("lists");
        QTest::addColumn<bool>("packets");
        QTest::addColumn<bool>("wireless");
        QTest::newRow("KV-330-M") << "model330MRadio" << "增加" << true << false << false;
        QTest::newRow("KV-330-N") << "model330NRadio" << "设置" << false << true << false;
        QTest::newRow("KV-331") << "model331Radio" << "设置" << false << true << true;
    }
    void modelsEnableTheirControls()
    {
        QFETCH(QString, model);
        QFETCH(QString, addCaption);
        QFETCH(bool, lists);
        QFETCH(bool, packets);
        QFETCH(bool, wireless);
        // From another model first, so that every state really changes.
        Click(model == QLatin1String("model330MRadio") ? "model331Radio" : "model330MRadio");
        W_<QAbstractButton>(model.toLatin1().constData())->click();
        QCOMPARE(W_<QPushButton>("addIdButton")->text(), addCaption);
        for (const char* name : {"phoneEdit", "addPhoneButton", "phoneList", "writePhonesButton", "readPhonesButton",
                                 "deletePhonesButton", "clearPhonesButton", "idList", "writeIdsButton", "readIdsButton",
                                 "deleteIdsButton", "clearIdsButton", "protocolRadio", "transparentRadio",
                                 "setModeButton", "defaultModeButton"})
            QVERIFY2(W_(name)->isEnabled() == lists, name);
        for (const char* name : {"customIdCheck", "heartbeatEdit", "registrationEdit", "hexCheck",
                                 "customPacketsCheck", "writePacketsButton", "readPacketsButton"})
            QVERIFY2(W_(name)->isEnabled() == packets, name);
        QCOMPARE(W_("wirelessButton")->isEnabled(), wireless);
        for (const char* name : {"idEdit", "readOwnIdButton", "addIdButton", "ipEdit", "domainEdit", "portEdit",
                                 "setAddressButton", "setPortButton", "readNetButton", "readVersionButton",
                                 "apnEdit", "setApnButton", "baudCombo", "writeUartButton", "restartButton",
                                 "setClockButton", "readClockButton"})
            QVERIFY2(W_(name)->isEnabled(), name);
        // The protocol options follow the protocol radio; KV-330-M leaves the
        // sub-modes as they were.
        QCOMPARE(W_("smsOptionCheck")->isEnabled(), lists);
        if (!lists)
            QVERIFY(!W_("smsModeRadio")->isEnabled());
    }

    void everyButtonWritesItsFrame()
    {
        struct Case {
            const char* name;
            std::function<void()> setup;
            const char* button;
            Bytes expected;
        };
        const Bytes domain32(32, 'd');
        const Case cases[] = {
            {"read own ID", nullptr, "readOwnIdButton", H("FA 80 EE 02  00 00  6A 0D")},
            {"set own ID, custom",
             [&] {
                 SetText("idEdit", "11 22 33 44 55 66");
                 W_<QCheckBox>("customIdCheck")->setChecked(true);
             },
             "addIdButton", H("FA 80 FB 07  11 22 33 44 55 66 AA  8B 0D")},
            {"set own ID, short",
             [&] {
                 SetText("idEdit", "1122");
                 W_<QCheckBox>("customIdCheck")->setChecked(false);
             },
             "addIdButton", H("FA 80 FB 07  11 22 00 00 00 00 00  AF 0D")},
            {"server IP, whatever the domain says", [&] { SetText("domainEdit", "example.org"); }, "setAddressButton",
             H("FA 80 E6 04  C0 A8 01 64  31 0D")},
            {"server IP typed as one text", [&] { SetText("ipEdit", "10.0..7"); }, "setAddressButton",
             Request(0xE6, H("0A 00 00 07"))},
            {"domain of 32 characters",
             [&] {
                 W_<QRadioButton>("domainRadio")->setChecked(true);
                 SetText("domainEdit", QString(32, u'd'));
             },
             "setAddressButton", Request(0xE5, domain32)},
            {"port 8080", [&] { SetText("portEdit", "8080"); }, "setPortButton", H("FA 80 E7 02  1F 90  12 0D")},
            {"port 0", [&] { SetText("portEdit", "0"); }, "setPortButton", H("FA 80 E7 02  00 00  63 0D")},
            {"port 65535", [&] { SetText("portEdit", "65535"); }, "setPortButton", H("FA 80 E7 02  FF FF  61 0D")},
            {"read network parameters", nullptr, "readNetButton", H("FA 80 E9 01  00  64 0D")},
            {"serial settings 9600 NO TTL", nullptr, "writeUartButton", H("FA 80 EC 03  03 00 00  6C 0D")},
            {"serial settings typed over the list",
             [&] { W_<QComboBox>("baudCombo")->setEditText("9601"); }, "writeUartButton",
             Request(0xEC, H("FF 00 00"))},
            {"read serial settings", nullptr, "readUartButton", H("FA 80 ED 03  00 00 00  6A 0D")},
            {"default APN", nullptr, "setApnButton", H("FA 80 F5 60  43 4D 4E 45 54") + Zeros(91) + H("46 0D")},
            {"Chinese APN user in GBK", [&] { SetText("apnUserEdit", QStringLiteral("中国")); }, "setApnButton",
             Request(0xF5, H("43 4D 4E 45 54") + Zeros(27) + H("D6 D0 B9 FA") + Zeros(28) + Zeros(32))},
            {"read version", nullptr, "readVersionButton", H("FA 80 F1 02  00 00  6D 0D")},
            {"read signal", nullptr, "readSignalButton", H("FA 80 FE 02  00 00  7A 0D")},
            {"restart", nullptr, "restartButton", H("FA 80 F2 02  00 00  6E 0D")},
            {"read clock", nullptr, "readClockButton", H("FA 80 FD 02  00 00  79 0D")},
            {"packets as text",
             [&] {
                 SetText("heartbeatEdit", "ABC");
                 SetText("registrationEdit", "REG1");
             },
             "writePacketsButton", H("FA 80 F7 2D  55  03 41 42 43") + Zeros(7) + H("04 52 45 47 31") + Zeros(28) +
                                       H("CF 0D")},
            {"packets as hex, custom",
             [&] {
                 W_<QCheckBox>("hexCheck")->click();
                 W_<QCheckBox>("customPacketsCheck")->setChecked(true);
                 SetText("heartbeatEdit", "01 ab");
             },
             "writePacketsButton", H("FA 80 F7 2D  AA  02 01 AB") + Zeros(8) + H("00") + Zeros(32) + H("F6 0D")},
            {"read packets", nullptr, "readPacketsButton", H("FA 80 F8 02  00 00  74 0D")},
        };
        for (const Case& c : cases) {
            if (c.setup)
                c.setup();
            Click(c.button);
            QCOMPARE(Pane(), QStringLiteral("...."));
            const Bytes written = Written();
            QVERIFY2(written == c.expected, qPrintable(QStringLiteral("%1: wrote %2").arg(c.name, Hex(written))));
        }
    }

    void modeRequests()
    {
        Click("model330MRadio");
        W_<QCheckBox>("smsOptionCheck")->setChecked(true);
        W_<QCheckBox>("smsHexOptionCheck")->setChecked(true);
        W_<QCheckBox>("tcpOptionCheck")->setChecked(false);
        Click("setModeButton");
        QCOMPARE(Written(), H("FA 80 E8 02  02 03  69 0D"));
        for (const char* box : {"smsOptionCheck", "smsHexOptionCheck"})
            W_<QCheckBox>(box)->setChecked(false);
        Click("setModeButton");
        QCOMPARE(Written(), H("FA 80 E8 02  02 00  66 0D"));

        // Local only: nothing goes out, two options come back checked.
        Click("defaultModeButton");
        QVERIFY(Written().empty());
        QVERIFY(W_<QCheckBox>("smsOptionCheck")->isChecked() && W_<QCheckBox>("smsHexOptionCheck")->isChecked());
        QVERIFY(!W_<QCheckBox>("tcpOptionCheck")->isChecked());
        QVERIFY(W_<QRadioButton>("protocolRadio")->isChecked() && !W_<QRadioButton>("smsModeRadio")->isChecked());
        Click("transparentRadio");
        QVERIFY(!W_("smsOptionCheck")->isEnabled() && W_("tcpModeRadio")->isEnabled());
        Click("setModeButton");
        QCOMPARE(Written(), H("FA 80 E8 02  01 FF  64 0D"));
        Click("tcpModeRadio");
        Click("setModeButton");
        QCOMPARE(Written(), Request(0xE8, H("01 02")));
    }

    void setClockSendsTheLocalTime()
    {
        const std::time_t now = std::time(nullptr);
        std::tm tm{};
        localtime_r(&now, &tm);
        Click("setClockButton");
        const Bytes w = Written();
        QCOMPARE(w.size(), size_t(13));
        QCOMPARE(Bytes(w.begin(), w.begin() + 4), H("FA 80 FC 07"));
        QCOMPARE(int(w[4]), (tm.tm_year + 1900 - 2000) & 0xFF);
        QCOMPARE(int(w[5]), tm.tm_mon + 1);
        QCOMPARE(w[12], std::uint8_t(0x0D));
        QCOMPARE(w[11], dtu::Checksum(std::span(w.data(), 11)));
    }

    void refusedInputsSendNothing()
    {
        struct Case {
            const char* field;
            QString text;
            const char* button;
            const char* message;
        };
        Click("model330MRadio");
        const Case cases[] = {
            {"phoneEdit", "", "addPhoneButton", "加入的电话号码不能为空！"},
            {"phoneEdit", "1234567890", "addPhoneButton", "输入电话号码格式不正确！"},
            {"phoneEdit", "123456789012", "addPhoneButton", "输入电话号码超过11位，请检查文本格式！"},
            {"phoneEdit", "1234567890a", "addPhoneButton", "电话录入错误，请检查格式是否正确！"},
            {"idEdit", "", "addIdButton", "MAC地址录入不能为空！"},
            {"idEdit", "001a2b", "addIdButton", "MAC地址必需为6字节地址，请检查文本格式！"},
            {"idEdit", "00-1A-2B-3C-4D-5E", "addIdButton", "MAC地址输入超过6个字节，请检查文本格式！"},
            {"idEdit", "00112233445G", "addIdButton", "MAC地址录入错误，请检查文本格式是否正确！"},
            {"portEdit", "", "setPortButton", "设置远程端口错误，端口号不能为空！"},
            {"portEdit", "80a", "setPortButton", "设置远程端口错误，文本出现未能识别字符！"},
            {"portEdit", "65536", "setPortButton", "设置远程端口错误，端口号超出范围！"},
            {"portEdit", "99999999999", "setPortButton", "设置远程端口错误，端口号超出范围！"},
        };
        for (const Case& c : cases) {
            boxes_.shown.clear();
            SetText(c.field, c.text);
            Click(c.button);
            QVERIFY2(boxes_.shown.size() == 1, c.message);
            QCOMPARE(boxes_.shown[0].caption, QStringLiteral("提示！"));
            QCOMPARE(boxes_.shown[0].text, QString::fromUtf8(c.message));
            QVERIFY2(Written().empty(), c.message);
            QCOMPARE(Pane(), QStringLiteral("None"));
        }
        QCOMPARE(W_<QTreeWidget>("phoneList")->topLevelItemCount(), 0);
        QCOMPARE(W_<QTreeWidget>("idList")->topLevelItemCount(), 0);

        // The own ID of the other models: a character that is no hex digit
        // would go out as zeros and replace the DTU's own ID.
        Click("model330NRadio");
        boxes_.shown.clear();
        SetText("idEdit", QStringLiteral("11G2"));
        Click("addIdButton");
        QCOMPARE(boxes_.shown.size(), size_t(1));
        QVERIFY2(boxes_.shown[0].text.contains(QStringLiteral("“G”")), qPrintable(boxes_.shown[0].text));
        QVERIFY(Written().empty());
        Click("model330MRadio");

        W_<QRadioButton>("domainRadio")->setChecked(true);
        for (const auto& [text, message] : {std::pair{QString(), "设置域名出错，文本不能为空！"},
                                            std::pair{QString(33, u'a'), "设置域名出错，文本超出上限！"}}) {
            boxes_.shown.clear();
            SetText("domainEdit", text);
            Click("setAddressButton");
            QCOMPARE(boxes_.shown.size(), size_t(1));
            QCOMPARE(boxes_.shown[0].text, QString::fromUtf8(message));
            QVERIFY(Written().empty());
        }
    }

    void phoneListAddDeleteWriteAndClear()
    {
        Click("model330MRadio");
        for (int i = 0; i < 20; ++i) {
            SetText("phoneEdit", QStringLiteral("138%1").arg(i, 8, 10, QLatin1Char('0')));
            Click("addPhoneButton");
        }
        QVERIFY(boxes_.shown.empty());
        QCOMPARE(Rows("phoneList").at(10), QStringLiteral("A0010=13800000010"));
        SetText("phoneEdit", "13900000000");
        Click("addPhoneButton");
        QCOMPARE(boxes_.shown.back().text, QStringLiteral("电话列表超出上限！"));
        QCOMPARE(Rows("phoneList").size(), 20);

        // Deleting without a selection changes nothing; deleting a middle row
        // keeps the other labels, and the next add reuses a label.
        auto* list = W_<QTreeWidget>("phoneList");
        list->clearSelection();
        Click("deletePhonesButton");
        QCOMPARE(Rows("phoneList").size(), 20);
        list->topLevelItem(5)->setSelected(true);
        Click("deletePhonesButton");
        QCOMPARE(Rows("phoneList").size(), 19);
        QCOMPARE(Rows("phoneList").at(5), QStringLiteral("A006=13800000006"));
        Click("addPhoneButton");
        QCOMPARE(Rows("phoneList").at(19), QStringLiteral("A0019=13900000000"));
        QVERIFY(Written().empty());

        // Cancel empties the page's list and sends nothing.
        boxes_.answer = QMessageBox::Cancel;
        Click("clearPhonesButton");
        QCOMPARE(boxes_.shown.back().text, QStringLiteral("【确定】按钮清空MCU数据，【取消】按钮清空列表数据！"));
        QVERIFY(Rows("phoneList").isEmpty());
        QVERIFY(Written().empty());
        Click("writePhonesButton");
        QCOMPARE(Written(), H("FA 80 E1 00  5B 0D"));

        SetText("phoneEdit", "12345678901");
        Click("addPhoneButton");
        QCOMPARE(Rows("phoneList"), QStringList{"A000=12345678901"});
        Click("writePhonesButton");
        QCOMPARE(Written(), H("FA 80 E1 0C  31 32 33 34 35 36 37 38 39 30 31 2C  D1 0D"));
        // OK clears the DTU's copy and leaves the page's.
        boxes_.answer = QMessageBox::Ok;
        Click("clearPhonesButton");
        QCOMPARE(Written(), H("FA 80 EA 01  00  65 0D"));
        QCOMPARE(Rows("phoneList").size(), 1);
    }

    void idListAddWriteAndClear()
    {
        Click("model330MRadio");
        SetText("idEdit", "001a2b3c4d5e");
        Click("addIdButton");
        QCOMPARE(Rows("idList"), QStringList{"A000=001a2b3c4d5e"});
        Click("writeIdsButton");
        QCOMPARE(Written(), H("FA 80 E3 07  00 1A 2B 3C 4D 5E 2C  BC 0D"));
        Click("clearIdsButton");
        QCOMPARE(Written(), H("FA 80 EB 01  00  66 0D"));
        // A read empties the list and the entry before it asks.
        Click("readIdsButton");
        QCOMPARE(Written(), H("FA 80 E4 01  00  5F 0D"));
        QVERIFY(Rows("idList").isEmpty());
        QVERIFY(W_<QLineEdit>("idEdit")->text().isEmpty());
    }

    void listAnswersRefillTheLists()
    {
        Click("model330MRadio");
        Click("readPhonesButton");
        Written();
        const Bytes two = H("31 33 38 30 30 30 30 30 30 30 31 2C  31 33 38 30 30 30 30 30 30 30 32 2C");
        Answer(Response(0xE2, two));
        QCOMPARE(Pane(), QStringLiteral("Success!"));
        QCOMPARE(Rows("phoneList"), (QStringList{"A000=13800000001", "A001=13800000002"}));
        // L = 23: one whole record only.
        Click("readPhonesButton");
        Answer(Response(0xE2, Bytes(two.begin(), two.end() - 1)));
        QCOMPARE(Rows("phoneList"), QStringList{"A000=13800000001"});
        // Eleven records: labels go on A0010.
        Bytes eleven;
        for (int i = 0; i < 11; ++i)
            eleven = eleven + H("31 33 38 30 30 30 30 30 30 31 30 2C");
        Click("readPhonesButton");
        Answer(Response(0xE2, eleven));
        QCOMPARE(Rows("phoneList").size(), 11);
        QVERIFY(Rows("phoneList").at(10).startsWith(QStringLiteral("A0010=")));
        // The count follows the answer: the next add is the twelfth row.
        SetText("phoneEdit", "13900000000");
        Click("addPhoneButton");
        QCOMPARE(Rows("phoneList").at(11), QStringLiteral("A0011=13900000000"));

        Click("readIdsButton");
        Answer(Response(0xE4, H("00 1A 2B 3C 4D 5E 2C  AA BB CC DD EE FF 2C  01 02 03 04 05 06")));
        QCOMPARE(Rows("idList"), (QStringList{"A000=001A2B3C4D5E", "A001=AABBCCDDEEFF"}));
        Answer(Response(0xE2, {}));
        QCOMPARE(Pane(), QStringLiteral("Success!"));
    }

    void networkParametersFillTheControls()
    {
        SetText("domainEdit", "old.example");
        SetText("apnEdit", "kept");
        // Transparent TCP, address kind 0: the domain edit empties.
        Bytes p = Bytes(32, 0);
        const char name[] = "dtu.example.com";
        std::copy(name, name + sizeof name - 1, p.begin());
        Answer(Response(0xE9, p + H("0A 01 02 03  1F 90  01 02 00")));
        QCOMPARE(Pane(), QStringLiteral("Success!"));
        QVERIFY(W_<QLineEdit>("domainEdit")->text().isEmpty());
        QCOMPARE(W_<QLineEdit>("ipEdit")->text(), QStringLiteral("10.1.2.3"));
        QCOMPARE(W_<QLineEdit>("portEdit")->text(), QStringLiteral("8080"));
        QVERIFY(W_<QRadioButton>("transparentRadio")->isChecked());
        QVERIFY(W_<QRadioButton>("tcpModeRadio")->isChecked());
        for (const char* option : {"smsOptionCheck", "smsHexOptionCheck", "tcpOptionCheck"})
            QVERIFY(!W_<QCheckBox>(option)->isChecked() && !W_(option)->isEnabled());
        for (const char* mode : {"smsModeRadio", "smsHexModeRadio", "tcpModeRadio"})
            QVERIFY(W_(mode)->isEnabled());
        QCOMPARE(W_<QLineEdit>("apnEdit")->text(), QStringLiteral("kept"));

        // Protocol with option bits 5, address kind 1: domain, IP cleared.
        Answer(Response(0xE9, p + H("0A 01 02 03  00 50  02 05 01")));
        QVERIFY(W_<QRadioButton>("protocolRadio")->isChecked());
        QVERIFY(W_<QCheckBox>("smsOptionCheck")->isChecked());
        QVERIFY(!W_<QCheckBox>("smsHexOptionCheck")->isChecked());
        QVERIFY(W_<QCheckBox>("tcpOptionCheck")->isChecked());
        QCOMPARE(W_<QLineEdit>("domainEdit")->text(), QStringLiteral("dtu.example.com"));
        QVERIFY(W_<QLineEdit>("ipEdit")->text().isEmpty());
        QVERIFY(W_<QRadioButton>("domainRadio")->isChecked());
        QCOMPARE(W_<QLineEdit>("portEdit")->text(), QStringLiteral("80"));
        // A cleared address reads as 0.0.0.0.
        W_<QRadioButton>("ipRadio")->setChecked(true);
        Click("setAddressButton");
        QCOMPARE(Written(), Request(0xE6, Zeros(4)));
    }

    void smallAnswers()
    {
        Answer(Response(0xED, H("07 02 04")));
        QCOMPARE(W_<QComboBox>("baudCombo")->currentText(), QStringLiteral("115200"));
        QCOMPARE(W_<QComboBox>("parityCombo")->currentText(), QStringLiteral("EVEN"));
        QCOMPARE(W_<QComboBox>("interfaceCombo")->currentText(), QStringLiteral("RS232"));
        Answer(Response(0xED, H("09 00 00")));
        QCOMPARE(W_<QComboBox>("baudCombo")->currentIndex(), -1);

        Answer(Response(0xEE, H("00 1A 2B 3C 4D 5E AA")));
        QCOMPARE(W_<QLineEdit>("idEdit")->text(), QStringLiteral("001A2B3C4D5E"));
        QVERIFY(W_<QCheckBox>("customIdCheck")->isChecked());
        Answer(Response(0xEE, H("00 00 00 00 00 01 55")));
        QVERIFY(!W_<QCheckBox>("customIdCheck")->isChecked());

        Answer(Response(0xF1, Bytes{'V', '2', '.', '3', 0, 'x'}));
        QCOMPARE(W_<QLineEdit>("versionEdit")->text(), QStringLiteral("V2.3"));
        Answer(Response(0xFE, Bytes(200 % 256, 'S')));
        QCOMPARE(W_<QLineEdit>("versionEdit")->text(), QString(127, u'S'));
        QCOMPARE(Pane(), QStringLiteral("Success!"));

        // An echo of a request, a lone terminator: "Fail!", nothing changes.
        Answer(H("FA 80 F1 02 00 00 6D 0D"));
        QCOMPARE(Pane(), QStringLiteral("Fail!"));
        QCOMPARE(W_<QLineEdit>("versionEdit")->text(), QString(127, u'S'));
        Answer(H("0D"));
        QCOMPARE(Pane(), QStringLiteral("Fail!"));
        Answer(Response(0xEF, {}));
        QCOMPARE(Pane(), QStringLiteral("Success!"));
        QVERIFY(boxes_.shown.empty());

        // A data frame belongs to the SMS and TCP pages: no request failed.
        Click("readVersionButton");
        Answer(H("7E 04 01 02 7F"));
        QCOMPARE(Pane(), QStringLiteral("...."));
    }

    void aFrameThatCannotGoOutIsSaidInThePane()
    {
        g_Serial.Close();
        Click("readVersionButton");
        QTRY_COMPARE(Pane(), QStringLiteral("发送失败：串口已关闭"));
        // No "No reply" over it later: the request never went out.
        QTest::qWait(DtuPage::kReplyTimeoutMs + 300);
        QCOMPARE(Pane(), QStringLiteral("发送失败：串口已关闭"));
    }

    void packetAnswersFollowTheHexBox()
    {
        // Before any read, either state of the box empties both edits.
        SetText("heartbeatEdit", "typed");
        W_<QCheckBox>("hexCheck")->click();
        QVERIFY(W_<QLineEdit>("heartbeatEdit")->text().isEmpty());
        QVERIFY(ui::HexInputOnly());
        Answer(Response(0xF8, H("AA  02 01 AB") + Zeros(8) + H("04 52 45 47 31") + Zeros(28)));
        QCOMPARE(W_<QLineEdit>("heartbeatEdit")->text(), QStringLiteral("01 AB "));
        QCOMPARE(W_<QLineEdit>("registrationEdit")->text(), QStringLiteral("52 45 47 31 "));
        QVERIFY(W_<QCheckBox>("customPacketsCheck")->isChecked());
        QCOMPARE(Pane(), QStringLiteral("Success!"));
        QTRY_COMPARE(boxes_.shown.size(), size_t(1));
        QCOMPARE(boxes_.shown[0].text, QStringLiteral("读取成功!"));
        W_<QCheckBox>("hexCheck")->click();
        QVERIFY(!ui::HexInputOnly());
        QCOMPARE(W_<QLineEdit>("registrationEdit")->text(), QStringLiteral("REG1"));
        // Length 11: 11 modulo 11 is an empty heartbeat.
        Answer(Response(0xF8, H("55  0B") + Bytes(10, 'h') + H("00") + Zeros(32)));
        QVERIFY(W_<QLineEdit>("heartbeatEdit")->text().isEmpty());
        QVERIFY(!W_<QCheckBox>("customPacketsCheck")->isChecked());
        Answer(Response(0xF7, H("00")));
        QTRY_COMPARE(boxes_.shown.size(), size_t(3));
        QCOMPARE(boxes_.shown[2].text, QStringLiteral("写入成功!"));
    }

    void hexBoxFiltersEveryHexField()
    {
        auto* edit = W_<QLineEdit>("heartbeatEdit");
        edit->setFocus();
        QTest::keyClicks(edit, "0A ffg-x,G");
        QCOMPARE(edit->text(), QStringLiteral("0A ffg-x,G"));
        edit->clear();
        W_<QCheckBox>("hexCheck")->click();
        QTest::keyClicks(edit, "0A ffg-x,G");
        QTest::keyClick(edit, Qt::Key_Return);
        QCOMPARE(edit->text(), QStringLiteral("0A ff"));
        QTest::keyClick(edit, Qt::Key_Backspace);
        QCOMPARE(edit->text(), QStringLiteral("0A f"));
        // Any hex field of the program follows the same box.
        HexTextEdit other;
        QTest::keyClicks(&other, "7e zz");
        QCOMPARE(other.toPlainText(), QStringLiteral("7e "));
        W_<QCheckBox>("hexCheck")->click();
        QTest::keyClicks(&other, "zz");
        QCOMPARE(other.toPlainText(), QStringLiteral("7e zz"));
        // Text the program sets is never filtered.
        ui::SetHexInputOnly(true);
        edit->setText(QStringLiteral("not hex"));
        QCOMPARE(edit->text(), QStringLiteral("not hex"));

        // Delete edits (X11 gives it the text 0x7F); an input method's text
        // is cut to the hex digits in it.
        edit->setText(QStringLiteral("0A"));
        edit->setCursorPosition(0);
        SendKey(edit, Qt::Key_Delete, QStringLiteral("\x7f"));
        QCOMPARE(edit->text(), QStringLiteral("A"));
        QInputMethodEvent ime;
        ime.setCommitString(QStringLiteral("ｆ1g2"));
        QCoreApplication::sendEvent(edit, &ime);
        QCOMPARE(edit->text(), QStringLiteral("12A"));
    }

    void digitAndAddressFields()
    {
        auto* port = W_<QLineEdit>("portEdit");
        QTest::keyClicks(port, "80a8-0");
        QCOMPARE(port->text(), QStringLiteral("8080"));
        port->setCursorPosition(0);
        SendKey(port, Qt::Key_Delete, QStringLiteral("\x7f"));
        QCOMPARE(port->text(), QStringLiteral("080"));
        QInputMethodEvent ime;
        ime.setCommitString(QStringLiteral("９x1"));
        QCoreApplication::sendEvent(port, &ime);
        QCOMPARE(port->text(), QStringLiteral("1080"));
        auto* ip = W_<QLineEdit>("ipEdit");
        ip->clear();
        boxes_.shown.clear();
        QTest::keyClicks(ip, "10.256.1.2");
        QCOMPARE(ip->text(), QStringLiteral("10.255.1.2"));
        QCOMPARE(boxes_.shown.size(), size_t(1));
        QVERIFY(boxes_.shown[0].text.startsWith(QStringLiteral("256 ")));
        ip->clear();
        QTest::keyClicks(ip, "1.2.3.4.5");
        QCOMPARE(ip->text(), QStringLiteral("1.2.3.45"));
        ip->clear();
        QTest::keyClicks(ip, "192.168.001.0100");
        QCOMPARE(ip->text(), QStringLiteral("192.168.001.010"));
        QCOMPARE(static_cast<ui::IpAddressEdit*>(ip)->address(), (ui::IpAddressEdit::Address{192, 168, 1, 10}));
    }

    void clockAnswerShowsItsBoxThenSuccess()
    {
        Click("readClockButton");
        Written();
        boxes_.duringNext = [this] { QCOMPARE(Pane(), QStringLiteral("....")); };
        Answer(Response(0xFD, H("10 05 03 0E 07 09 02")));
        QTRY_COMPARE(boxes_.shown.size(), size_t(1));
        QCOMPARE(boxes_.shown[0].text, QStringLiteral("2016-05-03 14:07:09 星期2"));
        QCOMPARE(Pane(), QStringLiteral("Success!"));
    }

    void answersDuringAnOpenBoxArriveOneByOne()
    {
        // While the clock's box is open, two answers arrive: each is a frame
        // of its own, in order, and neither is lost.
        boxes_.duringNext = [this] {
            pty_->Send(Response(0xF1, Bytes{'V', '1'}));
            QTRY_COMPARE_WITH_TIMEOUT(counter_.lengths.size(), size_t(2), 3000);
            pty_->Send(Response(0xFE, Bytes{'+', 'C', 'S', 'Q'}));
            QTRY_COMPARE_WITH_TIMEOUT(counter_.lengths.size(), size_t(3), 3000);
            QCOMPARE(W_<QLineEdit>("versionEdit")->text(), QStringLiteral("+CSQ"));
        };
        Answer(Response(0xFD, Zeros(7)));
        QTRY_COMPARE(boxes_.shown.size(), size_t(1));
        QCOMPARE(boxes_.shown[0].text, QStringLiteral("2000-00-00 00:00:00 星期0"));
        QCOMPARE(counter_.lengths, (std::vector<int>{13, 8, 10}));
        QVERIFY(!boxes_.duringNext);
    }

    void unansweredRequestSaysNoReply()
    {
        Click("readVersionButton");
        QCOMPARE(Pane(), QStringLiteral("...."));
        QTRY_COMPARE_WITH_TIMEOUT(Pane(), QStringLiteral("No reply"), DtuPage::kReplyTimeoutMs + 1000);
        Answer(Response(0xF1, Bytes{'V'}));
        QCOMPARE(Pane(), QStringLiteral("Success!"));
    }

    void wirelessDialog()
    {
        Click("wirelessButton");
        RfDialog* rf = page_->rfDialog();
        QVERIFY(rf && rf->isVisible());
        QCOMPARE(rf->windowTitle(), QStringLiteral("无线参数配置页"));
        Click("wirelessButton");
        QCOMPARE(page_->rfDialog(), rf);
        QCOMPARE(page_->findChildren<RfDialog*>().size(), 1);

        QMetaObject::invokeMethod(rf->findChild<QPushButton*>(QStringLiteral("writeRfButton")), "click");
        QCOMPARE(Written(), H("FA 80 F3 07  6C 80 12  00 04 00 06  7C 0D"));
        rf->findChild<QLineEdit*>(QStringLiteral("frequencyEdit"))->setText(QStringLiteral("433"));
        QMetaObject::invokeMethod(rf->findChild<QPushButton*>(QStringLiteral("writeRfButton")), "click");
        QCOMPARE(Written(), H("FA 80 F3 07  6C 40 12  00 04 00 06  3C 0D"));
        // A frequency the word cannot hold would set another one: refused.
        for (const char* refused : {"1024", "5000", "", "0.5"}) {
            boxes_.shown.clear();
            rf->findChild<QLineEdit*>(QStringLiteral("frequencyEdit"))->setText(QString::fromLatin1(refused));
            QMetaObject::invokeMethod(rf->findChild<QPushButton*>(QStringLiteral("writeRfButton")), "click");
            QCOMPARE(boxes_.shown.size(), size_t(1));
            QVERIFY(boxes_.shown[0].text.contains(QStringLiteral("1023 MHz")));
            QVERIFY2(Written().empty(), refused);
        }
        rf->findChild<QLineEdit*>(QStringLiteral("frequencyEdit"))->setText(QStringLiteral("433"));
        boxes_.shown.clear();
        QMetaObject::invokeMethod(rf->findChild<QPushButton*>(QStringLiteral("readRfButton")), "click");
        QCOMPARE(Written(), H("FA 80 F4 01  00  6F 0D"));
        QCOMPARE(Pane(), QStringLiteral("None"));

        Answer(Response(0xF4, H("6C 7A E1  09 05 07 03")));
        QTRY_COMPARE(boxes_.shown.size(), size_t(1));
        QCOMPARE(boxes_.shown[0].text, QStringLiteral("读取射频参数成功!"));
        QCOMPARE(rf->findChild<QLineEdit*>(QStringLiteral("frequencyEdit"))->text(), QStringLiteral("433.91"));
        QCOMPARE(rf->findChild<QComboBox*>(QStringLiteral("sleepCombo"))->currentIndex(), -1);
        QCOMPARE(rf->findChild<QComboBox*>(QStringLiteral("breathCombo"))->currentText(), QStringLiteral("64ms"));
        QCOMPARE(rf->findChild<QLineEdit*>(QStringLiteral("addressEdit"))->text(), QStringLiteral("07"));
        QCOMPARE(rf->findChild<QComboBox*>(QStringLiteral("powerCombo"))->currentText(), QStringLiteral("Level4"));
        Answer(Response(0xF3, H("00")));
        QTRY_COMPARE(boxes_.shown.size(), size_t(2));
        QCOMPARE(boxes_.shown[1].text, QStringLiteral("写入射频参数成功!"));
        QCOMPARE(Pane(), QStringLiteral("None"));
        // Writing after that read sends 433 MHz: the decimals are not sent.
        QMetaObject::invokeMethod(rf->findChild<QPushButton*>(QStringLiteral("writeRfButton")), "click");
        QCOMPARE(Bytes(Written()).at(5), std::uint8_t(0x40));
        rf->close();
        QVERIFY(!rf->isVisible());
        Click("wirelessButton");
        QCOMPARE(rf->findChild<QLineEdit*>(QStringLiteral("frequencyEdit"))->text(), QStringLiteral("433.91"));
    }

    void fastRepliesKeepBackToBackAnswersApart()
    {
        // Off (the default): two answers with no pause between them are one
        // frame, as silence is all that ends a frame.
        QVERIFY(!W_<QCheckBox>("fastRepliesCheck")->isChecked());
        pty_->Send(Response(0xF1, Bytes{'A'}) + Response(0xFE, Bytes{'B', 'C'}));
        QTRY_COMPARE_WITH_TIMEOUT(counter_.lengths.size(), size_t(1), 3000);
        QTest::qWait(700);
        QCOMPARE(counter_.lengths, std::vector<int>{7 + 8});

        // On: each whole answer is a frame the moment its last byte is in.
        W_<QCheckBox>("fastRepliesCheck")->click();
        QVERIFY(g_Rx.FastReplies());
        pty_->Send(Response(0xF1, Bytes{'A'}) + Response(0xFE, Bytes{'B', 'C'}));
        QTRY_COMPARE_WITH_TIMEOUT(counter_.lengths.size(), size_t(3), 3000);
        QCOMPARE(counter_.lengths, (std::vector<int>{15, 7, 8}));
        QCOMPARE(W_<QLineEdit>("versionEdit")->text(), QStringLiteral("BC"));
        // A reply that is not whole still waits for silence.
        pty_->Send(H("FA 00 F1 01 41 00 0D"));
        QTRY_COMPARE_WITH_TIMEOUT(counter_.lengths.size(), size_t(4), 3000);
        QCOMPARE(counter_.lengths.back(), 7);

        // Every box of the setting follows it.
        QCheckBox* other = ui::FastReplies::MakeCheckBox(nullptr);
        QVERIFY(other->isChecked());
        W_<QCheckBox>("fastRepliesCheck")->click();
        QVERIFY(!other->isChecked() && !g_Rx.FastReplies());
        delete other;
    }

    void wirelessAddressAbove99SurvivesAReadThenWrite()
    {
        Click("wirelessButton");
        RfDialog* rf = page_->rfDialog();
        auto* address = rf->findChild<QLineEdit*>(QStringLiteral("addressEdit"));
        Answer(Response(0xF4, H("6C 7A E1  09 05 7B 03")));
        QCOMPARE(address->text(), QStringLiteral("123"));
        QMetaObject::invokeMethod(rf->findChild<QPushButton*>(QStringLiteral("writeRfButton")), "click");
        QCOMPARE(Written().at(9), std::uint8_t(0x7B));
        // Typing stays at two digits.
        address->clear();
        QTest::keyClicks(address, QStringLiteral("123"));
        QCOMPARE(address->text(), QStringLiteral("12"));
    }

    void wirelessAnswerBeforeTheDialogOpened()
    {
        QVERIFY(!page_->rfDialog());
        Answer(Response(0xF4, H("7A 40 00  01 02 03 04")));
        QVERIFY(page_->rfDialog() && !page_->rfDialog()->isVisible());
        Click("wirelessButton");
        QCOMPARE(page_->rfDialog()->findChild<QLineEdit*>(QStringLiteral("frequencyEdit"))->text(),
                 QStringLiteral("489.00"));
    }
};

// Against the simulated DTU: what the page writes is read back.
class DtuPageRoundTripTest : public QObject {
    Q_OBJECT

private slots:
    void writtenSettingsReadBack()
    {
        MessageBoxes boxes;
        boxes.Start();
        sim::SimulatedDtu dtu({});
        QVERIFY(dtu.Start());
        QVERIFY(g_Serial.Open(dtu.TerminalPath(), 115200, 0));
        {
            MainWindow window([] { return QStringList{}; });
            window.show();
            window.findChild<QAction*>(QStringLiteral("dtuToolbarAction"))->trigger();
            DtuPage* page = window.dtuPage();
            const auto click = [&](const char* name) { page->findChild<QAbstractButton*>(QLatin1String(name))->click(); };
            const auto edit = [&](const char* name) { return page->findChild<QLineEdit*>(QLatin1String(name)); };
            const auto settle = [&] { QTRY_COMPARE_WITH_TIMEOUT(page->paneText(1), QStringLiteral("Success!"), 3000); };

            edit("portEdit")->setText(QStringLiteral("5020"));
            click("setPortButton");
            settle();
            edit("ipEdit")->setText(QStringLiteral("10.20.30.40"));
            click("setAddressButton");
            settle();
            edit("portEdit")->clear();
            edit("ipEdit")->clear();
            click("readNetButton");
            settle();
            QCOMPARE(edit("portEdit")->text(), QStringLiteral("5020"));
            QCOMPARE(edit("ipEdit")->text(), QStringLiteral("10.20.30.40"));

            click("model330MRadio");
            edit("phoneEdit")->setText(QStringLiteral("13912345678"));
            click("addPhoneButton");
            click("writePhonesButton");
            settle();
            click("readPhonesButton");
            settle();
            auto* list = page->findChild<QTreeWidget*>(QStringLiteral("phoneList"));
            QCOMPARE(list->topLevelItemCount(), 1);
            QCOMPARE(list->topLevelItem(0)->text(1), QStringLiteral("13912345678"));
            click("readVersionButton");
            settle();
            QCOMPARE(edit("versionEdit")->text(), QStringLiteral("KV-331 V2.3.1 (simulated)"));
        }
        g_Serial.Close();
        boxes.Stop();
        QVERIFY(boxes.shown.empty());
    }
};

int main(int argc, char** argv)
{
    return RunTests<DtuPageTest, DtuPageRoundTripTest>(argc, argv);
}

#include "DtuPageTest.moc"

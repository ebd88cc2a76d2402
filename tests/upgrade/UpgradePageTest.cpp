// The upgrade page driven through its widgets (offscreen) against the
// simulated DTU on a real pseudo-terminal; frames are completed by the main
// window's tick. Message boxes and the file dialog are answered through the
// application's seams. Every reply waits for 400 to 500 ms of silence, so a
// transfer of a few blocks takes seconds.
#include "tests/upgrade/PageHarness.h"

#include "driver/serial/BufferedPort.h"
#include "tests/support/MessageBoxes.h"
#include "ui/app/MainWindow.h"
#include "ui/common/FileDialog.h"
#include "ui/common/FrameEvent.h"
#include "ui/upgrade/UpgradePage.h"

#include <QAbstractEventDispatcher>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <array>

#include <unistd.h>

namespace {

const QString kSucceeded = QStringLiteral("升级成功，等待从新启动");
const QString kCheckFailed = QStringLiteral("校验错误,升级失败!");
const QString kStopped = QStringLiteral("停止下载程序成功！");
const QString kEmptyPath = QStringLiteral("打开文件的路径不正确,或不能为空！");
const QString kCloseQuestion = QStringLiteral("确定要停止升级并关闭吗？");

// A transfer of a few blocks ends well within this.
constexpr int kTransferMs = 15000;

QList<int> Positions(const QSignalSpy& spy)
{
    QList<int> values;
    for (const QList<QVariant>& args : spy)
        if (args.at(0).toInt() != 0)
            values << args.at(0).toInt();
    return values;
}

}  // namespace

class UpgradePageTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<PageHarness> h_;
    QTemporaryDir dir_;
    MessageBoxes boxes_;
    int closeAnswer_ = QMessageBox::Ok;
    QString chosen_;
    QString filter_;

    void Up(sim::Faults faults = {})
    {
        h_ = std::make_unique<PageHarness>(faults);
        QVERIFY2(h_->error().isEmpty(), qPrintable(h_->error()));
    }
    QString File(const QString& name, const std::vector<std::uint8_t>& bytes)
    {
        const QString path = dir_.filePath(name);
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return {};
        f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
        return path;
    }
    void Choose(const QString& path)
    {
        chosen_ = path;
        QTest::mouseClick(h_->button("openButton"), Qt::LeftButton);
    }
    UpgradePage* Page() const { return h_->page(); }
    QString Texts() const
    {
        return boxes_.texts().join(QStringLiteral(" | "));
    }
    // An APP "ACK" as the main window hands it over: `length` bytes received,
    // the rest of the buffer left over.
    void DeliverAck(std::int32_t length)
    {
        std::array<std::uint8_t, ReceiveBuffer::kCapacity> buffer{0xFA, 0x00, 0xEF, 0x03, 'A', 'C', 'K', 0x00, 0x0D};
        ui::FrameEvent event(ui::kUpgradeFrame, ReceiveBuffer::Frame{buffer, length});
        QCoreApplication::sendEvent(Page(), &event);
    }
    bool WatchTimerRunning() const
    {
        return !QAbstractEventDispatcher::instance()->registeredTimers(Page()).isEmpty();
    }

private slots:
    void initTestCase() { QVERIFY(dir_.isValid()); }
    void init()
    {
        closeAnswer_ = QMessageBox::Ok;
        chosen_.clear();
        filter_.clear();
        boxes_.Start();
        boxes_.answerFor = [this](const MessageBoxes::Box& box) {
            return box.text.contains(kCloseQuestion) ? closeAnswer_ : int(QMessageBox::Ok);
        };
        ui::SetOpenFileHandler([this](const QString& filter) {
            filter_ = filter;
            return chosen_;
        });
    }
    void cleanup()
    {
        h_.reset();
        boxes_.Stop();
        ui::SetOpenFileHandler(nullptr);
    }

    void pageAndControls()
    {
        Up();
        QCOMPARE(Page()->windowTitle(), QStringLiteral("KV-330型在线升级系统"));
        const std::pair<const char*, int> ids[] = {{"pathEdit", 1013},    {"openButton", 1012}, {"nameLabel", 1050},
                                                   {"sizeLabel", 1051},   {"appButton", 1014},  {"iapButton", 1015},
                                                   {"stopButton", 1016},  {"progressBar", 1052}};
        for (const auto& [name, id] : ids) {
            auto* w = Page()->findChild<QWidget*>(QLatin1String(name));
            QVERIFY2(w, name);
            QCOMPARE(w->property("controlId").toInt(), id);
            QVERIFY2(w->isEnabled(), name);
            // Every control but the bar is reached with Tab.
            if (id != 1050 && id != 1051 && id != 1052)
                QVERIFY2(w->focusPolicy() & Qt::TabFocus, name);
        }
        QCOMPARE(h_->button("appButton")->text(), QStringLiteral("APP升级"));
        QCOMPARE(h_->button("iapButton")->text(), QStringLiteral("IAP升级"));
        QCOMPARE(h_->button("stopButton")->text(), QStringLiteral("STOP升级"));
        QCOMPARE(h_->button("openButton")->text(), QStringLiteral("打开"));
        // Idle: nothing runs.
        QVERIFY(!WatchTimerRunning());
    }

    void cancelledChoiceChangesNothing()
    {
        Up();
        h_->pathEdit()->setText(QStringLiteral("/kept"));
        Choose(QString());
        QCOMPARE(filter_, QStringLiteral("Data Files(*.bin);;All Files (*.*)"));
        QCOMPARE(h_->pathEdit()->text(), QStringLiteral("/kept"));
        QVERIFY(boxes_.shown.empty());
    }

    void transfers_data()
    {
        QTest::addColumn<bool>("app");
        QTest::addColumn<int>("size");
        QTest::addColumn<QString>("sizeText");
        QTest::addColumn<QList<int>>("positions");
        // Position k after k blocks, against blocks to send: full only when
        // the last block has gone.
        QTest::newRow("APP 2500") << true << 2500 << QStringLiteral("2.500 kb") << QList<int>{1, 2, 3};
        QTest::newRow("IAP 2500") << false << 2500 << QStringLiteral("2.500 kb") << QList<int>{1, 2, 3};
        QTest::newRow("APP 1024") << true << 1024 << QStringLiteral("1.024 kb") << QList<int>{1};
        QTest::newRow("IAP 1024") << false << 1024 << QStringLiteral("1.024 kb") << QList<int>{1};
    }
    void transfers()
    {
        QFETCH(bool, app);
        QFETCH(int, size);
        QFETCH(QString, sizeText);
        QFETCH(QList<int>, positions);
        Up();
        const std::vector<std::uint8_t> image = Pattern(static_cast<std::size_t>(size), 0x31);
        const QString path = File(QStringLiteral("image.bin"), image);
        Choose(path);
        QCOMPARE(h_->pathEdit()->text(), path);
        QCOMPARE(h_->label("nameLabel")->text(), QStringLiteral("image.bin"));
        QCOMPARE(h_->label("sizeLabel")->text(), sizeText);
        QCOMPARE(h_->progressBar()->maximum(), positions.size());
        QCOMPARE(h_->progressBar()->value(), 0);

        QSignalSpy spy(h_->progressBar(), &QProgressBar::valueChanged);
        QTest::mouseClick(h_->button(app ? "appButton" : "iapButton"), Qt::LeftButton);
        QVERIFY(Page()->transferring());
        QVERIFY(WatchTimerRunning());
        QTRY_VERIFY_WITH_TIMEOUT(!Page()->transferring(), kTransferMs);

        QCOMPARE(Positions(spy), positions);
        QCOMPARE(h_->progressBar()->value(), positions.size());
        QCOMPARE(h_->received(), image);
        QCOMPARE(boxes_.shown.size(), size_t(1));
        QCOMPARE(boxes_.shown[0].text, kSucceeded);
        QCOMPARE(boxes_.shown[0].buttons, ui::Buttons::OkCancel);
        // The verdict and the time stay on the page; nothing runs any more.
        QCOMPARE(h_->label("verdictText")->text(), kSucceeded);
        const QString progress = h_->label("progressText")->text();
        QVERIFY2(progress.contains(QStringLiteral("已发送 %1/%1 块").arg(positions.size())), qPrintable(progress));
        QVERIFY2(progress.contains(QStringLiteral("%1/%1 字节").arg(size)), qPrintable(progress));
        QVERIFY2(progress.contains(QStringLiteral("用时 0:")), qPrintable(progress));
        QVERIFY(!WatchTimerRunning());
    }

    void checkFailureKeepsTheProgress()
    {
        sim::Faults faults;
        faults.failUpgrade = true;
        Up(faults);
        Choose(File(QStringLiteral("dck.bin"), Pattern(2500)));
        QTest::mouseClick(h_->button("appButton"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!Page()->transferring(), kTransferMs);
        QCOMPARE(boxes_.shown.size(), size_t(1));
        QCOMPARE(boxes_.shown[0].text, kCheckFailed);
        QCOMPARE(boxes_.shown[0].buttons, ui::Buttons::Ok);
        QCOMPARE(h_->progressBar()->value(), 3);
        QCOMPARE(h_->label("verdictText")->text(), kCheckFailed);
    }

    void lostReplyEndsWithTheBlockNamed()
    {
        sim::Faults faults;
        faults.dropAckEvery = 2;  // block 2 of 3 goes unanswered
        Up(faults);
        Choose(File(QStringLiteral("lost.bin"), Pattern(2500)));
        QTest::mouseClick(h_->button("appButton"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!Page()->transferring(), kTransferMs);
        QCOMPARE(boxes_.shown.size(), size_t(1));
        QVERIFY2(boxes_.shown[0].text.contains(QStringLiteral("第 2 块（共 3 块）")), qPrintable(boxes_.shown[0].text));
        QVERIFY2(boxes_.shown[0].text.contains(QStringLiteral("没有应答")), qPrintable(boxes_.shown[0].text));
        QCOMPARE(h_->label("verdictText")->text(), boxes_.shown[0].text);
        QCOMPARE(h_->blocksReceived(), size_t(2));
        QVERIFY(!WatchTimerRunning());
    }

    void verdictLettersComeFromTheReplyOnly()
    {
        sim::Faults faults;
        faults.delayMs = 5000;  // the DTU's own reply stays out of the way
        Up(faults);
        Choose(File(QStringLiteral("short.bin"), Pattern(2500)));
        QTest::mouseClick(h_->button("appButton"), Qt::LeftButton);
        QCOMPARE(h_->progressBar()->value(), 1);
        // "ACK" lies in the buffer, but past the three bytes received: a
        // left-over of an earlier frame, no answer to this block.
        DeliverAck(3);
        QCOMPARE(h_->progressBar()->value(), 1);
        DeliverAck(9);
        QCOMPARE(h_->progressBar()->value(), 2);
        QTest::mouseClick(h_->button("stopButton"), Qt::LeftButton);
    }

    void emptyPathDuringATransferOnlySaysSo()
    {
        sim::Faults faults;
        faults.delayMs = 5000;
        Up(faults);
        Choose(File(QStringLiteral("running.bin"), Pattern(2500)));
        QTest::mouseClick(h_->button("appButton"), Qt::LeftButton);
        h_->pathEdit()->clear();
        QTest::mouseClick(h_->button("iapButton"), Qt::LeftButton);
        QCOMPARE(boxes_.shown.size(), size_t(1));
        QCOMPARE(boxes_.shown[0].text, QStringLiteral("打开文件的路径不正确,或不能为空！"));
        QVERIFY(Page()->transferring());
        DeliverAck(9);
        QCOMPARE(h_->progressBar()->value(), 2);
        QTest::mouseClick(h_->button("stopButton"), Qt::LeftButton);
    }

    void refusedWriteEndsTheTransferOnce()
    {
        sim::Faults faults;
        faults.delayMs = 5000;
        Up(faults);
        Choose(File(QStringLiteral("refused.bin"), Pattern(2500)));
        QTest::mouseClick(h_->button("appButton"), Qt::LeftButton);
        // The port goes before the watch timer could notice: the next block's
        // write is refused.
        g_Serial.Close();
        DeliverAck(9);
        QTRY_VERIFY(!Page()->transferring());
        QCOMPARE(boxes_.shown.size(), size_t(1));
        QVERIFY2(boxes_.shown[0].text.contains(QStringLiteral("串口已")), qPrintable(boxes_.shown[0].text));
        QVERIFY2(boxes_.shown[0].text.contains(QStringLiteral("1/3 块")), qPrintable(boxes_.shown[0].text));
        // A later reply finds no transfer and says nothing more.
        DeliverAck(9);
        QTest::qWait(300);
        QCOMPARE(boxes_.shown.size(), size_t(1));
        QVERIFY(!WatchTimerRunning());
    }

    void stop_data()
    {
        QTest::addColumn<bool>("during");
        QTest::newRow("idle") << false;
        QTest::newRow("during a transfer") << true;
    }
    void stop()
    {
        QFETCH(bool, during);
        sim::Faults faults;
        faults.delayMs = 300;
        Up(faults);
        Choose(File(QStringLiteral("stop.bin"), Pattern(5000)));
        if (during) {
            QTest::mouseClick(h_->button("appButton"), Qt::LeftButton);
            QTRY_COMPARE_WITH_TIMEOUT(h_->progressBar()->value(), 2, kTransferMs);
        }
        QTest::mouseClick(h_->button("stopButton"), Qt::LeftButton);
        QCOMPARE(boxes_.shown.size(), size_t(1));
        QCOMPARE(boxes_.shown[0].text, kStopped);
        QCOMPARE(h_->progressBar()->value(), 0);
        QVERIFY(!Page()->transferring());
        QVERIFY(!WatchTimerRunning());
        // The reply to the last block still comes; nothing answers it.
        const std::size_t blocks = h_->blocksReceived();
        QTest::qWait(1200);
        QCOMPARE(h_->blocksReceived(), blocks);
        QCOMPARE(boxes_.shown.size(), size_t(1));
    }

    void typedPathIsMeasuredWhenTheTransferStarts()
    {
        Up();
        const std::vector<std::uint8_t> image = Pattern(2500, 0x55);
        // Chosen small, then the field is typed over with another file.
        Choose(File(QStringLiteral("small.bin"), Pattern(100)));
        QCOMPARE(h_->progressBar()->maximum(), 1);
        const QString typed = File(QStringLiteral("typed.bin"), image);
        h_->pathEdit()->clear();
        QTest::keyClicks(h_->pathEdit(), typed);
        QTest::mouseClick(h_->button("iapButton"), Qt::LeftButton);
        QCOMPARE(h_->progressBar()->maximum(), 3);
        QCOMPARE(h_->label("nameLabel")->text(), QStringLiteral("typed.bin"));
        QCOMPARE(h_->label("sizeLabel")->text(), QStringLiteral("2.500 kb"));
        QTRY_VERIFY_WITH_TIMEOUT(!Page()->transferring(), kTransferMs);
        QCOMPARE(h_->received(), image);
        QCOMPARE(Texts(), kSucceeded);
    }

    void refusedPaths_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("said");
        QTest::newRow("empty field") << QString() << kEmptyPath;
        QTest::newRow("blanks") << QStringLiteral("   ") << kEmptyPath;
        QTest::newRow("no such file") << QStringLiteral("@/missing.bin") << QStringLiteral("找不到升级文件");
        QTest::newRow("directory") << QStringLiteral("@") << QStringLiteral("是文件夹");
        QTest::newRow("empty file") << QStringLiteral("@/empty.bin") << QStringLiteral("是空的");
        QTest::newRow("unreadable") << QStringLiteral("@/locked.bin") << QStringLiteral("无法打开升级文件");
        QTest::newRow("device") << QStringLiteral("/dev/zero") << QStringLiteral("不是普通文件");
        // Opens, then fails at the first read, for root too.
        QTest::newRow("read error") << QStringLiteral("/proc/self/mem") << QStringLiteral("读取升级文件");
    }
    void refusedPaths()
    {
        QFETCH(QString, path);
        QFETCH(QString, said);
        Up();
        File(QStringLiteral("empty.bin"), {});
        QFile::setPermissions(dir_.filePath(QStringLiteral("locked.bin")), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        const QString locked = File(QStringLiteral("locked.bin"), Pattern(10));
        QFile::setPermissions(locked, QFileDevice::Permissions());
        if (path.endsWith(QStringLiteral("locked.bin")) && ::geteuid() == 0)
            QSKIP("root reads any file");
        h_->pathEdit()->setText(path.replace(QLatin1Char('@'), dir_.path()));
        QTest::mouseClick(h_->button("appButton"), Qt::LeftButton);
        QCOMPARE(boxes_.shown.size(), size_t(1));
        QVERIFY2(boxes_.shown[0].text.contains(said), qPrintable(boxes_.shown[0].text));
        if (said != kEmptyPath)
            QVERIFY2(boxes_.shown[0].text.contains(QStringLiteral("未发送任何数据")), qPrintable(boxes_.shown[0].text));
        QVERIFY(!Page()->transferring());
        QVERIFY(!WatchTimerRunning());
        QTest::qWait(200);
        QCOMPARE(h_->blocksReceived(), size_t(0));
        QCOMPARE(g_Rx.RxLength(), 0);
    }

    void fileChangedOrReplacedDuringTheTransfer()
    {
        Up();
        const std::vector<std::uint8_t> image = Pattern(6000, 0x77);
        const QString path = File(QStringLiteral("moving.bin"), image);
        Choose(path);
        QTest::mouseClick(h_->button("appButton"), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(h_->progressBar()->value(), 2, kTransferMs);
        File(QStringLiteral("moving.bin"), Pattern(9000, 0x01));
        // Another file chosen meanwhile is shown but not sent.
        Choose(File(QStringLiteral("next.bin"), Pattern(300)));
        QCOMPARE(h_->label("nameLabel")->text(), QStringLiteral("next.bin"));
        QCOMPARE(h_->progressBar()->maximum(), 6);
        QVERIFY(QFile::remove(path));
        // A few blocks answered: the time left is estimated.
        QTRY_VERIFY_WITH_TIMEOUT(h_->label("progressText")->text().contains(QStringLiteral("剩余约")), kTransferMs);
        QTRY_VERIFY_WITH_TIMEOUT(!Page()->transferring(), kTransferMs);
        // ECK: the end frame's size and CRC are those of the bytes sent.
        QCOMPARE(Texts(), kSucceeded);
        QCOMPARE(h_->received(), image);
        QCOMPARE(h_->progressBar()->value(), 6);
    }

    void lineClosedDuringTheTransfer()
    {
        sim::Faults faults;
        faults.hangupAfterBlocks = 2;
        Up(faults);
        Choose(File(QStringLiteral("hangup.bin"), Pattern(5000)));
        QTest::mouseClick(h_->button("appButton"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!Page()->transferring(), 3000);
        QVERIFY(!WatchTimerRunning());
        const auto lost = std::find_if(boxes_.shown.begin(), boxes_.shown.end(),
                                       [](const MessageBoxes::Box& s) { return s.text.contains(QStringLiteral("升级已中断")); });
        QVERIFY2(lost != boxes_.shown.end(), qPrintable(Texts()));
        QVERIFY2(lost->text.contains(QStringLiteral("串口已断开")), qPrintable(lost->text));
        QVERIFY2(lost->text.contains(QStringLiteral("2/5 块")), qPrintable(lost->text));
        QTRY_VERIFY_WITH_TIMEOUT(!g_Serial.IsOpen(), 2000);
        // One box tells of the loss: the main window leaves it to the page.
        QTest::qWait(300);
        QCOMPARE(std::count_if(boxes_.shown.begin(), boxes_.shown.end(),
                               [](const MessageBoxes::Box& s) { return s.text.contains(QStringLiteral("已断开")); }),
                 1);
        // Starting again with the port gone sends nothing and says why.
        boxes_.shown.clear();
        QTest::mouseClick(h_->button("appButton"), Qt::LeftButton);
        QCOMPARE(boxes_.shown.size(), size_t(1));
        QVERIFY2(boxes_.shown[0].text.contains(QStringLiteral("串口没有打开")), qPrintable(boxes_.shown[0].text));
    }

    void closingThePageDuringTheTransfer_data()
    {
        QTest::addColumn<int>("answer");
        QTest::newRow("kept on Cancel") << int(QMessageBox::Cancel);
        QTest::newRow("stopped on OK") << int(QMessageBox::Ok);
    }
    void closingThePageDuringTheTransfer()
    {
        QFETCH(int, answer);
        Up();
        const std::vector<std::uint8_t> image = Pattern(3000);
        Choose(File(QStringLiteral("close.bin"), image));
        QTest::mouseClick(h_->button("appButton"), Qt::LeftButton);
        closeAnswer_ = answer;
        Page()->close();
        QCOMPARE(boxes_.shown.size(), size_t(1));
        QVERIFY(boxes_.shown[0].text.contains(kCloseQuestion));
        QCOMPARE(boxes_.shown[0].buttons, ui::Buttons::OkCancel);
        if (answer == QMessageBox::Cancel) {
            QVERIFY(Page()->isVisible());
            QTRY_VERIFY_WITH_TIMEOUT(!Page()->transferring(), kTransferMs);
            QCOMPARE(h_->received(), image);
            return;
        }
        QVERIFY(!Page()->isVisible());
        QVERIFY(!Page()->transferring());
        QVERIFY(!WatchTimerRunning());
        QTest::qWait(1200);
        QCOMPARE(h_->blocksReceived(), size_t(1));
        // Closing an idle page asks nothing.
        Page()->show();
        Page()->close();
        QCOMPARE(boxes_.shown.size(), size_t(1));
    }

    void closingTheMainWindowEndsTheTransfer()
    {
        Up();
        Choose(File(QStringLiteral("main.bin"), Pattern(3000)));
        QTest::mouseClick(h_->button("appButton"), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(h_->progressBar()->value(), 2, kTransferMs);
        h_->window().close();
        QVERIFY(!Page()->transferring());
        QVERIFY(!WatchTimerRunning());
        QTest::qWait(1200);
        QCOMPARE(h_->blocksReceived(), size_t(2));
        QVERIFY(boxes_.shown.empty());
    }

    void enterAndEscapeDoNothing()
    {
        Up();
        h_->pathEdit()->setFocus();
        for (int key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
            QTest::keyClick(h_->pathEdit(), Qt::Key(key));
            QTest::keyClick(Page(), Qt::Key(key));
        }
        QVERIFY(Page()->isVisible());
        QVERIFY(boxes_.shown.empty());
    }
};

QTEST_MAIN(UpgradePageTest)
#include "UpgradePageTest.moc"

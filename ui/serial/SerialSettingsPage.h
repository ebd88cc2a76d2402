// The serial settings page: the only place where the port is opened and
// closed. It lists the serial ports there are, each with what sysfs knows of
// it and, for USB adapters, its stable /dev/serial/by-id name; a port that
// another program holds is marked with that program. Nothing is opened
// before "打开" is pressed. A device path can also be typed. The list follows
// adapters plugged in and pulled while the port is closed. When the open
// port's adapter is pulled, the page waits for it to come back under the
// same by-id name and reopens it with the same settings, unless
// "断开后自动重新连接" is unchecked. A network port (rfc2217:// or
// socket://) can be typed too; it connects on a worker thread, and its last
// few URLs are offered in the list. Where a port is missing or cannot be
// opened, the page says why in Linux terms, with the command that fixes it;
// those checks read every process's descriptors and the udev rule folders,
// so they run on a worker thread and the page shows the newest result.
#pragma once

#include "driver/serial/PortInfo.h"

#include <QDialog>
#include <QFuture>
#include <QElapsedTimer>
#include <QHash>
#include <QStringList>

#include <functional>
#include <memory>
#include <string>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QSocketNotifier;
class QTimer;

enum class SerialError;

namespace serial {
class Canceller;
class DevWatch;
struct NetConnection;
}

class SerialSettingsPage : public QDialog {
    Q_OBJECT
public:
    // Where the port list comes from; the main window adds the simulated
    // DTU's terminal and a device named on the command line first.
    using PortSource = std::function<QStringList()>;
    // What the application calls some of them, by path: "模拟DTU".
    using PortNames = QHash<QString, QString>;

    SerialSettingsPage(PortSource ports, QWidget* parent, serial::Roots roots = {}, PortNames names = {});
    ~SerialSettingsPage() override;

    // Shows the page as g_Serial is: open or closed.
    void UpdateState();
    // Shows why a port could not be opened, or nothing.
    QString failureText() const;
    // What the page says about reconnecting, and about the setup.
    QString reconnectText() const;
    QString setupText() const;

    // The open port at `path` went away and g_Serial has been closed. True
    // when the page waits to reopen it (and says so); false when the caller
    // should tell the user: reconnecting is off, or the device never comes
    // back under the same name (a pseudo-terminal).
    bool AwaitReconnect(const QString& path, unsigned baudRate, unsigned parity);
    bool awaitingReconnect() const { return !awaited_.empty(); }
    // A network port is being connected: until its result is handled.
    bool connecting() const { return connectPending_; }
    // What the page says about the line of an open network port.
    QString lineText() const;

    // Opens the port remembered from the last run with its settings, if it
    // still exists; sends nothing. True when it is open; a network port is
    // only being connected on return.
    bool OpenRemembered();

private slots:
    void OnOpenClose();
    void OnRefresh();
    void OnReconnectToggled(bool on);
    void OnDevicesChanged();

private:
    void FillPorts();
    void ShowSetup();
    void SaySetup();
    void SayFailure(const QString& text);
    void SayOpenFailure(SerialError error, int err, const QString& path);
    void TryReconnect();
    QString ChosenPath() const;
    void OpenChosen();
    void Opened(const std::string& path, const std::string& stable);
    void Remember() const;
    void Connect(const QString& url, unsigned baudRate, unsigned parity);
    void Connected(const QString& url, unsigned baudRate, unsigned parity, serial::NetConnection& connection);
    void SayReopened(const QString& path, unsigned baudRate, unsigned parity);

    PortSource ports_;
    serial::Roots roots_;
    PortNames names_;
    QComboBox* portCombo_;
    QComboBox* baudCombo_;
    QComboBox* parityCombo_;
    QPushButton* openButton_;
    QPushButton* refreshButton_;
    QCheckBox* reconnectBox_;
    QLabel* failure_;
    QLabel* reconnect_;
    QLabel* setup_;
    QLabel* line_;
    // The last setup findings, kept while a newer check runs; each check and
    // each open failure is numbered so that only the newest is shown.
    QString findings_;
    int setupAsked_ = 0;
    int failureAsked_ = 0;

    std::unique_ptr<serial::DevWatch> watch_;
    QSocketNotifier* notifier_ = nullptr;
    // Events come in bursts (node, group, by-id link): one look after the last.
    QTimer* settle_ = nullptr;
    // A reopen refused while the device is there (busy, permissions not yet
    // set): tried again a few times, since a close raises no event.
    QTimer* retry_ = nullptr;
    int retriesLeft_ = 0;
    // Devices came or went while the port was open: the list catches up
    // when it closes.
    bool listStale_ = false;

    // The stable name of the port opened here, taken at open: by the time
    // the loss is noticed, udev may have removed the by-id link.
    std::string openedPath_;
    std::string openedStable_;
    // What is waited for after a loss: the name, the settings.
    std::string awaited_;
    QString lostPath_;
    unsigned awaitedBaud_ = 0;
    unsigned awaitedParity_ = 0;
    QElapsedTimer lostClock_;

    // The connection being made to a network port, and what cancels it.
    std::unique_ptr<serial::Canceller> canceller_;
    QFuture<std::shared_ptr<serial::NetConnection>> connecting_;
    bool connectPending_ = false;
};

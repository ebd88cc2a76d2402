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

    // What the page is doing with the port; one of these at a time.
    enum class State {
        Idle,          // closed, nothing under way
        Connecting,    // a network port connects on a worker thread; "取消" stops it
        Open,          // g_Serial is open
        Awaiting,      // the open port went away: its name is waited for
        Retrying,      // the awaited device is there but refused the reopen:
                       // tried again, ten times a second apart, since a close
                       // raises no event
        Reconnecting,  // the awaited network port connects again
    };
    enum class Event {
        Opened,          // a port is open: by hand, reopened, a connection taken
        ConnectStarted,  // a network port's connection began
        ConnectFailed,   // it failed, or its port was refused
        Cancelled,       // it was cancelled
        Closed,          // the port closed: by hand, by another part, or lost
                         // with nothing to wait for
        Lost,            // the open port went away and its name may come back
        Refused,         // the awaited device refused the reopen; tries are left
        LastRefused,     // ... and that was the last try
        WaitEnded,       // a port opened by hand, or reconnecting unchecked
    };
    // Every move there is; any other event leaves the state as it is.
    struct Transition {
        State from;
        Event event;
        State next;
    };
    static constexpr Transition kTransitions[] = {
        // from               event                  next
        {State::Idle,         Event::Opened,         State::Open},
        {State::Idle,         Event::ConnectStarted, State::Connecting},
        {State::Idle,         Event::Lost,           State::Awaiting},  // opened by another part, unseen here
        {State::Connecting,   Event::Opened,         State::Open},
        {State::Connecting,   Event::ConnectFailed,  State::Idle},
        {State::Connecting,   Event::Cancelled,      State::Idle},
        {State::Open,         Event::Closed,         State::Idle},
        {State::Open,         Event::Lost,           State::Awaiting},
        {State::Awaiting,     Event::Opened,         State::Open},
        {State::Awaiting,     Event::ConnectStarted, State::Reconnecting},
        {State::Awaiting,     Event::Refused,        State::Retrying},
        {State::Awaiting,     Event::WaitEnded,      State::Idle},
        {State::Retrying,     Event::Opened,         State::Open},
        {State::Retrying,     Event::Refused,        State::Retrying},
        {State::Retrying,     Event::LastRefused,    State::Awaiting},  // said; the next event starts anew
        {State::Retrying,     Event::WaitEnded,      State::Idle},
        {State::Reconnecting, Event::Opened,         State::Open},
        {State::Reconnecting, Event::ConnectFailed,  State::Awaiting},  // tried again in a few seconds
        {State::Reconnecting, Event::Cancelled,      State::Idle},
        {State::Reconnecting, Event::WaitEnded,      State::Connecting},  // cancelled; its result still comes
    };
    static constexpr State Next(State state, Event event)
    {
        for (const Transition& t : kTransitions)
            if (t.from == state && t.event == event)
                return t.next;
        return state;
    }

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
    bool awaitingReconnect() const
    {
        return state_ == State::Awaiting || state_ == State::Retrying || state_ == State::Reconnecting;
    }
    // A network port is being connected: until its result is handled.
    bool connecting() const { return state_ == State::Connecting || state_ == State::Reconnecting; }
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
    void Step(Event event) { state_ = Next(state_, event); }
    void Follow();
    void FillPorts();
    void RebuildList();
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
    // The next look while Awaiting or Retrying: after the quiet that
    // follows a loss, or a retry.
    QTimer* retry_ = nullptr;

    State state_ = State::Idle;
    // Open: what was opened, and whether devices came or went meanwhile
    // (the list catches up when it closes). The stable name is taken at
    // open: by the time a loss is noticed, udev may have removed the link.
    struct {
        std::string path;
        std::string stable;
        bool listStale = false;
    } opened_;
    // Awaiting, Retrying, Reconnecting: the stable name and the path as
    // shown, the settings to reopen with, the tries left while Retrying.
    struct {
        std::string name;
        QString path;
        unsigned baudRate = 0;
        unsigned parity = 0;
        int triesLeft = 0;
        QElapsedTimer since;
    } awaited_;

    // The connection being made to a network port, and what cancels it.
    std::unique_ptr<serial::Canceller> canceller_;
    QFuture<std::shared_ptr<serial::NetConnection>> connecting_;
};

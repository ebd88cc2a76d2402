// The test server page: the DTU's own server on this PC, to see the DTU
// connect, register, beat and carry data after its settings were written.
// One row per connection; the data of the selected one below; a send line;
// a log file of every event.
//
// The server itself is server::TestServer, as in dtuctl, run by a
// server::ServerThread: it stamps bytes as they arrive, so that a pause of
// the window never joins two packets. The page asks it by queued requests
// and shows what it tells, taken on this window's thread by a queued call;
// it keeps its own copy of each connection's row and history from that.
// Row counters are redrawn at most four times a second, so that a thousand
// beating DTUs cost the window little.
//
// TestServerPage.cpp lays the page out; listening, the connections table, the
// data and send area and the log file each have a ServerDlg*.cpp of their
// own.
#pragma once

#include "driver/server/EventText.h"
#include "driver/server/ServerThread.h"
#include "ui/terminal/SessionLog.h"

#include <QBasicTimer>
#include <QDialog>
#include <QString>

#include <functional>
#include <map>
#include <memory>
#include <set>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

class TestServerPage : public QDialog {
    Q_OBJECT
public:
    // What the DTU page holds: the remote port and the packets written.
    struct Proposal {
        QString port;
        std::optional<server::Bytes> registration, heartbeat;
    };
    using ProposalSource = std::function<Proposal()>;

    enum Column { Id, Peer, Since, BytesIn, BytesOut, LastActivity, Registration, Compared, Heartbeats, Interval, ColumnCount };

    explicit TestServerPage(ProposalSource proposal, QWidget* parent = nullptr);
    ~TestServerPage() override;

    // As last told by the server's thread.
    bool listening() const { return running_; }
    std::uint16_t port() const { return boundPort_; }
    QTreeWidget* table() const { return table_; }
    // Shows the connections of a server run elsewhere (the bench's test),
    // while this page's own is not running.
    void Watch(server::News news);
    QString dataText() const;

protected:
    void showEvent(QShowEvent* e) override;
    void timerEvent(QTimerEvent* e) override;

private slots:
    void OnStartStop();
    void OnPropose();
    void OnExpectedChanged();
    void OnSendSelected();
    void OnSendAll();
    void OnCloseSelected();
    void OnLog();
    void OnSelection();
    void OnView();

private:
    void BuildForm();
    void Connect();
    text::Encoding encoding() const;

    // TestServerPageListen.cpp
    void UpdateState(const QString& status);
    void Propose(bool onlyEmpty);
    // The expected packet typed in `edit`; nothing when empty; false when refused.
    bool Expected(QLineEdit* edit, std::optional<server::Bytes>& out, const QString& what);

    // TestServerPageConnections.cpp
    void OnNews();
    void Apply(server::News news);
    // `urgent`: rows to redraw at once rather than on the timer.
    void Handle(const server::Event& e, std::set<std::uint64_t>& urgent);
    void UpdateRow(std::uint64_t id);
    QTreeWidgetItem* Row(std::uint64_t id) const;
    std::uint64_t SelectedId() const;

    // TestServerPageData.cpp
    void ShowHistory();
    void AppendPacket(const server::Packet& p);
    std::optional<server::Bytes> TypedToSend();

    // TestServerPageLog.cpp
    void Log(const server::Event& e);

    ProposalSource proposal_;
    std::unique_ptr<server::ServerThread> server_;
    bool running_ = false;
    bool starting_ = false;  // asked to start, not yet told
    std::uint16_t boundPort_ = 0;
    // Each open connection as the server last told it, with the history
    // this page keeps from the events.
    std::map<std::uint64_t, server::Connection> connections_;
    std::map<std::uint64_t, QTreeWidgetItem*> rows_;
    std::set<std::uint64_t> dirty_;
    QBasicTimer redraw_;
    terminal::SessionLog log_;

    QLineEdit* host_ = nullptr;
    QLineEdit* port_ = nullptr;
    QPushButton* startStop_ = nullptr;
    QLabel* status_ = nullptr;
    QLineEdit* registration_ = nullptr;
    QLineEdit* heartbeat_ = nullptr;
    QCheckBox* expectedHex_ = nullptr;
    QPushButton* propose_ = nullptr;
    QTreeWidget* table_ = nullptr;
    QPlainTextEdit* data_ = nullptr;
    QCheckBox* dataHex_ = nullptr;
    QComboBox* encoding_ = nullptr;
    QLineEdit* send_ = nullptr;
    QCheckBox* sendHex_ = nullptr;
    QPushButton* sendSelected_ = nullptr;
    QPushButton* sendAll_ = nullptr;
    QPushButton* closeSelected_ = nullptr;
    QPushButton* logButton_ = nullptr;
    QLabel* logPath_ = nullptr;
};

// The test server page: the DTU's own server on this PC, to see the DTU
// connect, register, beat and carry data after its settings were written.
// One row per connection; the data of the selected one below; a send line;
// a log file of every event.
//
// The server itself is server::TestServer, as in dtuctl. Its one descriptor
// is watched by a QSocketNotifier on this window's thread: the window never
// waits on a socket. Row counters are redrawn at most four times a second,
// so that a thousand beating DTUs cost the window little.
//
// ServerDlg.cpp lays the page out; listening, the connections table, the
// data and send area and the log file each have a ServerDlg*.cpp of their
// own.
#pragma once

#include "server/EventText.h"
#include "server/TestServer.h"

#include <QBasicTimer>
#include <QDialog>
#include <QFile>
#include <QString>

#include <functional>
#include <map>
#include <set>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSocketNotifier;
class QTreeWidget;
class QTreeWidgetItem;

class CServerDlg : public QDialog {
    Q_OBJECT
public:
    // What the DTU page holds: the remote port and the packets written.
    struct Proposal {
        QString port;
        std::optional<server::Bytes> registration, heartbeat;
    };
    using ProposalSource = std::function<Proposal()>;

    enum Column { Id, Peer, Since, BytesIn, BytesOut, LastActivity, Registration, Compared, Heartbeats, Interval, ColumnCount };

    explicit CServerDlg(ProposalSource proposal, QWidget* parent = nullptr);
    ~CServerDlg() override;

    const server::TestServer& server() const { return server_; }
    QTreeWidget* table() const { return table_; }
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
    server::Encoding encoding() const;

    // ServerDlgListen.cpp
    void UpdateState(const QString& status);
    void Propose(bool onlyEmpty);
    // The expected packet typed in `edit`; nothing when empty; false when refused.
    bool Expected(QLineEdit* edit, std::optional<server::Bytes>& out, const QString& what);

    // ServerDlgConnections.cpp
    void OnReady();
    void Handle(const server::Event& e);
    void UpdateRow(std::uint64_t id);
    QTreeWidgetItem* Row(std::uint64_t id) const;
    std::uint64_t SelectedId() const;

    // ServerDlgData.cpp
    void ShowHistory();
    void AppendPacket(const server::Packet& p);
    std::optional<server::Bytes> TypedToSend();

    ProposalSource proposal_;
    server::TestServer server_;
    QSocketNotifier* notifier_ = nullptr;
    std::map<std::uint64_t, QTreeWidgetItem*> rows_;
    std::set<std::uint64_t> dirty_;
    QBasicTimer redraw_;
    QFile log_;

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

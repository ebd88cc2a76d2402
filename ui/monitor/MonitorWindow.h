// The line monitor window: one row a frame, sent or received, with its time,
// length, bytes and meaning. It records from the moment it exists (the main
// window makes it at start-up, hidden); while hidden it only keeps the
// bytes, and its table catches up when it is shown. An idle line costs
// nothing: no timer runs unless a request waits for its answer.
//
// Sent frames come from the serial driver's write observer, on whatever
// thread wrote them, into a small locked inbox; received frames come from
// the main window on its own thread, after the sent frames before them.
#pragma once

#include "core/monitor/LineLog.h"
#include "driver/serial/SerialPort.h"
#include "ui/common/StreamReader.h"

#include <QAbstractTableModel>
#include <QBasicTimer>
#include <QDialog>

#include <mutex>
#include <span>
#include <vector>

class QComboBox;
class QLabel;
class QPushButton;
class QTableView;

// The rows the table shows: sequence numbers of the log's entries that pass
// the filter, oldest first. Decoded text is made for the rows on screen.
class MonitorModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Time, Direction, Length, Bytes, Meaning, ColumnCount };

    explicit MonitorModel(const monitor::LineLog& log, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Drops rows whose entries the log let go and appends the new ones.
    void Sync();
    // Shows the log again from its oldest entry, through `filter`.
    void Reset(const monitor::Filter& filter);
    void EntryChanged(std::uint64_t seq);
    // The entry of a row; nullptr when the log no longer holds it.
    const monitor::Entry* EntryAt(int row) const;

private:
    struct Decoded {
        std::uint64_t seq = ~std::uint64_t{0};
        bool unanswered = false;
        QString meaning;
        bool bad = false;
    };
    const Decoded& Decode(const monitor::Entry& e) const;

    const monitor::LineLog& log_;
    monitor::Filter filter_;
    std::vector<std::uint64_t> rows_;
    std::size_t firstRow_ = 0;     // rows_ before this index are gone
    std::uint64_t nextSeq_ = 0;    // the first entry not yet looked at
    mutable std::vector<Decoded> cache_;  // indexed by seq modulo its size
};

class MonitorWindow : public QDialog, private WriteObserver {
    Q_OBJECT
public:
    explicit MonitorWindow(QWidget* parent = nullptr, std::size_t maxFrames = monitor::LineLog::kDefaultFrames);
    ~MonitorWindow() override;

    // A received record: a frame, or a stretch of a stream that does not
    // pause; user-interface thread.
    void OnReceived(std::span<const std::uint8_t> bytes);

    const monitor::LineLog& log() const { return log_; }
    MonitorModel* model() const { return model_; }
    QTableView* table() const { return table_; }
    // Brings the table up to date now rather than on the next turn of the
    // event loop.
    void Refresh();

    // Writes the rows the filter shows; false with nothing written when the
    // file cannot be written.
    bool SaveRows(const QString& path, bool csv) const;
    // The selected rows as text lines, as Copy puts them on the clipboard.
    QString SelectedText() const;

protected:
    void showEvent(QShowEvent* e) override;
    void timerEvent(QTimerEvent* e) override;

private slots:
    void OnFilter();
    void OnPause(bool paused);
    void OnClear();
    void OnCopy();
    void OnSave();

private:
    void OnWritten(const std::uint8_t* data, std::size_t length) override;
    void TakeSent();
    // The received stream, cut into records: every byte in a record, or
    // counted in the bar as lost.
    void RecordCut(ui::StreamReader::Records& records);
    void UpdateDropped();
    void Record(monitor::Direction direction, std::span<const std::uint8_t> bytes, std::int64_t wallMs,
                std::int64_t steadyMs);
    void ScheduleRefresh();
    void ArmExpiry();
    void UpdateCount();

    struct Sent {
        std::int64_t wallMs;
        std::int64_t steadyMs;
        std::vector<std::uint8_t> bytes;
    };

    monitor::LineLog log_;
    MonitorModel* model_ = nullptr;
    QTableView* table_ = nullptr;
    QComboBox* direction_ = nullptr;
    QComboBox* command_ = nullptr;
    QPushButton* pause_ = nullptr;
    QLabel* count_ = nullptr;
    QLabel* dropped_ = nullptr;
    ui::StreamReader* stream_ = nullptr;
    bool paused_ = false;
    bool refreshPosted_ = false;
    QBasicTimer expiry_;

    std::mutex inboxLock_;
    std::vector<Sent> inbox_;  // under inboxLock_
    bool takePosted_ = false;  // under inboxLock_
};

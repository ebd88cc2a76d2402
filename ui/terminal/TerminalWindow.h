// The debugging terminal: the tool's own serial terminal on the tool's own
// port, so an engineer can talk to the DTU in its own words (AT commands,
// raw bytes) without closing the port here, and the line monitor sees that
// traffic too.
//
// It reads every received byte itself (ui/common/ReceivedStream.h), not the
// pages' frames, which keep only a frame's last kilobyte: a stream cut into
// chunks where the pages' frames end (the line's silence) and every 4 KiB,
// the chunk in progress shown as it grows, within a tenth of a second; a
// chunk cut for its size goes on in the line it broke, with no header. The
// view shows the chunks as text, hex or both, keeps the newest ones, so that
// changing how they are shown shows them again, and holds a number of lines
// the user sets, saying how many have left it. Nothing received is ever
// answered. Bytes go out
// only when the user sends: the send line (Enter; Up and Down walk what was
// sent before), the saved commands, or the timed send. A session log, when
// started, gets every chunk both ways and the failures, one line each.
//
// The page watches the port on a 100 ms timer while it is on screen (one
// flag read) and disables sending while the port is closed.
//
// TerminalWindow.cpp lays the window out and watches the port; the view, the
// send line, the saved commands, the session log and the remembered options
// each have a TerminalWindow*.cpp of their own.
#pragma once

#include "ui/common/FramePage.h"
#include "ui/common/StreamReader.h"
#include "ui/terminal/CommandsDialog.h"
#include "ui/terminal/History.h"
#include "ui/terminal/ReceiveView.h"
#include "ui/terminal/SessionLog.h"
#include "ui/terminal/TerminalText.h"

#include <QBasicTimer>
#include <QTimer>

#include <deque>
#include <optional>
#include <string>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QVBoxLayout;

namespace ui {
// The terminal's frame type as a page; the main window sends it none, since
// the terminal reads the received stream itself.
inline constexpr QEvent::Type kTerminalFrame = QEvent::Type(1026);
}  // namespace ui

class TerminalWindow : public ui::FramePage {
    Q_OBJECT
public:
    // Chunks kept for showing again, by count and by bytes.
    static constexpr std::size_t kKeptChunks = 2000;
    static constexpr std::size_t kKeptBytes = std::size_t{256} << 10;
    // Lines the view holds unless the user sets another count; the oldest
    // go first, and the view says how many have gone.
    static constexpr int kViewLines = 10000;
    static constexpr int kMinViewLines = 100;
    static constexpr int kMaxViewLines = 1000000;
    static constexpr int kMinIntervalMs = 10;
    static constexpr int kMaxIntervalMs = 3600000;

    explicit TerminalWindow(QWidget* parent);
    ~TerminalWindow() override;

    // On screen, or writing a log: a log records the session whole, also
    // while its window is closed.
    bool wantsFrames() const;
    // Lines that have left the view since it was last cleared.
    qint64 linesGone() const;
    // The view's text, lines joined with '\n'.
    QString viewText() const;

signals:
    // The user asked for the serial settings page.
    void settingsRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;
    void timerEvent(QTimerEvent* e) override;

private slots:
    void OnSend();
    void OnHexToggled(bool hex);
    void OnTimedToggled(bool on);
    void OnShowOptionChanged();
    void OnClear();
    void OnViewLinesChanged(int lines);
    void OnLog();
    void OnEditCommands();
    void SaveOptions();

private:
    enum class Kind { Received, Sent, Notice };
    struct Chunk {
        std::int64_t wallMs = 0;
        Kind kind = Kind::Received;
        terminal::Bytes bytes;
        QString notice;
        bool continues = false;  // received after a cut for size only
    };
    // The last lines of the received chunk at the view's end that a chunk
    // continuing it may change (terminal::Tail): shown again with it.
    struct OpenTail {
        terminal::Bytes bytes;
        std::size_t skip = 0;
        QString prefix;      // the chunk's header, or the indent under it
        QStringList shown;   // the view's last lines, that show them
    };

    void BuildForm();
    void UpdatePortState();
    text::Encoding encoding() const;

    // TerminalWindowSettings.cpp
    void LoadSettings();
    void SaveCommands();
    // A line sent becomes the newest of the history, kept at once.
    void Remember(const QString& line);

    // TerminalWindowSend.cpp
    // The send line's bytes, or nothing after saying why not.
    std::optional<terminal::Bytes> LineBytes();
    void Transmit(const terminal::Bytes& bytes);
    void OnSendFailed(const QString& why);
    void Refuse(const QString& why);
    void StopTimed();

    // TerminalWindowCommands.cpp
    void ShowCommands();
    void SendCommand(const terminal::SavedCommand& command);

    // TerminalWindowView.cpp
    void Record(Chunk chunk);
    // The received stream: records to the view and the log as they end,
    // the record in progress shown as it grows.
    void RecordCut(ui::StreamReader::Records& records);
    void OnDropped(quint64 count);
    void Log(const Chunk& chunk);
    // Kept for showing again, within the bounds.
    void Keep(Chunk chunk);
    static QString Mark(Kind kind);
    // The lines it added to the view; `took` gets those of the tail it
    // replaced.
    int AppendToView(const Chunk& chunk, std::optional<OpenTail>& tail, QStringList* took = nullptr);
    // How a chunk shows, line by line, and the tail it leaves; true when
    // its lines replace the tail's.
    bool ChunkLines(const Chunk& chunk, std::optional<OpenTail>& tail, QStringList& out) const;
    // The record in progress, below the others: shown anew as it grows.
    void ShowLive();
    void DropLive();
    void SayLinesGone();
    void ShowAgain();

    // TerminalWindowLog.cpp
    void StopLog(const QString& why);

    QLabel* portState_ = nullptr;
    QPushButton* settingsButton_ = nullptr;
    terminal::ReceiveView* view_ = nullptr;
    QComboBox* viewCombo_ = nullptr;
    QComboBox* encodingCombo_ = nullptr;
    QCheckBox* stampsCheck_ = nullptr;
    QCheckBox* showSentCheck_ = nullptr;
    QPushButton* clearButton_ = nullptr;
    QPushButton* logButton_ = nullptr;
    QLabel* logState_ = nullptr;
    QLineEdit* sendEdit_ = nullptr;
    QPushButton* sendButton_ = nullptr;
    QCheckBox* hexCheck_ = nullptr;
    QComboBox* endingCombo_ = nullptr;
    QCheckBox* timedCheck_ = nullptr;
    QSpinBox* intervalSpin_ = nullptr;
    QSpinBox* viewLinesSpin_ = nullptr;
    QLabel* linesGone_ = nullptr;
    QGroupBox* commandsBox_ = nullptr;
    QVBoxLayout* commandsLayout_ = nullptr;
    QPushButton* editCommandsButton_ = nullptr;

    terminal::History history_;
    QList<terminal::SavedCommand> commands_;
    terminal::SessionLog log_;
    std::deque<Chunk> chunks_;
    std::size_t chunkBytes_ = 0;
    ui::StreamReader* stream_ = nullptr;
    std::int64_t liveSinceMs_ = 0;  // when the record in progress began
    int liveLines_ = 0;             // the view's last lines show it
    std::optional<OpenTail> tail_;
    QStringList liveTook_;          // the tail's lines it replaced

    QBasicTimer portTimer_;
    bool portOpen_ = false;
    bool portShown_ = false;  // portState_ shows the port as it was then
    std::string shownPath_;
    unsigned shownBaud_ = 0;

    QBasicTimer sendTimer_;
    terminal::Bytes timedBytes_;
    // When the bytes posted so far will have left at the port's rate
    // (steady clock); a timed send waits for it, so that the queue cannot
    // outgrow the line.
    std::int64_t lineFreeAtMs_ = 0;
    bool loading_ = true;  // until the remembered options are in the controls
};

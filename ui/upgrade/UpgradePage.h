// The firmware upgrade page: choose an image file, send it to the DTU as an
// APP or IAP image, follow its progress and read the DTU's verdict.
//
// Principles of operation
// - The image is read whole when a transfer starts; the file is not kept
//   open. What the DTU gets, and the size and CRC of the end frame, are
//   those bytes, whatever happens to the file afterwards.
// - The transfer machine (upgrade/Transfer.h) owns every protocol rule; the
//   page feeds it replies (HandleReply, the one place replies come in) and
//   shows what came out of it (Show).
// - A watch timer runs only while a transfer does: it ends the transfer when
//   a reply is overdue or the port went away, and keeps the times current.
//   Nothing runs while the page is idle.
// - A transfer never goes on unseen: the main window notifies only visible
//   pages, so hiding or closing the page ends it (after asking, for a close).
#pragma once

#include "core/upgrade/Image.h"
#include "core/upgrade/Progress.h"
#include "core/upgrade/Transfer.h"
#include "ui/common/FramePage.h"
#include "ui/common/Records.h"

#include <QBasicTimer>
#include <QElapsedTimer>

#include <cstdint>
#include <optional>
#include <utility>
#include <span>

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

class UpgradePage : public ui::FramePage {
    Q_OBJECT
public:
    explicit UpgradePage(QWidget* parent);
    ~UpgradePage() override;

    bool transferring() const { return transfer_.state() != upgrade::State::Idle; }
    // Ends a running transfer without asking; nothing more is written.
    void EndTransfer();
    // The page told the user that the port went away during a transfer;
    // asking clears it, so the main window need not say so a second time.
    bool TakePortLossReport() { return std::exchange(portLossReported_, false); }

    // Images larger than this are refused before anything is read whole.
    static constexpr qint64 kMaxImageBytes = 16 * 1024 * 1024;

protected:
    void OnFrame(const ui::FrameEvent& frame) override;
    void timerEvent(QTimerEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void hideEvent(QHideEvent* e) override;

private slots:
    void OnOpen();
    void OnApp();
    void OnIap();
    void OnStop();

private:
    // Hands frames to the line without waiting; a write that fails ends
    // the transfer it belongs to.
    class PortSink : public upgrade::FrameSink {
    public:
        explicit PortSink(UpgradePage* page) : page_(page) {}
        void WriteFrame(std::span<const std::uint8_t> frame) override;

    private:
        UpgradePage* page_;
    };

    void BuildControls();
    void Start(upgrade::Kind kind);
    // Reads the image at `path` whole; on failure says why and returns nothing.
    std::optional<std::vector<std::uint8_t>> ReadImage(const QString& path);
    void HandleReply(std::uint8_t command, std::span<const std::uint8_t> reply);
    // Shows what the transfer machine did; `lastFrame` says which frame was
    // outstanding before it, for a time-out.
    void Show(upgrade::Outcome outcome, const QString& lastFrame);
    // Ends the transfer and leaves `verdict` on the page.
    // `result` as the record of the transfer keeps it.
    // `detail` is the record's, in English as dtuctl words it.
    void Finish(const QString& verdict, std::string_view result = records::kResultFailed,
                const std::string& detail = {});
    // The transfer itself, once its record is begun.
    void Begin(upgrade::Kind kind, const QString& path, std::vector<std::uint8_t> bytes);
    // "stopped after 12/32 blocks", the record's words for how far it got.
    std::string StoppedAfter() const;
    // The port went away.
    void PortLost();
    // A frame of transfer `run` did not go out.
    void WriteFailed(std::uint64_t run, const QString& why);
    void Interrupted(const QString& why);
    void ShowFileInfo(const QString& path, qint64 size);
    void SetRange(std::uint64_t bytes);
    void UpdateProgress();
    QString OutstandingFrame() const;
    void Say(const QString& text);
    std::int64_t NowMs() const { return clock_.elapsed(); }

    QLineEdit* pathEdit_;
    QPushButton* openButton_;
    QLabel* nameLabel_;
    QLabel* sizeLabel_;
    QPushButton* appButton_;
    QPushButton* iapButton_;
    QPushButton* stopButton_;
    QProgressBar* progressBar_;
    QLabel* progressText_;
    QLabel* verdictText_;

    PortSink sink_{this};
    upgrade::Transfer transfer_{sink_};
    std::uint64_t run_ = 0;  // counts transfers, so a late failure finds its own
    std::optional<upgrade::ImageBytes> image_;
    std::optional<ui::PageRecord> record_;  // of the transfer under way
    // A start waiting for its record to be begun: a stop or another start
    // counts it up, and the record that comes back then starts nothing.
    std::uint64_t starts_ = 0;
    std::uint64_t imageBytes_ = 0;
    std::uint64_t sentBlocks_ = 0;
    std::uint64_t sentBytes_ = 0;
    bool started_ = false;
    bool portLossReported_ = false;  // a transfer ran since the file was chosen
    std::int64_t replyTimeoutMs_ = 0;
    std::int64_t endedMs_ = 0;
    upgrade::Pace pace_;
    QBasicTimer watch_;
    QElapsedTimer clock_;
};

// The TCP transfer page: hex data to the DTU's TCP link, one-to-
// many or one-to-one to a six-byte communication address, and a running log
// of every frame completed while the page is on screen, as "%02X " text.
//
// The log keeps the newest part only: at most kLogBlocks blocks of
// kLogBlockBytes received bytes (just under 1 MiB of text); the oldest block
// goes when a new one starts. Text is appended into the last block, so an
// append lays out at most one block, however long the log has grown.
#pragma once

#include "ui/common/FramePage.h"

#include <QString>

class HexLineEdit;
class HexTextEdit;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

class TcpPage : public ui::FramePage {
    Q_OBJECT
public:
    // Received bytes per block of the log, and blocks kept.
    static constexpr int kLogBlockBytes = 1024;
    static constexpr int kLogBlockChars = 3 * kLogBlockBytes;  // "%02X " per byte
    static constexpr int kLogBlocks = 341;                     // 341 * 3072 = 1,047,552 <= 1 MiB
    static constexpr int kLogMaxChars = kLogBlocks * kLogBlockChars;

    explicit TcpPage(QWidget* parent);

    // The whole log as one text, blocks joined: the blocks only bound the
    // log's size and are no lines of the data.
    QString receivedText() const;

protected:
    void OnFrame(const ui::FrameEvent& frame) override;

private slots:
    void OnOneToMany();
    void OnOneToOne();
    void OnClearReceive();
    void OnClearAll();

private:
    void Send(bool oneToOne);
    void Append(const QString& text);

    QPlainTextEdit* log_;
    HexTextEdit* send_;
    QLineEdit* address_;
    QRadioButton* protocol_;
    QRadioButton* transparent_;
    QPushButton* clearReceive_;
    QPushButton* clearAll_;
    QPushButton* oneToMany_;
    QPushButton* oneToOne_;

    int lastBlockChars_ = 0;  // characters in the log's last block
    // The send text as read at the last accepted send, with and without the
    // spaces and lower case the user typed; the next frame shows the
    // normalised form unless the user has typed since.
    QString sentAsTyped_;
    QString sentNormalised_;
    bool showNormalised_ = false;
};

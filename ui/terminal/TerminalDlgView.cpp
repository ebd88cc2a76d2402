// The receive view: every chunk as text, hex or both, with stamps and marks,
// kept so that a change of how it is shown shows it again.
#include "terminal/TerminalDlg.h"

#include "monitor/LineLog.h"
#include "terminal/TerminalDlgInternal.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextCursor>

#include <algorithm>

using ui::terminaldlg::NowMs;

void CTerminalDlg::OnFrame(const ui::FrameEvent& frame)
{
    const auto bytes = frame.bytes();
    if (bytes.empty())
        return;
    Record({NowMs(), Kind::Received, terminal::Bytes(bytes.begin(), bytes.end()), {}});
}

void CTerminalDlg::Record(Chunk chunk)
{
    if (log_.isOpen()) {
        const auto view = static_cast<terminal::View>(viewCombo_->currentIndex());
        QString line = QDateTime::fromMSecsSinceEpoch(chunk.wallMs).toString(QStringLiteral("yyyy-MM-dd ")) +
                       QString::fromStdString(monitor::FormatTime(chunk.wallMs)) + u' ' + Mark(chunk.kind);
        if (chunk.kind == Kind::Notice)
            line += chunk.notice;
        else if (view == terminal::View::Text)
            line += terminal::OneLine(chunk.bytes, encoding());
        else
            line += terminal::Render(chunk.bytes, terminal::View::Hex, encoding()).join(u' ') +
                    (view == terminal::View::Both ? QStringLiteral("  ") + terminal::OneLine(chunk.bytes, encoding())
                                                  : QString());
        if (const QString failure = log_.Write(line); !failure.isEmpty())
            StopLog(failure);
    }
    AppendToView(chunk);
    chunkBytes_ += chunk.bytes.size();
    chunks_.push_back(std::move(chunk));
    while (chunks_.size() > kKeptChunks || (chunkBytes_ > kKeptBytes && chunks_.size() > 1)) {
        chunkBytes_ -= chunks_.front().bytes.size();
        chunks_.pop_front();
    }
}

QString CTerminalDlg::Mark(Kind kind)
{
    switch (kind) {
    case Kind::Sent: return QStringLiteral("TX ");
    case Kind::Received: return QStringLiteral("RX ");
    case Kind::Notice: break;
    }
    return QStringLiteral("!! ");
}

void CTerminalDlg::AppendToView(const Chunk& chunk)
{
    const bool showSent = showSentCheck_->isChecked();
    if (chunk.kind == Kind::Sent && !showSent)
        return;
    QString prefix;
    if (stampsCheck_->isChecked())
        prefix = QStringLiteral("[%1] ").arg(QString::fromStdString(monitor::FormatTime(chunk.wallMs)));
    // Received chunks need no mark while nothing else is shown.
    if (chunk.kind == Kind::Notice || showSent)
        prefix += Mark(chunk.kind);
    const QStringList lines =
        chunk.kind == Kind::Notice
            ? QStringList{chunk.notice}
            : terminal::Render(chunk.bytes, static_cast<terminal::View>(viewCombo_->currentIndex()), encoding());
    if (lines.isEmpty())
        return;

    QScrollBar* bar = view_->verticalScrollBar();
    const bool following = bar->value() == bar->maximum();
    QTextCursor cursor(view_->document());
    cursor.movePosition(QTextCursor::End);
    cursor.beginEditBlock();
    // Each chunk on lines of its own; the lines after its first are indented
    // under its text.
    const QString indent(prefix.size(), QLatin1Char(' '));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (!view_->document()->isEmpty())
            cursor.insertBlock();
        cursor.insertText((i == 0 ? prefix : indent) + lines[i]);
    }
    cursor.endEditBlock();
    if (following)
        bar->setValue(bar->maximum());
}

void CTerminalDlg::OnShowOptionChanged()
{
    // Hex rows line up only unbroken.
    view_->setLineWrapMode(viewCombo_->currentIndex() == int(terminal::View::Text) ? QPlainTextEdit::WidgetWidth
                                                                                    : QPlainTextEdit::NoWrap);
    SaveOptions();
    if (!loading_)
        ShowAgain();
}

void CTerminalDlg::ShowAgain()
{
    view_->setUpdatesEnabled(false);
    view_->clear();
    for (const Chunk& c : chunks_)
        AppendToView(c);
    view_->setUpdatesEnabled(true);
    view_->verticalScrollBar()->setValue(view_->verticalScrollBar()->maximum());
}

void CTerminalDlg::OnClear()
{
    view_->clear();
    chunks_.clear();
    chunkBytes_ = 0;
}

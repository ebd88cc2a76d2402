// The terminal's session written to a text file as it happens: one line a
// chunk, each pushed to the kernel before the next, so that what the
// terminal showed is in the file even if the tool stops. A write that
// fails (a full disk) or a file that is no longer anywhere (its folder
// removed) ends the log; the caller says so and goes on without it.
#pragma once

#include <QFile>
#include <QString>

namespace terminal {

class SessionLog {
public:
    // Starts a new file at `path` (an existing one is replaced); the reason
    // in words when it cannot be written.
    QString Open(const QString& path);
    void Close();
    bool isOpen() const { return file_.isOpen(); }
    QString path() const { return file_.fileName(); }

    // Appends `line` and a line break. On failure the log is closed and the
    // reason comes back in words; otherwise an empty string.
    QString Write(const QString& line);

private:
    QFile file_;
};

}  // namespace terminal

// A log written to a text file as it happens, one line at a time, each
// pushed to the kernel before the next, so that what was shown is in the
// file even if the tool stops: the terminal's session, the test server
// page's events. A write that fails (a full disk) or a file that is no
// longer anywhere (its folder removed) ends the log; the caller says so and
// goes on without it.
#pragma once

#include <QFile>
#include <QString>

namespace terminal {

class SessionLog {
public:
    enum class Existing { Replace, Append };
    // Opens the file at `path`; the reason in words when it cannot be
    // written.
    QString Open(const QString& path, Existing existing = Existing::Replace);
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

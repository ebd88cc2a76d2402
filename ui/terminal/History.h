// What the user sent from the send line, newest last, walked with Up and
// Down as a shell does. The line being typed is kept aside while walking
// and comes back below the newest entry.
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace terminal {

class History {
public:
    static constexpr qsizetype kMax = 100;

    explicit History(QStringList entries = {});

    // Oldest first.
    const QStringList& entries() const { return entries_; }

    // A line sent: it becomes the newest entry (an earlier copy goes, so the
    // hundred entries are a hundred different lines), and walking starts
    // again from the bottom.
    void Add(const QString& line);

    // One step up from `current` (what the field shows), or nothing at the
    // oldest entry.
    std::optional<QString> Older(const QString& current);
    // One step down, the typed line after the newest entry, or nothing when
    // already there.
    std::optional<QString> Newer();

private:
    QStringList entries_;
    qsizetype position_ = 0;  // entries_.size(): at the typed line
    QString typed_;
};

}  // namespace terminal

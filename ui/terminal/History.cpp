#include "ui/terminal/History.h"

namespace terminal {

History::History(QStringList entries) : entries_(std::move(entries))
{
    if (entries_.size() > kMax)
        entries_ = entries_.mid(entries_.size() - kMax);
    position_ = entries_.size();
}

void History::Add(const QString& line)
{
    entries_.removeAll(line);
    entries_.append(line);
    if (entries_.size() > kMax)
        entries_.removeFirst();
    position_ = entries_.size();
    typed_.clear();
}

std::optional<QString> History::Older(const QString& current)
{
    if (position_ == 0)
        return std::nullopt;
    if (position_ == entries_.size())
        typed_ = current;
    return entries_[--position_];
}

std::optional<QString> History::Newer()
{
    if (position_ >= entries_.size())
        return std::nullopt;
    ++position_;
    return position_ == entries_.size() ? typed_ : entries_[position_];
}

}  // namespace terminal

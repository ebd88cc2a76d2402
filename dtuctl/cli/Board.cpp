#include "dtuctl/cli/Board.h"

namespace cli {

Board::Board(std::ostream& out, bool terminal, std::vector<std::string> ports, std::chrono::milliseconds interval)
    : out_(out), terminal_(terminal), ports_(std::move(ports)), lines_(ports_.size()), interval_(interval)
{
}

void Board::Step(std::size_t port, const std::string& text)
{
    std::lock_guard lock(mutex_);
    if (port >= lines_.size())
        return;
    lines_[port] = text;
    if (terminal_)
        Redraw();
    else
        out_ << ports_[port] << ": " << text << "\n" << std::flush;
}

void Board::Update(std::size_t port, const std::string& text)
{
    std::lock_guard lock(mutex_);
    if (port >= lines_.size() || !terminal_)
        return;
    lines_[port] = text;
    if (std::chrono::steady_clock::now() - lastDraw_ >= interval_)
        Redraw();
}

void Board::Redraw()
{
    // Back to the first line of the board, then every line cleared and
    // written again.
    if (drawn_ && lines_.size() > 0)
        out_ << "\x1b[" << lines_.size() << "F";
    for (std::size_t i = 0; i < lines_.size(); ++i)
        out_ << "\x1b[2K" << ports_[i] << ": " << lines_[i] << "\n";
    out_ << std::flush;
    drawn_ = true;
    lastDraw_ = std::chrono::steady_clock::now();
}

}  // namespace cli

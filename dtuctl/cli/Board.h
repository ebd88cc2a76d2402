// Progress of many ports at once: one line per port. On a terminal the
// lines are redrawn in place; elsewhere each step is a plain line of its
// own ("PORT: text"), and updates meant only for a terminal (a moving bar)
// are left out.
#pragma once

#include <chrono>
#include <mutex>
#include <ostream>
#include <string>
#include <vector>

namespace cli {

class Board {
public:
    // Updates redraw the board at most once per `interval`: sixteen bars
    // moving on fast replies would otherwise flood the terminal.
    Board(std::ostream& out, bool terminal, std::vector<std::string> ports,
          std::chrono::milliseconds interval = std::chrono::milliseconds(100));

    // A step worth a line in a log too.
    void Step(std::size_t port, const std::string& text);
    // A transient state (a progress bar): drawn on a terminal only.
    void Update(std::size_t port, const std::string& text);
    bool terminal() const { return terminal_; }

private:
    void Redraw();

    std::mutex mutex_;
    std::ostream& out_;
    bool terminal_;
    std::vector<std::string> ports_;
    std::vector<std::string> lines_;
    bool drawn_ = false;
    std::chrono::milliseconds interval_;
    std::chrono::steady_clock::time_point lastDraw_{};
};

}  // namespace cli

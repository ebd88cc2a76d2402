// Ctrl-C for the commands that run until stopped (`monitor`, `serve`).
// The program's main installs the signal handler and calls Interrupt; a test
// calls it as Ctrl-C would.
#pragma once

namespace cli {

// Async-signal-safe. False when no command is listening: Ctrl-C should then
// end the program as it would without a handler.
bool Interrupt();

// A command listens while one of these lives.
class InterruptScope {
public:
    InterruptScope();
    ~InterruptScope();
    InterruptScope(const InterruptScope&) = delete;
    InterruptScope& operator=(const InterruptScope&) = delete;

    // Readable once interrupted, for poll().
    int fd() const;
    bool interrupted() const;
};

}  // namespace cli

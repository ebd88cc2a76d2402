// A pseudo-terminal pair for tests: the driver opens the terminal side by
// its path, the test plays the DTU on the master side.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

class PtyPair {
public:
    PtyPair();
    ~PtyPair();
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    int master() const { return master_; }
    const std::string& terminalPath() const { return path_; }

    // Writes every byte to the master side (blocking until taken).
    void Send(const std::vector<std::uint8_t>& bytes);
    // Reads from the master side until `count` bytes arrived or `timeout`
    // passed; returns what arrived.
    std::vector<std::uint8_t> Receive(std::size_t count, std::chrono::milliseconds timeout);
    void CloseMaster();

    // What the program wrote: `count` bytes within two seconds, and whatever
    // more followed them at once, so that a caller sees a byte too many.
    std::vector<std::uint8_t> ReceiveExactly(std::size_t count)
    {
        std::vector<std::uint8_t> got = Receive(count, std::chrono::seconds(2));
        const std::vector<std::uint8_t> more = Receive(1, std::chrono::milliseconds(100));
        got.insert(got.end(), more.begin(), more.end());
        return got;
    }
    bool ReceivesNothing() { return Receive(1, std::chrono::milliseconds(300)).empty(); }

private:
    int master_ = -1;
    std::string path_;
};

// Polls `condition` every millisecond until it holds or `timeout` passes.
template <class Condition>
bool WaitFor(Condition condition, std::chrono::milliseconds timeout = std::chrono::seconds(5))
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

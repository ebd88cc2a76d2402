// The driver against real pseudo-terminals: the test plays the DTU on the
// master side. Run under ThreadSanitizer too.
#include "core/net/Telnet.h"
#include "driver/serial/BufferedPort.h"
#include "driver/serial/NetPort.h"
#include "driver/serial/SerialPort.h"
#include "tests/support/Bytes.h"
#include "tests/support/Listener.h"
#include "tests/support/Pty.h"

#include <gtest/gtest.h>

#include <atomic>
#include <fcntl.h>
#include <mutex>
#include <sys/file.h>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

// Records what the reader hands over.
class RecordingSerial : public SerialPort {
public:
    ~RecordingSerial() override { Close(); }

    void OnRxByte(std::uint8_t b) override
    {
        std::lock_guard lock(mutex_);
        bytes_.push_back(b);
    }
    Bytes Received() const
    {
        std::lock_guard lock(mutex_);
        return bytes_;
    }
    std::size_t Count() const
    {
        std::lock_guard lock(mutex_);
        return bytes_.size();
    }
    int LostCalls() const { return lostCalls_; }

protected:
    void OnPortLost() override { ++lostCalls_; }

private:
    mutable std::mutex mutex_;
    Bytes bytes_;
    std::atomic<int> lostCalls_{0};
};

// Whether another program that locks, as careful ones do, could take the
// port now.
bool Lockable(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool free = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    ::close(fd);
    return free;
}

Bytes Pattern(std::size_t n)
{
    Bytes bytes(n);
    for (std::size_t i = 0; i < n; ++i)
        bytes[i] = static_cast<std::uint8_t>(i * 7 + i / 251);
    return bytes;
}

TEST(SerialPort, OpenCloseReopen)
{
    PtyPair pty;
    RecordingSerial port;
    EXPECT_FALSE(port.IsOpen());
    EXPECT_TRUE(port.Close());  // closing a closed port changes nothing

    ASSERT_TRUE(port.Open(pty.terminalPath(), 9600, 0));
    EXPECT_TRUE(port.IsOpen());
    EXPECT_EQ(port.PortPath(), pty.terminalPath());
    // Opening the open port again closes it first and restarts the reader.
    ASSERT_TRUE(port.Open(pty.terminalPath(), 115200, 0));
    EXPECT_TRUE(port.IsOpen());
    pty.Send({0x01, 0x02});
    EXPECT_TRUE(WaitFor([&] { return port.Count() == 2; }));

    EXPECT_TRUE(port.Close());
    EXPECT_FALSE(port.IsOpen());
    EXPECT_TRUE(port.Close());
    ASSERT_TRUE(port.Open(pty.terminalPath(), 9600, 0));
    EXPECT_TRUE(port.IsOpen());
}

TEST(SerialPort, OpenIsExclusive)
{
    PtyPair pty;
    RecordingSerial first;
    RecordingSerial second;
    EXPECT_TRUE(Lockable(pty.terminalPath()));
    ASSERT_TRUE(first.Open(pty.terminalPath(), 9600, 0));

    EXPECT_FALSE(Lockable(pty.terminalPath()));
    EXPECT_FALSE(second.Open(pty.terminalPath(), 9600, 0));
    EXPECT_EQ(second.LastError(), SerialError::Busy);
    EXPECT_FALSE(second.IsOpen());

    first.Close();
    EXPECT_TRUE(Lockable(pty.terminalPath()));
    EXPECT_TRUE(second.Open(pty.terminalPath(), 9600, 0));
}

TEST(SerialPort, PortHeldByAnotherProgramIsRefused)
{
    PtyPair pty;
    const int other = ::open(pty.terminalPath().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_GE(other, 0);
    ASSERT_EQ(::flock(other, LOCK_EX | LOCK_NB), 0);

    RecordingSerial port;
    EXPECT_FALSE(Lockable(pty.terminalPath()));
    EXPECT_FALSE(port.Open(pty.terminalPath(), 9600, 0));
    EXPECT_EQ(port.LastError(), SerialError::Busy);
    EXPECT_FALSE(port.IsOpen());
    ::close(other);
    EXPECT_TRUE(port.Open(pty.terminalPath(), 9600, 0));
}

TEST(SerialPort, FailedOpenLeavesNothingOpen)
{
    PtyPair pty;
    struct Case {
        const char* what;
        std::string path;
        unsigned baud;
        unsigned parity;
        SerialError error;
    };
    const Case cases[] = {
        {"no such device", "/dev/does-not-exist", 9600, 0, SerialError::NotFound},
        {"not a terminal", "/dev/null", 9600, 0, SerialError::NotATerminal},
        {"unknown rate", pty.terminalPath(), 12345, 0, SerialError::Settings},
        {"unknown parity code", pty.terminalPath(), 9600, 3, SerialError::Settings},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RecordingSerial port;
        // A failed Open also closes the port that was open before it.
        ASSERT_TRUE(port.Open(pty.terminalPath(), 9600, 0));
        EXPECT_FALSE(port.Open(c.path, c.baud, c.parity));
        EXPECT_EQ(port.LastError(), c.error);
        EXPECT_FALSE(port.IsOpen());
        EXPECT_TRUE(Lockable(pty.terminalPath()));
        EXPECT_FALSE(port.Write(Bytes{0x01}.data(), 1));
    }
}

TEST(SerialPort, LineSettingsAsReadOnTheOtherSide)
{
    PtyPair pty;
    RecordingSerial port;
    const std::pair<unsigned, speed_t> rates[] = {
        {1200, B1200}, {9600, B9600}, {57600, B57600}, {115200, B115200},
    };
    for (const auto& [rate, speed] : rates) {
        SCOPED_TRACE(rate);
        ASSERT_TRUE(port.Open(pty.terminalPath(), rate, 0));
        termios t{};
        ASSERT_EQ(::tcgetattr(pty.master(), &t), 0);
        EXPECT_EQ(cfgetospeed(&t), speed);
        EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
        EXPECT_EQ(t.c_cflag & (CSTOPB | CRTSCTS | PARENB), 0u);
        EXPECT_EQ(t.c_cflag & (CLOCAL | CREAD), static_cast<tcflag_t>(CLOCAL | CREAD));
        EXPECT_EQ(t.c_iflag & (IXON | IXOFF | ICRNL), 0u);
        EXPECT_EQ(t.c_lflag & (ICANON | ECHO | ISIG), 0u);
        EXPECT_EQ(t.c_oflag & OPOST, 0u);
    }
    // A pseudo-terminal cannot hold parity; the port opens all the same.
    EXPECT_TRUE(port.Open(pty.terminalPath(), 9600, 2));
    EXPECT_EQ(port.Parity(), 2u);

    ASSERT_TRUE(port.SetLine(38400, 0));
    termios t{};
    ASSERT_EQ(::tcgetattr(pty.master(), &t), 0);
    EXPECT_EQ(cfgetospeed(&t), static_cast<speed_t>(B38400));
    EXPECT_EQ(port.BaudRate(), 38400u);
    EXPECT_FALSE(port.SetLine(12345, 0));

    port.Close();
    EXPECT_FALSE(port.SetLine(9600, 0));
    EXPECT_EQ(port.LastError(), SerialError::Closed);
}

TEST(SerialPort, CloseRestoresTheSettingsFoundAtOpen)
{
    PtyPair pty;
    termios before{};
    ASSERT_EQ(::tcgetattr(pty.master(), &before), 0);
    ASSERT_NE(before.c_lflag & ICANON, 0u);  // a fresh terminal is cooked
    RecordingSerial port;
    ASSERT_TRUE(port.Open(pty.terminalPath(), 115200, 0));
    port.Close();
    termios after{};
    ASSERT_EQ(::tcgetattr(pty.master(), &after), 0);
    EXPECT_EQ(after.c_lflag, before.c_lflag);
    EXPECT_EQ(after.c_iflag, before.c_iflag);
    EXPECT_EQ(cfgetospeed(&after), cfgetospeed(&before));
}

TEST(SerialPort, LongWriteArrivesWholeAndInOrder)
{
    PtyPair pty;
    RecordingSerial port;
    ASSERT_TRUE(port.Open(pty.terminalPath(), 115200, 0));
    const Bytes data = Pattern(3000);
    bool ok = false;
    std::thread writer([&] { ok = port.Write(data.data(), data.size()); });
    const Bytes got = pty.Receive(data.size(), 5s);
    writer.join();
    EXPECT_TRUE(ok);
    EXPECT_TRUE(got == data);
}

TEST(SerialPort, EmptyWriteAndWriteOnClosedPort)
{
    PtyPair pty;
    RecordingSerial port;
    const std::uint8_t byte = 0x5A;
    EXPECT_FALSE(port.Write(&byte, 1));
    EXPECT_EQ(port.LastError(), SerialError::Closed);
    ASSERT_TRUE(port.Open(pty.terminalPath(), 9600, 0));
    EXPECT_TRUE(port.Write(&byte, 0));
    EXPECT_TRUE(port.Write(&byte, 1));
    EXPECT_EQ(pty.Receive(1, 2s), Bytes{0x5A});
}

TEST(SerialPort, ManyWaitingBytesDeliveredOnceAndInOrder)
{
    PtyPair pty;
    RecordingSerial port;
    ASSERT_TRUE(port.Open(pty.terminalPath(), 115200, 0));
    const Bytes data = Pattern(64 * 1024 + 17);
    pty.Send(data);
    EXPECT_TRUE(WaitFor([&] { return port.Count() >= data.size(); }));
    std::this_thread::sleep_for(50ms);  // nothing more may come
    EXPECT_TRUE(port.Received() == data);
}

TEST(SerialPort, WriteToAPeerThatNeverReadsGivesUp)
{
    PtyPair pty;
    RecordingSerial port;
    ASSERT_TRUE(port.Open(pty.terminalPath(), 115200, 0));
    const Bytes data(4 * 1024 * 1024, 0x55);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(port.Write(data.data(), data.size()));
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(port.LastError(), SerialError::TimedOut);
    EXPECT_GE(took, 2900ms);
    EXPECT_LT(took, 10s);
    // The port is still usable afterwards.
    EXPECT_TRUE(port.IsOpen());
    EXPECT_TRUE(port.Close());
}

// Results of posted frames, in the order they came back.
struct Results {
    std::mutex mutex;
    std::vector<WriteResult> got;
    SerialPort::WriteDone Recorder()
    {
        return [this](WriteResult r) {
            std::lock_guard lock(mutex);
            got.push_back(r);
        };
    }
    std::vector<SerialError> Errors()
    {
        std::lock_guard lock(mutex);
        std::vector<SerialError> errors;
        for (const WriteResult& r : got)
            errors.push_back(r.error);
        return errors;
    }
};

TEST(SerialPort, PostedFramesGoOutWholeInOrderWithoutWaiting)
{
    PtyPair pty;
    RecordingSerial port;
    Results results;
    port.Post({0x01}, results.Recorder());  // closed: told at once
    EXPECT_EQ(results.Errors(), std::vector<SerialError>{SerialError::Closed});
    ASSERT_TRUE(port.Open(pty.terminalPath(), 115200, 0));
    const Bytes a = Pattern(3000), b = {0xFA, 0x0D};
    port.Post(a, results.Recorder());
    port.Post(b, results.Recorder());
    EXPECT_TRUE(pty.Receive(a.size() + b.size(), 5s) == a + b);
    ASSERT_TRUE(WaitFor([&] { return results.Errors().size() == 3; }));
    EXPECT_EQ(results.Errors(), (std::vector<SerialError>{SerialError::Closed, SerialError::None, SerialError::None}));
}

TEST(SerialPort, AStalledPostFailsWithTheFramesBehindItAndCloseDoesNotWait)
{
    PtyPair pty;
    RecordingSerial port;
    Results results;
    ASSERT_TRUE(port.Open(pty.terminalPath(), 115200, 0));
    // The peer never reads: the first frame times out, the one behind it
    // fails with it rather than reaching the DTU late.
    port.Post(Bytes(4 * 1024 * 1024, 0x55), results.Recorder());
    port.Post({0x01}, results.Recorder());
    ASSERT_TRUE(WaitFor([&] { return results.Errors().size() == 2; }, 10s));
    EXPECT_EQ(results.Errors(), (std::vector<SerialError>{SerialError::TimedOut, SerialError::TimedOut}));
    EXPECT_EQ(port.LastError(), SerialError::TimedOut);

    // Close while a write waits for room: it gives up at once, and what was
    // still queued is told as not sent.
    port.Post(Bytes(4 * 1024 * 1024, 0x55), results.Recorder());
    port.Post({0x02}, results.Recorder());
    std::this_thread::sleep_for(300ms);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(port.Close());
    EXPECT_LT(std::chrono::steady_clock::now() - start, 500ms);
    ASSERT_EQ(results.Errors().size(), 4u);
    EXPECT_EQ(results.Errors()[2], SerialError::Closed);
    EXPECT_EQ(results.Errors()[3], SerialError::Closed);
}

TEST(SerialPort, FarEndClosingEndsTheReaderAndFailsWrites)
{
    PtyPair pty;
    RecordingSerial port;
    ASSERT_TRUE(port.Open(pty.terminalPath(), 115200, 0));
    pty.Send({0x10, 0x20, 0x30});
    ASSERT_TRUE(WaitFor([&] { return port.Count() == 3; }));

    pty.CloseMaster();
    // The flag is raised just before the call that tells it.
    ASSERT_TRUE(WaitFor([&] { return port.PortLost() && port.LostCalls() == 1; }, 2s));
    // Still open until the application closes it; writes fail at once.
    EXPECT_TRUE(port.IsOpen());
    const std::uint8_t byte = 0x01;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(port.Write(&byte, 1));
    EXPECT_LT(std::chrono::steady_clock::now() - start, 500ms);
    EXPECT_EQ(port.LastError(), SerialError::Lost);
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(port.LostCalls(), 1);  // said once, no spinning reader
    EXPECT_TRUE(port.Close());
    EXPECT_FALSE(port.IsOpen());
    EXPECT_FALSE(port.PortLost());
    EXPECT_EQ(port.Received(), (Bytes{0x10, 0x20, 0x30}));
}

TEST(SerialPort, WriteInProgressEndsWhenTheFarEndCloses)
{
    PtyPair pty;
    RecordingSerial port;
    ASSERT_TRUE(port.Open(pty.terminalPath(), 115200, 0));
    const Bytes data(4 * 1024 * 1024, 0xAA);
    std::atomic<bool> done{false};
    bool ok = true;
    std::thread writer([&] {
        ok = port.Write(data.data(), data.size());
        done = true;
    });
    std::this_thread::sleep_for(300ms);  // the writer now waits for room
    ASSERT_FALSE(done.load());
    pty.CloseMaster();
    // Well inside one 1000 ms wait: the hang-up wakes the writer.
    EXPECT_TRUE(WaitFor([&] { return done.load(); }, 800ms));
    writer.join();
    EXPECT_FALSE(ok);
}

TEST(SerialPort, CloseWhileBytesStreamIn)
{
    PtyPair pty;
    RecordingSerial port;
    ASSERT_TRUE(port.Open(pty.terminalPath(), 115200, 0));
    std::atomic<bool> stop{false};
    // Once the port is closed nobody reads the terminal side: a blocking
    // write would then never return and the sender could not be joined.
    ::fcntl(pty.master(), F_SETFL, ::fcntl(pty.master(), F_GETFL) | O_NONBLOCK);
    std::thread sender([&] {
        const Bytes chunk = Pattern(512);
        while (!stop) {
            if (::write(pty.master(), chunk.data(), chunk.size()) < 0)
                std::this_thread::sleep_for(1ms);
        }
    });
    ASSERT_TRUE(WaitFor([&] { return port.Count() > 10000; }));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(port.Close());
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
    stop = true;
    sender.join();
}

TEST(SerialPort, ReceivedBytesCompleteAFrameInTheReceiveBuffer)
{
    PtyPair pty;
    ReceiveBuffer rx;
    BufferedPort port(rx);
    ASSERT_TRUE(port.Open(pty.terminalPath(), 115200, 0));
    const Bytes reply{0xFA, 0x00, 0xE7, 0x01, 0x00, 0xE2, 0x0D};
    pty.Send(reply);
    ASSERT_TRUE(WaitFor([&] { return rx.RxLength() == 7; }));
    Bytes frame;
    int ticks = 0;
    while (frame.empty() && ticks < 10) {
        ++ticks;
        rx.Tick([&](const ReceiveBuffer::Frame& f) { frame.assign(f.bytes.begin(), f.bytes.begin() + f.length); });
    }
    EXPECT_EQ(ticks, 5);
    EXPECT_EQ(frame, reply);
}

serial::NetAddress Loopback(std::uint16_t port)
{
    serial::NetAddress a;
    auto* in = reinterpret_cast<sockaddr_in*>(&a.address);
    in->sin_family = AF_INET;
    in->sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    in->sin_port = htons(port);
    a.length = sizeof *in;
    return a;
}

// rfc2217://: the server asks something while a long frame waits for room.
// Reading goes on meanwhile, and the answer follows the frame whole.
TEST(SerialPort, TelnetAnswersNeitherStallReadingNorSplitAFrame)
{
    using namespace net::telnet;
    Listener server;
    const serial::NetAddress to[] = {Loopback(server.port())};
    serial::NetConnection connection = serial::ConnectAny(to, -1, std::chrono::steady_clock::now() + 1s);
    connection.telnet = true;
    const int small = 4096;  // so that the frame soon waits for room
    ::setsockopt(connection.fd, SOL_SOCKET, SO_SNDBUF, &small, sizeof small);
    RecordingSerial port;
    ASSERT_TRUE(port.Adopt(std::move(connection), "rfc2217://127.0.0.1:1", 9600, 0));
    Results results;
    const Bytes frame(4 * 1024 * 1024, 0x55);
    port.Post(frame, results.Recorder());
    std::this_thread::sleep_for(300ms);

    const std::uint8_t asked[] = {kIac, kWill, 1}, data[] = {'o', 'k'};
    ASSERT_EQ(::send(server.Peer(), asked, sizeof asked, 0), 3);
    std::this_thread::sleep_for(100ms);
    ASSERT_EQ(::send(server.Peer(), data, sizeof data, 0), 2);
    EXPECT_TRUE(WaitFor([&] { return port.Count() == 2; }, 1s));
    const std::string got = server.Received(frame.size() + 3);
    ASSERT_TRUE(WaitFor([&] { return results.Errors() == std::vector{SerialError::None}; }));
    ASSERT_EQ(got.size(), frame.size() + 3);
    EXPECT_EQ(got.find_first_not_of('\x55'), frame.size());
    EXPECT_EQ(got.substr(frame.size()), (std::string{char(kIac), char(kDont), 1}));
}

// A host's first address never answers: the next still has its turn.
TEST(SerialPort, AnAddressThatNeverAnswersLeavesTheNextItsTurn)
{
    Listener deaf, live;
    deaf.StopAnswering();
    const serial::NetAddress addresses[] = {Loopback(deaf.port()), Loopback(live.port())};
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(serial::ConnectAny(addresses, -1, start + 1s).error, SerialError::None);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 900ms);
}

}  // namespace

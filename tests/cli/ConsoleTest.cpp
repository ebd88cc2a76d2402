// What a person sees while ports work: the board of lines and the
// progress bar.
#include "driver/serial/NetPort.h"
#include "driver/serial/OpenFailure.h"
#include "dtuctl/cli/Board.h"
#include "jobs/port/Link.h"
#include "jobs/port/Upgrade.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <netdb.h>
#include <fstream>
#include <sstream>

namespace {

TEST(Board, PlainOutputHasOneLinePerStepAndNoBars)
{
    std::ostringstream out;
    cli::Board board(out, false, {"/dev/a", "/dev/b"});
    board.Step(1, "read version");
    board.Update(0, "[###.......]");
    board.Step(0, "done");
    board.Step(2, "no such port");
    EXPECT_EQ(out.str(), "/dev/b: read version\n/dev/a: done\n");
}

TEST(Board, TerminalRedrawsEveryPortsLineInPlace)
{
    std::ostringstream out;
    cli::Board board(out, true, {"/dev/a", "/dev/b"}, std::chrono::milliseconds(0));
    board.Step(0, "opening");
    EXPECT_EQ(out.str(), "\x1b[2K/dev/a: opening\n\x1b[2K/dev/b: \n");
    out.str("");
    board.Update(1, "[#.]");
    EXPECT_EQ(out.str(), "\x1b[2F\x1b[2K/dev/a: opening\n\x1b[2K/dev/b: [#.]\n");
}

// Bars move often; steps are never held back.
TEST(Board, UpdatesRedrawAtMostOncePerInterval)
{
    std::ostringstream out;
    cli::Board board(out, true, {"/dev/a"}, std::chrono::hours(1));
    board.Step(0, "opening");
    out.str("");
    board.Update(0, "[#...]");
    board.Update(0, "[##..]");
    EXPECT_EQ(out.str(), "");
    board.Step(0, "done");
    EXPECT_EQ(out.str(), "\x1b[1F\x1b[2K/dev/a: done\n");
}

TEST(Upgrade, ProgressShowsBlocksBytesRateAndTimeLeft)
{
    const struct {
        jobs::UpgradeProgress p;
        std::string text;
    } cases[] = {
        {{1, 5, 1024, 5000, 0}, "[....................] 1/5 blocks  1024/5000 B"},
        {{2, 4, 2048, 4096, 1.0}, "[##########..........] 2/4 blocks  2048/4096 B  2.0 KiB/s  0:01 left"},
        {{60, 120, 61440, 122880, 30.0}, "[##########..........] 60/120 blocks  61440/122880 B  2.0 KiB/s  0:30 left"},
        {{3, 3, 2500, 2500, 1.5}, "[####################] 3/3 blocks  2500/2500 B  1.6 KiB/s  0:00 left"},
        {{2, 1, 9999, 10, 1.0}, "[####################] 2/1 blocks  9999/10 B  9.8 KiB/s  0:00 left"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(jobs::FormatProgress(c.p), c.text);
}

TEST(Upgrade, ImagesThatCannotBeSentAreRefusedBeforeAnyPort)
{
    std::string error;
    EXPECT_FALSE(jobs::LoadImage("/nonexistent/app.bin", upgrade::Kind::App, error));
    EXPECT_EQ(error, "/nonexistent/app.bin: not an image file (no such file)");
    EXPECT_FALSE(jobs::LoadImage("/dev/null", upgrade::Kind::Iap, error));
    EXPECT_EQ(error, "/dev/null: not an image file (not a regular file)");
    const std::string empty = testing::TempDir() + "empty.bin";
    std::ofstream{empty};
    EXPECT_FALSE(jobs::LoadImage(empty, upgrade::Kind::Iap, error));
    EXPECT_EQ(error, empty + ": the image is empty; nothing to send");
}

}  // namespace

namespace {

// The settings page's words for a port that will not open, so that a line
// of adapters reports a busy or forbidden port as the window does.
TEST(Link, OpenFailuresInTheSettingsPagesWords)
{
    const struct {
        SerialError error;
        int err;
        std::string text;
    } cases[] = {
        {SerialError::NotFound, ENOENT, "Device /dev/ttyUSB7 not found."},
        {SerialError::Permission, EACCES,
         "No permission to open /dev/ttyUSB7: add the current user to the dialout group (sudo usermod -aG dialout "
         "$USER), log in again, then open it."},
        {SerialError::Busy, EBUSY, "/dev/ttyUSB7 is in use by another program; close that program first."},
        {SerialError::NotATerminal, ENOTTY, "/dev/ttyUSB7 is not a serial device."},
        {SerialError::Settings, EINVAL, "/dev/ttyUSB7 does not support the chosen baud rate or parity."},
        {SerialError::Io, EIO, "Cannot open /dev/ttyUSB7: Input/output error"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(serial::OpenFailureText(c.error, c.err, "/dev/ttyUSB7"), c.text);
}

// A failed name look-up is told for what it was, naming the host.
TEST(Link, FailedLookUpsToldForWhatTheyWere)
{
    const std::string lead = "Cannot connect to rfc2217://dtu.example:2217: ";
    const std::string unknown = lead + "the name dtu.example could not be looked up (";
    const std::string after = "). Check the network and the name server.";
    const struct {
        int code, sysErr;
        std::string text;
    } cases[] = {
        {EAI_NONAME, 0, lead + "there is no host named dtu.example. Check the host name."},
        {EAI_AGAIN, 0, unknown + "no name server could answer" + after},
        {EAI_FAIL, 0, unknown + "no name server could answer" + after},
        {EAI_SYSTEM, ENETUNREACH, unknown + "Network is unreachable" + after},
    };
    for (const auto& c : cases) {
        const auto [error, err] = serial::LookupFailure(c.code, c.sysErr);
        EXPECT_EQ(serial::OpenFailureText(error, err, "rfc2217://dtu.example:2217"), c.text) << c.code;
    }
}

}  // namespace

// TCP page log benchmark: frames of 255 bytes arriving back to back, as a DTU
// streaming at 115200 baud would send them (45 frames a second), for ten
// minutes of simulated streaming (27,105 frames), handed to the visible page
// as the main window hands them over. The frames are delivered at once,
// without waiting out the line silence, so the run takes seconds.
//
// Reports the time per append (the page's handling of one frame) and per
// repaint (the event processing that follows it) at the start and once the
// log is full, the time per append over the run in ten slices, and the
// process's memory (VmRSS, VmHWM) before and at the end.
//
// --naive N: for comparison, N appends to one unbroken QPlainTextEdit block,
// which is what an uncapped log without blocks would do.
//
// Usage: pages_bench [--minutes M] [--naive N]   (offscreen unless told)
#include "core/pages/DataFrame.h"
#include "ui/pages/TcpPage.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QTextCursor>

#include <array>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double Us(Clock::duration d)
{
    return std::chrono::duration<double, std::micro>(d).count();
}

long StatusKb(const char* key)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(key, 0) == 0)
            return std::atol(line.c_str() + std::strlen(key));
    return -1;
}

struct Stats {
    double median = 0, p99 = 0, max = 0, mean = 0;
};

Stats Summarise(std::vector<double> v)
{
    Stats s;
    if (v.empty())
        return s;
    double sum = 0;
    for (double x : v)
        sum += x;
    s.mean = sum / double(v.size());
    std::sort(v.begin(), v.end());
    s.median = v[v.size() / 2];
    s.p99 = v[std::min(v.size() - 1, v.size() * 99 / 100)];
    s.max = v.back();
    return s;
}

void Print(const char* what, const std::vector<double>& v)
{
    const Stats s = Summarise(v);
    std::printf("  %-34s n=%6zu  median %8.1f us  mean %8.1f us  p99 %8.1f us  max %8.1f us\n", what, v.size(),
                s.median, s.mean, s.p99, s.max);
}

void Naive(int count)
{
    QPlainTextEdit edit;
    edit.setReadOnly(true);
    edit.setUndoRedoEnabled(false);
    edit.resize(640, 380);
    edit.show();
    QApplication::processEvents();
    const std::string frame = pages::FormatReceived(std::vector<std::uint8_t>(255, 0xA5));
    const QString text = QString::fromStdString(frame);
    std::vector<double> first, last;
    for (int n = 0; n < count; ++n) {
        const auto t0 = Clock::now();
        QTextCursor c(edit.document());
        c.movePosition(QTextCursor::End);
        c.insertText(text);
        QApplication::processEvents();
        const double us = Us(Clock::now() - t0);
        (n < 100 ? first : last).push_back(us);
        if ((n + 1) % 250 == 0)
            std::printf("  naive: %d appends, last took %.1f us\n", n + 1, us);
    }
    std::printf("naive single-block log, %d appends (append + repaint):\n", count);
    Print("first 100", first);
    if (last.size() > 100)
        last.erase(last.begin(), last.end() - 100);
    Print("last 100", last);
}

}  // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    double minutes = 10;
    int naive = 0;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--minutes") == 0)
            minutes = std::atof(argv[i + 1]);
        else if (std::strcmp(argv[i], "--naive") == 0)
            naive = std::atoi(argv[i + 1]);
    }
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    QApplication app(argc, argv);

    constexpr int kFrameBytes = 255;
    constexpr double kBytesPerSecond = 115200.0 / 10;  // 8N1: ten bits a byte
    const long frames = long(minutes * 60 * kBytesPerSecond / kFrameBytes);

    TcpPage page(nullptr);
    page.show();
    QApplication::processEvents();
    const long rssBefore = StatusKb("VmRSS:");

    std::array<std::uint8_t, ReceiveBuffer::kCapacity> buffer{};
    std::vector<double> append, repaint;
    append.reserve(std::size_t(frames));
    repaint.reserve(std::size_t(frames));
    long fullAt = -1;
    const auto start = Clock::now();
    for (long n = 0; n < frames; ++n) {
        for (int i = 0; i < kFrameBytes; ++i)
            buffer[std::size_t(i)] = static_cast<std::uint8_t>(n + i);
        ui::FrameEvent event(ui::kTcpFrame, ReceiveBuffer::Frame{buffer, kFrameBytes});
        const auto t0 = Clock::now();
        QCoreApplication::sendEvent(&page, &event);
        const auto t1 = Clock::now();
        QApplication::processEvents();
        const auto t2 = Clock::now();
        append.push_back(Us(t1 - t0));
        repaint.push_back(Us(t2 - t1));
        // Full: the next block pushes the oldest one out.
        if (fullAt < 0 && (n + 1) * 3 * kFrameBytes >= TcpPage::kLogMaxChars)
            fullAt = n + 1;
    }
    const double totalS = std::chrono::duration<double>(Clock::now() - start).count();
    const long rssAfter = StatusKb("VmRSS:");
    const long hwm = StatusKb("VmHWM:");
    const long keptChars = long(page.receivedText().size());

    std::printf("TCP page log: %ld frames of %d bytes (%.1f simulated minutes at 115200 baud), %.2f s of work\n",
                frames, kFrameBytes, minutes, totalS);
    std::printf("  log cap %d characters (%d blocks of %d); full after frame %ld; kept at the end %ld characters\n",
                TcpPage::kLogMaxChars, TcpPage::kLogBlocks, TcpPage::kLogBlockChars, fullAt, keptChars);
    const auto slice = [](const std::vector<double>& v, long from, long to) {
        return std::vector<double>(v.begin() + from, v.begin() + std::min<long>(to, long(v.size())));
    };
    Print("append, first 200 frames", slice(append, 0, 200));
    if (fullAt > 0 && fullAt < frames) {
        Print("append, log full (all after)", slice(append, fullAt, frames));
        Print("append, log full (last 2000)", slice(append, frames - 2000, frames));
    }
    Print("repaint, first 200 frames", slice(repaint, 0, 200));
    if (fullAt > 0 && fullAt < frames)
        Print("repaint, log full (last 2000)", slice(repaint, frames - 2000, frames));
    std::printf("  append mean per tenth of the run (us):");
    for (int s = 0; s < 10; ++s) {
        const Stats st = Summarise(slice(append, frames * s / 10, frames * (s + 1) / 10));
        std::printf(" %.1f", st.mean);
    }
    std::printf("\n  memory: VmRSS %ld kB before, %ld kB at the end; peak VmHWM %ld kB\n", rssBefore, rssAfter, hwm);

    if (naive > 0)
        Naive(naive);
    return 0;
}

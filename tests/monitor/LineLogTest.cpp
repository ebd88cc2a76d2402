// The monitor's record: bounds, answers matched to requests, time-outs,
// filters, and the text and CSV it saves.
#include "core/monitor/LineLog.h"

#include "core/dtu/Frame.h"
#include "core/upgrade/Transfer.h"
#include "tests/support/Bytes.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

using monitor::Direction;
using monitor::Entry;
using monitor::LineLog;

namespace {

const Bytes kReadNet = H("FA 80 E9 01 00 64 0D");
const Bytes kReadVersion = H("FA 80 F1 02 00 00 6D 0D");
Bytes Answer(std::uint8_t code) { return *dtu::BuildResponse(code, H("01")); }

}  // namespace

TEST(LineLog, KeepsTheNewestWithinTheFrameBound)
{
    LineLog log(3);
    for (int i = 0; i < 5; ++i)
        log.Add(Direction::Received, H("41 42"), 1000 + i, i);
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log.firstSeq(), 2u);
    EXPECT_EQ(log.nextSeq(), 5u);
    EXPECT_EQ(log[0].wallMs, 1002);
    EXPECT_EQ(log.Find(1), nullptr);
    ASSERT_NE(log.Find(4), nullptr);
    EXPECT_EQ(log.Find(4)->wallMs, 1004);
    EXPECT_EQ(log.Find(5), nullptr);
    EXPECT_EQ(log.bytes(), 6u);
}

TEST(LineLog, KeepsTheNewestWithinTheByteBound)
{
    LineLog log(100, 2500);
    const Bytes block = upgrade::BuildBlockFrame(upgrade::Kind::App, 0, Bytes(1024, 1));
    for (int i = 0; i < 4; ++i)
        log.Add(Direction::Sent, block, i, i);
    EXPECT_EQ(log.size(), 2u);
    EXPECT_LE(log.bytes(), 2500u);
    // One frame larger than the bound still stays: the newest is never lost.
    LineLog tiny(100, 10);
    tiny.Add(Direction::Sent, block, 0, 0);
    EXPECT_EQ(tiny.size(), 1u);
}

TEST(LineLog, AnswersSettleRequestsByCodeOldestFirst)
{
    struct Step {
        Direction direction;
        Bytes frame;
        std::int64_t atMs;
    };
    struct Case {
        const char* what;
        std::vector<Step> steps;
        std::int64_t expireAt;
        std::vector<std::uint64_t> unanswered;
    };
    const Case cases[] = {
        {"answered in time", {{Direction::Sent, kReadNet, 0}, {Direction::Received, Answer(0xE9), 500}}, 10000, {}},
        {"no answer", {{Direction::Sent, kReadNet, 0}}, 3000, {0}},
        {"not yet overdue", {{Direction::Sent, kReadNet, 0}}, 2999, {}},
        {"answer to another code",
         {{Direction::Sent, kReadNet, 0}, {Direction::Received, Answer(0xF1), 100}},
         5000,
         {0}},
        {"one answer for two requests settles the older",
         {{Direction::Sent, kReadNet, 0}, {Direction::Sent, kReadNet, 10}, {Direction::Received, Answer(0xE9), 100}},
         5000,
         {1}},
        {"answers cross",
         {{Direction::Sent, kReadNet, 0},
          {Direction::Sent, kReadVersion, 10},
          {Direction::Received, Answer(0xF1), 100},
          {Direction::Received, Answer(0xE9), 200}},
         5000,
         {}},
        {"a broken answer still carries its code",
         {{Direction::Sent, kReadNet, 0}, {Direction::Received, H("FA 00 E9 01 00 63 0D"), 100}},
         5000,
         {}},
        {"data frames wait for nothing", {{Direction::Sent, H("7E 00 41 7F"), 0}}, 100000, {}},
        {"APP block answered by its reply",
         {{Direction::Sent, H("FA 80 EF 00 00 03 01 02 03 72 0D"), 0},
          {Direction::Received, *dtu::BuildResponse(0xEF, H("41 43 4B")), 50}},
         100000,
         {}},
        {"firmware time-out is its own",
         {{Direction::Sent, H("FB 80 F3 00 00 03 01 02 03 77 0A"), 0}, {Direction::Sent, kReadVersion, 0}},
         3500,
         {1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        LineLog log;
        log.SetReplyTimeouts(3000, 8000);
        for (const Step& s : c.steps)
            log.Add(s.direction, s.frame, s.atMs, s.atMs);
        EXPECT_EQ(log.Expire(c.expireAt), c.unanswered);
        for (std::size_t i = 0; i < log.size(); ++i) {
            const bool expected = std::find(c.unanswered.begin(), c.unanswered.end(), log[i].seq) != c.unanswered.end();
            EXPECT_EQ(log[i].unanswered, expected) << i;
        }
    }
}

TEST(LineLog, DeadlinesAndClear)
{
    LineLog log;
    log.SetReplyTimeouts(3000, 8000);
    EXPECT_FALSE(log.NextDeadline());
    log.Add(Direction::Sent, H("FA 80 EF 00 00 03 01 02 03 72 0D"), 0, 100);
    log.Add(Direction::Sent, kReadNet, 0, 200);
    EXPECT_EQ(log.NextDeadline(), 3200);
    // Expired once only.
    EXPECT_EQ(log.Expire(3200), std::vector<std::uint64_t>{1});
    EXPECT_TRUE(log.Expire(3300).empty());
    EXPECT_EQ(log.NextDeadline(), 8100);
    log.Clear();
    EXPECT_TRUE(log.empty());
    EXPECT_FALSE(log.NextDeadline());
    // Sequence numbers go on after a clear.
    EXPECT_EQ(log.Add(Direction::Sent, kReadNet, 0, 0).seq, 2u);
}

TEST(LineLog, RequestsThatLeaveTheLogAreNotWaitedFor)
{
    LineLog log(2);
    log.Add(Direction::Sent, kReadNet, 0, 0);
    log.Add(Direction::Sent, H("41"), 0, 0);
    log.Add(Direction::Sent, H("42"), 0, 0);
    EXPECT_FALSE(log.NextDeadline());
    EXPECT_TRUE(log.Expire(100000).empty());
}

TEST(LineLog, Filters)
{
    LineLog log;
    log.Add(Direction::Sent, kReadNet, 0, 0);
    log.Add(Direction::Received, Answer(0xE9), 0, 0);
    log.Add(Direction::Sent, H("7E 04 01 7F"), 0, 0);
    log.Add(Direction::Received, H("41 42"), 0, 0);
    log.Add(Direction::Sent, H("FA 80 EF 00 00 03 01 02 03 72 0D"), 0, 0);
    struct Case {
        monitor::Filter filter;
        std::vector<std::uint64_t> shown;
    };
    const Case cases[] = {
        {{}, {0, 1, 2, 3, 4}},
        {{true, false, -1}, {0, 2, 4}},
        {{false, true, -1}, {1, 3}},
        {{true, true, 0xE9}, {0, 1}},
        {{false, true, 0xE9}, {1}},
        {{true, true, 0xEF}, {4}},
        {{true, true, monitor::Filter::kDataFrames}, {2, 3}},
        {{false, false, -1}, {}},
    };
    for (const Case& c : cases) {
        std::vector<std::uint64_t> shown;
        for (std::size_t i = 0; i < log.size(); ++i)
            if (c.filter.Matches(log[i]))
                shown.push_back(log[i].seq);
        EXPECT_EQ(shown, c.shown) << c.filter.sent << c.filter.received << c.filter.command;
    }
}

class LineText : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* tz = std::getenv("TZ");
        saved_ = tz ? tz : "";
        hadTz_ = tz != nullptr;
        setenv("TZ", "UTC", 1);
        tzset();
    }
    void TearDown() override
    {
        if (hadTz_)
            setenv("TZ", saved_.c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }
    std::string saved_;
    bool hadTz_ = false;
};

TEST_F(LineText, TimeToTheMillisecond)
{
    EXPECT_EQ(monitor::FormatTime(0), "00:00:00.000");
    EXPECT_EQ(monitor::FormatTime(1234567), "00:20:34.567");
    EXPECT_EQ(monitor::FormatTime(86400000 + 13 * 3600000 + 5), "13:00:00.005");
}

TEST_F(LineText, TextAndCsvLines)
{
    LineLog log;
    const Entry& sent = log.Add(Direction::Sent, kReadNet, 1234567, 0);
    EXPECT_EQ(monitor::TextLine(sent), "00:20:34.567  sent         7  FA 80 E9 01 00 64 0D  read network parameters");
    EXPECT_EQ(monitor::CsvLine(sent), "00:20:34.567,sent,7,FA 80 E9 01 00 64 0D,read network parameters");
    log.Expire(100000);
    EXPECT_EQ(monitor::Meaning(log[0]), "read network parameters (no answer)");

    const Bytes version = *dtu::BuildResponse(0xF1, Bytes{'V', '"', '1', ',', '2'});
    const Entry& received = log.Add(Direction::Received, version, 1000, 0);
    const std::string csv = monitor::CsvLine(received);
    EXPECT_EQ(csv.substr(0, csv.find(",\"")), "00:00:01.000,received,11,FA 00 F1 05 56 22 31 2C 32 F7 0D");
    const std::vector<std::string> fields = monitor::ParseCsvLine(csv);
    ASSERT_EQ(fields.size(), 5u);
    EXPECT_EQ(fields[4], "read version: \"V\"1,2\"");
    EXPECT_EQ(monitor::CsvHeader(), "time,direction,length,bytes,meaning");
}

TEST(Csv, FieldsRoundTrip)
{
    const std::string fields[] = {"", "plain", "a,b", "say \"hi\"", "two\nlines", "\"", ",,", "中文"};
    std::string line;
    for (const std::string& f : fields)
        line += (line.empty() && &f == &fields[0] ? "" : ",") + monitor::CsvField(f);
    const std::vector<std::string> back = monitor::ParseCsvLine(line);
    ASSERT_EQ(back.size(), std::size(fields));
    for (std::size_t i = 0; i < back.size(); ++i)
        EXPECT_EQ(back[i], fields[i]) << i;
    EXPECT_EQ(monitor::CsvField("a,b"), "\"a,b\"");
    EXPECT_EQ(monitor::CsvField("plain"), "plain");
}

// The received stream cut into records: at frame ends and at the bound,
// every byte in exactly one record, and a record after a cut at the bound
// marked as continuing the one before.
#include "core/monitor/StreamCutter.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using monitor::StreamCutter;

// One step: bytes [at, at + count) of the stream, or a frame end at `at`.
struct Step {
    bool end;
    std::uint64_t at;
    std::size_t count = 0;
};

// A record: its size, and whether it continues the one before.
struct Cut {
    std::size_t size;
    bool continues = false;
    friend bool operator==(const Cut&, const Cut&) = default;
};

TEST(StreamCutter, RecordsAddUpToTheStream)
{
    const struct {
        const char* name;
        std::vector<Step> steps;
        std::vector<Cut> records;
        Cut open;
    } cases[] = {
        {"frames ended by silence", {{false, 0, 7}, {true, 7}, {false, 7, 13}, {true, 20}}, {{7}, {13}}, {0}},
        {"a stream that ends exactly at the bound", {{false, 0, 4096}, {true, 4096}}, {{4096}}, {0}},
        {"a stream past the bound, in pieces", {{false, 0, 3000}, {false, 3000, 3000}, {false, 6000, 3000}},
         {{4096}, {4096, true}}, {808, true}},
        {"a silence inside the stream", {{false, 0, 5000}, {true, 4500}, {false, 5000, 100}}, {{4096}, {404, true}},
         {600}},
        {"an end told before its bytes", {{true, 10}, {false, 0, 4}, {false, 4, 12}}, {{10}}, {6}},
        {"an end told after the bytes that follow", {{false, 0, 30}, {true, 12}}, {{12}}, {18}},
        {"one large piece of many records", {{false, 0, 10000}, {true, 10000}}, {{4096}, {4096, true}, {1808, true}},
         {0}},
        {"an end the bound already cut", {{false, 0, 4096}, {true, 4096}, {true, 4096}, {false, 4096, 5}}, {{4096}},
         {5}},
        {"an end past the bound told before its bytes", {{true, 5000}, {false, 0, 6000}}, {{4096}, {904, true}},
         {1000}},
        {"a gap ends the record before it", {{false, 0, 5}, {false, 9, 3}, {true, 12}}, {{5}, {3}}, {0}},
        {"a gap after a cut at the bound", {{false, 0, 4100}, {false, 4200, 3}}, {{4096}, {4, true}}, {3}},
        {"bytes seen before are not kept twice", {{false, 0, 8}, {false, 4, 8}, {true, 12}}, {{12}}, {0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        StreamCutter cutter;
        std::vector<StreamCutter::Record> records;
        // What the records must hold: each new byte once, in order.
        std::vector<std::uint8_t> expected;
        std::uint64_t highest = 0;
        for (const Step& s : c.steps) {
            if (s.end) {
                cutter.EndAt(s.at, records);
                continue;
            }
            std::vector<std::uint8_t> bytes(s.count);
            // Each byte says where it is, so that order and loss show.
            for (std::size_t i = 0; i < s.count; ++i)
                bytes[i] = static_cast<std::uint8_t>((s.at + i) % 251);
            for (std::uint64_t i = std::max(highest, s.at); i < s.at + s.count; ++i)
                expected.push_back(bytes[static_cast<std::size_t>(i - s.at)]);
            cutter.Feed(s.at, bytes, records);
            highest = std::max<std::uint64_t>(highest, s.at + s.count);
        }
        std::vector<Cut> cuts;
        std::vector<std::uint8_t> all;
        for (const auto& r : records) {
            cuts.push_back({r.bytes.size(), r.continues});
            all.insert(all.end(), r.bytes.begin(), r.bytes.end());
        }
        all.insert(all.end(), cutter.open().begin(), cutter.open().end());
        EXPECT_EQ(cuts, c.records);
        EXPECT_EQ((Cut{cutter.open().size(), cutter.openContinues()}), c.open);
        EXPECT_EQ(all, expected);
    }
}

}  // namespace

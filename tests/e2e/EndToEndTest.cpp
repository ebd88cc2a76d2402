// The tool's core against the simulated DTU over a real pseudo-terminal:
// requests built by the core, written by g_Serial, answers completed by
// silence on a 100 ms tick and decoded by the core. Slow by nature: every
// answer waits for 400 to 500 ms of silence.
#include "core/dtu/Commands.h"
#include "core/dtu/Messages.h"
#include "core/dtu/Requests.h"
#include "core/dtu/Responses.h"
#include "core/pages/DataFrame.h"
#include "driver/serial/BufferedPort.h"
#include "dtu-sim/sim/SimulatedDtu.h"
#include "tests/support/Bytes.h"
#include "tests/support/Ticker.h"

#include <gtest/gtest.h>

#include <random>

namespace {

using namespace dtu;

class EndToEnd : public ::testing::Test {
protected:
    void StartDtu(sim::Faults faults = {}, unsigned portBaud = 115200, bool pace = false)
    {
        sim::SimulatedDtu::Options options;
        options.faults = faults;
        options.paceLine = pace;
        dtu_ = std::make_unique<sim::SimulatedDtu>(options);
        ASSERT_TRUE(dtu_->Start()) << dtu_->error();
        ASSERT_TRUE(g_Serial.Open(dtu_->TerminalPath(), portBaud, 0));
    }
    void SetUp() override {}
    void TearDown() override
    {
        g_Serial.Close();
        if (dtu_)
            dtu_->Stop();
    }

    // Writes a request and returns the answers completed within 3 s.
    std::vector<Received> Exchange(const Bytes& request, std::size_t answers = 1, int maxTicks = 30)
    {
        EXPECT_TRUE(g_Serial.Write(request.data(), request.size()));
        return CollectFrames(g_Rx, answers, maxTicks);
    }
    // A request whose single answer must pass the envelope check.
    Received Ask(const Bytes& request)
    {
        const auto frames = Exchange(request);
        if (frames.size() != 1) {
            ADD_FAILURE() << "no answer";
            return {std::vector<std::uint8_t>(1024), 0};
        }
        const Response r(frames[0].buffer, frames[0].length);
        EXPECT_TRUE(r.EnvelopeOk());
        EXPECT_EQ(r.Code(), request[2]);
        // The RF answers report in message boxes only.
        const bool rf = request[2] == cmd::kWriteRf || request[2] == cmd::kReadRf;
        EXPECT_STREQ(PlanResponse(r).status ? PlanResponse(r).status : "", rf ? "" : msg::kSuccess);
        return frames[0];
    }
    static Response R(const Received& r) { return Response(r.buffer, r.length); }

    std::unique_ptr<sim::SimulatedDtu> dtu_;
};

TEST_F(EndToEnd, ListsAndOwnId)
{
    StartDtu();
    Ask(BuildWritePhoneList({"13800138000", "15900159000"}).frame);
    EXPECT_EQ(DecodePhoneList(R(Ask(*BuildQuery(cmd::kReadPhoneList)))),
              (std::vector<std::string>{"13800138000", "15900159000"}));
    Ask(*BuildQuery(cmd::kClearPhoneList));
    EXPECT_TRUE(DecodePhoneList(R(Ask(*BuildQuery(cmd::kReadPhoneList)))).empty());

    Ask(BuildWriteIdList({"001a2b3c4d5e"}).frame);
    EXPECT_EQ(DecodeIdList(R(Ask(*BuildQuery(cmd::kReadIdList)))), std::vector<std::string>{"001A2B3C4D5E"});
    Ask(*BuildQuery(cmd::kClearIdList));
    EXPECT_TRUE(DecodeIdList(R(Ask(*BuildQuery(cmd::kReadIdList)))).empty());

    Ask(BuildSetOwnId("11 22 33 44 55 66", true));
    const OwnId id = DecodeOwnId(R(Ask(*BuildQuery(cmd::kReadOwnId))));
    EXPECT_EQ(id.id, "112233445566");
    EXPECT_TRUE(id.custom);
}

TEST_F(EndToEnd, NetworkParametersAndRestart)
{
    StartDtu();
    Ask(BuildSetDomain("dtu.example.org").frame);
    Ask(BuildSetPort("502").frame);
    Ask(BuildSetWorkMode({1, false, false, false, 2}));
    NetParams p = DecodeNetParams(R(Ask(*BuildQuery(cmd::kReadNetParams))));
    EXPECT_EQ(p.domain, "dtu.example.org");
    EXPECT_EQ(p.addressKind, 1);
    EXPECT_EQ(p.port, 502);
    EXPECT_EQ(p.transferKind, 1);
    EXPECT_EQ(p.modeByte, 2);

    Ask(BuildSetServerIp({10, 1, 2, 3}));
    Ask(BuildSetApn("CMNET", "user", "secret"));
    // A restart keeps every setting.
    Ask(*BuildQuery(cmd::kRestart));
    p = DecodeNetParams(R(Ask(*BuildQuery(cmd::kReadNetParams))));
    EXPECT_EQ(p.ip, (std::array<std::uint8_t, 4>{10, 1, 2, 3}));
    EXPECT_EQ(p.addressKind, 0);
    EXPECT_EQ(p.port, 502);
    int restarts = 0;
    dtu_->WithDevice([&](sim::Device& d) { restarts = d.restarts(); });
    EXPECT_EQ(restarts, 1);
}

TEST_F(EndToEnd, SerialSettingsVersionSignalClock)
{
    StartDtu();
    Ask(BuildWriteUart(3, 2, 1));
    const UartIndexes u = DecodeUart(R(Ask(*BuildQuery(cmd::kReadUart))));
    EXPECT_EQ(u.baud, 3);
    EXPECT_EQ(u.parity, 2);
    EXPECT_EQ(u.interface, 1);
    EXPECT_EQ(DecodeText(R(Ask(*BuildQuery(cmd::kReadVersion))), kVersionCapacity), "KV-331 V2.3.1 (simulated)");
    EXPECT_EQ(DecodeText(R(Ask(*BuildQuery(cmd::kReadSignal))), kSignalCapacity), "+CSQ: 24,99");

    // The clock runs on from the time it was set.
    Ask(BuildSetClock({2016, 5, 3, 14, 7, 9, 2}));
    const std::string clock = DecodeClock(R(Ask(*BuildQuery(cmd::kReadClock))));
    EXPECT_TRUE(clock == "2016-05-03 14:07:09 weekday 2" || clock == "2016-05-03 14:07:10 weekday 2") << clock;
}

TEST_F(EndToEnd, RfParametersAndPackets)
{
    StartDtu();
    Ask(BuildWriteRf({"433", 2, 3, "7", 5}));
    const RfRecord rf = DecodeRfAnswer(R(Ask(*BuildQuery(cmd::kReadRf))));
    EXPECT_EQ(rf.frequency, "433.00");
    EXPECT_EQ(rf.sleepIndex, 2);
    EXPECT_EQ(rf.address, "07");

    const Received written = Ask(BuildWritePackets("01 AB", "52 45 47 31", true, true));
    EXPECT_STREQ(PlanResponse(R(written)).message, msg::kPacketsWritten);
    const Packets p = DecodePackets(R(Ask(*BuildQuery(cmd::kReadPackets))));
    EXPECT_TRUE(p.custom);
    EXPECT_EQ(p.heartbeat, H("01 AB"));
    EXPECT_EQ(p.registration, H("52 45 47 31"));
}

TEST_F(EndToEnd, DataFramesAreAnswered)
{
    StartDtu();
    const auto sms = Exchange(pages::BuildSmsTextFrame({true, true, ""}, "AB").frame);
    ASSERT_EQ(sms.size(), 1u);
    EXPECT_EQ(pages::FormatReceived(sms[0].Frame()), "7E 80 41 42 7F ");
    const auto tcp = Exchange(pages::BuildTcpFrame({false, true, "112233445566"}, "AABB").frame);
    ASSERT_EQ(tcp.size(), 1u);
    EXPECT_EQ(tcp[0].Frame(), H("11 22 33 44 55 66 AA BB"));
}

Bytes Image(std::size_t size)
{
    std::mt19937 random(static_cast<unsigned>(size));
    Bytes image(size);
    for (auto& b : image)
        b = static_cast<std::uint8_t>(random());
    return image;
}

TEST_F(EndToEnd, FirmwareUpgradeBothKinds)
{
    StartDtu();
    for (upgrade::Kind kind : {upgrade::Kind::App, upgrade::Kind::Iap}) {
        const Bytes image = Image(2500);
        const UpgradeRun run = RunUpgrade(g_Serial, g_Rx, kind, image, 5000, 100);
        EXPECT_EQ(run.outcome, upgrade::Outcome::Succeeded);
        Bytes received;
        dtu_->WithDevice([&](sim::Device& d) { received = d.upgradeImage(); });
        EXPECT_TRUE(received == image);
    }
}

TEST_F(EndToEnd, UpgradeFaults)
{
    sim::Faults dck;
    dck.failUpgrade = true;
    StartDtu(dck);
    EXPECT_EQ(RunUpgrade(g_Serial, g_Rx, upgrade::Kind::App, Image(1500), 5000, 100).outcome,
              upgrade::Outcome::Failed);

    sim::Faults lost;
    lost.dropAckEvery = 2;
    dtu_->SetFaults(lost);
    EXPECT_EQ(RunUpgrade(g_Serial, g_Rx, upgrade::Kind::App, Image(5000), 1500, 100).outcome,
              upgrade::Outcome::TimedOut);

    sim::Faults hangup;
    hangup.hangupAfterBlocks = 2;
    dtu_->SetFaults(hangup);
    RunUpgrade(g_Serial, g_Rx, upgrade::Kind::App, Image(5000), 1500, 100);
    EXPECT_TRUE(g_Serial.PortLost());
    EXPECT_TRUE(dtu_->hungUp());
}

TEST_F(EndToEnd, SilenceDecidesFramesOfASplitAnswer)
{
    struct Case {
        int pauseMs;
        std::size_t frames;
    };
    for (const Case c : {Case{200, 1}, Case{700, 2}}) {
        SCOPED_TRACE(c.pauseMs);
        sim::Faults split;
        split.splitPauseMs = c.pauseMs;
        StartDtu(split);
        const auto frames = Exchange(*BuildQuery(cmd::kReadVersion), 2, 25);
        EXPECT_EQ(frames.size(), c.frames);
        if (c.frames == 1)
            EXPECT_TRUE(R(frames[0]).EnvelopeOk());
        else
            EXPECT_STREQ(PlanResponse(R(frames[0])).status, msg::kFail);  // half a frame
        g_Serial.Close();
        dtu_->Stop();
    }
}

TEST_F(EndToEnd, AnswersThatNeverComeRightOrAtAll)
{
    sim::Faults faults;
    faults.delayMs = 1200;
    StartDtu(faults);
    // Late, but whole.
    EXPECT_EQ(Exchange(*BuildQuery(cmd::kReadVersion), 1, 30).size(), 1u);

    faults = {};
    faults.corruptEnvelope = true;
    dtu_->SetFaults(faults);
    const auto corrupt = Exchange(*BuildQuery(cmd::kReadVersion));
    ASSERT_EQ(corrupt.size(), 1u);
    EXPECT_STREQ(PlanResponse(R(corrupt[0])).status, msg::kFail);

    faults = {};
    faults.noReply = true;
    dtu_->SetFaults(faults);
    EXPECT_TRUE(Exchange(*BuildQuery(cmd::kReadVersion), 1, 15).empty());
}

TEST_F(EndToEnd, WrongBaudRateIsNotUnderstood)
{
    StartDtu({}, 9600);
    EXPECT_TRUE(Exchange(*BuildQuery(cmd::kReadVersion), 1, 15).empty());
    ASSERT_TRUE(g_Serial.SetLine(115200, 0));
    EXPECT_EQ(Exchange(*BuildQuery(cmd::kReadVersion)).size(), 1u);
}

// Fast replies: the same upgrades and faults, each reply handled the moment
// it is whole instead of after the line fell silent.
TEST_F(EndToEnd, FastRepliesUpgradeBothKindsNearWireSpeed)
{
    StartDtu({}, 115200, true);
    for (upgrade::Kind kind : {upgrade::Kind::App, upgrade::Kind::Iap}) {
        const Bytes image = Image(4 * 1024 + 100);
        const UpgradeRun run = RunUpgrade(g_Serial, g_Rx, kind, image, 5000, 100, true);
        EXPECT_EQ(run.outcome, upgrade::Outcome::Succeeded);
        Bytes received;
        dtu_->WithDevice([&](sim::Device& d) { received = d.upgradeImage(); });
        EXPECT_TRUE(received == image);
        // Every reply was taken whole, none waited for silence (upgrade_bench
        // measures what that is worth).
        ASSERT_FALSE(run.blockMs.empty());
        EXPECT_EQ(run.wholeReplies, run.blockMs.size());
    }
    EXPECT_FALSE(g_Rx.FastReplies());
}

TEST_F(EndToEnd, FastRepliesThroughTheDtuFaults)
{
    // A reply in two pieces 150 ms apart is one whole frame.
    sim::Faults split;
    split.splitPauseMs = 150;
    StartDtu(split);
    const UpgradeRun halves = RunUpgrade(g_Serial, g_Rx, upgrade::Kind::App, Image(2500), 5000, 100, true);
    EXPECT_EQ(halves.outcome, upgrade::Outcome::Succeeded);
    EXPECT_EQ(halves.wholeReplies, halves.blockMs.size());

    // A corrupt tail is never whole: it still completes by silence, and the
    // transfer reads its letters by silence.
    sim::Faults corrupt;
    corrupt.corruptEnvelope = true;
    dtu_->SetFaults(corrupt);
    const UpgradeRun slow = RunUpgrade(g_Serial, g_Rx, upgrade::Kind::Iap, Image(1500), 5000, 100, true);
    EXPECT_EQ(slow.outcome, upgrade::Outcome::Succeeded);
    EXPECT_EQ(slow.wholeReplies, 0u);

    sim::Faults lost;
    lost.dropAckEvery = 2;
    dtu_->SetFaults(lost);
    EXPECT_EQ(RunUpgrade(g_Serial, g_Rx, upgrade::Kind::App, Image(5000), 1500, 100, true).outcome,
              upgrade::Outcome::TimedOut);
}

}  // namespace

#include "plugin/RackPlugin.h"
#include "plugin/host/LampPacking.h"
#include "plugin/host/VendorCalls.h"

#include <gtest/gtest.h>

#include <limits>
#include <memory>
#include <new>
#include <string>
#include <vector>

namespace voltara {
namespace {

// What the stand-in modules saw, in order.
struct Event {
    int32_t slot;
    char what;    // 'p' process, 'r' reset, 't' tempo
    double value; // song position, rate or beats per sample
    int32_t frames;
};
std::vector<Event> journal;
int32_t lamps[moduleSlotCount];

class RecordingModule : public FxModule {
public:
    explicit RecordingModule(int32_t slot) : slot_(slot) { params_[3] = 0.1f * static_cast<float>(slot); }
    void setSampleRate(float rate) override { journal.push_back({slot_, 'r', rate, 0}); }
    void reset() override { journal.push_back({slot_, 'r', 0.0, 0}); }
    void setTempo(double beatsPerSample, double) override { journal.push_back({slot_, 't', beatsPerSample, 0}); }
    void process(float* frames, int32_t count, double songPos) override
    {
        journal.push_back({slot_, 'p', songPos, count});
        for (int32_t i = 0; i < 2 * count; ++i)
            frames[i] += 1.0f;
    }
    int32_t getLfoLamp() const override { return lamps[slot_]; }

private:
    int32_t slot_;
};

std::unique_ptr<FxModule> recordingModule(int32_t slot)
{
    return std::make_unique<RecordingModule>(slot);
}

TimeInfo hostTime;
bool hostHasTime = true;

intptr_t timeHost(PluginDescriptor*, int32_t opcode, int32_t, intptr_t, void*, float)
{
    if (opcode == hostVersion)
        return 2400;
    if (opcode == hostGetTime)
        return hostHasTime ? reinterpret_cast<intptr_t>(&hostTime) : 0;
    return 0;
}

struct RackChain : ::testing::Test {
    void SetUp() override
    {
        journal.clear();
        std::fill(std::begin(lamps), std::end(lamps), 0);
        hostTime = TimeInfo{};
        hostTime.tempo = 120.0;
        hostHasTime = true;
        rack = std::make_unique<RackPlugin>(&timeHost, &recordingModule);
        rack->setSampleRate(44100.0f);
        rack->setBlockSize(256);
        rack->resume();
        journal.clear();
    }

    void run(int32_t frames)
    {
        left.assign(frames, 0.0f);
        right.assign(frames, 0.0f);
        float* io[2] = {left.data(), right.data()};
        rack->processOverwriting(io, io, frames);
    }

    std::string order(char what) const
    {
        std::string slots;
        for (const Event& e : journal)
            if (e.what == what)
                slots += static_cast<char>('0' + e.slot);
        return slots;
    }

    std::vector<Event> processed() const
    {
        std::vector<Event> events;
        for (const Event& e : journal)
            if (e.what == 'p')
                events.push_back(e);
        return events;
    }

    void switches(float value)
    {
        for (int32_t slot = slotWah; slot <= slotTremolo; ++slot)
            rack->setParameter(8 * slot, value);
    }

    std::unique_ptr<RackPlugin> rack;
    std::vector<float> left, right;
};

TEST_F(RackChain, ModulesRunInChainOrderWithTheReverbInEitherPlace)
{
    switches(1.0f);
    run(32);
    EXPECT_EQ(order('p'), "12345678");
    journal.clear();
    rack->setParameter(reverbPositionIndex, 1.0f);
    run(32);
    EXPECT_EQ(order('p'), "12734568");
    EXPECT_EQ(left[0], 8.0f);
}

TEST_F(RackChain, ModulesFoundOffAreResetOnceTheTremoloNever)
{
    switches(0.0f);
    run(32);
    run(32);
    run(32);
    EXPECT_EQ(order('r'), "1234567");
    EXPECT_EQ(order('p'), "");
    EXPECT_EQ(left[5], 0.0f);
}

TEST_F(RackChain, SwitchingOffAndOnResetsOnceThenProcesses)
{
    switches(0.0f);
    rack->setParameter(8, 1.0f);
    run(16);
    EXPECT_EQ(order('p'), "1");
    journal.clear();
    rack->setParameter(8, 0.0f);
    run(16);
    run(16);
    EXPECT_EQ(order('r'), "1");
    rack->setParameter(8, 1.0f);
    run(16);
    EXPECT_EQ(order('p'), "1");
    rack->setParameter(8, 0.5f); // exactly one half is off
    run(16);
    run(16);
    EXPECT_EQ(order('r'), "11");
    EXPECT_EQ(order('p'), "1");
}

TEST_F(RackChain, BypassSkipsTheChainWithoutResets)
{
    switches(1.0f);
    rack->setParameter(0, 0.5f);
    run(16);
    EXPECT_EQ(order('p'), "");
    EXPECT_EQ(order('r'), "");
    EXPECT_EQ(left[3], 0.0f);
    rack->setParameter(0, 0.49f);
    run(16);
    EXPECT_EQ(order('p'), "12345678");
}

TEST_F(RackChain, TempoIsPassedOnceWhileItStaysTheSame)
{
    for (int i = 0; i < 10; ++i)
        run(64);
    ASSERT_EQ(order('t'), "012345678");
    EXPECT_DOUBLE_EQ(journal.front().value, 120.0 / (44100.0 * 60.0));
    journal.clear();
    hostTime.tempo = 90.0;
    run(64);
    run(64);
    EXPECT_EQ(order('t'), "012345678");
    EXPECT_DOUBLE_EQ(journal.front().value, 90.0 / (44100.0 * 60.0));
}

TEST_F(RackChain, SongPositionFollowsTheHostAndAdvancesBetweenReports)
{
    rack->setParameter(8, 1.0f);
    hostTime.songPosition = 8.0;
    run(100);
    run(100);
    const double beatsPerSample = 120.0 / (44100.0 * 60.0);
    auto events = processed();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_DOUBLE_EQ(events[0].value, 8.0);
    EXPECT_DOUBLE_EQ(events[1].value, 8.0 + 100 * beatsPerSample);
    hostTime.songPosition = 2.0;
    run(10);
    EXPECT_DOUBLE_EQ(processed().back().value, 2.0);
}

// Reports that are no tempo or no position count as absent: the modules keep
// the last tempo, and the position runs on from the last one taken.
TEST_F(RackChain, TimeInformationOutsideItsBoundsCountsAsAbsent)
{
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    constexpr double inf = std::numeric_limits<double>::infinity();
    rack->setParameter(8, 1.0f);
    hostTime.songPosition = 4.0;
    run(100);
    const double beatsPerSample = 120.0 / (44100.0 * 60.0);
    double expected = 4.0 + 100 * beatsPerSample;
    const struct {
        double tempo;
        double position;
    } reports[] = {
        {nan, nan},   {inf, inf},  {-inf, -inf},   {0.0, 1e300},    {-120.0, -1.01e12},
        {0.99, 1e13}, {1e44, nan}, {10000.5, inf}, {1e300, -1e300},
    };
    for (const auto& report : reports) {
        journal.clear();
        hostTime.tempo = report.tempo;
        hostTime.songPosition = report.position;
        run(100);
        EXPECT_EQ(order('t'), "") << report.tempo;
        ASSERT_EQ(processed().size(), 1u);
        EXPECT_DOUBLE_EQ(processed().back().value, expected) << report.position;
        expected += 100 * beatsPerSample;
    }
    // The bounds themselves are taken.
    for (const double tempo : {10000.0, 1.0}) {
        journal.clear();
        hostTime.tempo = tempo;
        hostTime.songPosition = tempo == 1.0 ? 1e12 : -1e12;
        run(10);
        EXPECT_EQ(order('t'), "012345678");
        EXPECT_DOUBLE_EQ(journal.front().value, tempo / (44100.0 * 60.0));
        EXPECT_EQ(processed().back().value, hostTime.songPosition);
    }
}

TEST_F(RackChain, WithoutTimeInformationThePositionStaysAtZero)
{
    hostHasTime = false;
    rack->setParameter(8, 1.0f);
    for (int i = 0; i < 5; ++i)
        run(128);
    EXPECT_EQ(order('t'), "");
    for (const Event& e : processed()) {
        EXPECT_EQ(e.value, 0.0);
    }
}

TEST_F(RackChain, SuspendStopsThePositionUntilTheNextTempoChange)
{
    rack->setParameter(8, 1.0f);
    run(100);
    rack->suspend();
    run(100);
    run(100);
    const auto events = processed();
    EXPECT_GT(events.back().value, 0.0);
    EXPECT_DOUBLE_EQ(events[events.size() - 2].value, events.back().value);
}

TEST_F(RackChain, LongCallsAreProcessedInSlicesOfTheWorkBuffer)
{
    rack->setParameter(8, 1.0f);
    run(600);
    const auto events = processed();
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[0].frames, 256);
    EXPECT_EQ(events[1].frames, 256);
    EXPECT_EQ(events[2].frames, 88);
    EXPECT_DOUBLE_EQ(events[1].value, 256 * 120.0 / (44100.0 * 60.0));
    EXPECT_EQ(left[599], 1.0f);
}

TEST_F(RackChain, LedStatePacksTheLampsOfModulesThatAreOn)
{
    const int32_t lampOf[moduleSlotCount] = {5, 7, 3, 1, 2, 4, 6, 6, 5};
    std::copy(std::begin(lampOf), std::end(lampOf), lamps);
    switches(1.0f);
    const int32_t all = 3 + (1 << 3) + (2 << 6) + (4 << 9) + (5 << 12) + (7 << 15);
    EXPECT_EQ(rack->getLedState(), static_cast<float>(all) + 0.5f);
    rack->setParameter(8 * slotWah, 0.0f);
    rack->setParameter(8 * slotFilter, 0.0f);
    EXPECT_EQ(rack->getLedState(), static_cast<float>(all - 3 - (7 << 15)) + 0.5f);
}

TEST_F(RackChain, HostsReadThePackedLampsThroughTheVendorCallOnly)
{
    const int32_t lampOf[moduleSlotCount] = {5, 7, 3, 1, 2, 4, 6, 6, 5};
    std::copy(std::begin(lampOf), std::end(lampOf), lamps);
    switches(1.0f);
    rack->setParameter(8 * slotPhaser, 0.0f);
    const int32_t packed = 3 + (2 << 6) + (4 << 9) + (5 << 12) + (7 << 15);
    EXPECT_EQ(rack->dispatch(opVendorCall, VendorCall::lamps, 0, nullptr, 0.0f), packed);
    EXPECT_EQ(LampPacking::lamp(packed, LampPacking::places[4]), 5);
    EXPECT_EQ(rack->dispatch(opVendorCall, VendorCall::lamps + 1, 0, nullptr, 0.0f), 0);
}

TEST_F(RackChain, ModuleDefaultsBecomeEveryProgramsValues)
{
    for (int32_t p : {0, 12, 31}) {
        EXPECT_FLOAT_EQ(rack->program(p).values[8 * slotDelay + 3].load(), 0.1f * slotDelay);
        EXPECT_EQ(rack->program(p).values[8 * slotDelay].load(), 0.0f);
    }
}

TEST(RackConstruction, AMissingModuleFailsConstruction)
{
    auto noChorus = [](int32_t slot) -> std::unique_ptr<FxModule> {
        return slot == slotChorus ? nullptr : std::make_unique<FxModule>();
    };
    EXPECT_THROW(RackPlugin(nullptr, noChorus), std::bad_alloc);
}

} // namespace
} // namespace voltara

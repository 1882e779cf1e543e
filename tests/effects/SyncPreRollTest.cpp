#include "effects/FlangerModule.h"
#include "effects/PhaserModule.h"
#include "effects/TempoSync.h"
#include "effects/TremoloModule.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

namespace voltara {
namespace {

constexpr float rate = 44100.0f;

// Runs a synchronised module ("1/4", 120 BPM) over a tone from the given song
// position.
template <class Module>
std::vector<float> syncedOutput(double songPos)
{
    Module module;
    module.setParameter(Module::onSwitch, 1.0f);
    module.setParameter(Module::syncSwitch, 1.0f);
    module.setParameter(Module::rateKnob, 0.5f);
    module.setSampleRate(rate);
    module.setTempo(120.0 / (60.0 * rate), 4.0);
    std::vector<float> frames(2 * 4096);
    for (size_t i = 0; i < frames.size(); ++i)
        frames[i] = 0.5f * std::sin(0.07f * static_cast<float>(i / 2));
    for (int32_t block = 0; block < 8; ++block)
        module.process(frames.data() + 2 * 512 * block, 512, songPos + block * 512 * 120.0 / (60.0 * rate));
    return frames;
}

// During a host's pre-roll the song position is negative; four beats before
// the downbeat the LFOs must stand where they stand on it.
TEST(SyncPreRoll, NegativePositionsWrapLikePositiveOnes)
{
    EXPECT_EQ(syncedOutput<PhaserModule>(-4.0), syncedOutput<PhaserModule>(0.0));
    EXPECT_EQ(syncedOutput<FlangerModule>(-4.0), syncedOutput<FlangerModule>(0.0));
    EXPECT_EQ(syncedOutput<TremoloModule>(-4.0), syncedOutput<TremoloModule>(0.0));
}

TEST(SyncPreRoll, CyclePosition)
{
    const struct {
        double position, period, expected;
    } table[] = {{2.5, 2.0, 0.5}, {-0.5, 2.0, 1.5}, {-4.0, 1.0, 0.0}, {0.0, 6.0, 0.0}, {-7.25, 1.0, 0.75}};
    for (const auto& row : table)
        EXPECT_EQ(TempoSync::cyclePosition(row.position, row.period), row.expected) << row.position;
}

} // namespace
} // namespace voltara

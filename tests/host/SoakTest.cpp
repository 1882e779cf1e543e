#include "tests/support/TestHost.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>
#include <vector>

// A long random session as a hostile host plays it: automation of every
// parameter with any value, program changes from the host and from MIDI,
// blocks of any size (and calls longer than the block), every supported rate
// with suspend and resume, any tempo and position, all modules on. Every
// output sample must be finite and within outputBound.
//
// By default six sessions, the same at every run (about four minutes of
// audio, enough to meet a reverb that grows without end); with
// VOLTARA_SOAK_SECONDS set, sessions until that many seconds have passed
// (make soak).
namespace voltara {
namespace {

using test::TestHost;

// Full-scale noise in (peak 1), 60 dB above it, where the rack limits what it
// hands its host. The loudest sample of ten minutes of sessions (22 hours of
// audio) was about 222: resonant settings at the lowest rates.
constexpr float outputBound = 1000.0f;

const float rates[] = {8000.0f,  11025.0f, 16000.0f, 22050.0f,  32000.0f,  44100.0f,
                       48000.0f, 88200.0f, 96000.0f, 176400.0f, 192000.0f, 384000.0f};

struct Soak : ::testing::Test {
    void SetUp() override
    {
        ASSERT_NE(host.open(), nullptr);
        host.recordCalls = false;
    }

    // Mostly ordinary values, then the hostile ones.
    float anyValue()
    {
        const float hostile[] = {-1.0e30f,
                                 -0.1f,
                                 0.0f,
                                 1.0f,
                                 1.5f,
                                 1.0e30f,
                                 std::numeric_limits<float>::quiet_NaN(),
                                 std::numeric_limits<float>::infinity(),
                                 -std::numeric_limits<float>::infinity(),
                                 std::numeric_limits<float>::denorm_min()};
        if (random() % 8 != 0)
            return std::uniform_real_distribution<float>(0.0f, 1.0f)(random);
        return hostile[random() % std::size(hostile)];
    }

    double anyTime(double ordinaryLow, double ordinaryHigh)
    {
        const double hostile[] = {0.0,
                                  -5.0,
                                  1.0e50,
                                  -1.0e300,
                                  std::numeric_limits<double>::quiet_NaN(),
                                  std::numeric_limits<double>::infinity()};
        if (random() % 16 != 0)
            return std::uniform_real_distribution<double>(ordinaryLow, ordinaryHigh)(random);
        return hostile[random() % std::size(hostile)];
    }

    void restart()
    {
        rate = random() % 4 == 0 ? std::uniform_real_distribution<float>(8000.0f, 384000.0f)(random)
                                 : rates[random() % std::size(rates)];
        blockSize = 1 + static_cast<int32_t>(random() % 8192);
        host.dispatch(opSuspendResume, 0, 0);
        host.start(rate, blockSize);
    }

    void changeSettings()
    {
        for (int32_t n = static_cast<int32_t>(random() % (changes + 1)); n > 0; --n)
            host.setParameter(static_cast<int32_t>(random() % 72), anyValue());
        // The rack and its modules stay on, but for a moment now and then
        // (index 0 is the rack's bypass, 8 × slot each module's switch).
        for (int32_t slot = 0; slot < 9; ++slot)
            if (random() % 16 != 0)
                host.setParameter(8 * slot, slot == 0 ? 0.0f : 1.0f);
        switch (random() % 16) {
        case 0: host.dispatch(opSetProgram, 0, static_cast<intptr_t>(random() % 32)); break;
        case 1: host.sendMidi(0xc0, static_cast<uint8_t>(random() % 128), 0); break;
        case 2:
            host.sendMidi(static_cast<uint8_t>(0xb0 | random() % 16), static_cast<uint8_t>(random() % 128),
                          static_cast<uint8_t>(random() % 128));
            break;
        case 3: host.hasTime = !host.hasTime; break;
        default: break;
        }
    }

    // Up to changes parameter changes, the switches and now and then a
    // program change or MIDI; none of those when changes is 0. The time
    // information moves at every call.
    void automate()
    {
        if (changes > 0)
            changeSettings();
        host.time.tempo = anyTime(20.0, 300.0);
        host.time.songPosition = anyTime(0.0, 1000.0);
        host.time.sampleRate = rate;
    }

    // One call of up to twice the block size of full-scale noise, now and then
    // through the accumulating entry (onto silence, so that what is checked is
    // what the rack gave).
    void audio()
    {
        const size_t frames = 1 + random() % (2 * static_cast<size_t>(blockSize));
        left.resize(frames);
        right.resize(frames);
        std::uniform_real_distribution<float> noise(-1.0f, 1.0f);
        for (size_t i = 0; i < frames; ++i) {
            left[i] = noise(random);
            right[i] = noise(random);
        }
        outLeft.assign(frames, 0.0f);
        outRight.assign(frames, 0.0f);
        host.process(left, right, random() % 8 == 0, &outLeft, &outRight);
        for (size_t i = 0; i < frames; ++i) {
            peak = std::max({peak, std::fabs(outLeft[i]), std::fabs(outRight[i])});
            if (!(std::fabs(outLeft[i]) <= outputBound && std::fabs(outRight[i]) <= outputBound)) {
                ADD_FAILURE() << "sample " << i << " of a call of " << frames << " at " << rate << " Hz after "
                              << seconds << " s of audio: " << outLeft[i] << ", " << outRight[i];
                failed = true;
                return;
            }
        }
        seconds += static_cast<double>(frames) / rate;
    }

    // A session: rounds of a new rate and block size, each with busy
    // automation, slow automation or settings held for seconds (which lets
    // slow growth show).
    void session(uint32_t seed, int32_t rounds)
    {
        random.seed(seed);
        for (int32_t round = 0; round < rounds && !failed; ++round) {
            restart();
            const int32_t style = static_cast<int32_t>(random() % 3);
            changes = style == 0 ? 24 : style == 1 ? 2 : 72;
            const double end = seconds + std::uniform_real_distribution<double>(0.05, style == 2 ? 3.0 : 0.5)(random);
            while (seconds < end && !failed) {
                automate();
                if (style == 2)
                    changes = 0;
                audio();
            }
        }
    }

    TestHost host;
    std::mt19937 random;
    float rate = 44100.0f;
    int32_t blockSize = 512;
    int32_t changes = 24;
    std::vector<float> left, right, outLeft, outRight;
    double seconds = 0.0; // of audio processed
    float peak = 0.0f;
    bool failed = false;
};

TEST_F(Soak, RandomSessionsStayFiniteAndBounded)
{
    const char* limit = std::getenv("VOLTARA_SOAK_SECONDS");
    int32_t sessions = 0;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(limit ? std::atoi(limit) : 0);
    do
        session(static_cast<uint32_t>(++sessions), 48);
    while ((limit ? std::chrono::steady_clock::now() < end : sessions < 6) && !failed);
    std::printf("soak: %d sessions, %.1f s of audio, peak %g\n", sessions, seconds, peak);
    RecordProperty("audio_seconds", std::to_string(seconds));
    RecordProperty("peak", std::to_string(peak));
}

// The loudest settings a search found (every module on, most of them at their
// most resonant and fed back, the spring reverb last, at 8 kHz): the modules
// alone would reach about 28,000 here. The host still gets at most the bound.
TEST_F(Soak, TheLoudestSettingsFoundStayWithinTheBound)
{
    const float loudest[72] = {
        0.0f,     0.0f, 0.23975f,  1.0f,      0.0f,      0.258954f, 0.0f,      0.166843f, 1.0f,       0.211527f, 1.0f,
        1.0f,     1.0f, 0.0f,      0.330253f, 1.0f,      1.0f,      0.561337f, 0.0f,      1.0f,       1.0f,      1.0f,
        0.41235f, 0.0f, 1.0f,      0.0f,      0.749185f, 1.0f,      1.0f,      0.161132f, 0.448709f,  0.202836f, 1.0f,
        0.0f,     0.0f, 1.0f,      1.0f,      0.520383f, 1.0f,      0.0f,      1.0f,      0.343972f,  1.0f,      0.0f,
        1.0f,     1.0f, 0.265819f, 0.314927f, 1.0f,      1.0f,      0.492136f, 1.0f,      1.0f,       0.886134f, 1.0f,
        0.0f,     1.0f, 1.0f,      0.0f,      1.0f,      1.0f,      0.585322f, 0.0f,      0.0766806f, 1.0f,      1.0f,
        0.50668f, 0.0f, 1.0f,      1.0f,      0.0f,      0.474935f};
    rate = 8000.0f;
    host.start(rate, blockSize);
    for (int32_t index = 0; index < 72; ++index)
        host.setParameter(index, loudest[index]);
    changes = 0;
    random.seed(1);
    while (seconds < 20.0 && !failed)
        audio();
    EXPECT_EQ(peak, outputBound) << "these settings no longer reach the bound";
}

} // namespace
} // namespace voltara

#include "tests/support/FloatWav.h"
#include "tests/support/VoltaraRun.h"

#include <gtest/gtest.h>

#include <cmath>

// Every factory program rings out: after a short phrase its echoes, reverb
// and feedback fall below -60 dBFS within a stated time and stay finite.
namespace voltara::test {
namespace {

constexpr int rate = 44100;
constexpr double inputSeconds = 0.5;
constexpr double tailSeconds = 20.0;
constexpr float quiet = 0.001f; // -60 dBFS

// Seconds after the input ends within which each program falls below
// -60 dBFS for good, with room above what it takes (in brackets, from a
// plucked chord peaking at -6 dBFS).
const double ringOutBound[32] = {
    2,  //  0 Clean Chorus           (0.84)
    1,  //  1 Funk Auto-Wah          (0.03)
    1,  //  2 Envelope Filter Bass   (0.04)
    1,  //  3 Slow Phaser            (0.01)
    1,  //  4 Jet Flanger            (0.01)
    1,  //  5 Slapback               (0.26)
    3,  //  6 Dotted 8th Delay Sync  (1.64)
    4,  //  7 Ping-Pong 1/8          (2.69)
    3,  //  8 Multi-Tap Echo         (2.07)
    3,  //  9 Spring Surf            (1.46)
    3,  // 10 Big Plate              (1.30)
    8,  // 11 Hall Pad               (5.42)
    1,  // 12 Vintage Tremolo        (0.21)
    15, // 13 Ambient Swells         (10.84)
    1,  // 14 Helicopter Trem 1/16   (0.00)
    3,  // 15 Tape Echo              (1.33)
    1,  // 16 Synced Wah 1/4         (0.01)
    1,  // 17 Pedal Wah (CC 1/4)     (0.02)
    3,  // 18 Cocked Wah Lead        (1.42)
    1,  // 19 Stereo Detune          (0.05)
    3,  // 20 80s Chorus Lead        (1.66)
    1,  // 21 Vintage Phase          (0.00)
    1,  // 22 Synced Phaser 1/2      (0.00)
    1,  // 23 Gentle Flange          (0.00)
    1,  // 24 Flange Sweep 2 Bars    (0.01)
    1,  // 25 Filter Down Sweep      (0.04)
    9,  // 26 Dub Delay 1/4D         (6.00)
    2,  // 27 Lo-Fi Tape Wobble      (0.56)
    1,  // 28 Trem Triplets Sync     (0.00)
    15, // 29 Shoegaze Wash          (10.56)
    1,  // 30 Envelope + Phase       (0.02)
    1,  // 31 Clean (All Off)        (0.00)
};

// A plucked A minor chord, half a second, peaking near -6 dBFS.
FloatWav pluckedChord()
{
    FloatWav wav;
    const double frequencies[] = {220.0, 261.63, 329.63};
    for (int j = 0; j < int(inputSeconds * rate); ++j) {
        const double t = double(j) / rate;
        double sample = 0.0;
        for (double f : frequencies)
            sample += 0.17 * std::sin(2.0 * M_PI * f * t) * std::exp(-4.0 * t);
        wav.samples.push_back(float(sample));
        wav.samples.push_back(float(sample));
    }
    return wav;
}

TEST(FactoryPrograms, EveryProgramRingsOutAndStaysFinite)
{
    VoltaraRun voltara;
    if (!voltara.factoryBankLoaded())
        GTEST_SKIP() << "the plug-in did not load its factory bank";
    const std::string in = voltara.file("chord.wav");
    const std::string out = voltara.file("out.wav");
    pluckedChord().write(in);
    for (int program = 0; program < 32; ++program) {
        const auto result =
            voltara({"process", in, out, "--program", std::to_string(program), "--tail", std::to_string(tailSeconds)});
        ASSERT_EQ(result.status, 0) << result.err;
        const FloatWav output = FloatWav::read(out);
        ASSERT_EQ(output.frames(), std::size_t((inputSeconds + tailSeconds) * rate));
        std::size_t lastLoud = 0;
        bool finite = true;
        for (std::size_t i = 0; i < output.samples.size(); ++i) {
            finite = finite && std::isfinite(output.samples[i]);
            if (!(std::fabs(output.samples[i]) < quiet))
                lastLoud = i / 2;
        }
        const double ringOut = std::max(0.0, double(lastLoud) / rate - inputSeconds);
        EXPECT_TRUE(finite) << "program " << program;
        EXPECT_LE(ringOut, ringOutBound[program])
            << "program " << program << " takes " << ringOut << " s to fall below -60 dBFS";
        RecordProperty("ring_out_" + std::to_string(program), std::to_string(ringOut));
    }
}

} // namespace
} // namespace voltara::test

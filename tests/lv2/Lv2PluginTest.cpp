// The LV2 plug-in hosted in process, against the same rack driven directly
// through its descriptor in the calls the LV2 plug-in is expected to make:
// the two must give the same samples, controls, MIDI and transport included.

#include "lv2/PortTable.h"
#include "plugin/host/LampPacking.h"
#include "plugin/host/VendorCalls.h"
#include "tests/support/StereoTones.h"
#include "tests/support/TestHost.h"
#include "tests/support/lv2/Lv2Host.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace voltara {
namespace {

using test::Lv2Host;
using test::Stereo;
using test::TestHost;
using test::tones;

constexpr double rate = 44100.0;

uint32_t portOf(int32_t parameter)
{
    const auto* end = lv2::controlParameter + lv2::controlPortCount;
    return lv2::firstControlPort + uint32_t(std::find(lv2::controlParameter, end, parameter) - lv2::controlParameter);
}

// The rack driven directly: the factory programs loaded, program 0 current,
// and the host's time advancing by each call's frames.
class DirectRack {
public:
    explicit DirectRack(int32_t blockLength)
    {
        host.open();
        for (int32_t p = 0; p < lv2::factoryProgramCount; ++p) {
            host.dispatch(opSetProgram, 0, p);
            for (int32_t index = 0; index < int32_t(lv2::controlPortCount); ++index)
                host.setParameter(index, lv2::factoryPrograms[p].values[index]);
        }
        host.dispatch(opSetProgram, 0, 0);
        host.time.sampleRate = rate;
        host.start(float(rate), blockLength);
    }

    void process(const Stereo& in, Stereo& out, std::size_t from, std::size_t to)
    {
        float* inputs[2] = {const_cast<float*>(&in.left[from]), const_cast<float*>(&in.right[from])};
        float* outputs[2] = {&out.left[from], &out.right[from]};
        host.descriptor()->processOverwriting(host.descriptor(), inputs, outputs, int32_t(to - from));
        host.time.songPosition += double(to - from) * host.time.tempo / (60.0 * rate);
    }

    int32_t lamps() { return int32_t(host.dispatch(opVendorCall, VendorCall::lamps)); }

    TestHost host;
};

struct Lv2Plugin : ::testing::Test {
    // The LV2 side starts from its port defaults: factory program 0.
    std::unique_ptr<Lv2Host> open(const Lv2Host::Setup& setup)
    {
        auto lv2 = std::make_unique<Lv2Host>(VOLTARA_LV2_BUNDLE, VOLTARA_LV2_BINARY, setup);
        for (uint32_t i = 0; i < lv2::controlPortCount; ++i)
            lv2->control(lv2::firstControlPort + i) = lv2::factoryPrograms[0].values[lv2::controlParameter[i]];
        lv2->activate();
        return lv2;
    }

    // Sets a parameter on both sides.
    void set(Lv2Host& lv2, DirectRack& direct, int32_t parameter, float value)
    {
        lv2.control(portOf(parameter)) = value;
        direct.host.setParameter(parameter, value);
    }

    static void run(Lv2Host& lv2, const Stereo& in, Stereo& out, std::size_t from, std::size_t to)
    {
        lv2.run(&in.left[from], &in.right[from], &out.left[from], &out.right[from], uint32_t(to - from));
    }

    // Runs check with the events 8-byte aligned, as LV2 asks, and aligned to
    // four bytes only, as some hosts hand them.
    template <typename Check>
    void atEachSequenceAlignment(Check check)
    {
        for (const uint32_t offset : {0u, 4u}) {
            SCOPED_TRACE(offset);
            Lv2Host::Setup setup;
            setup.sequenceOffset = offset;
            check(setup);
        }
    }

    const Stereo input = tones(4096);
    Stereo lv2Out{4096}, directOut{4096};
};

TEST_F(Lv2Plugin, ControlsDriveTheRackAsItsParameters)
{
    auto lv2 = open({});
    DirectRack direct(4096);
    for (const auto& [index, value] : {std::pair{24, 1.0f}, {26, 0.3f}, {64, 1.0f}, {48, 1.0f}, {51, 0.6f}})
        set(*lv2, direct, index, value);
    for (std::size_t at = 0; at < 4096; at += 512) {
        if (at == 2048) // a change between runs takes effect at the next one
            set(*lv2, direct, 67, 0.35f);
        run(*lv2, input, lv2Out, at, at + 512);
        direct.process(input, directOut, at, at + 512);
    }
    EXPECT_EQ(lv2Out.left, directOut.left);
    EXPECT_EQ(lv2Out.right, directOut.right);
    EXPECT_NE(lv2Out.left, input.left);
}

TEST_F(Lv2Plugin, InPlaceBuffersGiveTheSameSamples)
{
    auto lv2 = open({});
    DirectRack direct(4096);
    set(*lv2, direct, 32, 1.0f);
    Stereo buffer = input;
    lv2->run(buffer.left.data(), buffer.right.data(), buffer.left.data(), buffer.right.data(), 4096);
    direct.process(input, directOut, 0, 4096);
    EXPECT_EQ(buffer.left, directOut.left);
    EXPECT_EQ(buffer.right, directOut.right);
}

TEST_F(Lv2Plugin, MidiTakesEffectAtItsOwnFrame)
{
    atEachSequenceAlignment([&](const Lv2Host::Setup& setup) {
        auto lv2 = open(setup);
        DirectRack direct(4096);
        lv2->midi(300, 0xb0, 92, 127); // TRM On
        lv2->midi(700, 0xb0, 89, 120); // DEL Mix
        lv2->midi(700, 0xc3, 5, 0);    // program change, any channel
        lv2->midi(900, 0xf8, 0, 0);    // clock: not for the rack
        run(*lv2, input, lv2Out, 0, 1024);

        direct.process(input, directOut, 0, 300);
        direct.host.sendMidi(0xb0, 92, 127);
        direct.process(input, directOut, 300, 700);
        direct.host.sendMidi(0xb0, 89, 120);
        direct.host.sendMidi(0xc3, 5, 0);
        direct.process(input, directOut, 700, 1024);

        EXPECT_EQ(lv2Out.left, directOut.left);
        EXPECT_EQ(lv2Out.right, directOut.right);
        EXPECT_EQ(direct.host.dispatch(opGetProgram), 5);
    });
}

TEST_F(Lv2Plugin, TransportPositionGivesTempoAndSongPosition)
{
    atEachSequenceAlignment([&](const Lv2Host::Setup& setup) {
        auto lv2 = open(setup);
        DirectRack direct(4096);
        // A synchronised phaser and tremolo follow the song position.
        for (const auto& [index, value] : {std::pair{24, 1.0f}, {25, 1.0f}, {26, 0.472f}, {64, 1.0f}, {65, 1.0f}})
            set(*lv2, direct, index, value);
        lv2->position(0, 93.0f, 6.5, 1.0f);
        lv2->position(1500, 93.0f, 40.25, 1.0f); // the host jumps
        run(*lv2, input, lv2Out, 0, 2048);
        lv2->position(0, 140.0f, 41.0, 0.0f); // stopped: the position stays where the host says
        run(*lv2, input, lv2Out, 2048, 4096);

        direct.host.time.tempo = 93.0;
        direct.host.time.songPosition = 6.5;
        direct.process(input, directOut, 0, 1500);
        direct.host.time.songPosition = 40.25;
        direct.process(input, directOut, 1500, 2048);
        direct.host.time.tempo = 140.0;
        direct.host.time.songPosition = 41.0;
        float* inputs[2] = {const_cast<float*>(&input.left[2048]), const_cast<float*>(&input.right[2048])};
        float* outputs[2] = {&directOut.left[2048], &directOut.right[2048]};
        direct.host.descriptor()->processOverwriting(direct.host.descriptor(), inputs, outputs, 2048);

        EXPECT_EQ(lv2Out.left, directOut.left);
        EXPECT_EQ(lv2Out.right, directOut.right);
    });
}

TEST_F(Lv2Plugin, LampOutputsShowTheRunningModules)
{
    auto lv2 = open({});
    DirectRack direct(4096);
    for (int32_t on : {8, 24, 32, 64})
        set(*lv2, direct, on, 1.0f);
    set(*lv2, direct, 40, 0.0f);
    run(*lv2, input, lv2Out, 0, 4096);
    direct.process(input, directOut, 0, 4096);

    const int32_t packed = direct.lamps();
    ASSERT_NE(packed, 0);
    for (uint32_t i = 0; i < lv2::lampPortCount; ++i) {
        const LampPacking::Place& place = LampPacking::places[lv2::lampPlace[i]];
        const float lamp = lv2->control(lv2::firstLampPort + i);
        EXPECT_EQ(lamp, float(LampPacking::lamp(packed, place))) << "slot " << place.slot;
        if (place.slot == 2 || place.slot == 5) { // filter and chorus are off
            EXPECT_EQ(lamp, 0.0f);
        }
        if (place.slot == 3) { // the phaser's lamp follows its LFO, 1 to 7
            EXPECT_GE(lamp, 1.0f);
        }
    }
}

TEST_F(Lv2Plugin, RunsLongerThanTheHostsBlockLengthComeOutWhole)
{
    Lv2Host::Setup setup;
    setup.maxBlockLength = 256;
    auto lv2 = open(setup);
    DirectRack direct(256);
    // A synchronised phaser shows any difference in the song position.
    for (const auto& [index, value] : {std::pair{24, 1.0f}, {25, 1.0f}, {26, 0.9f}, {40, 1.0f}})
        set(*lv2, direct, index, value);
    run(*lv2, input, lv2Out, 0, 1000);
    for (std::size_t at = 0; at < 1000; at += 256)
        direct.process(input, directOut, at, std::min<std::size_t>(at + 256, 1000));
    EXPECT_EQ(lv2Out.left, directOut.left);
    EXPECT_EQ(lv2Out.right, directOut.right);
}

TEST_F(Lv2Plugin, AHostWithoutFeaturesGetsTheRackAtItsDefaultTempo)
{
    Lv2Host::Setup setup;
    setup.features = false;
    auto lv2 = open(setup);
    DirectRack direct(4096);
    for (const auto& [index, value] : {std::pair{64, 1.0f}, {65, 1.0f}, {66, 0.66f}})
        set(*lv2, direct, index, value);
    run(*lv2, input, lv2Out, 0, 4096);
    direct.process(input, directOut, 0, 4096);
    EXPECT_EQ(lv2Out.left, directOut.left);
    EXPECT_EQ(lv2Out.right, directOut.right);
}

} // namespace
} // namespace voltara

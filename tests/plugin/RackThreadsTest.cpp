#include "plugin/RackPlugin.h"
#include "tests/plugin/TestBank.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestHost.h"
#include "tools/pluginhost/MidiBatch.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <thread>
#include <vector>

// The rack driven from the threads a host uses at once: its main thread
// (automation, programs, names), its audio thread (audio and MIDI) and the
// window thread (what the editor reads and the bank it loads). These tests
// also run under ThreadSanitizer (make tsan), which reports any data race.
namespace voltara {
namespace {

TimeInfo hostTime;

intptr_t threadHost(PluginDescriptor*, int32_t opcode, int32_t, intptr_t, void*, float)
{
    if (opcode == hostVersion)
        return 2400;
    if (opcode == hostGetTime)
        return reinterpret_cast<intptr_t>(&hostTime);
    return 0;
}

struct RackThreads : testing::Test {
    void SetUp() override
    {
        hostTime = TimeInfo{};
        hostTime.tempo = 120.0;
        rack.setSampleRate(44100.0f);
        rack.setBlockSize(512);
        rack.resume();
    }

    intptr_t dispatch(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* pointer = nullptr)
    {
        PluginDescriptor* d = rack.descriptor();
        return d->dispatch(d, opcode, index, value, pointer, 0.0f);
    }

    void sendMidi(uint8_t status, uint8_t data1, uint8_t data2)
    {
        pluginhost::sendMidi(rack.descriptor(), status, data1, data2);
    }

    // One audio call of frames frames; false when a sample is not finite.
    bool processBlock(int32_t frames)
    {
        left.assign(frames, 0.25f);
        right.assign(frames, -0.25f);
        float* io[2] = {left.data(), right.data()};
        PluginDescriptor* d = rack.descriptor();
        d->processOverwriting(d, io, io, frames);
        for (int32_t i = 0; i < frames; ++i)
            if (!std::isfinite(left[i]) || !std::isfinite(right[i]))
                return false;
        return true;
    }

    TempFolder folder;
    ScopedEnvironment emptyStore{"VOLTARA_REGISTRY", folder.file("registry").c_str()};
    RackPlugin rack{&threadHost};
    std::vector<float> left, right;
};

// Every program holds its own values; the host switches programs on its
// thread while MIDI program changes arrive on the audio thread. Afterwards
// every program still holds exactly its own values.
TEST_F(RackThreads, ProgramSwitchesRacingMidiProgramChangesLeaveEveryProgramAsItWas)
{
    for (int32_t p = 0; p < rackProgramCount; ++p) {
        rack.setProgram(p);
        for (int32_t index = 1; index < rackParameterCount; ++index)
            rack.setParameter(index, static_cast<float>((p * 71 + index * 13) % 101) / 100.0f);
    }
    std::vector<float> before;
    for (int32_t p = 0; p < rackProgramCount; ++p)
        for (int32_t index = 0; index < rackParameterCount; ++index)
            before.push_back(rack.program(p).values[index].load());

    std::atomic<bool> hostDone{false};
    std::thread host([&] {
        std::mt19937 random(1);
        for (int32_t n = 0; n < 20000; ++n)
            dispatch(opSetProgram, 0, random() % rackProgramCount);
        hostDone = true;
    });
    std::mt19937 random(2);
    for (int32_t n = 0; n < 20000 || !hostDone; ++n) {
        sendMidi(0xc0, static_cast<uint8_t>(random() % rackProgramCount), 0);
        processBlock(16);
    }
    host.join();

    size_t k = 0;
    for (int32_t p = 0; p < rackProgramCount; ++p)
        for (int32_t index = 0; index < rackParameterCount; ++index, ++k)
            ASSERT_EQ(rack.program(p).values[index].load(), before[k]) << "program " << p << " index " << index;
    // The values in force are those of the program that won.
    const int32_t current = rack.getProgram();
    for (int32_t index = 0; index < rackParameterCount; ++index)
        EXPECT_EQ(rack.getParameter(index), rack.program(current).values[index].load()) << index;
}

// Everything at once: automation with any value, program switches, renames
// and copies on the host's thread; audio with MIDI controllers and program
// changes on the audio thread; parameter reads, lamps, program names and
// bank loads on the window thread.
TEST_F(RackThreads, HostAudioAndWindowThreadsTogether)
{
    TestBank bank;
    bank.setName(3, "Loaded & kept");
    const std::string bankPath = folder.file("bank.fxb");
    bank.save(bankPath);
    std::atomic<bool> running{true};

    std::thread host([&] {
        std::mt19937 random(3);
        std::uniform_real_distribution<float> value(-0.5f, 1.5f);
        char name[64];
        for (int32_t n = 0; n < 20000; ++n) {
            rack.setParameter(static_cast<int32_t>(random() % 80) - 4, value(random));
            if (n % 50 == 0)
                dispatch(opSetProgram, 0, random() % rackProgramCount);
            if (n % 70 == 0) {
                std::snprintf(name, sizeof name, "Renamed %d", n);
                dispatch(opSetProgramName, 0, 0, name);
                dispatch(opCopyProgram, static_cast<int32_t>(random() % rackProgramCount));
            }
            dispatch(opGetParameterText, static_cast<int32_t>(random() % 72), 0, name);
        }
        running = false;
    });
    std::thread window([&] {
        std::mt19937 random(4);
        char name[programNameSize];
        int32_t loads = 0;
        while (running) {
            for (int32_t index = 0; index < rackParameterCount; ++index)
                EXPECT_TRUE(rack.getParameter(index) >= 0.0f && rack.getParameter(index) <= 1.0f);
            rack.getLedState();
            dispatch(opGetProgramNameAt, static_cast<int32_t>(random() % rackProgramCount), 0, name);
            EXPECT_LT(std::strlen(name), static_cast<size_t>(programNameSize));
            if (loads < 20 && random() % 8 == 0) {
                rack.loadBankFile(bankPath.c_str());
                ++loads;
            }
            dispatch(opEditorIdle);
        }
    });
    std::mt19937 random(5);
    int32_t blocks = 0;
    while (running || blocks < 100) {
        const uint8_t controller = static_cast<uint8_t>(85 + random() % 11);
        sendMidi(0xb0, controller, static_cast<uint8_t>(random() % 128));
        if (blocks % 40 == 0)
            sendMidi(0xc0, static_cast<uint8_t>(random() % rackProgramCount), 0);
        // The host hands its time information to the audio thread.
        hostTime.songPosition = blocks * 0.25;
        ASSERT_TRUE(processBlock(1 + static_cast<int32_t>(random() % 600))) << "block " << blocks;
        ++blocks;
    }
    host.join();
    window.join();
}

// A host that makes its instances on several threads at once: each `main`
// registers the codec and builds a rack with its editor, and none of that may
// race with another.
TEST_F(RackThreads, InstancesMadeOnSeveralThreadsAtOnce)
{
    test::TestHost library;
    const test::TestHost::MainEntry entry = library.mainEntry();
    std::vector<PluginDescriptor*> made(4, nullptr);
    std::vector<std::thread> threads;
    for (PluginDescriptor*& descriptor : made)
        threads.emplace_back([&descriptor, entry] { descriptor = entry(&threadHost); });
    for (std::thread& thread : threads)
        thread.join();
    for (PluginDescriptor* descriptor : made) {
        ASSERT_NE(descriptor, nullptr);
        EXPECT_EQ(descriptor->dispatch(descriptor, opClose, 0, 0, nullptr, 0.0f), 1);
    }
}

} // namespace
} // namespace voltara

#include "tests/support/TestHost.h"
#include "tools/pluginhost/RackSession.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <vector>

// Counts every allocation of this process while counting is on: the
// replaceable operator new of the C++ library and, where no sanitizer owns
// the heap, malloc, calloc and realloc of the C library, which the plug-in
// library reaches through this program's definitions.
namespace {

std::atomic<bool> counting{false};
std::atomic<int64_t> allocations{0};

void countOne()
{
    if (counting.load(std::memory_order_relaxed))
        allocations.fetch_add(1, std::memory_order_relaxed);
}

} // namespace

#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* block, size_t size);

void* malloc(size_t size)
{
    countOne();
    return __libc_malloc(size);
}

void* calloc(size_t count, size_t size)
{
    countOne();
    return __libc_calloc(count, size);
}

void* realloc(void* block, size_t size)
{
    countOne();
    return __libc_realloc(block, size);
}
}
#endif

void* operator new(size_t size)
{
    countOne();
    if (void* block = std::malloc(size ? size : 1))
        return block;
    throw std::bad_alloc();
}

void* operator new[](size_t size)
{
    return operator new(size);
}

void* operator new(size_t size, const std::nothrow_t&) noexcept
{
    countOne();
    return std::malloc(size ? size : 1);
}

void* operator new[](size_t size, const std::nothrow_t& tag) noexcept
{
    return operator new(size, tag);
}

void operator delete(void* block) noexcept
{
    std::free(block);
}

void operator delete[](void* block) noexcept
{
    std::free(block);
}

void operator delete(void* block, size_t) noexcept
{
    std::free(block);
}

void operator delete[](void* block, size_t) noexcept
{
    std::free(block);
}

namespace voltara {
namespace {

using test::TestHost;

struct Allocations : ::testing::Test {
    void SetUp() override
    {
        ASSERT_NE(host.open(), nullptr);
        host.hasTime = true;
        host.time.tempo = 120.0;
        host.start(44100.0f, 512);
        for (int32_t slot = 1; slot < 9; ++slot)
            host.setParameter(8 * slot, 1.0f);
        left.assign(4096, 0.0f);
        right.assign(4096, 0.0f);
        for (size_t i = 0; i < left.size(); ++i) {
            left[i] = 0.5f * static_cast<float>((i * 7919) % 201) / 100.0f - 0.5f;
            right[i] = -left[i];
        }
        audio(4096);
        host.recordCalls = false;
    }

    void audio(int32_t frames)
    {
        float* io[2] = {left.data(), right.data()};
        PluginDescriptor* d = host.descriptor();
        d->processOverwriting(d, io, io, frames);
    }

    // The audio calls and whatever else runs in between, counted.
    template <class Work>
    int64_t allocationsDuring(Work work)
    {
        allocations = 0;
        counting = true;
        work();
        counting = false;
        return allocations.load();
    }

    TestHost host;
    std::vector<float> left, right;
};

// Once resumed, nothing the audio thread does allocates: parameter, mode and
// sync changes, tempo and position changes, MIDI controllers and program
// changes, modules switched off (which resets them) and on again, calls
// longer than the block size.
TEST_F(Allocations, NoneOnTheAudioPathAfterResume)
{
    const int64_t counted = allocationsDuring([this] {
        for (int32_t round = 0; round < 40; ++round) {
            for (int32_t index = 1; index < 72; ++index)
                host.setParameter(index, static_cast<float>((round * 31 + index * 17) % 101) / 100.0f);
            for (int32_t slot = 1; slot < 9; ++slot)
                host.setParameter(8 * slot, round % 3 == 0 ? 0.0f : 1.0f);
            host.time.tempo = 60.0 + round * 7.0;
            host.time.songPosition = round * 1.5;
            host.sendMidi(0xb0, static_cast<uint8_t>(85 + round % 11), static_cast<uint8_t>(round * 3));
            host.sendMidi(0xb0, 1, static_cast<uint8_t>(round * 3));
            if (round % 5 == 0)
                host.sendMidi(0xc0, static_cast<uint8_t>(round % 32), 0);
            if (round % 7 == 0)
                host.dispatch(opSetProgram, 0, round % 32);
            audio(round % 2 ? 4096 : 1 + round * 13);
        }
    });
    EXPECT_EQ(counted, 0);
}

// A host that keeps the rack's session puts a restored one into the rack
// between two audio calls on the audio thread: nothing there allocates.
TEST_F(Allocations, NoneWhenASessionIsPutIntoTheRack)
{
    const auto session = pluginhost::RackSession::capture(host.descriptor());
    ASSERT_TRUE(session);
    const int64_t counted = allocationsDuring([&] {
        session->applyTo(host.descriptor());
        audio(512);
    });
    EXPECT_EQ(counted, 0);
}

// A new sample rate without a resume takes effect at the next resume: until
// then, modules switched off are reset at the rate they have, on the audio
// thread, without sizing their lines anew.
TEST_F(Allocations, NoneWhenModulesAreResetBeforeANewRateTakesEffect)
{
    host.dispatch(opSetSampleRate, 0, 0, nullptr, 96000.0f);
    const int64_t counted = allocationsDuring([this] {
        for (int32_t slot = 1; slot < 9; ++slot)
            host.setParameter(8 * slot, 0.0f);
        audio(512);
        for (int32_t slot = 1; slot < 9; ++slot)
            host.setParameter(8 * slot, 1.0f);
        audio(512);
    });
    EXPECT_EQ(counted, 0);
    // The resume sizes the lines for the new rate; the count sees it.
    EXPECT_GT(allocationsDuring([this] { host.dispatch(opSuspendResume, 0, 1); }), 0);
}

} // namespace
} // namespace voltara

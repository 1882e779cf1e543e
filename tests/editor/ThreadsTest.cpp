#include "tests/editor/EditorTestKit.h"

#include <atomic>
#include <thread>

namespace voltara::test {
namespace {

using ThreadsTest = EditorTest;

// Automation on one thread and audio with MIDI on another change parameters
// while the window thread idles; once they stop, one idle brings every
// control to where a freshly opened editor puts it.
TEST_F(ThreadsTest, ChangesFromOtherThreadsReachTheControlsAtTheNextIdle)
{
    installContent();
    openEditor();
    host->start(44100.0f, 256);
    std::atomic<bool> stop{false};
    std::atomic<int> rounds{0}, blocks{0};
    std::thread automation([&] {
        for (int i = 0; !stop; i = ++rounds) {
            const float value = float(i % 97) / 96.0f;
            for (int32_t index : {26, 25, 50, 49, 16, 8, 12, 58, 0})
                host->descriptor()->setParameter(host->descriptor(), index, value);
        }
    });
    std::thread audio([&] {
        std::vector<float> left(256, 0.1f), right(256, -0.1f);
        for (int block = 0; !stop; block = ++blocks) {
            host->sendMidi(0xb0, 1, uint8_t(block % 128)); // the pedal
            if (block % 50 == 0)
                host->sendMidi(0xc0, uint8_t(block / 50 % 32), 0);
            host->process(left, right, false);
        }
    });
    while (rounds < 2000 || blocks < 500)
        idle();
    stop = true;
    automation.join();
    audio.join();

    idle();
    const Area followed = area(wholeWindow);
    EXPECT_EQ(afterReopening(), followed);
}

} // namespace
} // namespace voltara::test

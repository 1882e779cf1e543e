#include "Commands.h"

#include "ArgumentList.h"
#include "AudioFile.h"
#include "GuitarPhrase.h"
#include "MidiSchedule.h"
#include "NumberParse.h"
#include "PluginHost.h"
#include "ProgressBar.h"
#include "RackSetup.h"
#include "ToolError.h"

#include <algorithm>

namespace voltara {
namespace {

constexpr int demoSampleRate = 44100;      // Hz
constexpr double progressAfterSeconds = 5.0; // shorter inputs finish before a bar helps

struct ProcessOptions {
    std::vector<std::string> files; // IN OUT, or only OUT with --demo
    bool demo = false;
    double tempo = 120.0;  // beats per minute
    int blockSize = 512;   // frames per audio call
    double tailSeconds = 3.0;
    RackSetup setup;
    MidiSchedule midi;
};

ProcessOptions parseOptions(ArgumentList& arguments)
{
    ProcessOptions options;
    while (!arguments.empty()) {
        const std::string word = arguments.take();
        if (options.setup.accept(word, arguments) || options.midi.accept(word, arguments))
            continue;
        if (word == "--demo") {
            options.demo = true;
        } else if (word == "--tempo") {
            const auto tempo = parseNumber(arguments.valueOf(word), 1.0, 999.0);
            if (!tempo)
                throw ToolError("--tempo must be a number of beats per minute from 1 to 999");
            options.tempo = *tempo;
        } else if (word == "--block") {
            const auto block = parseInteger(arguments.valueOf(word), 1, 65536);
            if (!block)
                throw ToolError("--block must be a number of frames from 1 to 65536");
            options.blockSize = *block;
        } else if (word == "--tail") {
            const auto tail = parseNumber(arguments.valueOf(word), 0.0, 600.0);
            if (!tail)
                throw ToolError("--tail must be a number of seconds from 0 to 600");
            options.tailSeconds = *tail;
        } else if (word.size() > 1 && word[0] == '-') {
            ArgumentList::reject(word);
        } else {
            options.files.push_back(word);
        }
    }
    if (options.files.size() != (options.demo ? 1u : 2u))
        throw ToolError("usage: voltara process IN OUT [options] or voltara process --demo OUT [options]");
    return options;
}

// Runs input and then silence through the rack in blocks, cutting a block
// short where a MIDI event is due so that it takes effect at its own frame.
StereoAudio render(PluginHost& host, const ProcessOptions& options, const StereoAudio& input)
{
    const long long inputFrames = static_cast<long long>(input.left.size());
    const long long total = inputFrames + static_cast<long long>(options.tailSeconds * input.sampleRate);
    const auto events = options.midi.inFrames(input.sampleRate, total);
    StereoAudio output;
    output.sampleRate = input.sampleRate;
    output.left.resize(std::size_t(total));
    output.right.resize(std::size_t(total));

    std::vector<float> inLeft(std::size_t(options.blockSize)), inRight(inLeft.size());
    float* inputs[] = {inLeft.data(), inRight.data()};
    ProgressBar progress(total, inputFrames > progressAfterSeconds * input.sampleRate);
    auto nextEvent = events.begin();
    for (long long start = 0; start < total;) {
        std::vector<MidiEvent> due;
        for (; nextEvent != events.end() && nextEvent->frame <= start; ++nextEvent)
            due.push_back(nextEvent->event);
        host.sendMidi(due);
        long long frames = std::min<long long>(options.blockSize, total - start);
        if (nextEvent != events.end())
            frames = std::min(frames, nextEvent->frame - start);
        const long long fromInput = std::clamp(inputFrames - start, 0LL, frames);
        std::copy_n(input.left.begin() + start, fromInput, inLeft.begin());
        std::copy_n(input.right.begin() + start, fromInput, inRight.begin());
        std::fill(inLeft.begin() + fromInput, inLeft.begin() + frames, 0.0f);
        std::fill(inRight.begin() + fromInput, inRight.begin() + frames, 0.0f);
        float* outputs[] = {output.left.data() + start, output.right.data() + start};
        host.process(inputs, outputs, int(frames));
        start += frames;
        progress.update(start);
    }
    return output;
}

} // namespace

int runProcessCommand(int argc, char** argv)
{
    ArgumentList arguments(argc, argv, 1);
    const ProcessOptions options = parseOptions(arguments);
    const StereoAudio input = options.demo ? GuitarPhrase::synthesise(demoSampleRate)
                                           : AudioFile::read(options.files[0]);
    const std::string& outPath = options.files.back();
    const int format = AudioFile::formatFor(outPath, input.format);

    PluginHost host(options.setup.pluginPath());
    host.prepare(input.sampleRate, options.blockSize, options.tempo);
    options.setup.apply(host);
    host.resume();
    AudioFile::write(outPath, render(host, options, input), format);
    return 0;
}

} // namespace voltara

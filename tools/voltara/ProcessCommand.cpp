#include "tools/voltara/Commands.h"

#include "tools/voltara/ArgumentList.h"
#include "tools/voltara/AudioReader.h"
#include "tools/voltara/AudioWriter.h"
#include "tools/voltara/GuitarPhrase.h"
#include "tools/voltara/MidiSchedule.h"
#include "tools/voltara/NumberParse.h"
#include "tools/voltara/PluginHost.h"
#include "tools/voltara/ProgressBar.h"
#include "tools/voltara/RackSetup.h"
#include "tools/voltara/ToolError.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <sndfile.h>

namespace voltara {
namespace {

constexpr int demoSampleRate = 44100;        // Hz
constexpr double progressAfterSeconds = 5.0; // shorter inputs finish before a bar helps

struct ProcessOptions {
    std::vector<std::string> files; // IN OUT, or only OUT with --demo
    bool demo = false;
    double tempo = 120.0; // beats per minute
    int blockSize = 512;  // frames per audio call
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

// Where the input comes from: fills up to count frames and answers how many,
// 0 at the end.
using Source = std::function<std::size_t(float* left, float* right, std::size_t count)>;

// The input as it runs through the rack.
struct Input {
    Source read;
    int sampleRate;
    int format;       // libsndfile container and encoding
    long long frames; // known length, for the progress bar
};

Input demoInput()
{
    auto phrase = std::make_shared<StereoAudio>(GuitarPhrase::synthesise(demoSampleRate));
    auto position = std::make_shared<std::size_t>(0);
    Source read = [phrase, position](float* left, float* right, std::size_t count) {
        const std::size_t n = std::min(count, phrase->left.size() - *position);
        std::copy_n(phrase->left.begin() + long(*position), n, left);
        std::copy_n(phrase->right.begin() + long(*position), n, right);
        *position += n;
        return n;
    };
    return {read, demoSampleRate, SF_FORMAT_WAV | SF_FORMAT_FLOAT, (long long)(phrase->left.size())};
}

Input fileInput(const std::string& path)
{
    auto reader = std::make_shared<AudioReader>(path);
    Source read = [reader](float* left, float* right, std::size_t count) { return reader->read(left, right, count); };
    return {read, reader->sampleRate(), reader->format(), reader->frames()};
}

// Runs the input and then the tail of silence through the rack block by
// block, cutting a block short where a MIDI event is due so that it takes
// effect at its own frame.
void render(PluginHost& host, const ProcessOptions& options, Input& input, AudioWriter& output)
{
    const long long tailFrames = static_cast<long long>(options.tailSeconds * input.sampleRate);
    const auto events = options.midi.inFrames(input.sampleRate, input.frames + tailFrames);
    const std::size_t block = std::size_t(options.blockSize);
    std::vector<float> inLeft(block), inRight(block), outLeft(block), outRight(block);
    float* inputs[] = {inLeft.data(), inRight.data()};
    float* outputs[] = {outLeft.data(), outRight.data()};
    ProgressBar progress(input.frames + tailFrames, input.frames > progressAfterSeconds * input.sampleRate);
    auto nextEvent = events.begin();
    bool inputEnded = false;
    for (long long start = 0, tailLeft = tailFrames; !inputEnded || tailLeft > 0;) {
        std::vector<MidiEvent> due;
        for (; nextEvent != events.end() && nextEvent->frame <= start; ++nextEvent)
            due.push_back(nextEvent->event);
        host.sendMidi(due);
        std::size_t frames = block;
        if (nextEvent != events.end())
            frames = std::min<std::size_t>(frames, std::size_t(nextEvent->frame - start));
        std::size_t got = inputEnded ? 0 : input.read(inLeft.data(), inRight.data(), frames);
        if (got == 0) {
            inputEnded = true;
            got = std::size_t(std::min<long long>(tailLeft, (long long)frames));
            tailLeft -= (long long)got;
            std::fill_n(inLeft.begin(), got, 0.0f);
            std::fill_n(inRight.begin(), got, 0.0f);
        }
        if (got == 0)
            break;
        host.process(inputs, outputs, int(got));
        output.write(outLeft.data(), outRight.data(), got);
        start += (long long)got;
        progress.update(start);
    }
}

} // namespace

int runProcessCommand(int argc, char** argv)
{
    ArgumentList arguments(argc, argv, 1);
    const ProcessOptions options = parseOptions(arguments);
    Input input = options.demo ? demoInput() : fileInput(options.files[0]);
    const std::string& outPath = options.files.back();
    PluginHost host(options.setup.pluginPath());
    host.prepare(input.sampleRate, options.blockSize, options.tempo);
    options.setup.apply(host);
    host.resume();
    AudioWriter output(outPath, AudioWriter::formatFor(outPath, input.format), input.sampleRate);
    render(host, options, input, output);
    output.commit();
    return 0;
}

} // namespace voltara

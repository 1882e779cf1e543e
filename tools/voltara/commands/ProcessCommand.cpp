#include "tools/voltara/commands/Commands.h"

#include "plugin/RackPlugin.h"
#include "tools/pluginhost/PluginInstance.h"
#include "tools/voltara/audio/AudioOutput.h"
#include "tools/voltara/audio/AudioSource.h"
#include "tools/voltara/audio/GuitarPhrase.h"
#include "tools/voltara/base/ArgumentList.h"
#include "tools/voltara/base/CommandLine.h"
#include "tools/voltara/base/NumberParse.h"
#include "tools/voltara/base/PendingFile.h"
#include "tools/voltara/base/ProgressBar.h"
#include "tools/voltara/base/ToolError.h"
#include "tools/voltara/rack/MidiSchedule.h"
#include "tools/voltara/rack/RackSetup.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <sndfile.h>

// `voltara process`: an audio file (or the built-in phrase) through the rack.
namespace voltara {
namespace {

constexpr int demoSampleRate = 44100;        // Hz
constexpr double progressAfterSeconds = 5.0; // shorter inputs finish before a bar helps
// --tail auto: the output ends once it has stayed below this level for
// quietSeconds, or after longestAutoTail seconds of tail at most.
constexpr double quietLevel = 3.1622777e-5; // -90 dBFS
constexpr double quietSeconds = 1.0;
constexpr double longestAutoTail = 60.0;
constexpr double longestTail = 600.0;

struct ProcessOptions {
    std::vector<std::string> files; // IN OUT, or only OUT with --demo
    bool demo = false;
    double tempo = 0;  // beats per minute
    int blockSize = 0; // frames per audio call
    double tailSeconds = 0;
    bool autoTail = false;
    std::string bits;  // empty: keep the input's encoding
    float gain = 1.0f; // factor
    RackSetup setup;
    MidiSchedule midi;
};

CommandLine commandLine(ProcessOptions& o)
{
    CommandLine line("process IN OUT [options]\nprocess --demo OUT [options]",
                     "Runs an audio file through the rack and writes the result, stereo, at the input's rate.\n"
                     "IN: any file libsndfile reads (WAV, AIFF, FLAC, Ogg, ...) or a Kestrelwave .kfr file; "
                     "- is standard input.\n"
                     "OUT: its extension chooses the format ("
                         + OutputFormat::extensions()
                         + "); - writes WAV "
                           "to standard output.");
    line.add(Option::flag("--demo", 0, "in place of IN, the built-in guitar phrase (about ten seconds, 44.1 kHz)",
                          [&o] { o.demo = true; }));
    o.setup.addOptions(line);
    line.add(Option::number("--tempo", "BPM", 1, 999, "120", "the host tempo in beats per minute",
                            [&o](const std::string&, double bpm) { o.tempo = bpm; }));
    line.add(Option::integer("--block", "N", 1, 65536, "512", "frames per audio call",
                             [&o](const std::string&, double frames) { o.blockSize = int(frames); }));
    line.add(Option::text("--tail", 0, "SECONDS|auto", "3",
                          "silence run through after the input so echoes and reverb ring out, 0 to 600 seconds; "
                          "auto: until the output stays below -90 dBFS for a second (at most 60 s)",
                          [&o](const std::string& text, double) {
                              o.autoTail = text == "auto";
                              const auto seconds = o.autoTail ? std::optional<double>(longestAutoTail)
                                                              : parseNumber(text, 0.0, longestTail);
                              if (!seconds)
                                  throw ToolError("--tail must be a number of seconds from 0 to 600 or auto, not \""
                                                  + text + "\"");
                              o.tailSeconds = *seconds;
                          }));
    o.midi.addOptions(line);
    line.add(Option::text("--bits", 'b', "16|24|32f", nullptr,
                          "the output's samples: 16- or 24-bit integers or 32-bit float (default: the input's "
                          "where OUT's format holds them)",
                          [&o](const std::string& text, double) { o.bits = text; }));
    line.add(Option::number("--gain", "DB", -96, 24, "0", "gain on the output in decibels",
                            [&o](const std::string&, double db) { o.gain = float(std::pow(10.0, db / 20.0)); }));
    return line;
}

// The built-in phrase as the rack's input.
class DemoPhrase : public AudioSource {
public:
    DemoPhrase() : phrase_(GuitarPhrase::synthesise(demoSampleRate)) {}

    int sampleRate() const override { return demoSampleRate; }
    long long frames() const override { return (long long)phrase_.left.size(); }
    int encoding() const override { return SF_FORMAT_FLOAT; }
    std::size_t read(float* left, float* right, std::size_t count) override
    {
        const std::size_t n = std::min(count, phrase_.left.size() - position_);
        std::copy_n(phrase_.left.begin() + long(position_), n, left);
        std::copy_n(phrase_.right.begin() + long(position_), n, right);
        position_ += n;
        return n;
    }

private:
    StereoAudio phrase_;
    std::size_t position_ = 0;
};

// Follows the output through the tail: how long it has stayed quiet.
class QuietWatch {
public:
    explicit QuietWatch(double sampleRate) : needed_((long long)(quietSeconds * sampleRate)) {}
    void follow(const float* left, const float* right, std::size_t count)
    {
        for (std::size_t j = 0; j < count; ++j) {
            const bool quiet = std::fabs(left[j]) < quietLevel && std::fabs(right[j]) < quietLevel;
            quietFrames_ = quiet ? quietFrames_ + 1 : 0;
        }
    }
    bool settled() const { return quietFrames_ >= needed_; }

private:
    long long needed_;
    long long quietFrames_ = 0;
};

// Runs the input and then the tail of silence through the rack block by
// block, cutting a block short where a MIDI event is due so that it takes
// effect at its own frame.
void render(pluginhost::PluginInstance& host, const ProcessOptions& options, AudioSource& input, AudioOutput& output)
{
    const double rate = input.sampleRate();
    const long long inputFrames = input.frames();
    const bool lengthKnown = inputFrames >= 0 && inputFrames < LLONG_MAX / 4;
    const long long tailFrames = static_cast<long long>(options.tailSeconds * rate);
    const auto events = options.midi.inFrames(
        rate, lengthKnown ? inputFrames + tailFrames : LLONG_MAX,
        [&host](const std::string& choice, const std::string& given) { return programNumber(host, choice, given); });
    const std::size_t block = std::size_t(options.blockSize);
    std::vector<float> inLeft(block), inRight(block), outLeft(block), outRight(block);
    float* inputs[] = {inLeft.data(), inRight.data()};
    float* outputs[] = {outLeft.data(), outRight.data()};
    const long long total = lengthKnown ? inputFrames + (options.autoTail ? 0 : tailFrames) : 0;
    ProgressBar progress(total, lengthKnown && inputFrames > progressAfterSeconds * rate);
    QuietWatch quiet(rate);
    auto nextEvent = events.begin();
    bool inputEnded = false;
    long long tailLeft = tailFrames;
    for (long long start = 0;;) {
        if (inputEnded && (tailLeft == 0 || (options.autoTail && quiet.settled() && nextEvent == events.end())))
            break;
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
            if (got == 0)
                continue;
            tailLeft -= (long long)got;
            std::fill_n(inLeft.begin(), got, 0.0f);
            std::fill_n(inRight.begin(), got, 0.0f);
        }
        host.process(inputs, outputs, int(got));
        output.write(outLeft.data(), outRight.data(), got);
        if (inputEnded)
            quiet.follow(outLeft.data(), outRight.data(), got);
        start += (long long)got;
        progress.update(std::min(start, total));
    }
    progress.finish();
    if (options.autoTail && !quiet.settled())
        warn("the output had not fallen below -90 dBFS after " + std::to_string(int(longestAutoTail))
             + " s of tail; it ends there");
}

int run(int argc, char** argv)
{
    ArgumentList arguments(argc, argv, 1);
    ProcessOptions options;
    const CommandLine line = commandLine(options);
    if (!line.parse(arguments, options.files))
        return 0;
    if (options.files.size() != (options.demo ? 1u : 2u))
        line.usageError();
    const std::string& outPath = options.files.back();
    if (!options.demo)
        refuseSameFile(options.files[0], outPath);
    std::unique_ptr<AudioSource> input =
        options.demo ? std::make_unique<DemoPhrase>() : AudioSource::open(options.files[0], options.setup.pluginPath());
    // The rack gives back unprocessed audio at other rates; a rate no reader
    // can use is no length to run a tail by.
    const int rate = input->sampleRate();
    if (rate < RackPlugin::lowestSampleRate || rate > RackPlugin::highestSampleRate)
        throw ToolError((options.files[0] == "-" ? std::string("standard input") : options.files[0]) + " is at "
                        + std::to_string(unsigned(rate)) + " Hz; the rack runs at "
                        + std::to_string(int(RackPlugin::lowestSampleRate)) + " to "
                        + std::to_string(int(RackPlugin::highestSampleRate))
                        + " Hz: convert it first (for example sox IN -r 48000 OUT)");
    const OutputFormat format = OutputFormat::choose(outPath, options.bits, input->encoding());
    pluginhost::LoadedPlugin host(options.setup.pluginPath());
    host.prepare(input->sampleRate(), options.blockSize, options.tempo);
    options.setup.apply(host);
    host.resume();
    const long long inputFrames = input->frames();
    const long long expectedFrames = options.autoTail || inputFrames < 0 || inputFrames >= LLONG_MAX / 4
                                         ? -1
                                         : inputFrames + static_cast<long long>(options.tailSeconds * rate);
    AudioOutput output(outPath, format, rate, expectedFrames, options.gain, options.setup.pluginPath());
    render(host, options, *input, output);
    output.commit();
    return 0;
}

const CommandRegistration registration({"process", "run an audio file (or the built-in guitar phrase) through the rack",
                                        run});

} // namespace
} // namespace voltara

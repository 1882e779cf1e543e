#include "tests/windows/Checks.h"

#include "tests/support/FloatWav.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace voltara::winhost {

namespace {

// Samples from the two builds may part by the rounding of the maths
// libraries' functions (sin, exp, pow), carried through the filters; a fault
// in the audio path shows as differences of many orders above this.
constexpr float tolerance = 1e-5f;

struct AudioCase {
    std::string name;
    test::FloatWav input;
    test::FloatWav expected;
    int32_t block = 512;
    double tempo = 120.0;
    int32_t program = 0;
    std::vector<std::pair<int32_t, float>> values;
};

AudioCase readCase(const Plan& plan, const Plan::Line& line)
{
    AudioCase c;
    const auto& f = line.fields;
    c.name = f.at(0);
    c.input = test::FloatWav::read(plan.file(f.at(1)));
    c.expected = test::FloatWav::read(plan.file(f.at(2)));
    c.block = std::atoi(f.at(3).c_str());
    c.tempo = std::atof(f.at(4).c_str());
    c.program = std::atoi(f.at(5).c_str());
    if (f.size() > 6) {
        for (std::size_t start = 0; start < f[6].size();) {
            std::size_t comma = f[6].find(',', start);
            if (comma == std::string::npos)
                comma = f[6].size();
            const std::string pair = f[6].substr(start, comma - start);
            const std::size_t equals = pair.find('=');
            c.values.emplace_back(std::atoi(pair.c_str()), float(std::atof(pair.c_str() + equals + 1)));
            start = comma + 1;
        }
    }
    return c;
}

// Runs frames of source through the instance in calls of at most block
// frames, as the Linux host does: the input, then the silence after it.
void render(PluginInstance& instance, const std::vector<float>& source, std::size_t frames, int32_t block,
            std::vector<float>& out)
{
    std::vector<float> inLeft(block), inRight(block), outLeft(block), outRight(block);
    float* inputs[] = {inLeft.data(), inRight.data()};
    float* outputs[] = {outLeft.data(), outRight.data()};
    for (std::size_t start = 0; start < frames;) {
        const std::size_t count = std::min<std::size_t>(block, frames - start);
        for (std::size_t i = 0; i < count; ++i) {
            inLeft[i] = source.empty() ? 0.0f : source[2 * (start + i)];
            inRight[i] = source.empty() ? 0.0f : source[2 * (start + i) + 1];
        }
        instance.process(inputs, outputs, int32_t(count));
        for (std::size_t i = 0; i < count; ++i) {
            out.push_back(outLeft[i]);
            out.push_back(outRight[i]);
        }
        start += count;
    }
}

} // namespace

void checkAudio(CheckLog& log, const PluginDll& dll, const Plan& plan)
{
    for (const Plan::Line& line : plan.all("audio")) {
        const AudioCase c = readCase(plan, line);
        const std::string what = "audio " + c.name;
        if (!log.check(c.input.channels == 2 && c.input.frames() > 0 && c.expected.frames() >= c.input.frames(),
                       what + ": the Linux side's files read"))
            continue;
        PluginInstance instance(dll);
        if (!log.check(instance.descriptor() != nullptr, what + ": main gives an instance"))
            continue;
        instance.prepare(c.expected.sampleRate, c.block, c.tempo);
        instance.dispatch(opSetProgram, 0, c.program);
        for (const auto& [index, value] : c.values)
            instance.descriptor()->setParameter(instance.descriptor(), index, value);
        instance.resume();
        std::vector<float> out;
        render(instance, c.input.samples, c.input.frames(), c.block, out);
        render(instance, {}, c.expected.frames() - c.input.frames(), c.block, out);

        float largest = 0.0f;
        std::size_t at = 0, differing = 0;
        bool finite = true;
        for (std::size_t i = 0; i < out.size(); ++i) {
            finite = finite && std::isfinite(out[i]);
            const float difference = std::fabs(out[i] - c.expected.samples[i]);
            differing += difference != 0.0f;
            if (difference > largest) {
                largest = difference;
                at = i / 2;
            }
        }
        char detail[160];
        std::snprintf(detail, sizeof detail,
                      "%zu frames at %d Hz, %zu samples not identical, largest difference %.3g "
                      "at frame %zu",
                      out.size() / 2, c.expected.sampleRate, differing, double(largest), at);
        log.check(finite && largest <= tolerance, what + " matches the Linux build", detail);
    }
}

} // namespace voltara::winhost

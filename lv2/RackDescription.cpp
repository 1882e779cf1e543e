#include "lv2/RackDescription.h"

#include "plugin/host/LampPacking.h"
#include "tools/pluginhost/PluginInstance.h"
#include "tools/voltara/rack/RackSetup.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <set>

namespace voltara::lv2 {
namespace {

// Grid on which display texts are sampled before each change of text is
// narrowed down to the exact float where it happens.
constexpr int sweepSteps = 1024;

uint32_t bitsOf(float value)
{
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

float floatOf(uint32_t bits)
{
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

std::string textAt(pluginhost::PluginInstance& host, int32_t index, float value)
{
    host.setParameter(index, value);
    return host.parameterText(index);
}

// The smallest value above below that shows text, for a text that shows at
// atOrAbove and a rack whose texts change monotonically in between.
float firstValueShowing(pluginhost::PluginInstance& host, int32_t index, const std::string& text, float below,
                        float atOrAbove)
{
    // Non-negative floats order like their bit patterns.
    uint32_t low = bitsOf(below), high = bitsOf(atOrAbove);
    while (high - low > 1) {
        const uint32_t middle = low + (high - low) / 2;
        (textAt(host, index, floatOf(middle)) == text ? high : low) = middle;
    }
    return floatOf(high);
}

// Each display text of a parameter over 0 .. 1, with the smallest value that
// shows it, in order of value.
std::vector<RackDescription::ScalePoint> textSteps(pluginhost::PluginInstance& host, int32_t index)
{
    std::vector<RackDescription::ScalePoint> steps;
    float previous = 0.0f;
    for (int k = 0; k <= sweepSteps; ++k) {
        const float value = float(k) / float(sweepSteps);
        const std::string text = textAt(host, index, value);
        if (steps.empty())
            steps.push_back({text, 0.0f});
        else if (text != steps.back().label)
            steps.push_back({text, firstValueShowing(host, index, text, previous, value)});
        previous = value;
    }
    return steps;
}

bool hasDigit(const std::string& text)
{
    return std::any_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c) != 0; });
}

// A parameter whose texts are words, each shown over one stretch of values,
// is a switch (two words, flipping just above 0.5 as the rack's switches do)
// or a selector; anything showing numbers, or nothing, is continuous.
void classify(pluginhost::PluginInstance& host, RackDescription::Control& control)
{
    auto steps = textSteps(host, control.parameter);
    host.setParameter(control.parameter, control.defaultValue);
    std::set<std::string> distinct;
    for (const auto& step : steps)
        distinct.insert(step.label);
    const bool words = std::none_of(steps.begin(), steps.end(), [](const auto& step) { return hasDigit(step.label); });
    if (steps.size() < 2 || !words || distinct.size() != steps.size())
        control.kind = RackDescription::Kind::continuous;
    else if (steps.size() == 2 && steps[1].value == std::nextafter(0.5f, 1.0f))
        control.kind = RackDescription::Kind::toggle;
    else {
        control.kind = RackDescription::Kind::selector;
        control.scalePoints = std::move(steps);
    }
}

// Lower-case letters, digits and single underscores, starting with a letter,
// unique among taken.
std::string symbolFor(const std::string& name, std::set<std::string>& taken)
{
    std::string symbol;
    for (unsigned char c : name) {
        if (std::isalnum(c))
            symbol += char(std::tolower(c));
        else if (!symbol.empty() && symbol.back() != '_')
            symbol += '_';
    }
    while (!symbol.empty() && symbol.back() == '_')
        symbol.pop_back();
    if (symbol.empty() || std::isdigit(static_cast<unsigned char>(symbol[0])))
        symbol = "p_" + symbol;
    std::string unique = symbol;
    for (int n = 2; !taken.insert(unique).second; ++n)
        unique = symbol + "_" + std::to_string(n);
    return unique;
}

bool isUnnamed(const std::string& name)
{
    return name == "." || name.empty();
}

} // namespace

RackDescription RackDescription::read(pluginhost::PluginInstance& host, const Bank& bank)
{
    RackDescription rack;
    rack.effectName = host.text(opGetEffectName);
    rack.vendorName = host.text(opGetVendorName);
    rack.vendorVersion = int32_t(host.dispatch(opGetVendorVersion));

    fillPrograms(host, bank);
    host.setProgram(0);

    std::set<std::string> taken;
    for (const FixedPortText& fixed : fixedPortTexts)
        taken.insert(fixed.symbol);
    std::vector<Control> unnamed;
    for (int32_t index = 0; index < bankParameterCount; ++index) {
        Control control;
        control.parameter = index;
        control.name = host.parameterName(index);
        control.named = !isUnnamed(control.name);
        if (!control.named)
            control.name = "Parameter " + std::to_string(index);
        control.defaultValue = host.parameter(index);
        classify(host, control);
        (control.named ? rack.controls : unnamed).push_back(control);
    }
    rack.controls.insert(rack.controls.end(), unnamed.begin(), unnamed.end());
    for (Control& control : rack.controls)
        control.symbol = symbolFor(control.name, taken);

    for (int32_t place = 0; place < int32_t(lampPortCount); ++place) {
        // Named after the module's on switch, "WAH On" giving "WAH Lamp".
        const std::string onSwitch = host.parameterName(8 * LampPacking::places[place].slot);
        const std::string name = onSwitch.substr(0, onSwitch.find(' ')) + " Lamp";
        rack.lamps.push_back({place, name, symbolFor(name, taken)});
    }
    std::sort(rack.lamps.begin(), rack.lamps.end(), [](const Lamp& a, const Lamp& b) {
        return LampPacking::places[a.place].slot < LampPacking::places[b.place].slot;
    });

    for (int32_t p = 0; p < factoryProgramCount; ++p) {
        host.setProgram(p);
        Program program;
        program.name = host.programName(p);
        for (int32_t index = 0; index < bankParameterCount; ++index)
            program.values[index] = host.parameter(index);
        rack.programs.push_back(program);
    }
    host.setProgram(0);
    return rack;
}

} // namespace voltara::lv2

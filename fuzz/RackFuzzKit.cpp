#include "fuzz/RackFuzzKit.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <vector>

namespace voltara::fuzz {

TimeInfo HostTime::time = [] {
    TimeInfo time{};
    time.tempo = 120.0;
    return time;
}();
bool HostTime::hasTime = true;

namespace {

intptr_t hostCallback(PluginDescriptor*, int32_t opcode, int32_t, intptr_t, void*, float)
{
    if (opcode == hostVersion)
        return 2400;
    if (opcode == hostGetTime)
        return HostTime::hasTime ? reinterpret_cast<intptr_t>(&HostTime::time) : 0;
    return 0;
}

// No installed content: the registry store is a folder that does not exist.
const bool emptyStore = setenv("VOLTARA_REGISTRY", "/nonexistent/voltara-fuzz-registry", 1) == 0;

void check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

} // namespace

uint32_t Input::word()
{
    uint32_t value = 0;
    for (int i = 0; i < 4; ++i)
        value |= static_cast<uint32_t>(byte()) << (8 * i);
    return value;
}

float Input::anyFloat()
{
    const uint32_t bits = word();
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

double Input::anyDouble()
{
    const uint64_t bits = word() | (static_cast<uint64_t>(word()) << 32);
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

std::unique_ptr<RackPlugin> makeRack(float rate, int32_t blockSize)
{
    check(emptyStore);
    auto rack = std::make_unique<RackPlugin>(&hostCallback);
    rack->setSampleRate(rate);
    rack->setBlockSize(blockSize);
    rack->resume();
    for (int32_t slot = slotWah; slot < moduleSlotCount; ++slot)
        rack->setParameter(onSwitchIndex(slot), 1.0f);
    return rack;
}

void runAudio(RackPlugin& rack, int32_t frames, uint32_t seed, bool accumulate)
{
    static std::vector<float> left, right;
    left.resize(static_cast<size_t>(frames));
    right.resize(static_cast<size_t>(frames));
    for (int32_t i = 0; i < frames; ++i) {
        seed = seed * 1664525u + 1013904223u;
        left[i] = static_cast<float>(seed >> 8) / 8388608.0f - 1.0f;
        right[i] = -left[i];
        if ((seed & 0xfff) == 0)
            left[i] = std::numeric_limits<float>::quiet_NaN();
    }
    float* io[2] = {left.data(), right.data()};
    PluginDescriptor* descriptor = rack.descriptor();
    if (accumulate) {
        std::fill(left.begin(), left.end(), 0.0f);
        std::fill(right.begin(), right.end(), 0.0f);
        descriptor->processAccumulating(descriptor, io, io, frames);
    } else {
        descriptor->processOverwriting(descriptor, io, io, frames);
    }
    for (int32_t i = 0; i < frames; ++i)
        check(std::isfinite(left[i]) && std::isfinite(right[i]));
}

void checkState(const RackPlugin& rack)
{
    const auto inRange = [](float value) { return value >= 0.0f && value <= 1.0f; };
    RackPlugin& mutableRack = const_cast<RackPlugin&>(rack);
    for (int32_t index = 0; index < rackParameterCount; ++index)
        check(inRange(mutableRack.getParameter(index)));
    const int32_t current = mutableRack.getProgram();
    check(current >= 0 && current < rackProgramCount);
    for (int32_t p = 0; p < rackProgramCount; ++p) {
        for (int32_t index = 0; index < rackParameterCount; ++index)
            check(inRange(rack.program(p).values[index].load()));
        check(rack.program(p).name().size() < static_cast<size_t>(programNameSize));
    }
}

} // namespace voltara::fuzz

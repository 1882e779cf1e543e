#include "tests/support/TestHost.h"

namespace voltara::test {

TestHost::TestHost() : PluginLibrary(VOLTARA_PLUGIN_PATH), PluginInstance(*this, false)
{
    versionAnswer = 2400;
    recordCalls = true;
    time.tempo = 120.0;
}

std::string TestHost::text(int32_t opcode, int32_t index)
{
    return PluginInstance::text(opcode, index, "(untouched)");
}

void TestHost::start(float sampleRate, int32_t blockSize)
{
    dispatch(opSetSampleRate, 0, 0, nullptr, sampleRate);
    dispatch(opSetBlockSize, 0, blockSize);
    resume();
}

void TestHost::process(std::vector<float>& left, std::vector<float>& right, bool accumulate,
                       std::vector<float>* outLeft, std::vector<float>* outRight)
{
    float* inputs[2] = {left.data(), right.data()};
    float* outputs[2] = {outLeft ? outLeft->data() : left.data(), outRight ? outRight->data() : right.data()};
    const int32_t frames = static_cast<int32_t>(left.size());
    PluginDescriptor* plugin = descriptor();
    if (accumulate)
        plugin->processAccumulating(plugin, inputs, outputs, frames);
    else
        plugin->processOverwriting(plugin, inputs, outputs, frames);
}

void TestHost::sendMidi(uint8_t status, uint8_t data1, uint8_t data2)
{
    pluginhost::sendMidi(descriptor(), status, data1, data2);
}

} // namespace voltara::test

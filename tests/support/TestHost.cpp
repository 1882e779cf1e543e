#include "tests/support/TestHost.h"

#include <dlfcn.h>
#include <stdexcept>

namespace voltara::test {

namespace {
TestHost* activeHost = nullptr;
}

TestHost::TestHost()
{
    library_ = dlopen(VOLTARA_PLUGIN_PATH, RTLD_NOW | RTLD_LOCAL);
    if (!library_)
        throw std::runtime_error(std::string("cannot load the plug-in: ") + dlerror());
    main_ = reinterpret_cast<MainEntry>(dlsym(library_, "main"));
    if (!main_)
        throw std::runtime_error("the plug-in exports no main");
    time.tempo = 120.0;
    activeHost = this;
}

TestHost::~TestHost()
{
    close();
    if (activeHost == this)
        activeHost = nullptr;
    dlclose(library_);
}

void* TestHost::symbol(const char* name) const
{
    return dlsym(library_, name);
}

TestHost* TestHost::current()
{
    return activeHost;
}

PluginDescriptor* TestHost::open()
{
    activeHost = this;
    descriptor_ = main_(&TestHost::callback);
    return descriptor_;
}

intptr_t TestHost::close()
{
    intptr_t result = 0;
    if (descriptor_)
        result = descriptor_->dispatch(descriptor_, opClose, 0, 0, nullptr, 0.0f);
    descriptor_ = nullptr;
    return result;
}

intptr_t TestHost::dispatch(int32_t opcode, int32_t index, intptr_t value, void* pointer, float opt)
{
    return descriptor_->dispatch(descriptor_, opcode, index, value, pointer, opt);
}

std::string TestHost::text(int32_t opcode, int32_t index)
{
    char buffer[256] = "(untouched)";
    dispatch(opcode, index, 0, buffer);
    return buffer;
}

void TestHost::setParameter(int32_t index, float value)
{
    descriptor_->setParameter(descriptor_, index, value);
}

float TestHost::getParameter(int32_t index)
{
    return descriptor_->getParameter(descriptor_, index);
}

void TestHost::start(float sampleRate, int32_t blockSize)
{
    dispatch(opSetSampleRate, 0, 0, nullptr, sampleRate);
    dispatch(opSetBlockSize, 0, blockSize);
    dispatch(opSuspendResume, 0, 1);
}

void TestHost::process(std::vector<float>& left, std::vector<float>& right, bool accumulate,
                       std::vector<float>* outLeft, std::vector<float>* outRight)
{
    float* inputs[2] = {left.data(), right.data()};
    float* outputs[2] = {outLeft ? outLeft->data() : left.data(), outRight ? outRight->data() : right.data()};
    const int32_t frames = static_cast<int32_t>(left.size());
    if (accumulate)
        descriptor_->processAccumulating(descriptor_, inputs, outputs, frames);
    else
        descriptor_->processOverwriting(descriptor_, inputs, outputs, frames);
}

void sendMidi(PluginDescriptor* descriptor, uint8_t status, uint8_t data1, uint8_t data2)
{
    MidiEvent event{};
    event.type = midiEventType;
    event.byteSize = sizeof event;
    event.data[0] = status;
    event.data[1] = data1;
    event.data[2] = data2;
    MidiEventList list{};
    list.count = 1;
    list.events[0] = &event;
    descriptor->dispatch(descriptor, opHandleEvents, 0, 0, &list, 0.0f);
}

void TestHost::sendMidi(uint8_t status, uint8_t data1, uint8_t data2)
{
    test::sendMidi(descriptor_, status, data1, data2);
}

int32_t TestHost::countCalls(int32_t opcode) const
{
    int32_t count = 0;
    for (const Call& call : calls)
        count += call.opcode == opcode;
    return count;
}

intptr_t TestHost::callback(PluginDescriptor*, int32_t opcode, int32_t index, intptr_t value, void* pointer, float opt)
{
    TestHost* host = activeHost;
    if (!host)
        return 0;
    if (host->recordCalls)
        host->calls.push_back({opcode, index, value, opt});
    if (host->respond)
        if (const std::optional<intptr_t> answer = host->respond(opcode, pointer))
            return *answer;
    switch (opcode) {
    case hostVersion: return host->versionAnswer;
    case hostGetTime: return host->hasTime ? reinterpret_cast<intptr_t>(&host->time) : 0;
    default: return 0;
    }
}

} // namespace voltara::test

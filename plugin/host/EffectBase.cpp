#include "plugin/host/EffectBase.h"

#include "plugin/host/HostEditor.h"
#include "plugin/host/NumberText.h"

#include <cstring>

namespace voltara {

namespace {

intptr_t dispatchEntry(PluginDescriptor* descriptor, int32_t opcode, int32_t index, intptr_t value, void* pointer,
                       float opt)
{
    EffectBase* effect = EffectBase::fromDescriptor(descriptor);
    if (!effect)
        return 0;
    const intptr_t result = effect->dispatch(opcode, index, value, pointer, opt);
    if (opcode == opClose) {
        effect->release();
        return 1;
    }
    return result;
}

void accumulatingEntry(PluginDescriptor* descriptor, float** inputs, float** outputs, int32_t frames)
{
    if (EffectBase* effect = EffectBase::fromDescriptor(descriptor))
        effect->processAccumulating(inputs, outputs, frames);
}

void overwritingEntry(PluginDescriptor* descriptor, float** inputs, float** outputs, int32_t frames)
{
    if (EffectBase* effect = EffectBase::fromDescriptor(descriptor))
        effect->processOverwriting(inputs, outputs, frames);
}

void setParameterEntry(PluginDescriptor* descriptor, int32_t index, float value)
{
    if (EffectBase* effect = EffectBase::fromDescriptor(descriptor))
        effect->setParameter(index, value);
}

float getParameterEntry(PluginDescriptor* descriptor, int32_t index)
{
    EffectBase* effect = EffectBase::fromDescriptor(descriptor);
    return effect ? effect->getParameter(index) : 0.0f;
}

void writeEmpty(char* text)
{
    if (text)
        text[0] = '\0';
}

} // namespace

EffectBase::EffectBase(HostCallback host, int32_t programCount, int32_t parameterCount) : host_(host)
{
    std::memset(&descriptor_, 0, sizeof descriptor_);
    descriptor_.magic = descriptorMagic;
    descriptor_.dispatch = dispatchEntry;
    descriptor_.processAccumulating = accumulatingEntry;
    descriptor_.setParameter = setParameterEntry;
    descriptor_.getParameter = getParameterEntry;
    descriptor_.programCount = programCount;
    descriptor_.parameterCount = parameterCount;
    descriptor_.inputCount = 1;
    descriptor_.outputCount = 2;
    descriptor_.rateRatio = 1.0f;
    descriptor_.owner = this;
    descriptor_.uniqueId = fourCharCode('N', 'o', 'E', 'f');
    descriptor_.version = 1;
    descriptor_.processOverwriting = overwritingEntry;
}

EffectBase::~EffectBase()
{
    delete editor_;
}

void EffectBase::release()
{
    if (editor_ && editor_->inInput()) {
        host_ = nullptr;
        editor_->close();
        editor_->destroyEffectAfterInput();
        return;
    }
    delete this;
}

EffectBase* EffectBase::fromDescriptor(PluginDescriptor* descriptor)
{
    return descriptor ? static_cast<EffectBase*>(descriptor->owner) : nullptr;
}

void EffectBase::attachEditor(HostEditor* editor)
{
    editor_ = editor;
    setFlag(DescriptorFlag::hasEditor, editor != nullptr);
}

void EffectBase::setParameter(int32_t, float) {}

float EffectBase::getParameter(int32_t)
{
    return 0.0f;
}

void EffectBase::setParameterAndNotify(int32_t index, float value)
{
    setParameter(index, value);
    callHost(hostAutomate, index, 0, nullptr, value);
}

void EffectBase::processOverwriting(float**, float**, int32_t) {}

intptr_t EffectBase::dispatch(int32_t opcode, int32_t index, intptr_t value, void* pointer, float opt)
{
    char* text = static_cast<char*>(pointer);
    switch (opcode) {
    // [main thread] lifetime
    case opOpen: open(); return 0;
    case opClose: close(); return 0;

    // [main thread] programs
    case opSetProgram: // a 64-bit value must not select a program by truncation
        if (value >= 0 && value < programCount())
            setProgram(static_cast<int32_t>(value));
        return 0;
    case opGetProgram: return getProgram();
    case opSetProgramName:
        if (text)
            setProgramName(text);
        return 0;
    case opGetProgramName:
        if (text)
            getProgramName(text);
        return 0;

    // [main thread] parameter texts
    case opGetParameterUnit:
        if (text)
            getParameterUnit(index, text);
        return 0;
    case opGetParameterText:
        if (text)
            getParameterText(index, text);
        return 0;
    case opGetParameterName:
        if (text)
            getParameterName(index, text);
        return 0;
    case opGetMeter: return static_cast<intptr_t>(getMeterLevel() * 32767.0f);

    // [main thread, suspended] audio set-up
    case opSetSampleRate: setSampleRate(opt); return 0;
    case opSetBlockSize: setBlockSize(static_cast<int32_t>(value)); return 0;
    case opSuspendResume:
        if (value == 0)
            suspend();
        else
            resume();
        return 0;

    // [window thread] editor
    case opEditorGetRect: return editor_ ? editor_->getRect(static_cast<void**>(pointer)) : 0;
    case opEditorOpen: return editor_ ? editor_->open(pointer) : 0;
    case opEditorClose:
        if (editor_)
            editor_->close();
        return 0;
    case opEditorIdle:
        if (editor_)
            editor_->idle();
        return 0;

    // [main thread] identity and state
    case opIdentity: return fourCharCode('N', 'v', 'E', 'f');
    case opGetStateBlock: return getStateBlock(static_cast<void**>(pointer), index != 0);
    case opSetStateBlock: return setStateBlock(pointer, static_cast<int32_t>(value), index != 0);
    default: return 0;
    }
}

void EffectBase::setProgramName(char* name)
{
    writeEmpty(name);
}

void EffectBase::getProgramName(char* name)
{
    writeEmpty(name);
}

void EffectBase::getParameterUnit(int32_t, char* text)
{
    writeEmpty(text);
}

void EffectBase::getParameterText(int32_t, char* text)
{
    writeEmpty(text);
}

void EffectBase::getParameterName(int32_t, char* text)
{
    writeEmpty(text);
}

int32_t EffectBase::getStateBlock(void**, bool)
{
    return 0;
}

int32_t EffectBase::setStateBlock(void*, int32_t, bool)
{
    return 0;
}

int32_t EffectBase::getHostVersion()
{
    const intptr_t version = callHost(hostVersion);
    return version == 0 ? 1 : static_cast<int32_t>(version);
}

void EffectBase::requestHostIdle()
{
    callHost(hostIdle);
}

bool EffectBase::inputIsLinked(int32_t index)
{
    return callHost(hostLinked, index, 0) == 0;
}

bool EffectBase::outputIsLinked(int32_t index)
{
    return callHost(hostLinked, index, 1) == 0;
}

void EffectBase::decibelText(float value, char* text)
{
    NumberText::decibelText(value, text);
}

void EffectBase::hertzText(float samples, char* text)
{
    NumberText::hertzText(samples, sampleRate_, text);
}

void EffectBase::millisecondsText(float samples, char* text)
{
    NumberText::millisecondsText(samples, sampleRate_, text);
}

void EffectBase::realText(float value, char* text)
{
    NumberText::realText(value, text);
}

void EffectBase::integerText(int32_t value, char* text)
{
    NumberText::integerText(value, text);
}

intptr_t EffectBase::callHost(int32_t opcode, int32_t index, intptr_t value, void* pointer, float opt)
{
    return host_ ? host_(&descriptor_, opcode, index, value, pointer, opt) : 0;
}

void EffectBase::setFlag(int32_t flag, bool on)
{
    if (on)
        descriptor_.flags |= flag;
    else
        descriptor_.flags &= ~flag;
}

} // namespace voltara

#include "plugin/host/EffectBaseEx.h"

#include "plugin/host/HostEditor.h"

namespace voltara {

intptr_t EffectBaseEx::dispatch(int32_t opcode, int32_t index, intptr_t value, void* pointer, float opt)
{
    char* text = static_cast<char*>(pointer);
    switch (opcode) {
    // [audio or main thread] MIDI
    case opHandleEvents: return pointer ? handleEvents(static_cast<MidiEventList*>(pointer)) : 0;

    // [main thread] parameters and programs
    case opCanAutomate: return canAutomate(index) ? 1 : 0;
    case opParseParameterText: return text && parseParameterText(index, text) ? 1 : 0;
    case opGetProgramCategoryCount: return getProgramCategoryCount();
    case opGetProgramNameAt: return text && getProgramNameAt(static_cast<int32_t>(value), index, text) ? 1 : 0;
    case opCopyProgram: return copyProgram(index) ? 1 : 0;

    // [main thread] connections and bus information
    case opConnectInput: connectInput(index, value != 0); return 1;
    case opConnectOutput: connectOutput(index, value != 0); return 1;
    case opGetInputInfo: return pointer && getInputInfo(index, pointer) ? 1 : 0;
    case opGetOutputInfo: return pointer && getOutputInfo(index, static_cast<OutputInfo*>(pointer)) ? 1 : 0;
    case opGetCategory: return getCategory();

    // [main thread, suspended] stores without recomputing anything derived
    case opSetBlockSizeAndRate:
        blockSize_ = static_cast<int32_t>(value);
        sampleRate_ = opt;
        return 1;

    // [main thread] identity
    case opGetEffectName: return text && getEffectName(text) ? 1 : 0;
    case opGetErrorText: return text && getErrorText(text) ? 1 : 0;
    case opGetVendorName: return text && getVendorName(text) ? 1 : 0;
    case opGetProductName: return text && getProductName(text) ? 1 : 0;
    case opGetVendorVersion: return getVendorVersion();
    case opVendorCall: return vendorSpecific(index, value, pointer, opt);
    case opCapability: return text ? answerCapability(text) : -1;
    case opGetTailSize: return getTailSize();
    case opIdle: return idle();
    case opKeysRequired: return needsKeys() ? 0 : 1;
    case opGetInterfaceVersion: return getInterfaceVersion();
    case 63: // the program-list query answers "no list"
        return -1;

    // [window thread] editor keys and knob mode
    case opEditorKeyDown:
    case opEditorKeyUp: {
        if (!editor_)
            return 0;
        KeyRecord key{index, static_cast<uint8_t>(value & 0xff),
                      static_cast<uint8_t>(static_cast<int32_t>(opt) & 0xff)};
        return opcode == opEditorKeyDown ? editor_->onKeyDown(&key) : editor_->onKeyUp(&key);
    }
    case opEditorKnobStyle: return editor_ ? editor_->setKnobStyle(value) : 0;

    default:
        if (opcode >= opHandleEvents && opcode <= 68)
            return 0;
        return EffectBase::dispatch(opcode, index, value, pointer, opt);
    }
}

intptr_t EffectBaseEx::requestEvents(int32_t on)
{
    return callHost(hostWantEvents, 0, on);
}

TimeInfo* EffectBaseEx::queryHostTime(intptr_t filter)
{
    return reinterpret_cast<TimeInfo*>(callHost(hostGetTime, 0, filter));
}

int32_t EffectBaseEx::handleEvents(MidiEventList*)
{
    return 0;
}

bool EffectBaseEx::getProgramNameAt(int32_t, int32_t, char*)
{
    return false;
}

bool EffectBaseEx::copyProgram(int32_t)
{
    return false;
}

bool EffectBaseEx::notifyHost14()
{
    return callHost(hostNotify14) > 0;
}

bool EffectBaseEx::getOutputInfo(int32_t, OutputInfo*)
{
    return false;
}

int32_t EffectBaseEx::getCategory()
{
    return (descriptor_.flags & DescriptorFlag::bit8) ? 2 : 0;
}

bool EffectBaseEx::askHostCapability(char* text)
{
    return callHost(hostCapability, 0, 0, text) > 0;
}

bool EffectBaseEx::refreshHost()
{
    return callHost(hostRefresh) != 0;
}

bool EffectBaseEx::beginGesture(int32_t index)
{
    return callHost(hostBeginGesture, index) != 0;
}

bool EffectBaseEx::endGesture(int32_t index)
{
    return callHost(hostEndGesture, index) != 0;
}

bool EffectBaseEx::openFileSelector(void* record)
{
    return record && callHost(hostOpenFileSelector, 0, 0, record) != 0;
}

} // namespace voltara

#pragma once

#include "plugin/host/EffectBase.h"

namespace voltara {

// The extended host interface: events, program lists, identity texts,
// capabilities, gestures and the file selector (opcodes 25 to 68).
class EffectBaseEx : public EffectBase {
public:
    using EffectBase::EffectBase;

    intptr_t dispatch(int32_t opcode, int32_t index, intptr_t value, void* pointer, float opt) override;

    virtual HostEditor* getEditor() { return editor_; }
    virtual intptr_t requestEvents(int32_t on);
    // The host's time record, or null when the host has none.
    virtual TimeInfo* queryHostTime(intptr_t filter);
    // [audio or main thread] MIDI events; 1 when handled.
    virtual int32_t handleEvents(MidiEventList* events);
    virtual bool canAutomate(int32_t) { return true; }
    virtual bool parseParameterText(int32_t, char*) { return false; }
    virtual int32_t getProgramCategoryCount() { return 1; }
    virtual bool getProgramNameAt(int32_t category, int32_t program, char* text);
    virtual bool copyProgram(int32_t destination);
    virtual bool notifyHost14();
    virtual void connectInput(int32_t, bool) {}
    virtual void connectOutput(int32_t, bool) {}
    virtual bool getInputInfo(int32_t, void*) { return false; }
    virtual bool getOutputInfo(int32_t index, OutputInfo* info);
    virtual int32_t getCategory();
    virtual void setFlagBit10(bool on) { setFlag(DescriptorFlag::bit10, on); }
    virtual void setFlagBit11(bool on) { setFlag(DescriptorFlag::bit11, on); }
    virtual bool askHostCapability(char* text);
    virtual void setFlagBit8(bool on) { setFlag(DescriptorFlag::bit8, on); }
    virtual void setFlagBit9(bool on) { setFlag(DescriptorFlag::bit9, on); }
    virtual bool refreshHost();
    virtual bool getEffectName(char*) { return false; }
    virtual bool getErrorText(char*) { return false; }
    virtual bool getVendorName(char*) { return false; }
    virtual bool getProductName(char*) { return false; }
    virtual int32_t getVendorVersion() { return 0; }
    virtual intptr_t vendorSpecific(int32_t, intptr_t, void*, float) { return 0; }
    // 1 or -1, never 0.
    virtual int32_t answerCapability(const char*) { return 0; }
    virtual int32_t getTailSize() { return 0; }
    virtual int32_t idle() { return 0; }
    virtual bool needsKeys() { return false; }
    virtual int32_t getInterfaceVersion() { return 2200; }
    virtual bool beginGesture(int32_t index);
    virtual bool endGesture(int32_t index);
    virtual bool openFileSelector(void* record);
};

} // namespace voltara

#pragma once

#include "common/Relaxed.h"
#include "plugin/host/PluginDescriptor.h"

#include <cstdint>

namespace voltara {

class HostEditor;

// Turns the descriptor's C entries into virtual operations. Owns the embedded
// descriptor that the host holds; the descriptor's owner field leads back here.
class EffectBase {
public:
    EffectBase(HostCallback host, int32_t programCount, int32_t parameterCount);
    EffectBase(const EffectBase&) = delete;
    EffectBase& operator=(const EffectBase&) = delete;
    virtual ~EffectBase();

    PluginDescriptor* descriptor() { return &descriptor_; }
    static EffectBase* fromDescriptor(PluginDescriptor* descriptor);
    // The host's opClose. The instance goes at once, or, when the host closed
    // it from inside a call the editor made for the user's input (a drag
    // telling the host of a change), once that input has unwound; the host
    // is not called again either way.
    void release();

    // [any thread] parameter entries
    virtual void setParameter(int32_t index, float value);
    virtual float getParameter(int32_t index);
    // Also tells the host, so that it records automation.
    virtual void setParameterAndNotify(int32_t index, float value);

    // [audio thread, resumed]
    virtual void processAccumulating(float** inputs, float** outputs, int32_t frames) = 0;
    virtual void processOverwriting(float** inputs, float** outputs, int32_t frames);

    // [main thread] every opcode, answered for any arguments
    virtual intptr_t dispatch(int32_t opcode, int32_t index, intptr_t value, void* pointer, float opt);

    virtual void open() {}
    virtual void close() {}

    // [main thread] programs
    virtual int32_t getProgram() { return currentProgram_.load(); }
    virtual void setProgram(int32_t program) { currentProgram_ = program; }
    virtual void setProgramName(char* name);
    virtual void getProgramName(char* name);

    // [main thread] parameter texts, at most 8 characters unless said otherwise
    virtual void getParameterUnit(int32_t index, char* text);
    virtual void getParameterText(int32_t index, char* text);
    virtual void getParameterName(int32_t index, char* text);

    virtual float getMeterLevel() { return 0.0f; }
    virtual int32_t getStateBlock(void** data, bool isPreset);
    virtual int32_t setStateBlock(void* data, int32_t byteSize, bool isPreset);

    // [main thread, suspended]
    virtual void setSampleRate(float rate) { sampleRate_ = rate; }
    virtual void setBlockSize(int32_t frames) { blockSize_ = frames; }
    virtual void suspend() {}
    virtual void resume() {}

    virtual void setUniqueId(int32_t id) { descriptor_.uniqueId = id; }
    virtual void setInputCount(int32_t count) { descriptor_.inputCount = count; }
    virtual void setOutputCount(int32_t count) { descriptor_.outputCount = count; }
    virtual void setFlagBit2(bool on) { setFlag(DescriptorFlag::bit2, on); }
    virtual void setFlagBit1(bool on) { setFlag(DescriptorFlag::bit1, on); }
    virtual void setFlagBit3(bool on) { setFlag(DescriptorFlag::bit3, on); }
    virtual void setFlagBit4(bool on) { setFlag(DescriptorFlag::bit4, on); }
    virtual void setFlagBit5(bool on) { setFlag(DescriptorFlag::bit5, on); }
    virtual void setAuxWord1(int32_t word) { descriptor_.auxWord1 = word; }
    virtual void setAuxWord2(int32_t word) { descriptor_.auxWord2 = word; }
    virtual void setAuxWord0(int32_t word) { descriptor_.auxWord0 = word; }
    virtual float getSampleRate() { return sampleRate_; }
    virtual int32_t getBlockSize() { return blockSize_; }

    // Host calls; each answers as "no host" when there is no callback.
    virtual int32_t getHostVersion();
    virtual void requestHostIdle();
    virtual bool inputIsLinked(int32_t index);
    virtual bool outputIsLinked(int32_t index);

    virtual void decibelText(float value, char* text);
    virtual void hertzText(float samples, char* text);
    virtual void millisecondsText(float samples, char* text);
    virtual void realText(float value, char* text);
    virtual void integerText(int32_t value, char* text);

    // Attaches an editor (the editor base does this on construction); the
    // plug-in deletes it when it goes.
    void attachEditor(HostEditor* editor);
    HostEditor* editor() const { return editor_; }

protected:
    intptr_t callHost(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* pointer = nullptr, float opt = 0.0f);
    bool hasHost() const { return host_ != nullptr; }
    void setFlag(int32_t flag, bool on);
    int32_t programCount() const { return descriptor_.programCount; }
    int32_t parameterCount() const { return descriptor_.parameterCount; }

    float sampleRate_ = 44100.0f;
    HostEditor* editor_ = nullptr;
    HostCallback host_;
    Relaxed<int32_t> currentProgram_{0}; // also read by MIDI handling on the audio thread
    int32_t blockSize_ = 1024;
    PluginDescriptor descriptor_;
};

} // namespace voltara

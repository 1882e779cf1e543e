#pragma once

#include "common/FourCharCode.h"

#include <cstddef>
#include <cstdint>

namespace voltara {

struct PluginDescriptor;

// The host's callback. value and the result are pointer-sized so that calls
// returning records (time information) work on every build.
using HostCallback = intptr_t (*)(PluginDescriptor* descriptor, int32_t opcode, int32_t index, intptr_t value,
                                  void* pointer, float opt);

using DispatchEntry = intptr_t (*)(PluginDescriptor* descriptor, int32_t opcode, int32_t index, intptr_t value,
                                   void* pointer, float opt);
using ProcessEntry = void (*)(PluginDescriptor* descriptor, float** inputs, float** outputs, int32_t frames);
using SetParameterEntry = void (*)(PluginDescriptor* descriptor, int32_t index, float value);
using GetParameterEntry = float (*)(PluginDescriptor* descriptor, int32_t index);

constexpr int32_t descriptorMagic = fourCharCode('M', 'o', 'x', 'P');

// The record a host receives from `main`. 144 bytes in the 32-bit build; in
// 64-bit builds only the pointer fields widen.
struct PluginDescriptor {
    int32_t magic;
    DispatchEntry dispatch;
    ProcessEntry processAccumulating; // adds to the output buffers
    SetParameterEntry setParameter;
    GetParameterEntry getParameter;
    int32_t programCount;
    int32_t parameterCount;
    int32_t inputCount;
    int32_t outputCount;
    int32_t flags;
    int32_t reserved1;
    int32_t reserved2;
    int32_t auxWord0;
    int32_t auxWord1;
    int32_t auxWord2;
    float rateRatio;
    void* owner;    // the plug-in object
    void* hostUser; // the host's own; never touched by the plug-in
    int32_t uniqueId;
    int32_t version;
    ProcessEntry processOverwriting; // overwrites the output buffers
    char reserved3[60];
};

// Flag values of the descriptor's flags word.
namespace DescriptorFlag {
constexpr int32_t hasEditor = 1;
constexpr int32_t bit1 = 2;
constexpr int32_t bit2 = 4;
constexpr int32_t bit3 = 8;
constexpr int32_t bit4 = 16;
constexpr int32_t bit5 = 32;
constexpr int32_t bit8 = 256;
constexpr int32_t bit9 = 512;
constexpr int32_t bit10 = 1024;
constexpr int32_t bit11 = 2048;
} // namespace DescriptorFlag

// Requests the host sends through the descriptor's dispatch entry.
enum Opcode : int32_t {
    opOpen = 0,
    opClose = 1,
    opSetProgram = 2,
    opGetProgram = 3,
    opSetProgramName = 4,
    opGetProgramName = 5,
    opGetParameterUnit = 6,
    opGetParameterText = 7,
    opGetParameterName = 8,
    opGetMeter = 9,
    opSetSampleRate = 10,
    opSetBlockSize = 11,
    opSuspendResume = 12,
    opEditorGetRect = 13,
    opEditorOpen = 14,
    opEditorClose = 15,
    opEditorIdle = 19,
    opIdentity = 22,
    opGetStateBlock = 23,
    opSetStateBlock = 24,
    opHandleEvents = 25,
    opCanAutomate = 26,
    opParseParameterText = 27,
    opGetProgramCategoryCount = 28,
    opGetProgramNameAt = 29,
    opCopyProgram = 30,
    opConnectInput = 31,
    opConnectOutput = 32,
    opGetInputInfo = 33,
    opGetOutputInfo = 34,
    opGetCategory = 35,
    opSetBlockSizeAndRate = 43,
    opGetEffectName = 45,
    opGetErrorText = 46,
    opGetVendorName = 47,
    opGetProductName = 48,
    opGetVendorVersion = 49,
    opVendorCall = 50,
    opCapability = 51,
    opGetTailSize = 52,
    opIdle = 53,
    opKeysRequired = 57,
    opGetInterfaceVersion = 58,
    opEditorKeyDown = 59,
    opEditorKeyUp = 60,
    opEditorKnobStyle = 61,
};

// Requests the plug-in sends through the host callback.
enum HostOpcode : int32_t {
    hostAutomate = 0,
    hostVersion = 1,
    hostIdle = 3,
    hostLinked = 4,
    hostWantEvents = 6,
    hostGetTime = 7,
    hostNotify14 = 14,
    hostCapability = 37,
    hostRefresh = 42,
    hostBeginGesture = 43,
    hostEndGesture = 44,
    hostOpenFileSelector = 45,
};

// The host's time record; the plug-in reads two fields of it.
struct TimeInfo {
    double samplePosition;
    double sampleRate;
    double systemTime;
    double songPosition; // quarter notes, byte 24
    double tempo;        // beats per minute, byte 32
    double barStart;
    double loopStart;
    double loopEnd;
    int32_t timeSignatureNumerator;
    int32_t timeSignatureDenominator;
    int32_t smpteOffset;
    int32_t smpteRate;
    int32_t samplesToClock;
    int32_t flags;
};

// Filter value of the time request: 0x200 + 0x400 + 0x800.
constexpr intptr_t timeInfoFilter = 3584;

// What the plug-in tells the host about one output.
struct OutputInfo {
    char label[64];
    int32_t flags;
};

// The editor's size as opEditorGetRect hands it out, in pixels.
struct EditorRect {
    int16_t top;
    int16_t left;
    int16_t bottom;
    int16_t right;
};

struct KeyRecord {
    int32_t character;
    uint8_t virtualKey;
    uint8_t modifier;
};

// A MIDI event record: type 1, status and data bytes at bytes 24 to 26.
struct MidiEvent {
    int32_t type;
    int32_t byteSize;
    int32_t deltaFrames;
    int32_t flags;
    int32_t noteLength;
    int32_t noteOffset;
    uint8_t data[4];
    uint8_t detune;
    uint8_t noteOffVelocity;
    uint8_t reserved1;
    uint8_t reserved2;
};

constexpr int32_t midiEventType = 1;

// Count, a reserved word, then that many event pointers (the host allocates
// the list with room for all of them).
struct MidiEventList {
    int32_t count;
    int32_t reserved;
    MidiEvent* events[2];

    // Event i of count: the record declares two pointers, the host's list
    // holds count of them, so they are reached from the first one's address
    // rather than by indexing the declared array past its end.
    MidiEvent* event(int32_t i) const { return (&events[0])[i]; }
};

static_assert(offsetof(TimeInfo, songPosition) == 24, "song position at byte 24");
static_assert(offsetof(TimeInfo, tempo) == 32, "tempo at byte 32");
static_assert(offsetof(OutputInfo, flags) == 64, "output flags at byte 64");
static_assert(offsetof(MidiEvent, data) == 24, "MIDI bytes at byte 24");

// The record layout hosts rely on, where pointers are 32 bits wide.
static_assert(sizeof(void*) != 4 || sizeof(PluginDescriptor) == 144, "descriptor is 144 bytes");
static_assert(sizeof(void*) != 4 || offsetof(PluginDescriptor, dispatch) == 4, "");
static_assert(sizeof(void*) != 4 || offsetof(PluginDescriptor, processAccumulating) == 8, "");
static_assert(sizeof(void*) != 4 || offsetof(PluginDescriptor, setParameter) == 12, "");
static_assert(sizeof(void*) != 4 || offsetof(PluginDescriptor, getParameter) == 16, "");
static_assert(sizeof(void*) != 4 || offsetof(PluginDescriptor, programCount) == 20, "");
static_assert(sizeof(void*) != 4 || offsetof(PluginDescriptor, parameterCount) == 24, "");
static_assert(sizeof(void*) != 4 || offsetof(PluginDescriptor, inputCount) == 28, "");
static_assert(sizeof(void*) != 4 || offsetof(PluginDescriptor, outputCount) == 32, "");
static_assert(sizeof(void*) != 4 || offsetof(PluginDescriptor, flags) == 36, "");
static_assert(sizeof(void*) != 4 || offsetof(PluginDescriptor, reserved1) == 40, "");
static_assert(sizeof(void*) != 4 || offsetof(PluginDescriptor, reserved2) == 44, "");
static_assert(sizeof(void*) != 4 || offsetof(PluginDescriptor, auxWord0) == 48, "");
static_assert(sizeof(void*) != 4 || offsetof(PluginDescriptor, auxWord1) == 52, "");
static_assert(sizeof(void*) != 4 || offsetof(PluginDescriptor, auxWord2) == 56, "");
static_assert(sizeof(void*) != 4 || offsetof(PluginDescriptor, rateRatio) == 60, "");
static_assert(sizeof(void*) != 4 || offsetof(PluginDescriptor, owner) == 64, "");
static_assert(sizeof(void*) != 4 || offsetof(PluginDescriptor, hostUser) == 68, "");
static_assert(sizeof(void*) != 4 || offsetof(PluginDescriptor, uniqueId) == 72, "");
static_assert(sizeof(void*) != 4 || offsetof(PluginDescriptor, version) == 76, "");
static_assert(sizeof(void*) != 4 || offsetof(PluginDescriptor, processOverwriting) == 80, "");
static_assert(sizeof(void*) != 4 || offsetof(PluginDescriptor, reserved3) == 84, "");
static_assert(offsetof(MidiEventList, events) == 8, "event pointers follow two words");
// Elsewhere only the pointer fields widen: the ten words from the program
// count to the rate ratio stay together.
static_assert(offsetof(PluginDescriptor, rateRatio) - offsetof(PluginDescriptor, programCount) == 40, "");

} // namespace voltara

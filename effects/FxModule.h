#pragma once

#include "common/Relaxed.h"

#include <cstddef>
#include <cstdint>

namespace voltara {

// Base of every effect in the rack. Eight normalised parameter slots (slot 0
// is the on switch), a sample-rate call that doubles as reset, a tempo input,
// and in-place processing of an interleaved stereo buffer (left at even,
// right at odd positions).
//
// Threads: setParameter and the text calls come from the host's parameter and
// editor threads; process and setTempo from the audio thread; setSampleRate
// from resume, reset from resume or the audio thread, never concurrently with
// process.
class FxModule {
public:
    static constexpr int32_t slotCount = 8;
    // Slot 0 of every module switches it on above 0.5.
    static constexpr int32_t onSwitch = 0;

    // How a slot's value reads in its display text.
    struct SlotText {
        enum Kind : int32_t {
            none,     // no text
            onOff,    // offText at 0.5 and below, onText above
            percent,  // the value x 100 with format
            syncable, // a note value while synchronised, else the module's free value with format
        };
        Kind kind = none;
        const char* format = nullptr;
        const char* offText = "OFF";
        const char* onText = "ON";
    };

    // What a module is, as one table: its name (slot -1), its slots' names,
    // their defaults and how their values read.
    struct Description {
        const char* name;
        const char* slotNames[slotCount];
        float defaults[slotCount];
        SlotText texts[slotCount];
    };

    // Without a description: no names, no texts, every slot 0.
    FxModule() = default;
    // A module starts with its own defaults in every slot. The description
    // must outlive the module.
    explicit FxModule(const Description& description);
    FxModule(const FxModule&) = delete;
    FxModule& operator=(const FxModule&) = delete;
    virtual ~FxModule() = default;

    // [host thread] Stores the rate, sizes what depends on it (the only place
    // a module allocates), then resets.
    virtual void setSampleRate(float rate);
    // beatsPerSample: host tempo / (60 x rate). beatsPerBar is passed as 4.0
    // and read by no module.
    virtual void setTempo(double beatsPerSample, double beatsPerBar);
    // Processes count frames in place. songPosBeats: quarter notes at the
    // block's first frame.
    virtual void process(float* frames, int32_t count, double songPosBeats);
    // Stores the value as received (never clamped), then converts it; the
    // base sets on_ from the on switch.
    virtual void setParameter(int32_t slot, float value);
    virtual float getParameter(int32_t slot) const;
    // slot -1: module name, 0: switch caption, 1..7: parameter names.
    virtual void getParameterName(int32_t slot, char* text) const;
    // As the description says; a module whose texts need more overrides it.
    virtual void getParameterText(int32_t slot, char* text) const;
    // 0 .. 7: where the module's modulation stands, for the editor's lamps.
    virtual int32_t getLfoLamp() const;
    // [audio or host thread] Clears delay lines, filters and LFO phase and
    // recomputes every coefficient from the stored params, at the rate the
    // module has; never allocates. The base sets the same rate again, which
    // is all a module without lines needs.
    virtual void reset();

    static bool isValidSlot(int32_t slot) { return slot >= 0 && slot < slotCount; }
    // A switch slot is on above 0.5; exactly 0.5 is off.
    static bool switchIsOn(float value) { return value > 0.5f; }

    // Display texts are at most 9 characters and the terminator.
    static constexpr size_t textSize = 10;

protected:
    // The text of a module with a syncable slot, a rate or time knob: its note
    // value ("16/4" .. "1/32") while synchronised, else freeValue with the
    // description's format. Every other slot reads as the description says.
    void syncableSlotText(int32_t slot, bool synced, float freeValue, char* text) const;
    // Stores the rate and its inverse, for setSampleRate.
    void storeSampleRate(float rate);
    // Converts every stored value again, after a reset or a new rate.
    void reapplyParameters();

    Relaxed<float> sampleRate_{44100.0f}; // Hz
    Relaxed<float> invSampleRate_{1.0f / 44100.0f};
    Relaxed<float> params_[slotCount]{};
    Relaxed<int32_t> on_{0}; // the on switch: the module processes audio

private:
    const Description* description_ = nullptr;
};

// The entries of a description's texts.
constexpr FxModule::SlotText onOffSlot{FxModule::SlotText::onOff};
constexpr FxModule::SlotText switchSlot(const char* offText, const char* onText)
{
    return {FxModule::SlotText::onOff, nullptr, offText, onText};
}
constexpr FxModule::SlotText percentSlot(const char* format)
{
    return {FxModule::SlotText::percent, format};
}
constexpr FxModule::SlotText syncableSlot(const char* format)
{
    return {FxModule::SlotText::syncable, format};
}

// Copies a constant text into a caller's buffer.
void copyText(char* text, const char* source);
// A number in a display text. Callers provide room for the longest text (9
// characters); a value far outside 0 .. 1 is cut there, never written past it.
void formatText(char* text, const char* format, float value);

} // namespace voltara

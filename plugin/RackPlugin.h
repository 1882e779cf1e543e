#pragma once

#include "effects/FxModule.h"
#include "plugin/ProgramRecord.h"
#include "plugin/RackAccess.h"
#include "plugin/RackParameters.h"
#include "plugin/host/EffectBaseEx.h"

#include <cstdint>
#include <memory>

namespace voltara {

// Creates the module of one slot; a null answer makes construction fail.
using ModuleFactory = std::unique_ptr<FxModule> (*)(int32_t slot);

// The rack: 72 parameters over nine modules, the audio chain behind the
// global Bypass, 32 programs, bank files and the content folder. The editor
// sees it as a RackAccess.
class RackPlugin : public EffectBaseEx, public RackAccess {
public:
    static constexpr int32_t maxWorkFrames = 65536;
    // The sample rates the rack processes at (Hz); at any other rate it gives
    // the host its input back unprocessed.
    static constexpr float lowestSampleRate = 8000.0f;
    static constexpr float highestSampleRate = 384000.0f;
    static bool supportsSampleRate(float rate) { return rate >= lowestSampleRate && rate <= highestSampleRate; }

    // Throws std::bad_alloc when a module cannot be created.
    explicit RackPlugin(HostCallback host, ModuleFactory factory = createRackModule);
    ~RackPlugin() override;

    static std::unique_ptr<FxModule> createRackModule(int32_t slot);

    // [any thread] parameters
    void setParameter(int32_t index, float value) override;
    float getParameter(int32_t index) override;
    void setParameterAndNotify(int32_t index, float value) override;
    void getParameterUnit(int32_t index, char* text) override;
    void getParameterText(int32_t index, char* text) override;
    void getParameterName(int32_t index, char* text) override;
    int32_t handleEvents(MidiEventList* events) override;

    // [audio thread, resumed]
    void processAccumulating(float** inputs, float** outputs, int32_t frames) override;
    void processOverwriting(float** inputs, float** outputs, int32_t frames) override;

    // [main thread, suspended]
    void setSampleRate(float rate) override;
    void setBlockSize(int32_t frames) override;
    void suspend() override;
    void resume() override;

    // [main thread] programs
    void setProgram(int32_t program) override;
    void setProgramName(char* name) override;
    void getProgramName(char* name) override;
    bool getProgramNameAt(int32_t category, int32_t program, char* text) override;
    bool copyProgram(int32_t destination) override;
    const ProgramRecord& program(int32_t index) const { return programs_[index]; }
    // [any thread] Program number's 72 values into values; false for a number
    // outside 0 .. 31 or no room.
    bool copyProgramValues(intptr_t number, float* values) const;

    // [window thread] content folder and banks
    // Reads a bank of 32 programs; 0 when the file cannot be read.
    int32_t loadBankFile(const char* path) override;
    // Finds the content folder and loads the factory bank (construction only).
    void initContent();
    // Stores the folder the user chose; it takes effect at the next load.
    void setInstallPath(const char* folder) override;
    bool contentMissing() const override { return contentMissing_ != 0; }
    const char* contentFolder() const { return contentFolderPath_; }
    const char* lastBankPath() const override { return lastBankPath_; }

    // [window thread] the modulation lamps of the switched-on modules, three
    // bits each, as a float for the editor's display.
    float getLedState() const override;
    // [any thread] the same lamps as an integer, three bits each (LampPacking).
    int32_t packedLamps() const;
    // Answers the VendorCall indices (the lamps, a program's values, a bank
    // to load, a content folder to record); 0 to anything else.
    intptr_t vendorSpecific(int32_t index, intptr_t value, void* pointer, float opt) override;

    // [window thread] host services of the editor's dialogs
    bool askHostCapability(char* text) override;
    bool openFileSelector(void* record) override;

    // [main thread] identity
    bool getOutputInfo(int32_t index, OutputInfo* info) override;
    bool getEffectName(char* text) override;
    bool getVendorName(char* text) override;
    bool getProductName(char* text) override;
    int32_t getVendorVersion() override { return 1; }
    int32_t answerCapability(const char* text) override;

    FxModule* module(int32_t slot) const { return modules_[slot].get(); }

private:
    // Makes program current and puts its 72 values in force, without the editor.
    void loadProgram(int32_t program);
    // Puts a value in force (the current values and its module); no program
    // record changes.
    void applyParameter(int32_t index, float value);
    void process(float** inputs, float** outputs, int32_t frames, bool accumulate);
    void readHostTime();
    void runChain(float* work, int32_t frames, double songPosition);
    void runSwitchedModule(int32_t slot, float* work, int32_t frames, double songPosition);
    bool isOn(int32_t slot) const { return FxModule::switchIsOn(values_[onSwitchIndex(slot)]); }

    std::unique_ptr<FxModule> modules_[moduleSlotCount];
    Relaxed<float> values_[rackParameterCount]{};
    ProgramRecord programs_[rackProgramCount];

    // Audio state, touched only by the audio entries and by resume/suspend.
    float rackSampleRate_ = 44100.0f;
    bool processing_ = false; // resumed at a supported rate, with a work buffer
    double minuteFactor_ = 1.0 / (44100.0 * 60.0);
    double lastHostTempo_ = 120.0; // beats per minute
    bool hostTempoSeen_ = false;
    double beatsPerSample_ = 0.0;
    double songPosition_ = 0.0; // quarter notes at the next block
    double lastHostPosition_ = 0.0;
    std::unique_ptr<float[]> work_; // interleaved stereo
    int32_t workLength_ = 0;        // floats
    int32_t moduleOff_[moduleSlotCount] = {};

    std::unique_ptr<uint8_t[]> bankBuffer_;
    char contentFolderPath_[256] = "";
    char lastBankPath_[1024] = "";
    int32_t contentMissing_ = 0;
};

} // namespace voltara

#include "plugin/RackPlugin.h"

#include "effects/ChorusModule.h"
#include "effects/DelayModule.h"
#include "effects/FilterModule.h"
#include "effects/FlangerModule.h"
#include "effects/GuitarToneModule.h"
#include "effects/PhaserModule.h"
#include "effects/ReverbModule.h"
#include "effects/TremoloModule.h"
#include "effects/WahModule.h"
#include "plugin/BankReader.h"
#include "plugin/ContentFolder.h"
#include "plugin/host/HostEditor.h"
#include "plugin/host/LampPacking.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <iterator>
#include <new>

namespace voltara {

namespace {

const char* const parameterNames[rackParameterCount] = {
    "Bypass",  ".",          ".",        ".",         ".",         ".",          ".",          ".",
    "WAH On",  "WAH Sync",   "WAH Rate", "WAH Reso",  "WAH Pedal", "WAH Max F",  "WAH Dirt",   ".",
    "FIL On",  "FIL Thresh", "FIL Reso", "FIL Mode",  "Fil Min F", "FIL Max F",  ".",          ".",
    "PHS On",  "PHS Sync",   "PHS Rate", "PHS Color", ".",         "PHS Phase",  "PHS Stereo", ".",
    "FLA On",  "FLA Sync",   "FLA Rate", "FLA Fbk",   "FLA Mix",   "FLA Depth",  "FLA Delay",  ".",
    "CHO On)", "CHO Mode",   "CHO Rate", "CHO Depth", "CHO Fbk",   ".",          ".",          ".",
    "DEL On",  "DEL Sync",   "DEL Time", "DEL Mode",  "DEL Fbk",   "DEL Char",   "DEL Mix",    ".",
    "REV On",  "REV Time",   "REV Mode", "REV Mix",   ".",         ".",          ".",          "REV Pre Mod",
    "TRM On",  "TRM Sync",   "TRM Rate", "TRM Depth", "TRM Width", "TRM Smooth", ".",          ".",
};

bool isParameter(int32_t index)
{
    return index >= 0 && index < rackParameterCount;
}

bool isProgram(int32_t program)
{
    return program >= 0 && program < rackProgramCount;
}

// MIDI controllers that move the wah pedal.
constexpr uint8_t modulationWheel = 1;
constexpr uint8_t footController = 4;

// MIDI controllers 85 to 95 and the parameter each one drives.
constexpr uint8_t firstTableController = 85;
struct ControllerTarget {
    int32_t index;
    bool isSwitch;
};
const ControllerTarget controllerTargets[] = {
    {bypassIndex, true},
    {onSwitchIndex(slotWah), true},
    {onSwitchIndex(slotFilter), true},
    {onSwitchIndex(slotDelay), true},
    {parameterIndex(slotDelay, DelayModule::mixKnob), false},
    {onSwitchIndex(slotReverb), true},
    {parameterIndex(slotReverb, ReverbModule::mixKnob), false},
    {onSwitchIndex(slotTremolo), true},
    {onSwitchIndex(slotChorus), true},
    {onSwitchIndex(slotFlanger), true},
    {onSwitchIndex(slotPhaser), true},
};
constexpr uint8_t lastTableController = firstTableController + std::size(controllerTargets) - 1;

constexpr float pedalScale = 0.007874f;       // about 1/127
constexpr float controllerScale = 0.0079366f; // about 1/126

// A non-finite sample would stay in feedback and delay state for good.
inline float finiteOrZero(float sample)
{
    return std::isfinite(sample) ? sample : 0.0f;
}

} // namespace

std::unique_ptr<FxModule> RackPlugin::createRackModule(int32_t slot)
{
    switch (slot) {
    case slotGuitarTone: return std::make_unique<GuitarToneModule>();
    case slotWah: return std::make_unique<WahModule>();
    case slotFilter: return std::make_unique<FilterModule>();
    case slotPhaser: return std::make_unique<PhaserModule>();
    case slotFlanger: return std::make_unique<FlangerModule>();
    case slotChorus: return std::make_unique<ChorusModule>();
    case slotDelay: return std::make_unique<DelayModule>();
    case slotReverb: return std::make_unique<ReverbModule>();
    case slotTremolo: return std::make_unique<TremoloModule>();
    default: return nullptr;
    }
}

RackPlugin::RackPlugin(HostCallback host, ModuleFactory factory)
    : EffectBaseEx(host, rackProgramCount, rackParameterCount)
{
    for (int32_t slot = 0; slot < moduleSlotCount; ++slot) {
        modules_[slot] = factory(slot);
        if (!modules_[slot])
            throw std::bad_alloc();
    }
    bankBuffer_ = std::make_unique<uint8_t[]>(BankReader::bufferSize);
    std::srand(static_cast<unsigned>(std::time(nullptr)));

    // The modules' own defaults become every program's initial values.
    for (int32_t slot = 0; slot < moduleSlotCount; ++slot) {
        for (int32_t sub = 1; sub < FxModule::slotCount; ++sub) {
            const int32_t index = parameterIndex(slot, sub);
            setParameter(index, modules_[slot]->getParameter(sub));
            for (int32_t p = 1; p < rackProgramCount; ++p)
                programs_[p].values[index] = programs_[0].values[index].load();
        }
    }

    programs_[0].setName("default.fxb not found!");
    initContent();

    if (hasHost()) {
        setInputCount(2);
        setOutputCount(2);
        setFlagBit1(false);
        setFlagBit2(false);
        setFlagBit3(true);
        setFlagBit4(true);
        notifyHost14();
        setUniqueId(fourCharCode('K', 'R', 'f', 'x'));
    }
    setProgram(0);
    suspend();
}

RackPlugin::~RackPlugin() = default;

// ---------------------------------------------------------------- parameters

void RackPlugin::setParameter(int32_t index, float value)
{
    if (isParameter(index) && std::isfinite(value)) {
        programs_[currentProgram_.load()].values[index] = value;
        values_[index] = value;
        if (index == bypassIndex) {
            for (ProgramRecord& record : programs_)
                record.values[bypassIndex] = value;
        } else if (index >= firstModuleIndex) {
            modules_[moduleOf(index)]->setParameter(slotOf(index), value);
        }
    }
    if (editor_)
        editor_->requestRefresh();
}

float RackPlugin::getParameter(int32_t index)
{
    return isParameter(index) ? values_[index].load() : 0.0f;
}

void RackPlugin::getParameterUnit(int32_t, char* text)
{
    text[0] = '\0';
}

void RackPlugin::getParameterText(int32_t index, char* text)
{
    text[0] = '\0';
    if (index == bypassIndex)
        std::strcpy(text, FxModule::switchIsOn(values_[bypassIndex]) ? "FX OFF" : "FX ON");
    else if (index >= firstModuleIndex && index < rackParameterCount)
        modules_[moduleOf(index)]->getParameterText(slotOf(index), text);
}

void RackPlugin::getParameterName(int32_t index, char* text)
{
    std::strcpy(text, isParameter(index) ? parameterNames[index] : ".");
}

int32_t RackPlugin::handleEvents(MidiEventList* list)
{
    for (int32_t i = 0; i < list->count; ++i) {
        MidiEvent* event = list->events[i];
        if (!event || event->type != midiEventType)
            continue;
        const uint8_t kind = event->data[0] & 0xf0;
        const uint8_t first = event->data[1];
        const uint8_t second = event->data[2];
        if (kind == 0x90 && second == 0) {
            event->data[0] = static_cast<uint8_t>(0x80 | (event->data[0] & 0x0f));
        } else if (kind == 0xb0) {
            if (first == modulationWheel || first == footController) {
                setParameterAndNotify(wahPedalIndex, second * pedalScale);
            } else if (first >= firstTableController && first <= lastTableController && second != 0) {
                const ControllerTarget& target = controllerTargets[first - firstTableController];
                const int32_t v = target.isSwitch && second < 64 ? 1 : second;
                setParameterAndNotify(target.index, (v - 1) * controllerScale);
            }
        } else if (kind == 0xc0 && first < rackProgramCount) {
            setProgram(first);
            refreshHost();
        }
    }
    return 1;
}

// ---------------------------------------------------------------- audio

void RackPlugin::setSampleRate(float rate)
{
    EffectBase::setSampleRate(rate);
    rackSampleRate_ = rate;
    minuteFactor_ = 1.0 / (static_cast<double>(rate) * 60.0);
}

void RackPlugin::setBlockSize(int32_t frames)
{
    EffectBase::setBlockSize(frames);
}

void RackPlugin::resume()
{
    // Calls longer than the work buffer are processed in slices, so the
    // buffer never needs to exceed maxWorkFrames.
    const int32_t length = 2 * std::clamp(getBlockSize(), 1, maxWorkFrames);
    if (length != workLength_) {
        work_.reset(new (std::nothrow) float[length]);
        workLength_ = work_ ? length : 0;
    }
    for (auto& module : modules_)
        module->setSampleRate(rackSampleRate_);
    notifyHost14();
    requestEvents(1);
}

void RackPlugin::suspend()
{
    beatsPerSample_ = 0.0;
}

void RackPlugin::processAccumulating(float** inputs, float** outputs, int32_t frames)
{
    process(inputs, outputs, frames, true);
}

void RackPlugin::processOverwriting(float** inputs, float** outputs, int32_t frames)
{
    process(inputs, outputs, frames, false);
}

void RackPlugin::readHostTime()
{
    const TimeInfo* time = queryHostTime(timeInfoFilter);
    if (!time)
        return;
    if (!hostTempoSeen_ || time->tempo != lastHostTempo_) {
        hostTempoSeen_ = true;
        lastHostTempo_ = time->tempo;
        beatsPerSample_ = lastHostTempo_ * minuteFactor_;
        for (auto& module : modules_)
            module->setTempo(beatsPerSample_, 4.0);
    }
    if (time->songPosition != lastHostPosition_) {
        lastHostPosition_ = time->songPosition;
        songPosition_ = time->songPosition;
    }
}

void RackPlugin::process(float** inputs, float** outputs, int32_t frames, bool accumulate)
{
    readHostTime();
    if (frames <= 0 || !inputs || !outputs || !inputs[0] || !inputs[1] || !outputs[0] || !outputs[1])
        return;
    const float* inLeft = inputs[0];
    const float* inRight = inputs[1];
    float* outLeft = outputs[0];
    float* outRight = outputs[1];

    // Before the first resume there is nothing to process with: the host gets
    // its input back.
    if (!work_) {
        for (int32_t j = 0; j < frames; ++j) {
            const float left = finiteOrZero(inLeft[j]);
            const float right = finiteOrZero(inRight[j]);
            outLeft[j] = accumulate ? outLeft[j] + left : left;
            outRight[j] = accumulate ? outRight[j] + right : right;
        }
        return;
    }

    float* work = work_.get();
    const int32_t sliceFrames = workLength_ / 2;
    for (int32_t offset = 0; offset < frames; offset += sliceFrames) {
        const int32_t count = std::min(sliceFrames, frames - offset);
        for (int32_t j = 0; j < count; ++j) {
            work[2 * j] = finiteOrZero(inLeft[offset + j]);
            work[2 * j + 1] = finiteOrZero(inRight[offset + j]);
        }
        if (values_[bypassIndex].load() < 0.5f)
            runChain(work, count, songPosition_);
        if (accumulate) {
            for (int32_t j = 0; j < count; ++j) {
                outLeft[offset + j] += work[2 * j];
                outRight[offset + j] += work[2 * j + 1];
            }
        } else {
            for (int32_t j = 0; j < count; ++j) {
                outLeft[offset + j] = work[2 * j];
                outRight[offset + j] = work[2 * j + 1];
            }
        }
        songPosition_ += count * beatsPerSample_;
    }
}

void RackPlugin::runChain(float* work, int32_t frames, double songPosition)
{
    const bool reverbFirst = FxModule::switchIsOn(values_[reverbPositionIndex]);
    runSwitchedModule(slotWah, work, frames, songPosition);
    runSwitchedModule(slotFilter, work, frames, songPosition);
    if (reverbFirst)
        runSwitchedModule(slotReverb, work, frames, songPosition);
    runSwitchedModule(slotPhaser, work, frames, songPosition);
    runSwitchedModule(slotFlanger, work, frames, songPosition);
    runSwitchedModule(slotChorus, work, frames, songPosition);
    runSwitchedModule(slotDelay, work, frames, songPosition);
    if (!reverbFirst)
        runSwitchedModule(slotReverb, work, frames, songPosition);
    // The tremolo keeps its phase while off: it is skipped, never reset.
    if (isOn(slotTremolo))
        modules_[slotTremolo]->process(work, frames, songPosition);
}

// A module found off is reset once, so it starts from silence when it is
// switched on again.
void RackPlugin::runSwitchedModule(int32_t slot, float* work, int32_t frames, double songPosition)
{
    if (isOn(slot)) {
        moduleOff_[slot] = 0;
        modules_[slot]->process(work, frames, songPosition);
    } else if (!moduleOff_[slot]) {
        modules_[slot]->setSampleRate(rackSampleRate_);
        moduleOff_[slot] = 1;
    }
}

static_assert(LampPacking::places[0].slot == slotFilter && LampPacking::places[5].slot == slotWah,
              "lamp places name the rack's module slots");

int32_t RackPlugin::packedLamps() const
{
    int32_t packed = 0;
    for (const LampPacking::Place& place : LampPacking::places) {
        if (isOn(place.slot))
            packed += modules_[place.slot]->getLfoLamp() << place.shift;
    }
    return packed;
}

float RackPlugin::getLedState() const
{
    return static_cast<float>(packedLamps()) + 0.5f;
}

intptr_t RackPlugin::vendorSpecific(int32_t index, intptr_t, void*, float)
{
    return index == LampPacking::vendorQuery ? packedLamps() : 0;
}

// ---------------------------------------------------------------- programs

void RackPlugin::setProgram(int32_t program)
{
    if (!isProgram(program))
        return;
    currentProgram_ = program;
    for (int32_t index = 0; index < rackParameterCount; ++index)
        setParameter(index, programs_[program].values[index].load());
}

void RackPlugin::setProgramName(char* name)
{
    programs_[currentProgram_.load()].setName(name);
}

void RackPlugin::getProgramName(char* name)
{
    std::strcpy(name, programs_[currentProgram_.load()].name);
}

bool RackPlugin::getProgramNameAt(int32_t, int32_t program, char* text)
{
    if (!isProgram(program))
        return false;
    std::strcpy(text, programs_[program].name);
    return true;
}

bool RackPlugin::copyProgram(int32_t destination)
{
    if (!isProgram(destination))
        return false;
    programs_[destination] = programs_[currentProgram_.load()];
    return true;
}

int32_t RackPlugin::loadBankFile(const char* path)
{
    // A file that is not a bank of ours, or holds no whole program, changes nothing.
    const int32_t blocks = BankReader::read(path, bankBuffer_.get());
    if (blocks == 0)
        return 0;
    std::snprintf(lastBankPath_, sizeof lastBankPath_, "%s", path);
    for (int32_t p = 0; p < blocks; ++p)
        BankReader::decodeProgram(bankBuffer_.get() + p * BankFormat::blockSize, programs_[p]);
    setProgram(getProgram());
    return refreshHost() ? 1 : 0;
}

void RackPlugin::initContent()
{
    const ContentFolder folder = ContentFolder::fromRegistry();
    std::snprintf(contentFolderPath_, sizeof contentFolderPath_, "%s", folder.path().c_str());
    if (!folder.hasStyleData()) {
        contentMissing_ = 1;
        return;
    }
    for (int32_t p = 0; p < rackProgramCount; ++p) {
        programs_[p].setName(" ");
        programs_[p].values[0] = static_cast<float>(p) * 0.01f;
    }
    programs_[0].setName("[nothing loaded]");
    const std::string bank = folder.defaultBankPath();
    std::snprintf(lastBankPath_, sizeof lastBankPath_, "%s", bank.c_str());
    loadBankFile(bank.c_str());
}

void RackPlugin::setInstallPath(const char* folder)
{
    if (!folder || !*folder)
        return;
    ContentFolder::storeInstallPath(folder);
    contentMissing_ = 0;
    programs_[0].setName("Please reload plug-in");
    refreshHost();
}

// ---------------------------------------------------------------- identity

bool RackPlugin::getOutputInfo(int32_t index, OutputInfo* info)
{
    if (index < 0 || index > 1)
        return false;
    std::strcpy(info->label, "Gtr FX");
    info->flags = 3;
    return true;
}

bool RackPlugin::getEffectName(char* text)
{
    std::strcpy(text, "AW Voltara FX");
    return true;
}

bool RackPlugin::getVendorName(char* text)
{
    std::strcpy(text, "Quillet / Brenmark");
    return true;
}

bool RackPlugin::getProductName(char* text)
{
    std::strcpy(text, "AW Voltara FX");
    return true;
}

int32_t RackPlugin::answerCapability(const char* text)
{
    return std::strcmp(text, "receiveMoxEvents") == 0 || std::strcmp(text, "receiveMoxMidiEvent") == 0 ? 1 : -1;
}

} // namespace voltara

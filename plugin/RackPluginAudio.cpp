#include "plugin/RackPlugin.h"

#include "plugin/StereoInterleave.h"
#include "plugin/host/LampPacking.h"
#include "plugin/host/VendorCalls.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <new>
#include <xmmintrin.h>

namespace voltara {

namespace {

// What the rack takes from a host's time information; anything else counts as
// absent (hosts have reported tempos of 0, not a number or beyond 1e44, and
// positions that are not numbers). Up to 10000 beats per minute leaves room
// for the fastest music made; every module stays stable up to it.
constexpr double slowestTempo = 1.0;      // beats per minute
constexpr double fastestTempo = 10000.0;  // beats per minute
constexpr double farthestPosition = 1e12; // quarter notes either side of 0

// The most the chain hands its host, 60 dB above full scale. Every module at
// its most resonant and fed back, at the lowest rates, would go far beyond
// (about 28,000 for full-scale noise at 8 kHz); no musical setting comes near.
constexpr float outputLimit = 1000.0f;

bool isUsableTempo(double tempo)
{
    return tempo >= slowestTempo && tempo <= fastestTempo;
}

bool isUsablePosition(double position)
{
    return position >= -farthestPosition && position <= farthestPosition;
}

// Numbers below the smallest normal float, which every decaying tail passes
// through, take the processor a slow path many times longer than music does.
// For the audio call the rack has results that would be such numbers flushed
// to zero (FTZ) and such inputs read as zero (DAZ), and gives the host its
// own settings back after. The first SSE2 processors lack DAZ (setting it
// would fault); the control register's mask, which FXSAVE stores, tells.
constexpr uint32_t flushToZeroBit = 0x8000;
constexpr uint32_t denormalsAreZeroBit = 0x0040;

uint32_t flushBits()
{
    alignas(16) unsigned char area[512] = {};
    __asm__ volatile("fxsave %0" : "=m"(area));
    uint32_t mask;
    std::memcpy(&mask, area + 28, sizeof mask);
    if (mask == 0)
        mask = 0xFFBF; // what a processor that stores no mask supports: no DAZ
    return flushToZeroBit | (mask & denormalsAreZeroBit);
}

const uint32_t audioFlushBits = flushBits(); // found once, when the library loads

class FlushDenormals {
public:
    FlushDenormals() : saved_(_mm_getcsr()) { _mm_setcsr(saved_ | audioFlushBits); }
    ~FlushDenormals() { _mm_setcsr(saved_); }
    FlushDenormals(const FlushDenormals&) = delete;
    FlushDenormals& operator=(const FlushDenormals&) = delete;

private:
    const uint32_t saved_;
};

} // namespace

void RackPlugin::setSampleRate(float rate)
{
    EffectBase::setSampleRate(rate);
    rackSampleRate_ = rate;
    // At a rate the rack does not process at, the tempo keeps a usable scale.
    if (supportsSampleRate(rate))
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
    // The modules are sized here, on the host's thread, and nowhere else; an
    // unsupported rate leaves them as they were.
    processing_ = work_ && supportsSampleRate(rackSampleRate_);
    if (processing_) {
        for (auto& module : modules_)
            module->setSampleRate(rackSampleRate_);
    }
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
    if (isUsableTempo(time->tempo) && (!hostTempoSeen_ || time->tempo != lastHostTempo_)) {
        hostTempoSeen_ = true;
        lastHostTempo_ = time->tempo;
        beatsPerSample_ = lastHostTempo_ * minuteFactor_;
        for (auto& module : modules_)
            module->setTempo(beatsPerSample_, 4.0);
    }
    if (isUsablePosition(time->songPosition) && time->songPosition != lastHostPosition_) {
        lastHostPosition_ = time->songPosition;
        songPosition_ = time->songPosition;
    }
}

void RackPlugin::process(float** inputs, float** outputs, int32_t frames, bool accumulate)
{
    const FlushDenormals flush;
    readHostTime();
    if (frames <= 0 || !inputs || !outputs || !inputs[0] || !inputs[1] || !outputs[0] || !outputs[1])
        return;
    const float* inLeft = inputs[0];
    const float* inRight = inputs[1];
    float* outLeft = outputs[0];
    float* outRight = outputs[1];

    // Before the first resume, or at a rate the rack does not process at, the
    // host gets its input back.
    if (!processing_) {
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
        interleaveFinite(inLeft + offset, inRight + offset, work, count);
        const bool chainRuns = values_[bypassIndex].load() < 0.5f;
        if (chainRuns)
            runChain(work, count, songPosition_);
        // Bypassed, the host gets its input back as it was.
        const float limit = chainRuns ? outputLimit : std::numeric_limits<float>::infinity();
        deinterleaveLimited(work, outLeft + offset, outRight + offset, count, limit, accumulate);
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
// switched on again. The reset keeps the rate and the lines the module got at
// resume: nothing is allocated on the audio thread.
void RackPlugin::runSwitchedModule(int32_t slot, float* work, int32_t frames, double songPosition)
{
    if (isOn(slot)) {
        moduleOff_[slot] = 0;
        modules_[slot]->process(work, frames, songPosition);
    } else if (!moduleOff_[slot]) {
        modules_[slot]->reset();
        moduleOff_[slot] = 1;
    }
}

static_assert(LampPacking::places[0].slot == slotFilter && LampPacking::places[1].slot == slotPhaser
                  && LampPacking::places[2].slot == slotFlanger && LampPacking::places[3].slot == slotChorus
                  && LampPacking::places[4].slot == slotTremolo && LampPacking::places[5].slot == slotWah,
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

intptr_t RackPlugin::vendorSpecific(int32_t index, intptr_t value, void* pointer, float)
{
    if (index == VendorCall::lamps)
        return packedLamps();
    if (index == VendorCall::programValues)
        return copyProgramValues(value, static_cast<float*>(pointer)) ? 1 : 0;
    if (index == VendorCall::loadBank)
        return pointer ? loadBankFile(static_cast<const char*>(pointer)) : 0;
    if (index == VendorCall::setContentFolder && pointer) {
        setInstallPath(static_cast<const char*>(pointer));
        return 1;
    }
    return 0;
}

} // namespace voltara

#pragma once

#include "lv2/ControlInputs.h"
#include "plugin/host/PluginDescriptor.h"
#include "tools/pluginhost/RackSession.h"

#include "lv2/core/lv2.h"
#include "lv2/log/log.h"
#include "lv2/state/state.h"
#include "lv2/urid/urid.h"

#include <atomic>
#include <cstdint>
#include <string>

namespace voltara::lv2 {

// The plug-in's saved state (the LV2 state extension): the rack session as
// text (pluginhost::RackSessionText) under the key sessionKey, and the values
// the controls last gave the rack under controlsKey, 72 floats by parameter
// index. A restore reads what is good over the rack's own programs, tells the
// host's log what it left out, and while the plug-in runs hands the session
// to the audio thread, which puts it into the rack between two runs.
class RackState {
public:
    static std::string sessionKey();
    static std::string controlsKey();

    // Without a URID map nothing is saved or restored; log may be null.
    // rate: the instance's sample rate, in Hz.
    RackState(PluginDescriptor* rack, ControlInputs& controls, const LV2_URID_Map* map, const LV2_Log_Log* log,
              double rate);

    // [any thread, also while run runs]
    LV2_State_Status save(LV2_State_Store_Function store, LV2_State_Handle handle);
    // [main thread; while active also during run]
    LV2_State_Status restore(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle,
                             const LV2_Feature* const* features);

    // [audio thread] Puts a session restored meanwhile into the rack; before
    // the run's controls.
    void takeRestored();

    // [main thread] From activate to deactivate restored sessions go through
    // run; at deactivate one not yet taken goes into the rack at once.
    void setActive(bool active);

private:
    enum Handover : int { empty, writing, ready, taking };

    void tell(LV2_URID level, const std::string& line) const;
    // The saved controls into savedControls_; false when they are there but
    // not 72 numbers.
    bool readControls(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle);
    void apply();

    PluginDescriptor* rack_;
    ControlInputs& controls_;
    const LV2_Log_Log* log_;
    bool mapped_ = false;
    LV2_URID sessionKey_ = 0, controlsKey_ = 0;
    LV2_URID atomString_ = 0, atomVector_ = 0, atomFloat_ = 0;
    LV2_URID logError_ = 0, logWarning_ = 0, logTrace_ = 0;
    uint32_t expectedFrames_; // how long the host may take to set its controls back
    bool active_ = false;

    // A restored session on its way to the audio thread.
    std::atomic<int> handover_{empty};
    pluginhost::RackSession session_;
    float savedControls_[pluginhost::RackSession::parameterCount] = {};
};

} // namespace voltara::lv2

#pragma once

#include "common/Relaxed.h"
#include "lv2/PortTable.h"
#include "lv2/UserEdits.h"
#include "plugin/host/PluginDescriptor.h"

#include <cstdint>

namespace voltara::lv2 {

// The plug-in's 72 control inputs as the rack takes them: a control's value
// goes to its parameter when it changes. After a restore the host sets its
// controls back to the values they held when the state was saved; the
// restored programs already answer for those, so a control set back to its
// saved value is taken as it is and not passed on (the current program may
// have changed since the controls last moved, through MIDI).
class ControlInputs {
public:
    // Every control goes to the rack at the first run.
    ControlInputs();

    // [audio thread] control: 0 .. 71 in port order
    void connect(uint32_t control, const float* port) { ports_[control] = port; }

    // [audio thread] Hands the rack every control whose value changed, but
    // not the host's echo of what the user just did in the editor (the rack
    // has it already); frames: the run's, which the expected values last for.
    void send(PluginDescriptor* rack, uint32_t frames, const UserEdits& edits);

    // [audio thread, or while not running] The values the host's controls held
    // when the state was saved, by parameter index (not a number where not
    // known): for the next frames frames, a control set to its value there is
    // taken without being passed on.
    void expect(const float* saved, uint32_t frames);

    // [any thread] The value the rack last took from a parameter's control;
    // not a number before the first run.
    float taken(int32_t parameter) const;

private:
    const float* ports_[controlPortCount] = {};
    Relaxed<float> taken_[controlPortCount]; // by port
    float expected_[controlPortCount];       // by port
    uint32_t expectedFrames_ = 0;
    uint32_t portOf_[controlPortCount]; // by parameter index
};

} // namespace voltara::lv2

#pragma once

#include "common/Relaxed.h"
#include "lv2/PortTable.h"

#include <cstdint>

namespace voltara::lv2 {

// What the user just did in the editor, per parameter: the values its UI
// wrote to the host's ports in the last second, and whether the user holds
// the control now. A host hands those values back, late and sometimes one by
// one (its port takes them at its next cycle); such an echo must never pull
// the rack or the editor back to where the user has already left.
// [UI thread] writes; [any thread] asks.
class UserEdits {
public:
    static constexpr uint32_t echoMilliseconds = 1000;

    void wrote(int32_t parameter, float value);
    void hold(int32_t parameter, bool held);
    // True when a value the host gives for the parameter is only an echo of
    // the user's own edit, or arrives while the user holds the control.
    bool isEcho(int32_t parameter, float value) const;

private:
    static constexpr int32_t historySize = 8;
    static uint32_t now(); // milliseconds, a steady clock the audio thread may read

    struct Parameter {
        Relaxed<bool> held{false};
        Relaxed<float> values[historySize];
        Relaxed<uint32_t> times[historySize];
        Relaxed<uint32_t> next{0};
    };
    Parameter parameters_[controlPortCount];
};

} // namespace voltara::lv2

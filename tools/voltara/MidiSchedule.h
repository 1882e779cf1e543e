#pragma once

#include "plugin/host/PluginDescriptor.h"
#include "tools/voltara/ArgumentList.h"

#include <vector>

namespace voltara {

// MIDI events given on the command line, each at a time in seconds from the
// start of the input, sent on channel 1:
//   --cc TIME:CONTROLLER:VALUE   a controller change (controller and value 0..127)
//   --program-change TIME:P      a program change (P 0..127)
class MidiSchedule {
public:
    struct TimedEvent {
        long long frame; // where in the output the event takes effect
        MidiEvent event;
    };

    // Takes the value of option from arguments when option is one of ours.
    bool accept(const std::string& option, ArgumentList& arguments);
    // The events in time order; throws ToolError for one at or after endFrame.
    std::vector<TimedEvent> inFrames(double sampleRate, long long endFrame) const;

private:
    struct Entry {
        double seconds;
        uint8_t status;
        uint8_t data1;
        uint8_t data2;
        std::string given; // the option as typed, for messages
    };

    std::vector<Entry> entries_;
};

} // namespace voltara

#pragma once

#include "plugin/host/PluginDescriptor.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace voltara {

class CommandLine;

// MIDI events given on the command line, each at a time in seconds from the
// start of the input, sent on channel 1:
//   --cc TIME:CONTROLLER:VALUE   a controller change (controller and value 0..127)
//   --program-change TIME:P      a program change, P a program's number or name
class MidiSchedule {
public:
    struct TimedEvent {
        long long frame; // where in the output the event takes effect
        MidiEvent event;
    };
    // The number of the program a --program-change names; throws ToolError
    // for none such.
    using ProgramLookup = std::function<int(const std::string& choice, const std::string& given)>;

    void addOptions(CommandLine& line);
    // The events in time order; throws ToolError for one at or after endFrame.
    std::vector<TimedEvent> inFrames(double sampleRate, long long endFrame, const ProgramLookup& program) const;
    // The latest time of an event, in seconds (0 without events).
    double lastSeconds() const;

private:
    struct Entry {
        double seconds;
        uint8_t status;
        uint8_t data1;
        uint8_t data2;
        std::string program; // a program change's program as given
        std::string given;   // the option as typed, for messages
    };

    void addController(const std::string& text);
    void addProgramChange(const std::string& text);

    std::vector<Entry> entries_;
};

} // namespace voltara

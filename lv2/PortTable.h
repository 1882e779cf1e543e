#pragma once

#include <cstdint>

namespace voltara::lv2 {

// The plug-in's URI; each preset's is this followed by ":preset:" and its number.
constexpr const char* pluginUri = "urn:brenmark:axewright-voltara-fx";
// The plug-in's own UI (the rack's editor) and its binary in the bundle.
constexpr const char* uiUri = "urn:brenmark:axewright-voltara-fx:ui";
constexpr const char* uiBinaryName = "voltara_lv2_ui.so";
// Paths the UI asks the host to choose (ui:requestValue); the host hands the
// choice to the plug-in as a patch:Set of one of these.
constexpr const char* bankParameterUri = "urn:brenmark:axewright-voltara-fx:bank";
constexpr const char* contentFolderParameterUri = "urn:brenmark:axewright-voltara-fx:content-folder";

// The LV2 plug-in's ports. The fixed ones come first; the control inputs,
// the lamps and the factory programs are generated from the rack at build
// time (PortTable.cpp in the build tree) so that the bundle's data and the
// binary cannot disagree.
enum FixedPort : uint32_t {
    portInLeft = 0,
    portInRight,
    portOutLeft,
    portOutRight,
    portEvents, // MIDI and the host's time position
    firstControlPort
};

// Symbols and names of the fixed ports, by index.
struct FixedPortText {
    const char* symbol;
    const char* name;
};
constexpr FixedPortText fixedPortTexts[firstControlPort] = {
    {"in_l", "Left In"}, {"in_r", "Right In"}, {"out_l", "Left Out"}, {"out_r", "Right Out"}, {"control", "Control"}};

constexpr uint32_t controlPortCount = 72; // one per rack parameter
constexpr uint32_t firstLampPort = firstControlPort + controlPortCount;
constexpr uint32_t lampPortCount = 6;
constexpr uint32_t portCount = firstLampPort + lampPortCount;
constexpr int32_t factoryProgramCount = 32;

// The rack parameter each control input drives, in port order.
extern const int32_t controlParameter[controlPortCount];
// For each lamp output, its entry of LampPacking::places.
extern const int32_t lampPlace[lampPortCount];

// The factory bank as the rack holds it after loading it.
struct FactoryProgram {
    const char* name;
    float values[controlPortCount]; // by parameter index
};
extern const FactoryProgram factoryPrograms[factoryProgramCount];

} // namespace voltara::lv2

#include "lv2/BundleWriter.h"

#include "tools/voltara/banks/BankText.h"
#include "tools/voltara/base/ToolError.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace voltara::lv2 {
namespace BundleWriter {
namespace {

// A string literal with every quote, backslash, control character and byte
// above 126 written as an escape of escapeFormat (one unsigned argument).
std::string literal(const std::string& text, const char* escapeFormat)
{
    std::string quoted = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\' || c < 0x20 || c >= 0x7f) {
            char escape[8];
            std::snprintf(escape, sizeof escape, escapeFormat, unsigned(c));
            quoted += escape;
        } else {
            quoted += char(c);
        }
    }
    return quoted + "\"";
}

// Program names are 8-bit text; bytes above 127 are taken as Latin-1 so that
// the file stays valid UTF-8.
std::string turtleString(const std::string& text)
{
    return literal(text, "\\u%04X");
}

// The shortest decimal that reads back as value, always with a point or an
// exponent so that Turtle reads a decimal or double, never an integer.
std::string turtleNumber(float value)
{
    std::string text = BankText::exactNumber(value);
    if (text.find_first_of(".e") == std::string::npos)
        text += ".0";
    return text;
}

// Octal escapes cannot run into a following digit the way hexadecimal ones do.
std::string cString(const std::string& text)
{
    return literal(text, "\\%03o");
}

// A C++ float literal holding exactly value.
std::string cFloat(float value)
{
    char text[48];
    std::snprintf(text, sizeof text, "%af", double(value));
    return text;
}

std::string presetUri(int32_t program)
{
    char number[16];
    std::snprintf(number, sizeof number, "%02d", int(program));
    return std::string(pluginUri) + ":preset:" + number;
}

constexpr const char* nextLine = " ;\n        ";

// What every port description starts with: its types, index, symbol and name.
std::string portHead(const std::string& types, uint32_t index, const std::string& symbol, const std::string& name)
{
    return "a " + types + nextLine + "lv2:index " + std::to_string(index) + nextLine + "lv2:symbol "
           + turtleString(symbol) + nextLine + "lv2:name " + turtleString(name);
}

std::string fixedPort(uint32_t index)
{
    const FixedPortText& text = fixedPortTexts[index];
    if (index == portEvents)
        return portHead("lv2:InputPort , atom:AtomPort", index, text.symbol, text.name) + nextLine
               + "atom:bufferType atom:Sequence" + nextLine
               + "atom:supports midi:MidiEvent , time:Position , patch:Message" + nextLine
               + "lv2:designation lv2:control" + nextLine + "lv2:portProperty lv2:connectionOptional";
    const bool input = index == portInLeft || index == portInRight;
    return portHead(std::string("lv2:AudioPort , ") + (input ? "lv2:InputPort" : "lv2:OutputPort"), index, text.symbol,
                    text.name);
}

std::string controlPort(uint32_t index, const RackDescription::Control& control)
{
    std::ostringstream port;
    port << portHead("lv2:InputPort , lv2:ControlPort", index, control.symbol, control.name) << nextLine
         << "lv2:default " << turtleNumber(control.defaultValue) << nextLine << "lv2:minimum 0.0" << nextLine
         << "lv2:maximum 1.0";
    if (!control.named)
        port << nextLine << "lv2:portProperty pprops:notOnGUI";
    if (control.kind == RackDescription::Kind::toggle)
        port << nextLine << "lv2:portProperty lv2:toggled";
    if (control.kind == RackDescription::Kind::selector) {
        port << nextLine << "lv2:portProperty lv2:enumeration" << nextLine << "lv2:scalePoint ";
        for (std::size_t i = 0; i < control.scalePoints.size(); ++i) {
            const auto& point = control.scalePoints[i];
            port << (i == 0 ? "" : " , ") << "[\n            rdfs:label " << turtleString(point.label)
                 << " ;\n            rdf:value " << turtleNumber(point.value) << "\n        ]";
        }
    }
    return port.str();
}

std::string lampPort(uint32_t index, const RackDescription::Lamp& lamp)
{
    return portHead("lv2:OutputPort , lv2:ControlPort", index, lamp.symbol, lamp.name) + nextLine + "lv2:minimum 0"
           + nextLine + "lv2:maximum 7" + nextLine + "lv2:portProperty lv2:integer";
}

std::string ports(const RackDescription& rack)
{
    std::vector<std::string> bodies;
    for (uint32_t index = 0; index < firstControlPort; ++index)
        bodies.push_back(fixedPort(index));
    for (const auto& control : rack.controls)
        bodies.push_back(controlPort(uint32_t(bodies.size()), control));
    for (const auto& lamp : rack.lamps)
        bodies.push_back(lampPort(uint32_t(bodies.size()), lamp));
    std::string text;
    for (std::size_t i = 0; i < bodies.size(); ++i)
        text += (i == 0 ? "[\n        " : " , [\n        ") + bodies[i] + "\n    ]";
    return text;
}

std::string presetList(const RackDescription& rack)
{
    std::ostringstream list;
    for (int32_t p = 0; p < int32_t(rack.programs.size()); ++p)
        list << "\n<" << presetUri(p) << ">\n    a pset:Preset ;\n    lv2:appliesTo <" << pluginUri
             << "> ;\n    rdfs:seeAlso <presets.ttl> .\n";
    return list.str();
}

std::string presets(const RackDescription& rack)
{
    std::ostringstream text;
    for (int32_t p = 0; p < int32_t(rack.programs.size()); ++p) {
        const auto& program = rack.programs[p];
        text << "\n<" << presetUri(p) << ">\n    a pset:Preset ;\n    lv2:appliesTo <" << pluginUri
             << "> ;\n    rdfs:label " << turtleString(program.name) << " ;\n    lv2:port ";
        for (std::size_t i = 0; i < rack.controls.size(); ++i) {
            const auto& control = rack.controls[i];
            text << (i == 0 ? "[\n" : " , [\n") << "        lv2:symbol " << turtleString(control.symbol)
                 << " ;\n        pset:value " << turtleNumber(program.values[control.parameter]) << "\n    ]";
        }
        text << " .\n";
    }
    return text.str();
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw ToolError("cannot read " + path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeFile(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary);
    out << text;
    out.close();
    if (!out)
        throw ToolError("cannot write " + path);
}

using Values = std::vector<std::pair<std::string, std::string>>;

// Replaces every @KEY@ (capitals and underscores) of a template; Turtle's own
// @prefix is not a marker. A marker without a value is a mistake in the template.
std::string fillIn(const std::string& text, const Values& values, const std::string& source)
{
    std::string filled;
    std::size_t copied = 0;
    for (auto open = text.find('@'); open != std::string::npos; open = text.find('@', open + 1)) {
        const auto close = text.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ_", open + 1);
        if (close == std::string::npos || close == open + 1 || text[close] != '@')
            continue;
        const std::string key = text.substr(open + 1, close - open - 1);
        const auto value =
            std::find_if(values.begin(), values.end(), [&](const auto& pair) { return pair.first == key; });
        if (value == values.end())
            throw ToolError(source + ": unknown marker @" + key + "@");
        filled += text.substr(copied, open - copied) + value->second;
        copied = close + 1;
        open = close;
    }
    return filled + text.substr(copied);
}

} // namespace

void writeData(const RackDescription& rack, const std::string& templateFolder, const std::string& bundleFolder,
               const std::string& binaryName)
{
    if (rack.controls.size() != controlPortCount || rack.lamps.size() != lampPortCount
        || rack.programs.size() != std::size_t(factoryProgramCount))
        throw ToolError("the rack does not match the LV2 port table");
    const Values values = {
        {"PLUGIN_URI", pluginUri},
        {"BINARY", binaryName},
        {"UI_URI", uiUri},
        {"UI_BINARY", uiBinaryName},
        {"BANK_PARAMETER", bankParameterUri},
        {"CONTENT_FOLDER_PARAMETER", contentFolderParameterUri},
        {"EFFECT_NAME", rack.effectName},
        {"VENDOR", rack.vendorName},
        {"VERSION", std::to_string(rack.vendorVersion)},
        {"PORTS", ports(rack)},
        {"PRESET_LIST", presetList(rack)},
        {"PRESETS", presets(rack)},
    };
    for (const char* name : {"manifest.ttl", "voltara.ttl", "presets.ttl"}) {
        const std::string source = templateFolder + "/" + name + ".in";
        writeFile(bundleFolder + "/" + name, fillIn(readFile(source), values, source));
    }
}

std::string portTableSource(const RackDescription& rack)
{
    std::ostringstream text;
    text << "// Generated from the rack by the LV2 bundle generator.\n\n"
            "#include \"lv2/PortTable.h\"\n\nnamespace voltara::lv2 {\n\n"
            "const int32_t controlParameter[controlPortCount] = {";
    for (std::size_t i = 0; i < rack.controls.size(); ++i)
        text << (i == 0 ? "" : ", ") << rack.controls[i].parameter;
    text << "};\n\nconst int32_t lampPlace[lampPortCount] = {";
    for (std::size_t i = 0; i < rack.lamps.size(); ++i)
        text << (i == 0 ? "" : ", ") << rack.lamps[i].place;
    text << "};\n\nconst FactoryProgram factoryPrograms[factoryProgramCount] = {\n";
    for (const auto& program : rack.programs) {
        text << "    {" << cString(program.name) << ",\n     {";
        for (std::size_t i = 0; i < program.values.size(); ++i)
            text << (i == 0 ? "" : i % 6 == 0 ? ",\n      " : ", ") << cFloat(program.values[i]);
        text << "}},\n";
    }
    text << "};\n\n} // namespace voltara::lv2\n";
    return text.str();
}

} // namespace BundleWriter
} // namespace voltara::lv2

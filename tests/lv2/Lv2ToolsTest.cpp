// The bundle as the LV2 reference tools see it: its data validated against
// the LV2 schemas, its ports as the rack describes them, its output the
// same as the command-line host's. Each test is skipped when its tool is not
// installed.

#include "lv2/PortTable.h"
#include "tests/support/FloatWav.h"
#include "tests/support/ProgramRun.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestHost.h"
#include "tests/support/VoltaraRun.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

namespace voltara {
namespace {

using test::findProgram;
using test::runProgram;

#define REQUIRE_TOOL(variable, name, package)                                                                          \
    const std::string variable = findProgram(name);                                                                    \
    if (variable.empty())                                                                                              \
    GTEST_SKIP() << name " is not installed (Debian package " package ")"

// The build's folder of bundles, as the README has users point LV2_PATH at it.
const std::string lv2Path = "LV2_PATH=" + std::filesystem::path(VOLTARA_LV2_BUNDLE).parent_path().string();
// lv2apply is not built with the sanitizers; a sanitised bundle needs their
// runtimes preloaded into it.
#ifdef VOLTARA_SANITIZER_RUNTIMES
const std::string preloadSanitizers = "LD_PRELOAD=" VOLTARA_SANITIZER_RUNTIMES;
#else
const std::string preloadSanitizers = "LD_PRELOAD=";
#endif
const std::string lv2 = "http://lv2plug.in/ns/lv2core#";

// One port as lv2info prints it.
struct PortInfo {
    std::string symbol, name;
    double minimum = NAN, maximum = NAN, defaultValue = NAN;
    std::set<std::string> types, properties;
    std::vector<std::pair<float, std::string>> scalePoints;
};

std::string trimmed(const std::string& text)
{
    const auto first = text.find_first_not_of(" \t");
    return first == std::string::npos ? "" : text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// "\tPort N:" starts a port; "\t\tKey:  value" lines follow, a key's further
// values on lines of their own; "\t\t\tV = \"LABEL\"" are scale points.
std::map<uint32_t, PortInfo> parseLv2info(const std::string& text)
{
    std::map<uint32_t, PortInfo> ports;
    PortInfo* port = nullptr;
    std::string key;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        const std::size_t tabs = line.find_first_not_of('\t');
        const std::string body = trimmed(line);
        if (tabs == 1 && body.rfind("Port ", 0) == 0) {
            port = &ports[uint32_t(std::stoul(body.substr(5)))];
            continue;
        }
        if (port == nullptr || body.empty())
            continue;
        if (tabs == 3) {
            const auto equals = body.find(" = ");
            port->scalePoints.push_back(
                {std::stof(body.substr(0, equals)), body.substr(equals + 4, body.size() - equals - 5)});
            continue;
        }
        const auto colon = body.find(':');
        std::string value = body;
        if (colon != std::string::npos && body.compare(0, 4, "http") != 0) {
            key = body.substr(0, colon);
            value = trimmed(body.substr(colon + 1));
        }
        if (key == "Type")
            port->types.insert(value);
        else if (key == "Properties")
            port->properties.insert(value);
        else if (key == "Symbol")
            port->symbol = value;
        else if (key == "Name")
            port->name = value;
        else if (key == "Minimum")
            port->minimum = std::stod(value);
        else if (key == "Maximum")
            port->maximum = std::stod(value);
        else if (key == "Default")
            port->defaultValue = std::stod(value);
    }
    for (auto& entry : ports) // lv2info lists them in no particular order
        std::sort(entry.second.scalePoints.begin(), entry.second.scalePoints.end());
    return ports;
}

struct Triple {
    std::string subject, predicate, object; // literals without quotes and datatype
};

// The N-Triples serdi writes: one statement a line, terms separated by blanks.
std::vector<Triple> parseTriples(const std::string& text)
{
    std::vector<Triple> triples;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        std::vector<std::string> terms;
        for (std::size_t at = 0; terms.size() < 3 && at < line.size();) {
            if (line[at] == ' ') {
                ++at;
            } else if (line[at] == '"') {
                std::size_t end = at + 1;
                while (end < line.size() && line[end] != '"')
                    end += line[end] == '\\' ? 2 : 1;
                terms.push_back(line.substr(at + 1, end - at - 1));
                at = line.find(' ', end);
            } else {
                const std::size_t end = line.find(' ', at);
                std::string term = line.substr(at, end - at);
                if (term.front() == '<')
                    term = term.substr(1, term.size() - 2);
                terms.push_back(term);
                at = end;
            }
        }
        if (terms.size() == 3)
            triples.push_back({terms[0], terms[1], terms[2]});
    }
    return triples;
}

// The rack with its factory bank loaded by itself from the content folder.
class FactoryRack {
public:
    FactoryRack() : registry("VOLTARA_REGISTRY", run.registry().c_str()) { host.open(); }
    test::VoltaraRun run;
    ScopedEnvironment registry;
    test::TestHost host;
};

// The files of LV2's own schema data in an LV2 folder: the bundles that
// describe LV2's own vocabulary (URIs under http://lv2plug.in/ns/) and
// schemas.lv2, the vocabularies it builds on. Plug-ins installed beside them
// bring data of their own, faults and all, which is none of ours to validate.
std::vector<std::string> lv2SchemaFiles(const std::string& serdi, const std::filesystem::path& folder,
                                        TempFolder& scratch)
{
    std::vector<std::string> files;
    for (const auto& bundle : std::filesystem::directory_iterator(folder)) {
        const auto manifest = runProgram(
            serdi, {"-i", "turtle", "-o", "ntriples", (bundle.path() / "manifest.ttl").string()}, {}, scratch);
        bool own = bundle.path().filename() == "schemas.lv2";
        for (const Triple& t : parseTriples(manifest.out))
            own = own || t.subject.rfind("http://lv2plug.in/ns/", 0) == 0;
        if (!own)
            continue;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(bundle.path()))
            if (entry.path().extension() == ".ttl")
                files.push_back(entry.path().string());
    }
    return files;
}

TEST(Lv2Tools, BundleDataValidatesAgainstTheLv2Schemas)
{
    REQUIRE_TOOL(validator, "sord_validate", "sordi");
    REQUIRE_TOOL(serdi, "serdi", "serdi");
    TempFolder scratch;
    // The system's LV2 folder with another vendor's plug-in beside LV2's own
    // bundles, whose data does not validate (a port index that is no number).
    const std::filesystem::path folder = scratch.file("lv2");
    std::filesystem::create_directories(folder / "other.lv2");
    for (const auto& bundle : std::filesystem::directory_iterator(VOLTARA_LV2_SPEC_DIR))
        std::filesystem::create_directory_symlink(bundle.path(), folder / bundle.path().filename());
    scratch.write("lv2/other.lv2/manifest.ttl", "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
                                                "<urn:other> a lv2:Plugin ; lv2:port [ lv2:index \"first\" ] .\n");
    std::vector<std::string> files = lv2SchemaFiles(serdi, folder, scratch);
    ASSERT_FALSE(files.empty()) << "no LV2 schema data in " VOLTARA_LV2_SPEC_DIR;
    for (const std::string& file : files)
        EXPECT_EQ(file.find("other.lv2"), std::string::npos) << file;
    for (const char* name : {"manifest.ttl", "voltara.ttl", "presets.ttl"})
        files.push_back(std::string(VOLTARA_LV2_BUNDLE "/") + name);
    const auto result = runProgram(validator, files, {}, scratch);
    EXPECT_EQ(result.status, 0) << result.out << result.err;
    EXPECT_NE((result.out + result.err).find("Found 0 errors"), std::string::npos) << result.out << result.err;
}

TEST(Lv2Tools, Lv2lsFindsThePluginOnTheBuildsLv2Path)
{
    REQUIRE_TOOL(lv2ls, "lv2ls", "lilv-utils");
    TempFolder scratch;
    const auto result = runProgram(lv2ls, {}, {lv2Path}, scratch);
    EXPECT_NE(result.out.find(std::string(lv2::pluginUri) + "\n"), std::string::npos) << result.out;
    EXPECT_EQ(result.err, "") << "the folder holds something that is not a bundle";
}

TEST(Lv2Tools, Lv2infoListsEveryParameterAsTheRackDescribesIt)
{
    REQUIRE_TOOL(lv2info, "lv2info", "lilv-utils");
    TempFolder scratch;
    const auto result = runProgram(lv2info, {lv2::pluginUri}, {lv2Path}, scratch);
    ASSERT_EQ(result.status, 0) << result.err;
    const auto ports = parseLv2info(result.out);
    ASSERT_EQ(ports.size(), lv2::portCount);
    // The rack's own editor as its X11 UI.
    EXPECT_NE(result.out.find(std::string(lv2::uiUri) + "\n\t\t\tClass:  http://lv2plug.in/ns/extensions/ui#X11UI"),
              std::string::npos)
        << result.out;

    FactoryRack rack;
    ASSERT_NE(rack.host.text(opGetProgramName, 0), "default.fxb not found!");
    const std::set<int32_t> switches = {0, 8, 9, 16, 19, 24, 25, 32, 33, 40, 41, 48, 49, 56, 64, 65};
    const std::map<int32_t, std::vector<std::string>> selectors = {{51, {"Mono", "M.Head", "P.Pong", "M.Tap"}},
                                                                   {58, {"Spring", "Plate", "Hall"}}};
    for (int32_t index = 0; index < int32_t(lv2::controlPortCount); ++index) {
        SCOPED_TRACE("parameter " + std::to_string(index));
        const std::string rackName = rack.host.text(opGetParameterName, index);
        const bool named = rackName != ".";
        const std::string name = named ? rackName : "Parameter " + std::to_string(index);
        const auto found =
            std::find_if(ports.begin(), ports.end(), [&](const auto& p) { return p.second.name == name; });
        ASSERT_NE(found, ports.end()) << name;
        const PortInfo& port = found->second;
        EXPECT_EQ(port.types, (std::set<std::string>{lv2 + "ControlPort", lv2 + "InputPort"}));
        EXPECT_EQ(port.minimum, 0.0);
        EXPECT_EQ(port.maximum, 1.0);
        // lv2info prints six decimals.
        EXPECT_NEAR(port.defaultValue, rack.host.getParameter(index), 5e-7);
        EXPECT_EQ(port.properties.count("http://lv2plug.in/ns/ext/port-props#notOnGUI"), named ? 0u : 1u);
        EXPECT_EQ(port.properties.count(lv2 + "toggled"), switches.count(index));
        const auto selector = selectors.find(index);
        EXPECT_EQ(port.properties.count(lv2 + "enumeration"), selector != selectors.end() ? 1u : 0u);
        if (selector == selectors.end())
            continue;
        // Each point shows its text; the value just below shows the one before.
        ASSERT_EQ(port.scalePoints.size(), selector->second.size());
        for (std::size_t i = 0; i < port.scalePoints.size(); ++i) {
            const float value = port.scalePoints[i].first;
            EXPECT_EQ(port.scalePoints[i].second, selector->second[i]);
            rack.host.setParameter(index, value);
            EXPECT_EQ(rack.host.text(opGetParameterText, index), selector->second[i]);
            if (i > 0) {
                rack.host.setParameter(index, std::nextafter(value, 0.0f));
                EXPECT_EQ(rack.host.text(opGetParameterText, index), selector->second[i - 1]);
            }
        }
    }

    int lamps = 0, audio = 0;
    for (const auto& [index, port] : ports) {
        if (port.types.count(lv2 + "AudioPort"))
            ++audio;
        if (port.types.count(lv2 + "OutputPort") && port.types.count(lv2 + "ControlPort")) {
            ++lamps;
            EXPECT_EQ(port.maximum, 7.0);
            EXPECT_EQ(port.properties.count(lv2 + "integer"), 1u);
        }
    }
    EXPECT_EQ(audio, 4);
    EXPECT_EQ(lamps, 6);
    EXPECT_EQ(ports.at(lv2::portEvents).types.count("http://lv2plug.in/ns/ext/atom#AtomPort"), 1u);
}

TEST(Lv2Tools, Lv2applyGivesTheSameSamplesAsVoltaraProcess)
{
    REQUIRE_TOOL(lv2apply, "lv2apply", "lilv-utils");
    test::VoltaraRun voltara;
    test::FloatWav input;
    for (int j = 0; j < 22050; ++j) {
        input.samples.push_back(0.5f * float(std::sin(j * 0.0627)));
        input.samples.push_back(0.4f * float(std::sin(j * 0.0311 + 1.0)));
    }
    const std::string in = voltara.file("in.wav"), viaLv2 = voltara.file("lv2.wav"), viaCli = voltara.file("cli.wav");
    input.write(in);

    // The bundle works wherever it is copied: everything it loads is inside.
    TempFolder scratch;
    std::filesystem::create_directory(scratch.file("lv2"));
    std::filesystem::copy(VOLTARA_LV2_BUNDLE, scratch.file("lv2/voltara.lv2"),
                          std::filesystem::copy_options::recursive);

    // A few controls on top of factory program 0, by port symbol and by
    // parameter index. lv2apply runs the plug-in one frame at a time, so the
    // command-line host is run with one-frame blocks too.
    struct Setting {
        const char* symbol;
        int index;
        const char* value;
    };
    const Setting settings[] = {{"phs_on", 24, "1"},     {"fla_on", 32, "1"}, {"del_on", 48, "1"},
                                {"del_mode", 51, "0.6"}, {"rev_on", 56, "1"}, {"trm_on", 64, "1"}};
    std::vector<std::string> lv2Arguments = {"-i", in, "-o", viaLv2};
    std::vector<std::string> cliArguments = {"process", in, viaCli, "--program", "0", "--tail", "0", "--block", "1"};
    for (const Setting& setting : settings) {
        lv2Arguments.insert(lv2Arguments.end(), {"-c", setting.symbol, setting.value});
        cliArguments.insert(cliArguments.end(), {"--set", std::to_string(setting.index) + "=" + setting.value});
    }
    lv2Arguments.push_back(lv2::pluginUri);
    const auto applied =
        runProgram(lv2apply, lv2Arguments, {"LV2_PATH=" + scratch.file("lv2"), preloadSanitizers}, scratch);
    ASSERT_EQ(applied.status, 0) << applied.err;
    const auto processed = voltara(cliArguments);
    ASSERT_EQ(processed.status, 0) << processed.err;

    const auto lv2Output = test::FloatWav::read(viaLv2);
    const auto cliOutput = test::FloatWav::read(viaCli);
    ASSERT_EQ(lv2Output.samples.size(), input.samples.size());
    ASSERT_EQ(cliOutput.samples.size(), input.samples.size());
    EXPECT_EQ(std::memcmp(lv2Output.samples.data(), cliOutput.samples.data(), input.samples.size() * sizeof(float)), 0);
    EXPECT_NE(lv2Output.samples, input.samples);
}

TEST(Lv2Tools, PresetsHoldEveryControlOfEachFactoryProgram)
{
    REQUIRE_TOOL(serdi, "serdi", "serdi");
    TempFolder scratch;
    const auto read = [&](const char* file) {
        const auto result = runProgram(
            serdi, {"-i", "turtle", "-o", "ntriples", VOLTARA_LV2_BUNDLE "/" + std::string(file)}, {}, scratch);
        EXPECT_EQ(result.status, 0) << result.err;
        return parseTriples(result.out);
    };
    const std::string pset = "http://lv2plug.in/ns/ext/presets#";

    // Symbol to rack parameter, through the ports' indices.
    std::map<std::string, std::string> indexOf, symbolOf;
    for (const Triple& t : read("voltara.ttl")) {
        if (t.predicate == lv2 + "index")
            indexOf[t.subject] = t.object;
        if (t.predicate == lv2 + "symbol")
            symbolOf[t.subject] = t.object;
    }
    std::map<std::string, int32_t> parameterOf;
    for (const auto& [port, index] : indexOf) {
        const uint32_t number = uint32_t(std::stoul(index));
        if (number >= lv2::firstControlPort && number < lv2::firstLampPort)
            parameterOf[symbolOf[port]] = lv2::controlParameter[number - lv2::firstControlPort];
    }
    ASSERT_EQ(parameterOf.size(), lv2::controlPortCount);

    std::map<std::string, std::string> labelOf, symbolAt, valueAt;
    std::map<std::string, std::vector<std::string>> portsOf;
    for (const Triple& t : read("presets.ttl")) {
        if (t.predicate == "http://www.w3.org/2000/01/rdf-schema#label")
            labelOf[t.subject] = t.object;
        else if (t.predicate == lv2 + "port")
            portsOf[t.subject].push_back(t.object);
        else if (t.predicate == lv2 + "symbol")
            symbolAt[t.subject] = t.object;
        else if (t.predicate == pset + "value")
            valueAt[t.subject] = t.object;
    }
    ASSERT_EQ(labelOf.size(), std::size_t(lv2::factoryProgramCount));

    FactoryRack rack;
    for (int32_t p = 0; p < lv2::factoryProgramCount; ++p) {
        char number[8];
        std::snprintf(number, sizeof number, "%02d", int(p));
        const std::string preset = std::string(lv2::pluginUri) + ":preset:" + number;
        SCOPED_TRACE(preset);
        rack.host.dispatch(opSetProgram, 0, p);
        EXPECT_EQ(labelOf[preset], rack.host.text(opGetProgramName, 0));
        std::set<int32_t> seen;
        for (const std::string& port : portsOf[preset]) {
            const int32_t index = parameterOf.at(symbolAt[port]);
            seen.insert(index);
            EXPECT_EQ(std::stof(valueAt[port]), rack.host.getParameter(index)) << symbolAt[port];
        }
        EXPECT_EQ(seen.size(), lv2::controlPortCount);
    }
}

// The bundle's data and table depend on the rack and the bank text alone: not
// on the machine's registry, nor on when they were made.
TEST(Lv2Tools, GenerationIsReproducible)
{
    test::VoltaraRun withContent;
    TempFolder again;
    const auto generated = runProgram(
        VOLTARA_LV2_GENERATOR,
        {VOLTARA_PLUGIN_PATH, VOLTARA_SOURCE_DIR "/content/Presets/Default.bank.txt", VOLTARA_SOURCE_DIR "/lv2",
         again.path(), std::filesystem::path(VOLTARA_LV2_BINARY).filename().string(), again.file("PortTable.cpp")},
        {"VOLTARA_REGISTRY=" + withContent.registry()}, again);
    ASSERT_EQ(generated.status, 0) << generated.err;
    for (const char* name : {"manifest.ttl", "voltara.ttl", "presets.ttl"})
        EXPECT_EQ(fileBytes(again.file(name)), fileBytes(std::string(VOLTARA_LV2_BUNDLE "/") + name)) << name;
    EXPECT_EQ(fileBytes(again.file("PortTable.cpp")), fileBytes(VOLTARA_BINARY_DIR "/lv2/generated/PortTable.cpp"));
}

} // namespace
} // namespace voltara

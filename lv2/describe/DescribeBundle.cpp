// Writes the bundle's description files from the engine's own tables, so
// that no name, range, default or program stands twice: manifest.ttl (what
// the bundle holds), the plug-in's description (ports, features, UI) and
// the factory programs as presets.
//
// Usage: zq3r-lv2-describe FOLDER DSP_BINARY [UI_BINARY]
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "ProductVersion.h"
#include "engine/FactoryPrograms.h"
#include "engine/ParameterDescriptions.h"
#include "lv2/Lv2Ports.h"
#include "lv2/Lv2Uris.h"

namespace {

using namespace lv2Ports;

const char* const kPrefixes =
    "@prefix atom:   <http://lv2plug.in/ns/ext/atom#> .\n"
    "@prefix doap:   <http://usefulinc.com/ns/doap#> .\n"
    "@prefix foaf:   <http://xmlns.com/foaf/0.1/> .\n"
    "@prefix lv2:    <http://lv2plug.in/ns/lv2core#> .\n"
    "@prefix patch:  <http://lv2plug.in/ns/ext/patch#> .\n"
    "@prefix pprops: <http://lv2plug.in/ns/ext/port-props#> .\n"
    "@prefix owl:    <http://www.w3.org/2002/07/owl#> .\n"
    "@prefix pset:   <http://lv2plug.in/ns/ext/presets#> .\n"
    "@prefix rdf:    <http://www.w3.org/1999/02/22-rdf-syntax-ns#> .\n"
    "@prefix rdfs:   <http://www.w3.org/2000/01/rdf-schema#> .\n"
    "@prefix state:  <http://lv2plug.in/ns/ext/state#> .\n"
    "@prefix ui:     <http://lv2plug.in/ns/extensions/ui#> .\n"
    "@prefix units:  <http://lv2plug.in/ns/extensions/units#> .\n"
    "@prefix urid:   <http://lv2plug.in/ns/ext/urid#> .\n"
    "@prefix xsd:    <http://www.w3.org/2001/XMLSchema#> .\n\n";

// LV2 reads an odd minor or micro version as a development release, and
// has no major version (a plug-in that breaks its ports takes a new URI).
// The product's release numbers are spread over even numbers, in order:
// 1.1.0 is minor 202, micro 0. doap:revision carries the release as people
// read it.
constexpr int kLv2MinorVersion = 2 * (100 * ZQ3R_VERSION_MAJOR + ZQ3R_VERSION_MINOR);
constexpr int kLv2MicroVersion = 2 * ZQ3R_VERSION_PATCH;
static_assert(ZQ3R_VERSION_MINOR < 100, "the minor number must stay below the major's place");

struct Bundle {
    std::string folder;
    std::string dspBinary;
    std::string uiBinary;  // empty: the bundle has no UI
};

std::string uri(const char* text) { return std::string("<") + text + ">"; }

std::string presetUri(int program) { return "<" + std::string(lv2Uris::kPresetPrefix) + std::to_string(program) + ">"; }

// A number as Turtle's decimal literal, never in exponent notation.
std::string decimal(double number, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals < 1 ? 1 : decimals, number);
    return text;
}

// The shortest decimal that a host, reading it as a float, turns back into
// exactly `value` on this parameter's port: the presets and defaults then
// sound bit for bit like the factory programs. At the ends of a range the
// number may lie a hair outside, where the port clamps.
std::string readingFor(int32_t parameter, float value) {
    const double reading = portReading(parameter, value);
    const int magnitude = reading == 0.0 ? 0 : static_cast<int>(std::floor(std::log10(std::fabs(reading))));
    for (int digits = 1; digits <= 12; ++digits) {
        const int decimals = digits - 1 - magnitude;
        const double scale = std::pow(10.0, decimals);
        for (double rounded : {std::round(reading * scale), std::floor(reading * scale), std::ceil(reading * scale)}) {
            const double candidate = rounded / scale;
            if (std::fabs(candidate - reading) > 1e-6 * std::fabs(reading)) continue;
            const std::string text = decimal(candidate, decimals);
            if (parameterValueOfPort(parameter, static_cast<float>(std::strtod(text.c_str(), nullptr))) == value)
                return text;
        }
    }
    std::fprintf(stderr, "zq3r-lv2-describe: no port reading gives %.9g for parameter %d\n", value, parameter);
    std::exit(1);
}

std::string portName(int32_t parameter) {
    return parameter == kPower ? kEnabledName : parameterDescriptions[parameter].name;
}

std::string portSymbol(int32_t parameter) {
    return parameter == kPower ? kEnabledSymbol : parameterDescriptions[parameter].symbol;
}

// Time constants are in samples: a description is fixed before any sample
// rate is known, and the law works per sample.
const char* unitOf(ParameterUnit unit) {
    switch (unit) {
    case ParameterUnit::percent: return "units:pc";
    case ParameterUnit::decibels: return "units:db";
    case ParameterUnit::milliseconds: return "units:frame";
    case ParameterUnit::onOff: return nullptr;
    }
    return nullptr;
}

void writeAudioPort(std::ostream& out, uint32_t index, const char* direction, const char* symbol, const char* name) {
    out << "        a lv2:" << direction << "Port , lv2:AudioPort ;\n"
        << "        lv2:index " << index << " ;\n"
        << "        lv2:symbol \"" << symbol << "\" ;\n"
        << "        lv2:name \"" << name << "\"\n";
}

void writeParameterPort(std::ostream& out, int32_t parameter) {
    const ParameterDescription& description = parameterDescriptions[parameter];
    out << "        a lv2:InputPort , lv2:ControlPort ;\n"
        << "        lv2:index " << portOfParameter(parameter) << " ;\n"
        << "        lv2:symbol \"" << portSymbol(parameter) << "\" ;\n"
        << "        lv2:name \"" << portName(parameter) << "\" ;\n";
    if (parameter != kPower) out << "        lv2:shortName \"" << description.shortName << "\" ;\n";
    // The power switch's minimum is its reading at 1 (bypassed).
    const bool turnedRound = parameter == kPower;
    out << "        lv2:default " << readingFor(parameter, factoryPrograms[0][parameter]) << " ;\n"
        << "        lv2:minimum " << readingFor(parameter, turnedRound ? 1.0f : 0.0f) << " ;\n"
        << "        lv2:maximum " << readingFor(parameter, turnedRound ? 0.0f : 1.0f);
    if (parameter == kPower) {
        out << " ;\n        lv2:portProperty lv2:toggled , lv2:integer ;\n"
            << "        lv2:designation lv2:enabled";
    } else if (const char* unit = unitOf(description.unit)) {
        out << " ;\n        units:unit " << unit;
        if (description.unit == ParameterUnit::milliseconds) out << " ;\n        lv2:portProperty pprops:logarithmic";
    }
    out << "\n";
}

void writeMessagePort(std::ostream& out, uint32_t index, const char* direction, const char* symbol, const char* name) {
    out << "        a lv2:" << direction << "Port , atom:AtomPort ;\n"
        << "        atom:bufferType atom:Sequence ;\n"
        << "        atom:supports patch:Message ;\n"
        << "        lv2:designation lv2:control ;\n"
        << "        lv2:portProperty lv2:connectionOptional ;\n"
        << "        lv2:index " << index << " ;\n"
        << "        lv2:symbol \"" << symbol << "\" ;\n"
        << "        lv2:name \"" << name << "\"\n";
}

void writePorts(std::ostream& out) {
    out << "    lv2:port [\n";
    writeAudioPort(out, kInLeft, "Input", "in_left", "Left in");
    out << "    ] , [\n";
    writeAudioPort(out, kInRight, "Input", "in_right", "Right in");
    out << "    ] , [\n";
    writeAudioPort(out, kOutLeft, "Output", "out_left", "Left out");
    out << "    ] , [\n";
    writeAudioPort(out, kOutRight, "Output", "out_right", "Right out");
    for (int32_t parameter = 0; parameter < kParameterCount; ++parameter) {
        out << "    ] , [\n";
        writeParameterPort(out, parameter);
    }
    out << "    ] , [\n"
        << "        a lv2:OutputPort , lv2:ControlPort ;\n"
        << "        lv2:index " << kGainReduction << " ;\n"
        << "        lv2:symbol \"gain_reduction\" ;\n"
        << "        lv2:name \"Gain reduction\" ;\n"
        << "        lv2:minimum 0.0 ;\n"
        << "        lv2:maximum 1.0\n"
        << "    ] , [\n";
    writeMessagePort(out, kControl, "Input", "control", "Control");
    out << "    ] , [\n";
    writeMessagePort(out, kNotify, "Output", "notify", "Notify");
    out << "    ] .\n";
}

// The properties of the saved state, which presets name too.
void writeStateProperties(std::ostream& out) {
    out << "\n" << uri(lv2Uris::kState) << "\n"
        << "    a rdf:Property , owl:DatatypeProperty ;\n"
        << "    rdfs:label \"whole state\" ;\n"
        << "    rdfs:comment \"Program shown, working values, stored programs and copy slot, as one chunk.\" ;\n"
        << "    rdfs:range atom:Chunk .\n"
        << "\n" << uri(lv2Uris::kProgram) << "\n"
        << "    a rdf:Property , owl:DatatypeProperty ;\n"
        << "    rdfs:label \"program shown\" ;\n"
        << "    rdfs:comment \"The factory program the panel shows, 0 to " << kFactoryProgramCount - 1 << ".\" ;\n"
        << "    rdfs:range xsd:int .\n";
}

void writeUi(std::ostream& out) {
    out << "\n" << uri(lv2Uris::kUi) << "\n"
        << "    a ui:X11UI ;\n"
        << "    lv2:requiredFeature ui:idleInterface , ui:parent ;\n"
        << "    lv2:optionalFeature ui:resize , ui:noUserResize , ui:touch , urid:map ;\n"
        << "    lv2:extensionData ui:idleInterface ;\n"
        << "    ui:portNotification [\n"
        << "        ui:plugin " << uri(lv2Uris::kPlugin) << " ;\n"
        << "        lv2:symbol \"gain_reduction\" ;\n"
        << "        ui:protocol ui:floatProtocol\n"
        << "    ] , [\n"
        << "        ui:plugin " << uri(lv2Uris::kPlugin) << " ;\n"
        << "        lv2:symbol \"notify\" ;\n"
        << "        ui:protocol atom:eventTransfer\n"
        << "    ] .\n";
}

std::string pluginDescription(const Bundle& bundle) {
    std::ostringstream out;
    out << kPrefixes << uri(lv2Uris::kPlugin) << "\n"
        << "    a lv2:Plugin , lv2:CompressorPlugin , doap:Project ;\n"
        << "    doap:name \"" ZQ3R_PRODUCT_NAME "\" ;\n"
        << "    doap:maintainer [ foaf:name \"" ZQ3R_VENDOR_NAME "\" ] ;\n"
        << "    doap:release [ doap:revision \"" ZQ3R_VERSION_TEXT "\" ] ;\n"
        << "    lv2:minorVersion " << kLv2MinorVersion << " ;\n"
        << "    lv2:microVersion " << kLv2MicroVersion << " ;\n"
        << "    lv2:optionalFeature lv2:hardRTCapable , urid:map ;\n"
        << "    lv2:extensionData state:interface ;\n";
    if (!bundle.uiBinary.empty()) out << "    ui:ui " << uri(lv2Uris::kUi) << " ;\n";
    writePorts(out);
    writeStateProperties(out);
    if (!bundle.uiBinary.empty()) writeUi(out);
    return out.str();
}

std::string presets() {
    std::ostringstream out;
    out << kPrefixes;
    for (int program = 0; program < kFactoryProgramCount; ++program) {
        out << presetUri(program) << "\n"
            << "    a pset:Preset ;\n"
            << "    lv2:appliesTo " << uri(lv2Uris::kPlugin) << " ;\n"
            << "    rdfs:label \"" << factoryProgramNames[program] << "\" ;\n"
            << "    lv2:port ";
        for (int32_t parameter = 0; parameter < kParameterCount; ++parameter) {
            out << (parameter ? " , " : "") << "[\n"
                << "        lv2:symbol \"" << portSymbol(parameter) << "\" ;\n"
                << "        pset:value " << readingFor(parameter, factoryPrograms[program][parameter]) << "\n"
                << "    ]";
        }
        // The program the panel shows once the preset is chosen.
        out << " ;\n    state:state [\n"
            << "        " << uri(lv2Uris::kProgram) << " \"" << program << "\"^^xsd:int\n"
            << "    ] .\n\n";
    }
    return out.str();
}

std::string manifest(const Bundle& bundle) {
    std::ostringstream out;
    out << kPrefixes << uri(lv2Uris::kPlugin) << "\n"
        << "    a lv2:Plugin ;\n"
        << "    lv2:binary <" << bundle.dspBinary << "> ;\n"
        << "    rdfs:seeAlso <zq3r-compressor.ttl> .\n";
    if (!bundle.uiBinary.empty()) {
        out << "\n" << uri(lv2Uris::kUi) << "\n"
            << "    a ui:X11UI ;\n"
            << "    ui:binary <" << bundle.uiBinary << "> ;\n"
            << "    rdfs:seeAlso <zq3r-compressor.ttl> .\n";
    }
    for (int program = 0; program < kFactoryProgramCount; ++program) {
        out << "\n" << presetUri(program) << "\n"
            << "    a pset:Preset ;\n"
            << "    lv2:appliesTo " << uri(lv2Uris::kPlugin) << " ;\n"
            << "    rdfs:seeAlso <presets.ttl> .\n";
    }
    return out.str();
}

bool writeFile(const std::string& path, const std::string& text) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << text;
    file.close();
    if (!file) std::fprintf(stderr, "zq3r-lv2-describe: cannot write %s\n", path.c_str());
    return static_cast<bool>(file);
}

}  // namespace

int main(int argc, char** argv) {
    Bundle bundle;
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: zq3r-lv2-describe FOLDER DSP_BINARY [UI_BINARY]\n");
        return 2;
    }
    bundle.folder = argv[1];
    bundle.dspBinary = argv[2];
    if (argc == 4) bundle.uiBinary = argv[3];
    const bool written = writeFile(bundle.folder + "/manifest.ttl", manifest(bundle)) &&
                         writeFile(bundle.folder + "/zq3r-compressor.ttl", pluginDescription(bundle)) &&
                         writeFile(bundle.folder + "/presets.ttl", presets());
    return written ? 0 : 1;
}

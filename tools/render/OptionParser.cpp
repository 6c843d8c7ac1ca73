#include "tools/render/OptionParser.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <strings.h>

#include "engine/FactoryPrograms.h"
#include "tools/render/KnobTable.h"
#include "tools/render/PresetFile.h"

namespace {

constexpr int kLargestBlockSize = 65536;
constexpr int kMostBenchPasses = 10000;

bool parseInteger(const std::string& option, const std::string& text, int lowest, int highest,
                  int& result, std::string& error) {
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || errno == ERANGE || value < lowest || value > highest) {
        error = option + " takes a whole number from " + std::to_string(lowest) + " to " +
                std::to_string(highest) + ", not '" + text + "'";
        return false;
    }
    result = static_cast<int>(value);
    return true;
}

bool parseNonEmpty(const std::string& option, const std::string& text, std::string& result,
                   std::string& error) {
    if (text.empty()) {
        error = option + " needs a file name";
        return false;
    }
    result = text;
    return true;
}

// A finite number and nothing else; strtod would also take "nan" and "inf".
bool parseNumber(const std::string& text, double& result) {
    char* end = nullptr;
    errno = 0;
    result = std::strtod(text.c_str(), &end);
    return !text.empty() && *end == '\0' && errno != ERANGE && std::isfinite(result);
}

std::string decibelText(double decibels) {
    char text[32];
    std::snprintf(text, sizeof text, decibels > 0.0 ? "%+g" : "%g", decibels);
    return text;
}

bool setKnob(RenderOptions& options, ParameterIndex index, float value, std::string& error) {
    std::optional<float>& knob = options.settings.knobs[index];
    if (knob.has_value()) {
        error = std::string("the ") + knobFor(index)->name + " is given twice";
        return false;
    }
    knob = value;
    return true;
}

bool applyKnobPosition(RenderOptions& options, ParameterIndex index, const std::string& option,
                       const std::string& text, std::string& error) {
    double value = 0.0;
    if (!parseNumber(text, value) || value < 0.0 || value > 1.0) {
        error = option + " takes a knob position from 0 to 1, not '" + text + "'";
        return false;
    }
    return setKnob(options, index, static_cast<float>(value), error);
}

// Decibels become the knob position through the engine's own mapping.
bool applyKnobDecibels(RenderOptions& options, ParameterIndex index, const std::string& option,
                       const std::string& text, std::string& error) {
    const DecadeMapping& mapping = *knobFor(index)->decibels;
    const double lowest = mapping.decibelsAt(0.0f);
    const double highest = mapping.decibelsAt(1.0f);
    double decibels = 0.0;
    if (!parseNumber(text, decibels) || decibels < lowest || decibels > highest) {
        error = option + " takes a level from " + decibelText(lowest) + " to " + decibelText(highest) +
                " dB, not '" + text + "'";
        return false;
    }
    const double position = std::fmin(1.0, std::fmax(0.0, mapping.valueForDecibels(decibels)));
    return setKnob(options, index, static_cast<float>(position), error);
}

bool setProgram(RenderOptions& options, int program, std::string& error) {
    if (options.settings.program >= 0) {
        error = "the program is given twice (--program, --program-name)";
        return false;
    }
    options.settings.program = program;
    return true;
}

// The kind of file follows the name, as in hosts' save dialogs.
bool applySavePreset(RenderOptions& options, const std::string& text, std::string& error) {
    PresetFile::Kind kind;
    if (!presetKindOfName(text, kind)) {
        error = "--save-preset writes a .fxp file (one program) or a .fxb file (the whole state), not '" + text + "'";
        return false;
    }
    options.savePresetPath = text;
    return true;
}

std::string programNameList() {
    std::string list;
    for (int program = 0; program < kFactoryProgramCount; ++program) {
        list += (program > 0 ? ", '" : "'") + std::string(factoryProgramNames[program]) + "'";
    }
    return list;
}

// The names as the editor shows them; case does not matter.
bool applyProgramName(RenderOptions& options, const std::string& text, std::string& error) {
    for (int program = 0; program < kFactoryProgramCount; ++program) {
        if (strcasecmp(text.c_str(), factoryProgramNames[program]) == 0) {
            return setProgram(options, program, error);
        }
    }
    error = "there is no program '" + text + "'; the programs are " + programNameList();
    return false;
}

constexpr unsigned kEditorSetting = OptionParser::kLinkedPlugin;
constexpr unsigned kLinkedOutput = OptionParser::kLinkedPlugin | OptionParser::kWritesFile;

const OptionParser::Option kOptions[] = {
    {"--out", "FILE",
     "write the result to FILE (default out/<input name>-zq3r.wav, or out/demo-out.wav "
     "for the demo); the name's extension picks the file type",
     [](RenderOptions& o, const std::string& a, std::string& e) {
         return parseNonEmpty("--out", a, o.outputPath, e);
     },
     OptionParser::kWritesFile},
    {"--plugin", "PATH",
     "load the VST plug-in library PATH (entry VSTPluginMain, else main) instead of the "
     "linked-in ZQ3R Compressor",
     [](RenderOptions& o, const std::string& a, std::string& e) {
         return parseNonEmpty("--plugin", a, o.pluginPath, e);
     }},
    {"--block", "N", "process N frames per call (1 to 65536, default 512)",
     [](RenderOptions& o, const std::string& a, std::string& e) {
         return parseInteger("--block", a, 1, kLargestBlockSize, o.blockSize, e);
     }},
    {"--accumulate", nullptr,
     "call the plug-in's accumulating process() on cleared outputs instead of "
     "processReplacing()",
     [](RenderOptions& o, const std::string&, std::string&) {
         o.accumulate = true;
         return true;
     }},
    {"--float", nullptr, "write 32-bit float samples instead of the input's sample format",
     [](RenderOptions& o, const std::string&, std::string&) {
         o.writeFloat = true;
         return true;
     },
     OptionParser::kWritesFile},
    {"--bench", "R",
     "measure instead of writing: process the whole input R times from memory and print "
     "ns per frame (min and median) and the real-time factor",
     [](RenderOptions& o, const std::string& a, std::string& e) {
         return parseInteger("--bench", a, 1, kMostBenchPasses, o.benchPasses, e);
     }},
    {"--preset", "FILE",
     "load a preset file as hosts save them (.fxp: one program, .fxb: the whole state) into "
     "the plug-in, before any other setting",
     [](RenderOptions& o, const std::string& a, std::string& e) {
         return parseNonEmpty("--preset", a, o.presetPath, e);
     }},
    {"--save-preset", "FILE",
     "save the plug-in's settings, once every setting is made, as a preset file: FILE.fxp "
     "holds the knobs and the power switch, FILE.fxb also the program, the stored programs "
     "and the copy slot",
     [](RenderOptions& o, const std::string& a, std::string& e) { return applySavePreset(o, a, e); },
     OptionParser::kWritesFile},
    {"--program", "N",
     "select factory program N (0 to 3) by pressing the editor's next-program button N times",
     [](RenderOptions& o, const std::string& a, std::string& e) {
         int program = 0;
         return parseInteger("--program", a, 0, kFactoryProgramCount - 1, program, e) &&
                setProgram(o, program, e);
     },
     kEditorSetting},
    {"--program-name", "NAME",
     "select the factory program the editor shows as NAME: Default, 'Limiter -6dB', "
     "'Limiter -12dB' or 'Soft Compression'",
     [](RenderOptions& o, const std::string& a, std::string& e) { return applyProgramName(o, a, e); },
     kEditorSetting},
    {"--ratio", "V", "turn the ratio knob to V, from 0 (no compression) to 1 (limiting)",
     [](RenderOptions& o, const std::string& a, std::string& e) {
         return applyKnobPosition(o, kRatio, "--ratio", a, e);
     },
     kEditorSetting},
    {"--threshold", "V", "turn the threshold knob to V, from 0 (-40 dB) to 1 (0 dB)",
     [](RenderOptions& o, const std::string& a, std::string& e) {
         return applyKnobPosition(o, kThreshold, "--threshold", a, e);
     },
     kEditorSetting},
    {"--threshold-db", "DB", "the same in decibels, -40 to 0",
     [](RenderOptions& o, const std::string& a, std::string& e) {
         return applyKnobDecibels(o, kThreshold, "--threshold-db", a, e);
     },
     kEditorSetting},
    {"--attack", "V", "turn the attack knob to V, from 0 (fastest) to 1 (slowest)",
     [](RenderOptions& o, const std::string& a, std::string& e) {
         return applyKnobPosition(o, kAttack, "--attack", a, e);
     },
     kEditorSetting},
    {"--release", "V", "turn the release knob to V, from 0 (fastest) to 1 (slowest)",
     [](RenderOptions& o, const std::string& a, std::string& e) {
         return applyKnobPosition(o, kRelease, "--release", a, e);
     },
     kEditorSetting},
    {"--makeup", "V", "turn the make-up knob to V, from 0 (-20 dB) to 1 (+20 dB)",
     [](RenderOptions& o, const std::string& a, std::string& e) {
         return applyKnobPosition(o, kMakeUpGain, "--makeup", a, e);
     },
     kEditorSetting},
    {"--makeup-db", "DB", "the same in decibels, -20 to +20",
     [](RenderOptions& o, const std::string& a, std::string& e) {
         return applyKnobDecibels(o, kMakeUpGain, "--makeup-db", a, e);
     },
     kEditorSetting},
    {"--bypass", nullptr, "click the power switch off: the plug-in passes the audio through",
     [](RenderOptions& o, const std::string&, std::string&) {
         o.settings.bypass = true;
         return true;
     },
     kEditorSetting},
    {"--editor-png", "FILE", "save a picture of the editor as it looks after the settings",
     [](RenderOptions& o, const std::string& a, std::string& e) {
         return parseNonEmpty("--editor-png", a, o.editorPicturePath, e);
     },
     kLinkedOutput},
    {"--plot", "FILE",
     "save a PNG plot of input level, output level and gain reduction over time (drawn "
     "with matplotlib through /usr/bin/python3)",
     [](RenderOptions& o, const std::string& a, std::string& e) {
         return parseNonEmpty("--plot", a, o.plotPath, e);
     },
     kLinkedOutput},
    {"--meter-csv", "FILE",
     "save the gain-reduction values the engine publishes to its meter, one row per meter "
     "interval: time in seconds, linear amount (full scale 1)",
     [](RenderOptions& o, const std::string& a, std::string& e) {
         return parseNonEmpty("--meter-csv", a, o.meterPath, e);
     },
     kLinkedOutput},
    {"--quiet", nullptr, "no summary and no progress bar (errors and --bench figures still print)",
     [](RenderOptions& o, const std::string&, std::string&) {
         o.quiet = true;
         return true;
     }},
    {"--help", nullptr, "show this text",
     [](RenderOptions& o, const std::string&, std::string&) {
         o.showHelp = true;
         return true;
     }},
};

// One option's help, its text wrapped into a column beside the option name.
std::string wrapHelp(const std::string& left, const std::string& help) {
    constexpr size_t kHelpColumn = 18;
    constexpr size_t kLineWidth = 79;
    std::string text = left;
    size_t column = left.size();
    if (column + 2 > kHelpColumn) {
        text += "\n";
        column = 0;
    }
    size_t start = 0;
    bool lineHasWord = false;
    while (start < help.size()) {
        size_t end = help.find(' ', start);
        if (end == std::string::npos) end = help.size();
        const std::string word = help.substr(start, end - start);
        if (lineHasWord && column + 1 + word.size() > kLineWidth) {
            text += "\n";
            column = 0;
            lineHasWord = false;
        }
        if (!lineHasWord) {
            text += std::string(kHelpColumn - column, ' ');
            column = kHelpColumn;
        } else {
            text += ' ';
            ++column;
        }
        text += word;
        column += word.size();
        lineHasWord = true;
        start = end + 1;
    }
    return text + "\n";
}

}  // namespace

const OptionParser::Option* OptionParser::findOption(const std::string& name) const {
    for (const Option& option : kOptions) {
        if (name == option.name) return &option;
    }
    if (name == "-h") return findOption("--help");
    return nullptr;
}

bool OptionParser::parse(int argc, const char* const* argv, RenderOptions& options,
                         std::string& error) const {
    bool optionsEnded = false;
    std::string writingOption;  // the first option given that writes a file
    std::string linkedOption;   // the first that needs the linked-in plug-in
    std::map<std::string, std::string> valuesGiven;
    for (int i = 1; i < argc; ++i) {
        const std::string word = argv[i];
        const bool looksLikeOption = !optionsEnded && word.size() > 1 && word[0] == '-';
        if (!looksLikeOption) {
            if (!options.inputPath.empty()) {
                error = "only one input file, please ('" + options.inputPath + "' and '" + word +
                        "' given)";
                return false;
            }
            if (word.empty()) {
                error = "the input file name is empty";
                return false;
            }
            options.inputPath = word;
            continue;
        }
        if (word == "--") {
            optionsEnded = true;
            continue;
        }
        const size_t equals = word.find('=');
        const std::string name = word.substr(0, equals);
        const Option* option = findOption(name);
        if (option == nullptr) {
            error = "unknown option '" + name + "' (see --help)";
            return false;
        }
        std::string argument;
        if (option->argumentName == nullptr) {
            if (equals != std::string::npos) {
                error = name + " takes no value";
                return false;
            }
        } else if (equals != std::string::npos) {
            argument = word.substr(equals + 1);
        } else if (i + 1 < argc) {
            argument = argv[++i];
        } else {
            error = name + " needs a value (" + option->argumentName + ")";
            return false;
        }
        // One value per option: a second would silently win over the first
        // (two --save-preset files, one of them never written).
        if (option->argumentName != nullptr) {
            const auto given = valuesGiven.emplace(name, argument);
            if (!given.second) {
                error = name + " is given twice ('" + given.first->second + "' and '" + argument + "'); give it once";
                return false;
            }
        }
        if (!option->apply(options, argument, error)) return false;
        if ((option->needs & kWritesFile) && writingOption.empty()) writingOption = name;
        if ((option->needs & kLinkedPlugin) && linkedOption.empty()) linkedOption = name;
    }
    return checkCombination(options, writingOption, linkedOption, error);
}

bool OptionParser::checkCombination(const RenderOptions& options, const std::string& writingOption,
                                    const std::string& linkedOption, std::string& error) const {
    if (options.benchPasses > 0 && !writingOption.empty()) {
        error = "--bench writes no file, so " + writingOption + " does not apply";
        return false;
    }
    // A library loaded with dlopen brings its own window system, which this
    // program's windows cannot host, and its engine is out of reach.
    if (!options.pluginPath.empty() && !linkedOption.empty()) {
        error = linkedOption +
                " works through the ZQ3R Compressor built into this program (its editor and "
                "its meter), so it cannot be combined with --plugin";
        return false;
    }
    return true;
}

std::string OptionParser::helpText(const std::string& programName) const {
    std::string text = "Usage: " + programName + " [INPUT] [--out FILE] [options]\n\n";
    text +=
        "Compresses an audio file (any format libsndfile reads, mono or stereo) through the\n"
        "ZQ3R Compressor, or any VST plug-in, the way a host drives it, and prints levels\n"
        "before and after. Without INPUT it synthesizes a demo, writes it to\n"
        "out/demo-in.wav and its compressed version to out/demo-out.wav.\n\n"
        "Options:\n";
    for (const Option& option : kOptions) {
        std::string left = std::string("  ") + option.name;
        if (option.argumentName != nullptr) left += std::string(" ") + option.argumentName;
        text += wrapHelp(left, option.help);
    }
    text +=
        "\nAn option that takes a value is given at most once.\n"
        "Settings are made before the first block is processed. A preset goes in first, as a\n"
        "host loads one; then the editor's settings, the way a person makes them: the program,\n"
        "then the knobs, then the power switch.\n"
        "The editor's settings, --editor-png, --plot and --meter-csv work through the plug-in\n"
        "built into this program, so not with --plugin; presets work with any plug-in that\n"
        "keeps its settings in a chunk. With --meter-csv the processing calls also\n"
        "end at every meter interval, where the meter is read; the audio stays the same.\n"
        "\nMono input feeds both channels and gives stereo output. A plug-in with other\n"
        "channel counts gets silent extra inputs (a mono plug-in gets the left channel);\n"
        "outputs beyond two are discarded, a single output is written to both channels.\n";
    return text;
}

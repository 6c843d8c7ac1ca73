#include "tools/render/OptionParser.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

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

const OptionParser::Option kOptions[] = {
    {"--out", "FILE",
     "write the result to FILE (default out/<input name>-zq3r.wav, or out/demo-out.wav "
     "for the demo); the name's extension picks the file type",
     [](RenderOptions& o, const std::string& a, std::string& e) {
         return parseNonEmpty("--out", a, o.outputPath, e);
     }},
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
     }},
    {"--bench", "R",
     "measure instead of writing: process the whole input R times from memory and print "
     "ns per frame (min and median) and the real-time factor",
     [](RenderOptions& o, const std::string& a, std::string& e) {
         return parseInteger("--bench", a, 1, kMostBenchPasses, o.benchPasses, e);
     }},
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
        if (!option->apply(options, argument, error)) return false;
    }
    if (options.benchPasses > 0 && (!options.outputPath.empty() || options.writeFloat)) {
        error = "--bench writes no file, so --out and --float do not apply";
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
        "\nMono input feeds both channels and gives stereo output. A plug-in with other\n"
        "channel counts gets silent extra inputs (a mono plug-in gets the left channel);\n"
        "outputs beyond two are discarded, a single output is written to both channels.\n";
    return text;
}

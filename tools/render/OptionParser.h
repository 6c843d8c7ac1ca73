// Reads the renderer's command line into RenderOptions.
//
// Every option is one row of a table (name, argument, help text, how it is
// applied), so the help text lists exactly what the parser accepts and a new
// setting is one more row.
#pragma once

#include <string>

#include "tools/render/RenderOptions.h"

class OptionParser {
public:
    // False with a message naming the offending argument.
    bool parse(int argc, const char* const* argv, RenderOptions& options, std::string& error) const;
    std::string helpText(const std::string& programName) const;

    // What an option needs of the run, checked once the whole line is read.
    enum Needs : unsigned {
        kNothing = 0,
        kWritesFile = 1,     // meaningless with --bench, which writes nothing
        kLinkedPlugin = 2,   // works the linked-in plug-in's editor or engine
    };

    struct Option {
        const char* name;          // "--block"
        const char* argumentName;  // "N", or nullptr for a switch
        const char* help;
        bool (*apply)(RenderOptions& options, const std::string& argument, std::string& error);
        unsigned needs = kNothing;
    };

private:
    const Option* findOption(const std::string& name) const;
    bool checkCombination(const RenderOptions& options, const std::string& writingOption,
                          const std::string& linkedOption, std::string& error) const;
};

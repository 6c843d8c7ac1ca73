// zq3r-render: compresses an audio file through the plug-in, driving it the
// way a host does, and prints what happened to the levels.
#include <cstdio>
#include <string>

#include "tools/render/OptionParser.h"
#include "tools/render/RenderJob.h"
#include "tools/render/TemporaryFile.h"

namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;
const char kProgramName[] = "zq3r-render";

int reportError(const std::string& message, int exitCode) {
    std::fprintf(stderr, "%s: %s\n", kProgramName, message.c_str());
    return exitCode;
}

}  // namespace

int main(int argc, char** argv) {
    RenderOptions options;
    OptionParser parser;
    std::string error;
    if (!parser.parse(argc, argv, options, error)) return reportError(error, kExitUsage);
    if (options.showHelp) {
        std::fputs(parser.helpText(kProgramName).c_str(), stdout);
        return 0;
    }
    TemporaryFile::removeOnInterrupt();
    RenderJob job(options);
    if (!job.run(error)) return reportError(error, job.refusedItsArguments() ? kExitUsage : kExitFailure);
    return 0;
}

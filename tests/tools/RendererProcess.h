// Runs the built zq3r-render as a separate process, as a user would.
#pragma once

#include <sys/types.h>

#include <string>
#include <utility>
#include <vector>

struct RendererRun {
    int exitCode = -1;
    std::string output;  // standard output and standard error together
    long peakMemoryKilobytes = 0;
};

RendererRun runRenderer(const std::vector<std::string>& arguments,
                        const std::string& workingFolder,
                        const std::vector<std::pair<std::string, std::string>>& environment = {});

// Any other program (by path, or by name on the PATH), run the same way.
RendererRun runProgram(const std::string& program, const std::vector<std::string>& arguments,
                       const std::string& workingFolder,
                       const std::vector<std::pair<std::string, std::string>>& environment = {});

// Starts the renderer without waiting for it; its output is discarded.
pid_t startRenderer(const std::vector<std::string>& arguments, const std::string& workingFolder);

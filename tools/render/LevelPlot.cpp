#include "tools/render/LevelPlot.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <vector>

namespace {

// Debian's interpreter, which has matplotlib from python3-matplotlib; the
// python3 on PATH may be another one without it.
const char kPython[] = "/usr/bin/python3";
const char kScriptName[] = "plot_levels.py";

bool isFile(const std::string& path) { return access(path.c_str(), R_OK) == 0; }

std::string programFolder() {
    std::vector<char> path(4096);
    const ssize_t length = readlink("/proc/self/exe", path.data(), path.size() - 1);
    if (length <= 0) return "";
    const std::string program(path.data(), static_cast<size_t>(length));
    return program.substr(0, program.find_last_of('/'));
}

// Runs python on the script; its output (standard output and error) comes back in `output`.
int runPython(const std::vector<std::string>& arguments, std::string& output) {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) return -1;
    const pid_t child = fork();
    if (child == 0) {
        dup2(pipeEnds[1], STDOUT_FILENO);
        dup2(pipeEnds[1], STDERR_FILENO);
        close(pipeEnds[0]);
        close(pipeEnds[1]);
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(kPython));
        for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        execv(kPython, argv.data());
        std::fprintf(stderr, "cannot run %s\n", kPython);
        _exit(127);
    }
    close(pipeEnds[1]);
    if (child < 0) {
        close(pipeEnds[0]);
        return -1;
    }
    char buffer[4096];
    ssize_t count;
    while ((count = read(pipeEnds[0], buffer, sizeof buffer)) > 0) output.append(buffer, static_cast<size_t>(count));
    close(pipeEnds[0]);
    int status = 0;
    if (waitpid(child, &status, 0) != child) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The last non-empty line: python's own account of what went wrong.
std::string lastLine(const std::string& text) {
    size_t end = text.find_last_not_of("\n ");
    if (end == std::string::npos) return "no message";
    const size_t start = text.rfind('\n', end);
    return text.substr(start == std::string::npos ? 0 : start + 1, end - (start == std::string::npos ? 0 : start + 1) + 1);
}

}  // namespace

bool LevelPlot::prepare(std::string& error) {
    const std::string beside = programFolder() + "/" + kScriptName;
    if (isFile(beside)) {
        scriptPath = beside;
    } else if (isFile(ZQ3R_PLOT_SCRIPT)) {
        scriptPath = ZQ3R_PLOT_SCRIPT;
    } else {
        error = std::string("--plot needs ") + kScriptName + ", found neither beside this program nor at " +
                ZQ3R_PLOT_SCRIPT;
        return false;
    }
    std::string output;
    if (runPython({scriptPath, "--check"}, output) != 0) {
        error = std::string("--plot needs ") + kPython + " with matplotlib (Debian package " +
                "python3-matplotlib; scripts/setup.sh installs it): " + lastLine(output);
        return false;
    }
    return true;
}

bool LevelPlot::draw(const std::string& dataPath, const std::string& picturePath, const PlotLabels& labels,
                     std::string& error) const {
    // Joined with '=', so that a value starting with '-' stays a value.
    std::vector<std::string> arguments = {scriptPath, "--data=" + dataPath, "--out=" + picturePath,
                                          "--title=" + labels.title, "--subtitle=" + labels.subtitle};
    if (labels.showThreshold) {
        char threshold[32];
        std::snprintf(threshold, sizeof threshold, "%.2f", labels.thresholdDecibels);
        arguments.push_back("--threshold-db=" + std::string(threshold));
    }
    std::string output;
    if (runPython(arguments, output) != 0) {
        error = "cannot draw the plot: " + lastLine(output);
        return false;
    }
    return true;
}

#include "tests/tools/RendererProcess.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fcntl.h>

#include <cstdlib>

namespace {

[[noreturn]] void execProgram(const std::string& program, const std::vector<std::string>& arguments) {
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    execvp(program.c_str(), argv.data());
    _exit(127);
}

}  // namespace

RendererRun runRenderer(const std::vector<std::string>& arguments,
                        const std::string& workingFolder,
                        const std::vector<std::pair<std::string, std::string>>& environment) {
    return runProgram(ZQ3R_RENDER_PATH, arguments, workingFolder, environment);
}

RendererRun runProgram(const std::string& program, const std::vector<std::string>& arguments,
                       const std::string& workingFolder,
                       const std::vector<std::pair<std::string, std::string>>& environment) {
    RendererRun run;
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) return run;
    const pid_t child = fork();
    if (child == 0) {
        dup2(pipeEnds[1], STDOUT_FILENO);
        dup2(pipeEnds[1], STDERR_FILENO);
        close(pipeEnds[0]);
        close(pipeEnds[1]);
        if (chdir(workingFolder.c_str()) != 0) _exit(127);
        for (const auto& [name, value] : environment) setenv(name.c_str(), value.c_str(), 1);
        execProgram(program, arguments);
    }
    close(pipeEnds[1]);
    char buffer[4096];
    ssize_t count;
    while ((count = read(pipeEnds[0], buffer, sizeof buffer)) > 0) run.output.append(buffer, count);
    close(pipeEnds[0]);
    int status = 0;
    struct rusage usage = {};
    if (child > 0 && wait4(child, &status, 0, &usage) == child) {
        run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        run.peakMemoryKilobytes = usage.ru_maxrss;
    }
    return run;
}

pid_t startRenderer(const std::vector<std::string>& arguments, const std::string& workingFolder) {
    const pid_t child = fork();
    if (child == 0) {
        const int nowhere = open("/dev/null", O_WRONLY);
        dup2(nowhere, STDOUT_FILENO);
        dup2(nowhere, STDERR_FILENO);
        if (chdir(workingFolder.c_str()) != 0) _exit(127);
        execProgram(ZQ3R_RENDER_PATH, arguments);
    }
    return child;
}

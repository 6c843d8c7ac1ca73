// A host that returns from main while its audio thread still runs and the
// plug-in's editor is open in its window, as a host that quits mid-song
// without closing anything does. The library's unload hook then runs among
// the process's exit handlers while the audio thread keeps drawing the
// meter; under the address sanitizer anything the hook frees that the meter
// still uses fails the run. The window is small, so the host runs many times,
// each time in a process of its own and leaving at another moment.
//
//   host_exit_mid_stream <library> <runs>
#include <dlfcn.h>
#include <spawn.h>
#include <sys/wait.h>
#include <xcb/xcb.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "host/AEffect.h"

extern char** environ;

namespace {

constexpr int kMeterInterval = 881;
constexpr uint16_t kEditorWidth = 304;
constexpr uint16_t kEditorHeight = 119;

// The host's own connection stays open to the end, as its window does.
xcb_connection_t* hostConnection = nullptr;

intptr_t answerVersion(AEffect*, int32_t opcode, int32_t, intptr_t, void*, float) {
    return opcode == audioMasterVersion ? 2400 : 0;
}

intptr_t dispatch(AEffect* record, int32_t opcode, intptr_t value = 0, void* ptr = nullptr, float opt = 0.0f) {
    return record->dispatcher(record, opcode, 0, value, ptr, opt);
}

// Loud and quiet meter intervals in turn, as fast as the thread can: every
// interval lights another number of LEDs, so the meter draws all the time.
void playForever(AEffect* record) {
    std::vector<float> left(kMeterInterval), right(kMeterInterval), outLeft(kMeterInterval), outRight(kMeterInterval);
    float* inputs[] = {left.data(), right.data()};
    float* outputs[] = {outLeft.data(), outRight.data()};
    for (int interval = 0;; ++interval) {
        const float level = interval % 2 ? 0.9f : 0.01f;
        for (int i = 0; i < kMeterInterval; ++i) left[size_t(i)] = right[size_t(i)] = i % 2 ? level : -level;
        record->processReplacing(record, inputs, outputs, kMeterInterval);
    }
}

xcb_window_t createHostWindow(xcb_connection_t* connection) {
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    xcb_window_t window = xcb_generate_id(connection);
    xcb_create_window(connection, XCB_COPY_FROM_PARENT, window, screen->root, 40, 40, kEditorWidth, kEditorHeight, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
    xcb_map_window(connection, window);
    free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
    return window;
}

// One host: the editor open, the audio running, a few idles, and out.
int runOnce(const char* libraryPath, int moment) {
    void* library = dlopen(libraryPath, RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        std::fprintf(stderr, "cannot load %s: %s\n", libraryPath, dlerror());
        return 1;
    }
    using EntryPoint = AEffect* (*)(audioMasterCallback);
    auto entry = reinterpret_cast<EntryPoint>(dlsym(library, "VSTPluginMain"));
    AEffect* record = entry ? entry(answerVersion) : nullptr;
    hostConnection = xcb_connect(nullptr, nullptr);
    if (!record || xcb_connection_has_error(hostConnection)) {
        std::fprintf(stderr, "no record, or no display\n");
        return 1;
    }
    dispatch(record, effOpen);
    dispatch(record, effSetSampleRate, 0, nullptr, 44100.0f);
    dispatch(record, effSetBlockSize, kMeterInterval);
    dispatch(record, effMainsChanged, 1);
    const xcb_window_t window = createHostWindow(hostConnection);
    if (dispatch(record, effEditOpen, 0, reinterpret_cast<void*>(uintptr_t(window))) != 1) {
        std::fprintf(stderr, "the editor does not open\n");
        return 1;
    }
    std::thread(playForever, record).detach();
    for (int idle = 0; idle < moment % 8; ++idle) {
        dispatch(record, effEditIdle);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    std::this_thread::sleep_for(std::chrono::microseconds(137 * (moment % 11)));
    return 0;
}

// Runs the host in processes of its own, one after another; fails when any
// of them fails.
int runMany(const char* program, const char* libraryPath, int runs) {
    int failures = 0;
    for (int run = 0; run < runs; ++run) {
        const std::string moment = std::to_string(run);
        char* const arguments[] = {const_cast<char*>(program), const_cast<char*>(libraryPath),
                                   const_cast<char*>("--once"), const_cast<char*>(moment.c_str()), nullptr};
        pid_t child = 0;
        int status = 0;
        if (posix_spawn(&child, program, nullptr, nullptr, arguments, environ) != 0 ||
            waitpid(child, &status, 0) != child) {
            std::perror("cannot run the host");
            return 1;
        }
        if (WIFEXITED(status) && WEXITSTATUS(status) == 0) continue;
        ++failures;
        std::fprintf(stderr, "run %d ended %s %d\n", run, WIFSIGNALED(status) ? "by signal" : "with status",
                     WIFSIGNALED(status) ? WTERMSIG(status) : WEXITSTATUS(status));
    }
    std::printf("%d of %d runs failed\n", failures, runs);
    return failures ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::string(argv[2]) == "--once") return runOnce(argv[1], std::atoi(argv[3]));
    if (argc != 3 || std::atoi(argv[2]) <= 0) {
        std::fprintf(stderr, "usage: %s <library> <runs>\n", argv[0]);
        return 2;
    }
    return runMany(argv[0], argv[1], std::atoi(argv[2]));
}

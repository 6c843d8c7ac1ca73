// A small Linux host for an installed package: it loads the plug-in from
// where the package put it, checks the record, runs the Windows test host's
// audio and chunk sessions against their references, and opens the editor in
// an X11 window of its own, as a host does, and closes it again.
//
//   package_host <library> <session reference> <chunk reference>
//
// It needs an X display (DISPLAY) and nothing but the C++ runtime and libxcb,
// which the package itself depends on, so that it runs in a root that holds
// only what the package brought in.
#include <dlfcn.h>
#include <xcb/xcb.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <thread>

#include "ProductVersion.h"
#include "tests/winhost/ChunkSession.h"
#include "tests/winhost/HostSession.h"

namespace {

// The host's window on the display, with the editor's windows inside it.
class HostWindow {
public:
    HostWindow() {
        connection = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(connection)) return;
        xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
        window = xcb_generate_id(connection);
        const uint32_t background = screen->black_pixel;
        xcb_create_window(connection, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, 320, 140, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, XCB_CW_BACK_PIXEL, &background);
        xcb_map_window(connection, window);
        sync();
    }
    ~HostWindow() {
        if (window) xcb_destroy_window(connection, window);
        xcb_disconnect(connection);
    }

    bool isOpen() const { return window != 0; }
    xcb_window_t id() const { return window; }

    int childCount() {
        xcb_query_tree_reply_t* tree = xcb_query_tree_reply(connection, xcb_query_tree(connection, window), nullptr);
        if (!tree) return -1;
        const int count = xcb_query_tree_children_length(tree);
        std::free(tree);
        return count;
    }

    // How many colours the screen shows in the window's top left corner,
    // where the editor sits: a blank or unpainted editor shows one.
    size_t coloursShown(int32_t width, int32_t height) {
        xcb_get_image_reply_t* image = xcb_get_image_reply(
            connection,
            xcb_get_image(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, window, 0, 0, width, height, ~0u), nullptr);
        if (!image) return 0;
        std::set<uint32_t> colours;
        const uint8_t* data = xcb_get_image_data(image);
        const int length = xcb_get_image_data_length(image);
        for (int i = 0; i + 3 < length; i += 4) colours.insert(data[i] | data[i + 1] << 8 | data[i + 2] << 16);
        std::free(image);
        return colours.size();
    }

private:
    // Waits until the server has done everything asked so far.
    void sync() { std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr)); }

    xcb_connection_t* connection = nullptr;
    xcb_window_t window = 0;
};

intptr_t dispatch(AEffect* record, int32_t opcode, void* ptr = nullptr) {
    return record->dispatcher(record, opcode, 0, 0, ptr, 0.0f);
}

// The editor opened in the host's window and idled as a host idles it,
// until the screen shows the panel, then closed; what went wrong, or "".
std::string showEditor(AEffect* record, HostWindow& host) {
    ERect* rect = nullptr;
    dispatch(record, effEditGetRect, &rect);
    const int32_t width = rect ? rect->right - rect->left : 0;
    const int32_t height = rect ? rect->bottom - rect->top : 0;
    if (dispatch(record, effEditOpen, reinterpret_cast<void*>(static_cast<uintptr_t>(host.id()))) != 1)
        return "effEditOpen refused the host's window";
    size_t colours = 0;
    for (int idle = 0; idle < 100 && colours < 16; ++idle) {
        dispatch(record, effEditIdle);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        colours = host.coloursShown(width, height);
    }
    const int children = host.childCount();
    std::printf("editor:   %dx%d in window 0x%x: %d window inside, %zu colours on the screen\n", width, height,
                host.id(), children, colours);
    dispatch(record, effEditClose);
    if (children != 1) return "the editor made " + std::to_string(children) + " windows in the host's";
    if (colours < 16) return "the editor shows no panel";
    return "";
}

// The editor of a new instance, shown and closed, then the instance closed:
// nothing of it may be left in the host's window.
std::string openEditor(EntryPoint entry) {
    HostWindow host;
    if (!host.isOpen()) return "no X display to open the editor on (DISPLAY)";
    AEffect* record = entry(sessionHostCallback);
    if (!record) return "the entry point returned no record";
    dispatch(record, effOpen);
    std::string problem = showEditor(record, host);
    dispatch(record, effClose);
    const int left = host.childCount();
    std::printf("closed:   %d window left in the host's\n", left);
    if (problem.empty() && left != 0) problem = "the editor left windows behind in the host's";
    return problem;
}

std::string checkRecord(EntryPoint entry) {
    AEffect* record = entry(sessionHostCallback);
    if (!record) return "the entry point returned no record";
    std::printf("record:   version %d, flags 0x%x, %d in / %d out\n", record->version, record->flags,
                record->numInputs, record->numOutputs);
    std::string problems = recordProblems(record);
    dispatch(record, effClose);
    return problems;
}

std::string compareSessions(EntryPoint entry, const char* sessionReference, const char* chunkReference) {
    SessionOutput output, expected;
    std::string problem = runSession(entry, output);
    if (problem.empty()) problem = readReference(sessionReference, expected);
    if (!problem.empty()) return problem;
    const double difference = largestDifference(output, expected);
    std::printf("audio:    %zu frames twice, largest difference from the reference %g\n", output.replacingLeft.size(),
                difference);
    if (!(difference <= SessionFormat::tolerance)) return "the audio differs from the reference";

    ChunkOutput chunks, expectedChunks;
    problem = runChunkSession(entry, chunks);
    if (problem.empty()) problem = readChunkReference(chunkReference, expectedChunks);
    if (problem.empty()) problem = chunkDifference(chunks, expectedChunks);
    if (problem.empty()) std::printf("chunks:   the same bytes as the reference\n");
    return problem;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: package_host <library> <session reference> <chunk reference>\n");
        return 2;
    }
    void* library = dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        std::fprintf(stderr, "package_host: %s\n", dlerror());
        return 1;
    }
    std::printf("library:  %s\n", argv[1]);
    auto entry = reinterpret_cast<EntryPoint>(dlsym(library, "VSTPluginMain"));
    std::string problem = entry ? checkRecord(entry) : "the library exports no VSTPluginMain";
    if (problem.empty()) problem = compareSessions(entry, argv[2], argv[3]);
    if (problem.empty()) problem = openEditor(entry);
    dlclose(library);
    if (!problem.empty()) {
        std::fprintf(stderr, "package_host: %s: %s\n", argv[1], problem.c_str());
        return 1;
    }
    std::printf("unloaded: %s %s works\n", ZQ3R_PRODUCT_NAME, ZQ3R_VERSION_TEXT);
    return 0;
}

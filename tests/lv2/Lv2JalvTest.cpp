// The UI in a real LV2 host: jalv.gtk3 on the test's display, on a JACK
// server with the dummy driver. The panel jalv embeds must show what the
// headless editor shows, follow the real pointer as the headless editor
// follows messages, and send the plug-in what the panel changed, which
// jalv prints (--dump): after a knob drag and Copy, the program row's state
// in the same bytes as the headless editor's plug-in hands its host.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "EditorOnDisplay.h"
#include "editor/PanelLayout.h"
#include "lv2/Lv2Uris.h"

namespace {

constexpr MousePoint kCopy = {20, 109};

// A program of the test's own, its output in a file, stopped at the end.
class ChildProgram {
public:
    ChildProgram(const std::vector<std::string>& arguments, const std::string& output) {
        pid = fork();
        if (pid != 0) return;
        const int file = open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(file, STDOUT_FILENO);
        dup2(file, STDERR_FILENO);
        std::vector<char*> argv;
        for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    ~ChildProgram() {
        if (pid <= 0) return;
        kill(pid, SIGTERM);
        int status = 0;
        waitpid(pid, &status, 0);
    }
    bool running() const { return pid > 0 && waitpid(pid, nullptr, WNOHANG) == 0; }

private:
    pid_t pid = -1;
};

std::string readFile(const std::string& path) {
    std::ifstream file(path);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::vector<uint8_t> decodeBase64(const std::string& text) {
    static const std::string alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::vector<uint8_t> bytes;
    uint32_t bits = 0;
    int count = 0;
    for (char c : text) {
        const size_t value = alphabet.find(c);
        if (value == std::string::npos) continue;  // line breaks and padding
        bits = (bits << 6) | static_cast<uint32_t>(value);
        count += 6;
        if (count >= 8) {
            count -= 8;
            bytes.push_back(static_cast<uint8_t>(bits >> count));
        }
    }
    return bytes;
}

// The chunks jalv printed as sent from the UI to the plug-in, in order.
std::vector<std::vector<uint8_t>> chunksSentByTheUi(const std::string& dump) {
    std::vector<std::vector<uint8_t>> chunks;
    for (size_t at = dump.find("## UI => Plugin"); at != std::string::npos; at = dump.find("## UI => Plugin", at + 1)) {
        const size_t start = dump.find("\"\"\"", at);
        const size_t next = dump.find("## ", at + 1);
        if (start == std::string::npos || (next != std::string::npos && start > next)) continue;
        const size_t end = dump.find("\"\"\"", start + 3);
        if (end == std::string::npos) break;
        chunks.push_back(decodeBase64(dump.substr(start + 3, end - start - 3)));
    }
    return chunks;
}

// The window of the panel's size somewhere below the given one.
xcb_window_t findPanel(TestDisplay& display, xcb_window_t window) {
    for (xcb_window_t child : display.children(window)) {
        const WindowPlace place = display.placeOf(child);
        if (place.width == panelLayout::kPanelRect.width && place.height == panelLayout::kPanelRect.height) return child;
        if (xcb_window_t found = findPanel(display, child)) return found;
    }
    return 0;
}

}  // namespace

TEST(Lv2InJalv, ShowsTheHeadlessEditorFollowsThePointerAndSendsThePluginItsState) {
    TestDisplay display;
    ASSERT_TRUE(display.isConnected()) << "this test needs an X display (run it in xvfb-run)";
    HeadlessEditor headless;
    std::string folderPattern = (std::filesystem::temp_directory_path() / "zq3r-jalv-XXXXXX").string();
    ASSERT_NE(mkdtemp(folderPattern.data()), nullptr);
    const std::string folder = folderPattern;
    const std::string server = "zq3r-" + std::to_string(getpid());
    setenv("JACK_NO_AUDIO_RESERVATION", "1", 1);
    setenv("JACK_NO_START_SERVER", "1", 1);
    setenv("JACK_DEFAULT_SERVER", server.c_str(), 1);
    setenv("LV2_PATH", ZQ3R_LV2_PATH, 1);
    setenv("NO_AT_BRIDGE", "1", 1);
    {
        ChildProgram jack({"jackd", "-n", server, "-d", "dummy", "-r", "44100", "-p", "256"}, folder + "/jackd.log");
        xcb_window_t panel = 0;
        std::unique_ptr<ChildProgram> jalv;
        // jackd takes a moment; jalv gives up on a server that is not there yet.
        ASSERT_TRUE(eventually([&] {
            if (!jalv || !jalv->running()) {
                // Line-buffered, so that what it prints is in its log at once.
                jalv.reset(new ChildProgram({"stdbuf", "-oL", "jalv.gtk3", "--dump", lv2Uris::kPlugin}, folder + "/jalv.log"));
                usleep(300000);
            }
            for (xcb_window_t top : display.topLevelWindows()) {
                if ((panel = findPanel(display, top)) != 0) return true;
            }
            return false;
        })) << readFile(folder + "/jalv.log") << readFile(folder + "/jackd.log");
        EXPECT_TRUE(showsSoon(display, panel, headless.session().capture(), "jalv-factory"));

        const std::vector<MousePoint> path = {{86, 27}, {100, 40}, {112, 55}, {118, 62}};
        display.movePointer(panel, path.front().x, path.front().y);
        display.pressButton(1);
        for (const MousePoint& point : path) display.movePointer(panel, point.x, point.y);
        display.releaseButton(1);
        headless.session().drag(path);
        EXPECT_TRUE(showsSoon(display, panel, headless.session().capture(), "jalv-ratio-turned"));

        display.movePointer(panel, kCopy.x, kCopy.y);
        display.pressButton(1);
        display.releaseButton(1);
        headless.session().click(kCopy.x, kCopy.y);
        const std::vector<uint8_t> expected = headless.plugin().getChunk(false);
        EXPECT_TRUE(eventually([&] {
            const auto sent = chunksSentByTheUi(readFile(folder + "/jalv.log"));
            return !sent.empty() && sent.back() == expected;
        })) << readFile(folder + "/jalv.log");
    }
    std::filesystem::remove_all(folder);
}

#include "EditorOnDisplay.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "PngFile.h"
#include "StripPictures.h"
#include "editor/PanelLayout.h"

namespace {

constexpr float kSampleRate = 44100.0f;
constexpr int kBlockSize = 512;
constexpr auto kPatience = std::chrono::seconds(10);

PluginLibrary& builtLibrary() {
    static PluginLibrary library;
    static bool loaded = false;
    if (!loaded) {
        std::string error;
        loaded = library.load(ZQ3R_LIBRARY_PATH, error);
        EXPECT_TRUE(loaded) << error;
    }
    return library;
}

void startPlugin(HostedPlugin& plugin, PluginEntryProc entry) {
    std::string error;
    ASSERT_TRUE(entry && plugin.create(entry, error)) << error;
    ASSERT_TRUE(plugin.open(kSampleRate, kBlockSize, false, error)) << error;
    plugin.start();
}

}  // namespace

EditorOnDisplay::EditorOnDisplay(TestDisplay& display, HostGuiThread& gui, int32_t x, int32_t y)
    : display(display), gui(&gui) {
    startPlugin(instance, builtLibrary().entry());
    hostWindow = display.createHostWindow(x, y, panelLayout::kPanelRect.width, panelLayout::kPanelRect.height);
}

EditorOnDisplay::~EditorOnDisplay() {
    if (editorOpen) closeEditor();
    closeInstance();
    if (hostWindow) display.destroyWindow(hostWindow);
}

intptr_t EditorOnDisplay::dispatch(int32_t opcode, void* ptr) {
    intptr_t answer = 0;
    gui->run([&] { answer = instance.dispatch(opcode, 0, 0, ptr, 0.0f); });
    return answer;
}

intptr_t EditorOnDisplay::openWith(uintptr_t id) {
    const intptr_t answer = dispatch(effEditOpen, reinterpret_cast<void*>(id));
    editorOpen = editorOpen || answer != 0;
    return answer;
}

void EditorOnDisplay::idle() { instance.dispatch(effEditIdle, 0, 0, nullptr, 0.0f); }

void EditorOnDisplay::closeEditor() {
    dispatch(effEditClose);
    editorOpen = false;
}

void EditorOnDisplay::closeInstance() {
    if (!instance.record()) return;
    gui->run([&] {
        instance.stop();
        instance.close();
    });
    editorOpen = false;
}

HeadlessEditor::HeadlessEditor() {
    PluginLibrary linked;
    linked.useLinkedPlugin();
    startPlugin(instance, linked.entry());
    editor.reset(new EditorSession(instance.record()));
}

HeadlessEditor::~HeadlessEditor() {
    editor.reset();
    instance.close();
}

namespace {

std::vector<xcb_window_t> sorted(std::vector<xcb_window_t> windows) {
    std::sort(windows.begin(), windows.end());
    return windows;
}

}  // namespace

void LeavesNothingOnTheDisplay::SetUp() {
    ASSERT_TRUE(display.isConnected()) << "these tests need an X display (run them in xvfb-run)";
    topLevelBefore = sorted(display.topLevelWindows());
}

void LeavesNothingOnTheDisplay::TearDown() {
    if (!display.isConnected()) return;
    EXPECT_TRUE(eventually([&] { return sorted(display.topLevelWindows()) == topLevelBefore; }))
        << "a top-level window of ours is left on the display";
    EXPECT_TRUE(eventually([&] { return display.pointerIsFree(); })) << "a grab of ours is left on the display";
}

bool LeavesNothingOnTheDisplay::nothingInside(xcb_window_t hostWindow) {
    return eventually([&] { return display.children(hostWindow).empty(); });
}

void LeavesNothingOnTheDisplay::click(xcb_window_t window, MousePoint point) {
    display.movePointer(window, point.x, point.y);
    display.pressButton(1);
    display.releaseButton(1);
}

std::vector<float> loudSignal(int32_t frames) {
    std::vector<float> signal(size_t(frames) * 2);
    for (int32_t i = 0; i < frames; ++i) {
        const float level = i < frames / 4 ? 0.05f : 0.9f;
        signal[size_t(i) * 2] = level * (float((i * 37) % 200) / 100.0f - 1.0f);
        signal[size_t(i) * 2 + 1] = level * (i % 2 ? 0.5f : -0.75f);
    }
    return signal;
}

std::vector<float> processSignal(HostedPlugin& plugin, const std::vector<float>& signal, int pauseMilliseconds) {
    const size_t frames = signal.size() / 2;
    std::vector<float> output(signal.size());
    std::vector<float> inLeft(kBlockSize), inRight(kBlockSize), outLeft(kBlockSize), outRight(kBlockSize);
    for (size_t done = 0; done < frames; done += kBlockSize) {
        const size_t count = std::min<size_t>(kBlockSize, frames - done);
        for (size_t i = 0; i < count; ++i) {
            inLeft[i] = signal[(done + i) * 2];
            inRight[i] = signal[(done + i) * 2 + 1];
        }
        plugin.process(inLeft.data(), inRight.data(), outLeft.data(), outRight.data(), int(count));
        for (size_t i = 0; i < count; ++i) {
            output[done + i] = outLeft[i];
            output[frames + done + i] = outRight[i];
        }
        if (pauseMilliseconds) std::this_thread::sleep_for(std::chrono::milliseconds(pauseMilliseconds));
    }
    return output;
}

bool eventually(const std::function<bool()>& condition) {
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

namespace {

CapturedImage without(CapturedImage image, const PixelRect* ignored) {
    if (!ignored || image.pixels.empty()) return image;
    CapturedImage blank;
    blank.width = ignored->width;
    blank.height = ignored->height;
    blank.pixels.assign(size_t(ignored->width) * size_t(ignored->height), 0);
    paste(image, blank, ignored->x, ignored->y);
    return image;
}

}  // namespace

::testing::AssertionResult showsSoon(TestDisplay& display, xcb_window_t window, const CapturedImage& picture,
                                     const std::string& name, const PixelRect* ignored) {
    const CapturedImage expected = without(picture, ignored);
    CapturedImage shown;
    if (eventually([&] {
            shown = without(display.read(window), ignored);
            return shown.pixels == expected.pixels;
        }))
        return ::testing::AssertionSuccess();
    const std::string kept = ZQ3R_CAPTURE_DIR "/" + name + "-on-display.png";
    writePng(shown, kept);
    return samePicture(shown, expected) << " for " << name << "; the screen's picture is in " << kept;
}

CapturedImage committedPicture(const std::string& path) {
    CapturedImage picture;
    EXPECT_TRUE(readPng(ZQ3R_SOURCE_DIR "/" + path, picture)) << path;
    return picture;
}

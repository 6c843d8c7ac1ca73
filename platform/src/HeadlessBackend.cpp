// No screen: no native window exists, no input arrives, and the screen has
// the size of the virtual screen of our Wine tests.
#include "WindowBackend.h"

#include <chrono>
#include <thread>

namespace platform {

namespace {

constexpr int headlessScreenWidth = 1024;
constexpr int headlessScreenHeight = 768;

class HeadlessBackend : public WindowBackend {
public:
    bool adoptForeign(NativeWindow, RECT*) override { return false; }
    void releaseForeign(NativeWindow) override {}
    NativeWindow createChild(NativeWindow, const RECT&) override { return 0; }
    NativeWindow createTopLevel(NativeWindow, const RECT&) override { return 0; }
    void showWindow(NativeWindow, bool) override {}
    void destroyWindow(NativeWindow) override {}
    void pushPixels(NativeWindow, const RECT&, const uint32_t*) override {}
    void readInput(std::vector<NativeEvent>&) override {}
    void waitForInput(int milliseconds) override {
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    }
    void flush() override {}
    bool grabPointer(NativeWindow) override { return false; }
    void releasePointer() override {}
    SIZE screenSize() const override { return SIZE{headlessScreenWidth, headlessScreenHeight}; }
};

}  // namespace

std::unique_ptr<WindowBackend> createHeadlessBackend() {
    return std::unique_ptr<WindowBackend>(new HeadlessBackend);
}

}  // namespace platform

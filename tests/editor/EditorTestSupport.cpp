#include "EditorTestSupport.h"

#include <cstdlib>
#include <iostream>
#include <vector>

#include "PngFile.h"
#include "StripPictures.h"
#include "editor/AboutBox.h"
#include "editor/CompressorEditor.h"
#include "engine/CompressorPlugin.h"
#include "gui/WindowSupport.h"
#include "host/ModuleInstance.h"
#include "host/PluginEntry.h"

namespace {

intptr_t hostCallback(AEffect*, int32_t opcode, int32_t, intptr_t, void*, float) {
    return opcode == audioMasterVersion ? 2400 : 0;
}

std::string referencePath(const std::string& name) {
    if (name == "factory") return ZQ3R_SOURCE_DIR "/docs/editor-factory.png";
    return ZQ3R_SOURCE_DIR "/tests/editor/reference/" + name + ".png";
}

bool writingReferences() {
    const char* setting = std::getenv("ZQ3R_WRITE_REFERENCE_PICTURES");
    return setting && std::string(setting) == "1";
}

::testing::AssertionResult writeReference(const CapturedImage& capture, const std::string& name) {
    const std::string path = referencePath(name);
    if (!writePng(capture, path)) return ::testing::AssertionFailure() << "cannot write " << path;
    std::cout << "wrote " << path << "\n";
    if (name == "factory") {
        const std::string enlargedPath = ZQ3R_SOURCE_DIR "/docs/editor-factory-3x.png";
        if (!writePng(enlarged(capture, 3), enlargedPath))
            return ::testing::AssertionFailure() << "cannot write " << enlargedPath;
        std::cout << "wrote " << enlargedPath << "\n";
    }
    return ::testing::AssertionSuccess();
}

}  // namespace

PluginInstance::PluginInstance() : effect(pluginMain(hostCallback)) { EXPECT_NE(effect, nullptr); }

PluginInstance::~PluginInstance() { close(); }

intptr_t PluginInstance::dispatch(int32_t opcode, intptr_t value, void* ptr) const {
    return effect->dispatcher(effect, opcode, 0, value, ptr, 0.0f);
}

void PluginInstance::close() {
    if (effect) dispatch(effClose);
    effect = nullptr;
}

CompressorEngine* PluginInstance::engine() const {
    return static_cast<CompressorPlugin*>(static_cast<EffectBase*>(effect->object));
}

CompressorEditor* PluginInstance::editor() const {
    return static_cast<CompressorEditor*>(static_cast<EffectBase*>(effect->object)->getEditor());
}

void PluginInstance::processConstant(float level, int32_t frames) const {
    constexpr int32_t kBlock = 256;
    std::vector<float> left(kBlock, level), right(kBlock, level), outLeft(kBlock), outRight(kBlock);
    float* inputs[] = {left.data(), right.data()};
    float* outputs[] = {outLeft.data(), outRight.data()};
    for (int32_t done = 0; done < frames; done += kBlock) {
        const int32_t count = frames - done < kBlock ? frames - done : kBlock;
        effect->processReplacing(effect, inputs, outputs, count);
    }
}

std::vector<float> PluginInstance::playSong() const {
    constexpr int32_t kBlock = 256;
    constexpr int32_t kBlocks = 24;
    std::vector<float> left(kBlock), right(kBlock), output;
    std::vector<float> outLeft(kBlock), outRight(kBlock);
    float* inputs[] = {left.data(), right.data()};
    float* outputs[] = {outLeft.data(), outRight.data()};
    for (int32_t block = 0; block < kBlocks; ++block) {
        const float level = block % 6 < 3 ? 0.9f : 0.05f;
        for (int32_t i = 0; i < kBlock; ++i) {
            left[i] = level * static_cast<float>((i * 37 + block) % 64 - 32) / 32.0f;
            right[i] = -0.5f * left[i];
        }
        effect->processReplacing(effect, inputs, outputs, kBlock);
        output.insert(output.end(), outLeft.begin(), outLeft.end());
        output.insert(output.end(), outRight.begin(), outRight.end());
    }
    return output;
}

bool genericClassRegistered() {
    HWND probe = CreateWindowExA(0, kGenericWindowClass, "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, moduleInstance,
                                 nullptr);
    if (!probe) return false;
    DestroyWindow(probe);
    return true;
}

int aboutPopupCount() {
    int count = 0;
    for (HWND popup = FindWindowExA(nullptr, nullptr, kAboutBoxWindowClass, nullptr); popup;
         popup = FindWindowExA(nullptr, popup, kAboutBoxWindowClass, nullptr))
        ++count;
    return count;
}

HWND aboutPopup() { return FindWindowExA(nullptr, nullptr, kAboutBoxWindowClass, nullptr); }

::testing::AssertionResult matchesReference(const CapturedImage& capture, const std::string& name) {
    if (capture.empty()) return ::testing::AssertionFailure() << "nothing was captured for " << name;
    if (writingReferences()) return writeReference(capture, name);
    const std::string path = referencePath(name);
    CapturedImage reference;
    if (!readPng(path, reference))
        return ::testing::AssertionFailure() << "no reference picture " << path
                                             << " (a native run with ZQ3R_WRITE_REFERENCE_PICTURES=1 writes it)";
    ::testing::AssertionResult same = samePicture(capture, reference);
    if (!same) {
        const std::string kept = ZQ3R_CAPTURE_DIR "/" + name + "-captured.png";
        writePng(capture, kept);
        same << " against " << path << "; the capture is in " << kept;
    }
    return same;
}

CapturedImage enlarged(const CapturedImage& image, int factor) {
    CapturedImage large;
    large.width = image.width * factor;
    large.height = image.height * factor;
    large.pixels.reserve(size_t(large.width) * size_t(large.height));
    for (int y = 0; y < large.height; ++y) {
        for (int x = 0; x < large.width; ++x) large.pixels.push_back(image.at(x / factor, y / factor));
    }
    return large;
}

#include "StripPictures.h"

#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <regex>
#include <sstream>

#include "BmpFile.h"

namespace {

// The resource script is the one place that names each bitmap's file.
std::map<int32_t, std::string> bitmapFiles() {
    std::map<int32_t, std::string> files;
    std::ifstream script(ZQ3R_RESOURCES_DIR "/resources.rc");
    const std::regex entry(R"(^\s*(\d+)\s+BITMAP\s+\"([^\"]+)\")");
    std::string line;
    std::smatch match;
    while (std::getline(script, line)) {
        if (std::regex_search(line, match, entry)) files[std::stoi(match[1])] = match[2];
    }
    return files;
}

const BmpFile* bitmapFile(int32_t resourceId) {
    static const std::map<int32_t, std::string> files = bitmapFiles();
    static std::map<int32_t, std::unique_ptr<BmpFile>> read;
    auto known = read.find(resourceId);
    if (known != read.end()) return known->second.get();
    auto name = files.find(resourceId);
    if (name == files.end()) return nullptr;
    auto file = std::make_unique<BmpFile>(std::string(ZQ3R_RESOURCES_DIR "/") + name->second);
    return (read[resourceId] = std::move(file)).get();
}

uint32_t packed(const Rgb& colour) {
    return (uint32_t(colour.red) << 16) | (uint32_t(colour.green) << 8) | uint32_t(colour.blue);
}

std::string hex(uint32_t pixel) {
    std::ostringstream text;
    text << "0x" << std::hex << pixel;
    return text.str();
}

}  // namespace

const Filmstrip& Filmstrip::of(int32_t resourceId, int32_t frameWidth) {
    static std::map<std::pair<int32_t, int32_t>, std::unique_ptr<Filmstrip>> strips;
    std::unique_ptr<Filmstrip>& strip = strips[{resourceId, frameWidth}];
    if (!strip) strip.reset(new Filmstrip(resourceId, frameWidth));
    return *strip;
}

Filmstrip::Filmstrip(int32_t resourceId, int32_t frameWidth) : file(bitmapFile(resourceId)), width(frameWidth) {
    if (!file) {
        error = "no bitmap " + std::to_string(resourceId) + " in the resource script";
    } else if (!file->error().empty()) {
        error = file->error();
    } else if (frameWidth <= 0) {
        error = "no frame width";
    } else {
        readable = true;
        height = std::abs(file->heightField());
        frames = file->widthField() / frameWidth;
    }
}

uint32_t Filmstrip::pixel(int32_t frame, int32_t x, int32_t y) const {
    return packed(file->pixel(frame * width + x, y));
}

CapturedImage Filmstrip::frame(int32_t index) const {
    CapturedImage picture;
    if (!readable) return picture;
    picture.width = width;
    picture.height = height;
    picture.pixels.resize(size_t(width) * size_t(height));
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) picture.pixels[size_t(y) * size_t(width) + size_t(x)] = pixel(index, x, y);
    }
    return picture;
}

CapturedImage cutOut(const CapturedImage& image, const PixelRect& rect) {
    CapturedImage part;
    if (rect.x < 0 || rect.y < 0 || rect.x + rect.width > image.width || rect.y + rect.height > image.height)
        return part;
    part.width = rect.width;
    part.height = rect.height;
    for (int32_t y = 0; y < rect.height; ++y) {
        for (int32_t x = 0; x < rect.width; ++x) part.pixels.push_back(image.at(rect.x + x, rect.y + y));
    }
    return part;
}

void paste(CapturedImage& image, const CapturedImage& picture, int32_t x, int32_t y) {
    for (int32_t row = 0; row < picture.height; ++row) {
        for (int32_t column = 0; column < picture.width; ++column) {
            const int32_t tx = x + column;
            const int32_t ty = y + row;
            if (tx < 0 || ty < 0 || tx >= image.width || ty >= image.height) continue;
            image.pixels[size_t(ty) * size_t(image.width) + size_t(tx)] = picture.at(column, row);
        }
    }
}

::testing::AssertionResult samePicture(const CapturedImage& actual, const CapturedImage& expected) {
    if (actual.empty() || expected.empty())
        return ::testing::AssertionFailure() << "no picture to compare (" << (actual.empty() ? "actual" : "expected")
                                             << " is empty)";
    if (actual.width != expected.width || actual.height != expected.height)
        return ::testing::AssertionFailure() << "size " << actual.width << "x" << actual.height << ", expected "
                                             << expected.width << "x" << expected.height;
    size_t differing = 0;
    int firstX = -1;
    int firstY = -1;
    for (int y = 0; y < actual.height; ++y) {
        for (int x = 0; x < actual.width; ++x) {
            if (actual.at(x, y) == expected.at(x, y)) continue;
            if (differing++ == 0) {
                firstX = x;
                firstY = y;
            }
        }
    }
    if (differing == 0) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << differing << " of " << actual.pixels.size()
                                         << " pixels differ, the first at (" << firstX << ", " << firstY << "): "
                                         << hex(actual.at(firstX, firstY)) << " instead of "
                                         << hex(expected.at(firstX, firstY));
}

::testing::AssertionResult showsFrame(const CapturedImage& captured, const PixelRect& rect, int32_t resourceId,
                                      int32_t frame) {
    const Filmstrip& strip = Filmstrip::of(resourceId, rect.width);
    if (!strip.isReadable()) return ::testing::AssertionFailure() << strip.problem();
    ::testing::AssertionResult same = samePicture(cutOut(captured, rect), strip.frame(frame));
    if (!same) same << " (bitmap " << resourceId << ", frame " << frame << ")";
    return same;
}

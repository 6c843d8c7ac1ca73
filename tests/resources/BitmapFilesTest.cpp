// Checks the committed bitmap files against what the editor's code assumes of
// them: the resource script numbers them, the filmstrip code cuts them into
// frames of the control's width, and the loaders expect bottom-up, uncompressed
// 8-bit (with palette) or 24-bit pictures.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <map>
#include <ostream>
#include <regex>
#include <string>
#include <vector>

#include "BmpFile.h"

// Named rather than anonymous: GoogleTest keeps the parameter type in its own
// templates, which must not depend on a type of this file's anonymous namespace.
namespace resourcetest {

struct ExpectedBitmap {
    int id;
    int width;
    int height;
    int bitsPerPixel;
    int frameWidth;
    int frames;
};

void PrintTo(const ExpectedBitmap& bitmap, std::ostream* out) {
    *out << "bitmap " << bitmap.id << " (" << bitmap.width << "x" << bitmap.height << ", "
         << bitmap.bitsPerPixel << " bits, " << bitmap.frames << " frames)";
}

}  // namespace resourcetest

namespace {

using resourcetest::ExpectedBitmap;

const ExpectedBitmap expectedBitmaps[] = {
    {128, 1855, 9, 8, 115, 16},   // gain meter: 15 columns left over
    {129, 304, 119, 8, 304, 1},   // panel background
    {130, 87, 29, 24, 29, 3},     // power button
    {131, 23, 15, 8, 7, 3},       // power LED: 2 columns left over
    {132, 2200, 44, 8, 44, 50},   // knob
    {133, 268, 280, 8, 268, 1},   // about picture
    {134, 80, 20, 24, 40, 2},     // Copy
    {135, 80, 20, 24, 40, 2},     // Paste
    {136, 80, 20, 24, 40, 2},     // Reset
    {137, 40, 20, 24, 20, 2},     // next program
    {138, 40, 20, 24, 20, 2},     // previous program
    {139, 416, 20, 24, 104, 4},   // program names
    {140, 80, 20, 24, 40, 2},     // Preset
};

// Where the panel draws the controls whose strips must blend into it.
struct PanelSpot {
    int id;
    int x;
    int y;
};

const PanelSpot knobSpots[] = {{132, 64, 20}, {132, 108, 20}, {132, 152, 20}, {132, 196, 20}, {132, 240, 20}};
const PanelSpot powerButtonSpot = {130, 27, 20};
const PanelSpot powerLedSpot = {131, 20, 49};

const std::string resourcesDir = ZQ3R_RESOURCES_DIR;

std::map<int, std::string> bitmapPathsFromScript() {
    std::map<int, std::string> paths;
    std::ifstream script(resourcesDir + "/resources.rc");
    const std::regex entry(R"(^\s*(\d+)\s+BITMAP\s+\"([^\"]+)\")");
    std::string line;
    while (std::getline(script, line)) {
        std::smatch match;
        if (std::regex_search(line, match, entry))
            paths[std::stoi(match[1].str())] = resourcesDir + "/" + match[2].str();
    }
    return paths;
}

const BmpFile& bitmap(int id) {
    static std::map<int, BmpFile> cache;
    auto found = cache.find(id);
    if (found == cache.end())
        found = cache.emplace(id, BmpFile(bitmapPathsFromScript()[id])).first;
    return found->second;
}

const ExpectedBitmap& expected(int id) {
    for (const ExpectedBitmap& entry : expectedBitmaps) {
        if (entry.id == id)
            return entry;
    }
    static const ExpectedBitmap none{};
    return none;
}

Rgb framePixel(int id, int frame, int x, int y) {
    return bitmap(id).pixel(frame * expected(id).frameWidth + x, y);
}

int strongestLight(int id, int frame, int x0, int y0, int x1, int y1) {
    int strongest = 0;
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x)
            strongest = std::max(strongest, framePixel(id, frame, x, y).strongest());
    }
    return strongest;
}

double meanLuma(int id, int frame) {
    const ExpectedBitmap& e = expected(id);
    double sum = 0;
    for (int y = 0; y < e.height; ++y) {
        for (int x = 0; x < e.frameWidth; ++x)
            sum += framePixel(id, frame, x, y).luma();
    }
    return sum / (e.frameWidth * e.height);
}

bool framesEqual(int id, int first, int second) {
    const ExpectedBitmap& e = expected(id);
    for (int y = 0; y < e.height; ++y) {
        for (int x = 0; x < e.frameWidth; ++x) {
            if (!(framePixel(id, first, x, y) == framePixel(id, second, x, y)))
                return false;
        }
    }
    return true;
}

}  // namespace

TEST(ResourceScript, NumbersTheThirteenBitmaps) {
    const std::map<int, std::string> paths = bitmapPathsFromScript();
    ASSERT_EQ(paths.size(), 13u) << "in " << resourcesDir << "/resources.rc";
    for (const ExpectedBitmap& entry : expectedBitmaps) {
        ASSERT_EQ(paths.count(entry.id), 1u) << "bitmap " << entry.id;
        EXPECT_TRUE(std::ifstream(paths.at(entry.id)).good()) << paths.at(entry.id);
    }
}

class BitmapFormat : public testing::TestWithParam<ExpectedBitmap> {};

TEST_P(BitmapFormat, HasTheSizeDepthAndLayoutTheControlsExpect) {
    const ExpectedBitmap& e = GetParam();
    const BmpFile& file = bitmap(e.id);
    ASSERT_EQ(file.error(), "");

    EXPECT_EQ(file.infoHeaderSize(), 40u) << "a plain BITMAPINFOHEADER";
    EXPECT_EQ(file.widthField(), e.width);
    EXPECT_EQ(file.heightField(), e.height) << "positive: stored bottom-up";
    EXPECT_EQ(file.planes(), 1);
    EXPECT_EQ(file.bitsPerPixel(), e.bitsPerPixel);
    EXPECT_EQ(file.compression(), 0u);

    const size_t stride = ((static_cast<size_t>(e.width) * e.bitsPerPixel + 31) / 32) * 4;
    EXPECT_EQ(file.fileSizeField(), file.pixelOffset() + stride * e.height);

    if (e.bitsPerPixel == 8) {
        EXPECT_GT(file.paletteSize(), 1u);
        EXPECT_LE(file.paletteSize(), 256u);
        EXPECT_TRUE(file.indicesWithinPalette());
    }

    // The filmstrip code counts whole frames of the control's width.
    EXPECT_EQ(e.width / e.frameWidth, e.frames);
}

INSTANTIATE_TEST_SUITE_P(EveryBitmap, BitmapFormat, testing::ValuesIn(expectedBitmaps),
                         [](const testing::TestParamInfo<ExpectedBitmap>& info) {
                             return "Bitmap" + std::to_string(info.param.id);
                         });

TEST(PanelBackground, ProgramRowBandIsBlack) {
    for (int y = 99; y < 119; ++y) {
        for (int x = 0; x < 304; ++x)
            ASSERT_EQ(bitmap(129).pixel(x, y).strongest(), 0) << "at " << x << "," << y;
    }
}

// A control's strip is copied over the panel as an opaque rectangle, so the
// parts of each frame around the round control must be the panel itself.
TEST(PanelBackground, RoundControlsBlendIntoThePanelAtEverySpot) {
    std::vector<PanelSpot> spots(std::begin(knobSpots), std::end(knobSpots));
    spots.push_back(powerButtonSpot);
    spots.push_back(powerLedSpot);
    for (const PanelSpot& spot : spots) {
        const ExpectedBitmap& e = expected(spot.id);
        const int corners[4][2] = {{0, 0}, {e.frameWidth - 1, 0}, {0, e.height - 1},
                                   {e.frameWidth - 1, e.height - 1}};
        for (int frame = 0; frame < e.frames; ++frame) {
            for (const auto& corner : corners) {
                const Rgb panel = bitmap(129).pixel(spot.x + corner[0], spot.y + corner[1]);
                EXPECT_TRUE(framePixel(spot.id, frame, corner[0], corner[1]) == panel)
                    << "bitmap " << spot.id << " frame " << frame << " corner " << corner[0] << ","
                    << corner[1] << " at panel " << spot.x << "," << spot.y;
            }
        }
    }
}

// The pointer is the knob's only warm colour; its direction is taken from the
// mean position of those pixels about the centre.
TEST(KnobStrip, PointerTurnsClockwiseFromLowerLeftToLowerRight) {
    const double pi = 4 * std::atan(1.0);
    for (int frame = 0; frame < 50; ++frame) {
        double sumX = 0, sumY = 0;
        int count = 0;
        for (int y = 0; y < 44; ++y) {
            for (int x = 0; x < 44; ++x) {
                const Rgb p = framePixel(132, frame, x, y);
                if (p.red > 180 && p.red - p.blue > 100) {
                    sumX += x + 0.5 - 22;
                    sumY += y + 0.5 - 22;
                    ++count;
                }
            }
        }
        ASSERT_GT(count, 5) << "frame " << frame << " shows no pointer";
        // Degrees clockwise from straight up, as seen on screen.
        const double angle = std::atan2(sumX, -sumY) * 180 / pi;
        const double wanted = -135.0 + 270.0 * frame / 49;
        EXPECT_NEAR(angle, wanted, 4.0) << "frame " << frame;
    }
}

TEST(MeterStrip, FrameKLightsKLedsGrowingFromTheRightEnd) {
    const int middleRow = 4;
    const int lit = 200;
    int previousLeftmost = 115;
    for (int frame = 0; frame < 16; ++frame) {
        int runs = 0;
        int leftmost = 115;
        bool inRun = false;
        for (int x = 0; x < 115; ++x) {
            const bool bright = framePixel(128, frame, x, middleRow).strongest() >= lit;
            if (bright && !inRun) {
                ++runs;
                leftmost = std::min(leftmost, x);
            }
            inRun = bright;
            if (frame > 0 && framePixel(128, frame - 1, x, middleRow).strongest() >= lit) {
                EXPECT_TRUE(bright) << "frame " << frame << " put out an LED at column " << x;
            }
        }
        EXPECT_EQ(runs, frame) << "lit LEDs in frame " << frame;
        if (frame > 0) {
            EXPECT_LT(leftmost, previousLeftmost) << "frame " << frame << " did not grow leftwards";
        }
        previousLeftmost = leftmost;
    }
}

TEST(PowerStrips, LedShowsOnNothingOffAndButtonGoesDarkWhenPressed) {
    const int lit = 200;
    EXPECT_GE(strongestLight(131, 0, 0, 0, 6, 6), lit) << "On lit in frame 0";
    EXPECT_LT(strongestLight(131, 0, 0, 8, 6, 14), lit);
    EXPECT_LT(strongestLight(131, 1, 0, 0, 6, 6), lit) << "nothing lit in frame 1";
    EXPECT_LT(strongestLight(131, 1, 0, 8, 6, 14), lit);
    EXPECT_LT(strongestLight(131, 2, 0, 0, 6, 6), lit);
    EXPECT_GE(strongestLight(131, 2, 0, 8, 6, 14), lit) << "Off lit in frame 2";

    EXPECT_TRUE(framesEqual(130, 0, 1)) << "both released frames show the lit button";
    EXPECT_LT(meanLuma(130, 2), meanLuma(130, 0) - 5.0);
}

TEST(ProgramRowStrips, PressedButtonsAreDimmerAndNamesDiffer) {
    for (int id : {134, 135, 136, 137, 138, 140}) {
        EXPECT_FALSE(framesEqual(id, 0, 1)) << "bitmap " << id;
        EXPECT_LT(meanLuma(id, 1), meanLuma(id, 0)) << "bitmap " << id;
    }
    for (int first = 0; first < 4; ++first) {
        for (int second = first + 1; second < 4; ++second)
            EXPECT_FALSE(framesEqual(139, first, second)) << "names " << first << " and " << second;
    }
}

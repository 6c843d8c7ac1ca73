// Parts of the renderer that an end-to-end run cannot reach: how far the
// knob drags can be trusted, and whether the read-back notices a setting the
// editor does not show.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "EditorSession.h"
#include "editor/CompressorPanel.h"
#include "editor/PanelLayout.h"
#include "engine/CompressorEngine.h"
#include "gui/ParamKnob.h"
#include "host/PluginEntry.h"
#include "tools/render/EditorDriver.h"
#include "tools/render/EditorReadback.h"
#include "tools/render/KnobDrag.h"
#include "tools/render/LinkedCompressor.h"

namespace {

intptr_t hostCallback(AEffect*, int32_t opcode, int32_t, intptr_t, void*, float) {
    return opcode == audioMasterVersion ? 2400 : 0;
}

bool in16Bits(int32_t coordinate) {
    return coordinate >= std::numeric_limits<int16_t>::min() && coordinate <= std::numeric_limits<int16_t>::max();
}

TEST(KnobDrag, ReachesEveryPositionWithinAMillionthFromEveryKnob) {
    for (const ControlLayout& knob : {panelLayout::kRatioKnob, panelLayout::kMakeUpKnob}) {
        const PixelPoint centre = {knob.rect.x + knob.rect.width / 2, knob.rect.y + knob.rect.height / 2};
        double worst = 0.0;
        for (int step = 0; step <= 1000; ++step) {
            const float wanted = static_cast<float>(step / 1000.0);
            const KnobDrag drag = planKnobDrag(centre, wanted);
            ASSERT_EQ(drag.path.size(), 2u);
            EXPECT_EQ(drag.path.front().x, centre.x);
            EXPECT_EQ(drag.path.front().y, centre.y);
            const MousePoint end = drag.path.back();
            ASSERT_TRUE(in16Bits(end.x) && in16Bits(end.y)) << end.x << ", " << end.y;
            // What the knob makes of the point is what the plan says it writes.
            EXPECT_EQ(ParamKnob::valueForOffset(end.x - centre.x, end.y - centre.y), drag.value) << wanted;
            worst = std::max(worst, std::fabs(static_cast<double>(drag.value) - wanted));
        }
        EXPECT_LT(worst, 1e-6);
    }
}

TEST(KnobDrag, EndsOfTheTravelAreExact) {
    const PixelPoint centre = {130, 42};
    EXPECT_EQ(planKnobDrag(centre, 0.0f).value, 0.0f);
    EXPECT_EQ(planKnobDrag(centre, 0.5f).value, 0.5f);
    EXPECT_EQ(planKnobDrag(centre, 1.0f).value, 1.0f);
}

class EditorReadbackTest : public ::testing::Test {
protected:
    void SetUp() override {
        record = pluginMain(hostCallback);
        ASSERT_NE(record, nullptr);
    }
    void TearDown() override {
        if (record) record->dispatcher(record, effClose, 0, 0, nullptr, 0.0f);
    }

    AEffect* record = nullptr;
};

TEST_F(EditorReadbackTest, NoticesASettingTheEngineOrTheEditorDoesNotHold) {
    const LinkedCompressor compressor(record);
    EditorSession session(record);
    ASSERT_TRUE(session.isOpen());
    EditorSettings settings;
    settings.program = 2;
    settings.knobs[kThreshold] = 0.3f;
    settings.bypass = true;

    EditorDriver driver(session, compressor);
    const PanelState expected = driver.apply(settings);
    std::string error;
    EXPECT_TRUE(checkEngineHolds(expected, compressor.engine(), error)) << error;
    session.repaint();
    EXPECT_TRUE(checkEditorShows(session.capture(), compressor, error)) << error;

    // Changed behind the editor's back: the engine no longer holds the
    // setting, and the editor, not repainted, shows the old knob.
    compressor.engine().setParameter(kThreshold, 0.9f);
    EXPECT_FALSE(checkEngineHolds(expected, compressor.engine(), error));
    EXPECT_NE(error.find("threshold knob holds 0.899999976, not 0.300000012"), std::string::npos) << error;
    EXPECT_FALSE(checkEditorShows(session.capture(), compressor, error));
    EXPECT_NE(error.find("the editor shows the threshold knob at frame 15 where 0.899999976 calls for frame 44"),
              std::string::npos)
        << error;
    EXPECT_NE(error.find("did not take"), std::string::npos) << error;
}

TEST_F(EditorReadbackTest, NoticesTheWrongProgramAndPower) {
    const LinkedCompressor compressor(record);
    EditorSession session(record);
    ASSERT_TRUE(session.isOpen());
    PanelState expected = readPanelState(compressor.engine());
    expected.program = 3;
    std::string error;
    EXPECT_FALSE(checkEngineHolds(expected, compressor.engine(), error));
    EXPECT_NE(error.find("selected program 0 'Default', not program 3 'Soft Compression'"), std::string::npos) << error;

    expected = readPanelState(compressor.engine());
    expected.bypassed = true;
    EXPECT_FALSE(checkEngineHolds(expected, compressor.engine(), error));
    EXPECT_NE(error.find("power switch is on, not off"), std::string::npos) << error;
}

}  // namespace

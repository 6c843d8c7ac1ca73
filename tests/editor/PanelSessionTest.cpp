// A person at the editor: presses, drags and releases reach the plug-in's
// editor inside a host window as window messages, queued whole before the
// press is handled. What they change is read back through the engine behind
// the record, and what the editor shows is compared with pictures composed
// from the artwork and with the committed captures that every build of the
// plug-in, on our window layer or on real Win32, must show alike.
//
// A knob or the power switch makes the first pass of its hold at the press
// itself; a press "held still" is scripted as a press, a move to the same
// point (a pointer that jitters in place) and the release.
#include <gtest/gtest.h>

#include "EditorSession.h"
#include "EditorTestSupport.h"
#include "HoldProbe.h"
#include "MouseMessages.h"
#include "PanelPicture.h"
#include "PngFile.h"
#include "StripPictures.h"
#include "WindowCapture.h"
#include "editor/AboutBox.h"
#include "editor/CompressorEditor.h"
#include "editor/PanelLayout.h"
#include "engine/CompressorEngine.h"
#include "engine/FactoryPrograms.h"
#include "gui/MouseTracking.h"

namespace {

using namespace panelLayout;

// Points of the panel, in the editor window's pixels.
constexpr PixelPoint kPowerCentre = {41, 34};
constexpr PixelPoint kCopy = {20, 109};
constexpr PixelPoint kPaste = {60, 109};
constexpr PixelPoint kNext = {254, 109};
constexpr PixelPoint kPrevious = {234, 109};
constexpr PixelPoint kReset = {284, 109};
constexpr PixelPoint kCopyPasteEdge = {40, 109};
// Knob centres are at y 42 and x 86, 130, 174, 218 and 262 (ratio to make-up gain).
constexpr PixelPoint kRatioUp = {86, 27};
constexpr PixelPoint kRatioRight = {101, 42};
constexpr PixelPoint kThresholdRight = {145, 42};
constexpr PixelPoint kMakeUpRight = {277, 42};

// One editor for a whole suite: Wine takes seconds to destroy a host window.
// Every scenario starts from a new instance's state.
class EditorScenario : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        plugin = new PluginInstance;
        session = new EditorSession(plugin->record());
    }
    static void TearDownTestSuite() {
        delete session;
        session = nullptr;
        delete plugin;
        plugin = nullptr;
    }

    void SetUp() override {
        ASSERT_TRUE(session->isOpen());
        engine()->setNumPrograms(kFactoryProgramCount);
        engine()->loadProgram(0);
        session->repaint();
        ASSERT_TRUE(samePicture(capture(), composePanel(PanelFrames::factory())));
    }

    static CompressorEngine* engine() { return plugin->engine(); }
    static CompressorEditor* editor() { return plugin->editor(); }
    static HWND editorWindow() { return session->getEditorWindow(); }
    static CapturedImage capture() { return session->capture(); }
    static void click(PixelPoint point) { session->click(point.x, point.y); }
    // Pressed and held still at the point, then released.
    static void hold(PixelPoint point) { session->drag({{point.x, point.y}, {point.x, point.y}}); }

    static PluginInstance* plugin;
    static EditorSession* session;
};

PluginInstance* EditorScenario::plugin = nullptr;
EditorSession* EditorScenario::session = nullptr;

using PanelSession = EditorScenario;

TEST_F(PanelSession, OpensShowingTheFactoryStateAsTheReadmeShowsIt) {
    EXPECT_EQ(session->getWidth(), 304);
    EXPECT_EQ(session->getHeight(), 119);
    const CapturedImage picture = capture();
    EXPECT_TRUE(matchesReference(picture, "factory"));
    CapturedImage large;
    ASSERT_TRUE(readPng(ZQ3R_SOURCE_DIR "/docs/editor-factory-3x.png", large));
    EXPECT_TRUE(samePicture(large, enlarged(picture, 3)));
}

// Held, the switch and its LED show their last frame; released, the
// compressor is bypassed (0.5) and both show frame 1; the next click turns
// it back on.
TEST_F(PanelSession, PowerSwitchCycle) {
    HoldProbe probe;
    CapturedImage held;
    float powerWhileHeld = -1.0f;
    postPress(editorWindow(), kPowerCentre.x, kPowerCentre.y);
    postMove(editorWindow(), kPowerCentre.x, kPowerCentre.y);
    probe.post([&] {
        held = capture();
        powerWhileHeld = engine()->getParameter(kPower);
    });
    postRelease(editorWindow(), kPowerCentre.x, kPowerCentre.y);
    session->settle();

    PanelFrames frames;
    frames.powerButton = frames.powerLed = 2;
    EXPECT_EQ(powerWhileHeld, 0.0f);
    EXPECT_TRUE(samePicture(held, composePanel(frames)));
    EXPECT_TRUE(matchesReference(held, "power-held"));

    EXPECT_EQ(engine()->getParameter(kPower), 0.5f);
    frames.powerButton = frames.powerLed = 1;
    EXPECT_TRUE(samePicture(capture(), composePanel(frames)));
    EXPECT_TRUE(matchesReference(capture(), "power-bypassed"));

    click(kPowerCentre);
    EXPECT_EQ(engine()->getParameter(kPower), 0.0f);
    EXPECT_TRUE(samePicture(capture(), composePanel(PanelFrames::factory())));
}

TEST_F(PanelSession, PressInThePowerButtonsCornerDoesNothing) {
    hold({27, 20});
    hold({56, 49});
    EXPECT_EQ(engine()->getParameter(kPower), 0.0f);
    EXPECT_TRUE(samePicture(capture(), composePanel(PanelFrames::factory())));
}

TEST_F(PanelSession, EachKnobTakesTheAngleOfThePress) {
    struct Turn {
        int32_t parameter;
        PixelPoint press;
        float value;
        int32_t frame;
    };
    const Turn turns[] = {
        {kRatio, kRatioUp, 0.5f, 25},                   // straight up
        {kThreshold, kThresholdRight, 0.8333333f, 41},  // right
        {kAttack, {159, 42}, 0.16666667f, 8},           // left
        {kRelease, {208, 32}, 0.33333334f, 16},         // up and left
        {kMakeUpGain, {272, 32}, 0.6666667f, 33},       // up and right
    };
    PanelFrames frames;
    for (const Turn& turn : turns) {
        hold(turn.press);
        EXPECT_EQ(engine()->getParameter(turn.parameter), turn.value) << "parameter " << turn.parameter;
        frames.knobs[turn.parameter - kRatio] = turn.frame;
    }
    EXPECT_TRUE(samePicture(capture(), composePanel(frames)));
    EXPECT_TRUE(matchesReference(capture(), "knobs-by-angle"));
}

// Dragged around the bottom, the ratio knob jumps from its minimum to its
// maximum at the vertical below its centre.
TEST_F(PanelSession, KnobJumpsAtTheBottom) {
    HoldProbe probe;
    float leftOfVertical = -1.0f;
    float rightOfVertical = -1.0f;
    CapturedImage atMinimum;
    postPress(editorWindow(), 80, 55);
    postMove(editorWindow(), 85, 57);
    probe.post([&] {
        leftOfVertical = engine()->getParameter(kRatio);
        atMinimum = capture();
    });
    postMove(editorWindow(), 87, 57);
    probe.post([&] { rightOfVertical = engine()->getParameter(kRatio); });
    postRelease(editorWindow(), 87, 57);
    session->settle();

    EXPECT_EQ(leftOfVertical, 0.0f);
    EXPECT_EQ(rightOfVertical, 1.0f);
    EXPECT_TRUE(showsFrame(atMinimum, kRatioKnob.rect, kRatioKnob.bitmapId, 0));
    PanelFrames frames;
    frames.knobs[0] = 49;
    EXPECT_TRUE(samePicture(capture(), composePanel(frames)));
    EXPECT_TRUE(matchesReference(capture(), "ratio-at-maximum"));
}

// Held, the button shows its pressed frame and nothing has happened yet;
// released far outside the editor, the command still runs, once.
TEST_F(PanelSession, ProgramButtonRunsItsCommandOnceWhereverReleased) {
    HoldProbe probe;
    CapturedImage held;
    int32_t programWhileHeld = -1;
    postPress(editorWindow(), kNext.x, kNext.y);
    postMove(editorWindow(), 200, 60);
    postMove(editorWindow(), -40, -30);
    probe.post([&] {
        held = capture();
        programWhileHeld = engine()->getCurrentProgram();
    });
    postRelease(editorWindow(), -40, -30);
    session->settle();

    EXPECT_EQ(programWhileHeld, 0);
    PanelFrames frames;
    frames.pressedCommand = kNextCommand;
    EXPECT_TRUE(samePicture(held, composePanel(frames)));

    EXPECT_EQ(engine()->getCurrentProgram(), 1);
    EXPECT_EQ(engine()->getParameter(kRatio), factoryPrograms[1][kRatio]);
    PanelFrames program1;
    program1.programName = 1;
    program1.knobs[0] = 49;  // ratio 1
    program1.knobs[2] = 0;   // attack 0
    EXPECT_TRUE(samePicture(capture(), composePanel(program1)));
    EXPECT_TRUE(matchesReference(capture(), "program-1"));
}

TEST_F(PanelSession, NextAndPreviousWrapAroundAndTheNameFollows) {
    auto expectProgram = [](int32_t program) {
        EXPECT_EQ(engine()->getCurrentProgram(), program);
        EXPECT_TRUE(showsFrame(capture(), kProgramName.rect, kProgramName.bitmapId, program)) << program;
    };
    click(kPrevious);
    expectProgram(3);
    for (int32_t program : {0, 1, 2, 3, 0}) {
        click(kNext);
        expectProgram(program);
    }
    EXPECT_TRUE(samePicture(capture(), composePanel(PanelFrames::factory())));
}

TEST_F(PanelSession, CopyNextPasteCarriesTheSettingsToTheNextProgram) {
    hold(kThresholdRight);
    click(kCopy);
    click(kNext);
    EXPECT_EQ(engine()->getParameter(kThreshold), factoryPrograms[1][kThreshold]);
    click(kPaste);

    EXPECT_EQ(engine()->getCurrentProgram(), 1);
    for (int32_t parameter = kPower; parameter < kParameterCount; ++parameter) {
        const float expected = parameter == kThreshold ? 0.8333333f : factoryPrograms[0][parameter];
        EXPECT_EQ(engine()->getParameter(parameter), expected) << "parameter " << parameter;
    }
    PanelFrames frames;
    frames.programName = 1;
    frames.knobs[1] = 41;
    EXPECT_TRUE(samePicture(capture(), composePanel(frames)));
    EXPECT_TRUE(matchesReference(capture(), "copy-next-paste"));
}

TEST_F(PanelSession, ResetAfterAKnobTurnRestoresTheProgram) {
    hold(kMakeUpRight);
    EXPECT_EQ(engine()->getParameter(kMakeUpGain), 0.8333333f);
    EXPECT_TRUE(showsFrame(capture(), kMakeUpKnob.rect, kMakeUpKnob.bitmapId, 41));
    click(kReset);
    EXPECT_EQ(engine()->getParameter(kMakeUpGain), factoryPrograms[0][kMakeUpGain]);
    EXPECT_TRUE(samePicture(capture(), composePanel(PanelFrames::factory())));
}

// Copy and paste share the column x 40: both take a press there, copy first.
// Paste first would load the empty copy slot.
TEST_F(PanelSession, PressOnTouchingEdgesReachesBothControlsInOrder) {
    hold(kRatioRight);
    click(kCopyPasteEdge);
    EXPECT_EQ(engine()->getParameter(kRatio), 0.8333333f);
    click(kNext);
    click(kPaste);
    EXPECT_EQ(engine()->getParameter(kRatio), 0.8333333f) << "the edge press copied";

    PanelFrames frames;
    frames.programName = 1;
    frames.knobs[0] = 41;
    EXPECT_TRUE(samePicture(capture(), composePanel(frames)));
    EXPECT_TRUE(matchesReference(capture(), "copy-paste-edge"));
}

// Offered to every control, a press that none of them takes changes nothing;
// neither does a click on the meter, whose latency window nothing provides.
TEST_F(PanelSession, PressesThatNoControlTakesChangeNothing) {
    for (PixelPoint nowhere : {PixelPoint{150, 90}, PixelPoint{60, 70}, PixelPoint{2, 2}, PixelPoint{50, 78}})
        hold(nowhere);
    session->drag({{150, 90}, {160, 95}}, EditorSession::Button::Right);
    for (int32_t parameter = kPower; parameter < kParameterCount; ++parameter)
        EXPECT_EQ(engine()->getParameter(parameter), factoryPrograms[0][parameter]) << "parameter " << parameter;
    EXPECT_EQ(engine()->getCurrentProgram(), 0);
    EXPECT_EQ(aboutPopupCount(), 0);
    EXPECT_EQ(FindWindowExA(nullptr, nullptr, "LatencyWindowClass", nullptr), nullptr);
    EXPECT_EQ(currentMouseState().capturedButton, kNoButton);
    EXPECT_TRUE(samePicture(capture(), composePanel(PanelFrames::factory())));
}

using AboutBoxSession = EditorScenario;

void expectPopupShowsTheAboutPicture(HWND popup) {
    RECT client;
    ASSERT_TRUE(GetClientRect(popup, &client));
    POINT origin = {0, 0};
    ClientToScreen(popup, &origin);
    EXPECT_EQ(origin.x, GetSystemMetrics(SM_CXSCREEN) / 2 - 134);
    EXPECT_EQ(origin.y, GetSystemMetrics(SM_CYSCREEN) / 2 - 140);
    EXPECT_EQ(client.right, 268);
    EXPECT_EQ(client.bottom, 280);
    EXPECT_TRUE(showsFrame(captureWindow(popup), kAboutPictureRect, kAboutHotZone.bitmapId, 0));
}

// The hot zone spans x 204 to 298 and y 72 to 93, edges included. The popup
// opens centred on the screen and closes on a right or a left press.
TEST_F(AboutBoxSession, HotZoneOpensThePopupWithinItsEdgesOnly) {
    for (PixelPoint outside : {PixelPoint{299, 93}, PixelPoint{298, 94}, PixelPoint{203, 72}, PixelPoint{204, 71}})
        click(outside);
    EXPECT_EQ(aboutPopupCount(), 0);

    click({298, 93});
    ASSERT_EQ(aboutPopupCount(), 1);
    EXPECT_TRUE(editor()->getAboutBox()->isPopupOpen());
    HWND first = aboutPopup();
    expectPopupShowsTheAboutPicture(first);
    postPress(first, 10, 10, MouseButton::Right);
    postRelease(first, 10, 10, MouseButton::Right);
    session->settle();
    EXPECT_EQ(aboutPopupCount(), 0);
    EXPECT_FALSE(editor()->getAboutBox()->isPopupOpen());

    const int32_t opensBefore = aboutClassOpens;
    click({204, 72});
    ASSERT_EQ(aboutPopupCount(), 1);
    EXPECT_EQ(aboutClassOpens, opensBefore + 1);
    expectPopupShowsTheAboutPicture(aboutPopup());
    postPress(aboutPopup(), 200, 250);
    postRelease(aboutPopup(), 200, 250);
    session->settle();
    EXPECT_EQ(aboutPopupCount(), 0);
    EXPECT_TRUE(samePicture(capture(), composePanel(PanelFrames::factory())));
}

TEST_F(AboutBoxSession, PressesWhileOpenOpenNoSecondPopup) {
    click({250, 80});
    click({250, 80});
    ASSERT_EQ(aboutPopupCount(), 1);
    HWND popup = aboutPopup();
    click({260, 85});
    EXPECT_EQ(aboutPopupCount(), 1);
    EXPECT_EQ(aboutPopup(), popup);
    postPress(popup, 1, 1);
    session->settle();
    EXPECT_EQ(aboutPopupCount(), 0);
}

// The ratio and threshold knobs turned fully into their ends, then a steady
// level through the record: the envelope sits 0.52 above the threshold's 0.01,
// which lights 8 of the 15 LEDs.
TEST(MeterSession, LightsEightLedsAtHalfScale) {
    PluginInstance plugin;
    EditorSession session(plugin.record());
    session.drag({{96, 55}, {96, 55}});
    session.drag({{120, 55}, {120, 55}});
    EXPECT_EQ(plugin.engine()->getParameter(kRatio), 1.0f);
    EXPECT_EQ(plugin.engine()->getParameter(kThreshold), 0.0f);

    plugin.processConstant(0.53f, 4 * 881);
    const float vu = plugin.engine()->getVu(0);
    EXPECT_GE(vu, 7.5f / 15.0f);
    EXPECT_LT(vu, 8.5f / 15.0f);
    PanelFrames frames;
    frames.knobs[0] = 49;
    frames.knobs[1] = 0;
    frames.meter = 8;
    EXPECT_TRUE(samePicture(session.capture(), composePanel(frames)));
    EXPECT_TRUE(matchesReference(session.capture(), "meter-8-leds"));
}

}  // namespace

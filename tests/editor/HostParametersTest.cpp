// The six parameters from the host's side with the editor open: what a
// person does in the editor reaches the host as automation, and what the
// host sets sounds and looks exactly as if the person had set it; the
// picture changes at the editor's next idle, not in the host's call.
#include <gtest/gtest.h>

#include <vector>

#include "AutomationSession.h"
#include "EditorSession.h"
#include "EditorTestSupport.h"
#include "StripPictures.h"
#include "engine/ParameterIndex.h"
#include "host/PluginEntry.h"

namespace {

TEST(HostParameters, TheHostHearsWhatAPersonDoesInTheEditor) { EXPECT_EQ(runAutomationSession(pluginMain), ""); }

// A person turns every knob in one editor, then switches the compressor
// off; a host reads the values there and sets them into another instance.
TEST(HostParameters, WhatTheHostSetsSoundsAndLooksAsWhatThePersonSet) {
    PluginInstance byPerson;
    PluginInstance byHost;
    EditorSession personsEditor(byPerson.record());
    EditorSession hostsEditor(byHost.record());
    ASSERT_TRUE(personsEditor.isOpen());
    ASSERT_TRUE(hostsEditor.isOpen());
    AEffect* source = byPerson.record();
    AEffect* target = byHost.record();

    for (bool bypassed : {false, true}) {
        SCOPED_TRACE(bypassed ? "bypassed" : "compressing");
        if (bypassed) {
            personsEditor.click(41, 34);
        } else {
            personsEditor.drag({{86, 27}, {70, 50}});    // ratio
            personsEditor.drag({{130, 27}, {150, 50}});  // threshold
            personsEditor.drag({{174, 27}, {160, 30}});  // attack
            personsEditor.drag({{218, 27}, {235, 38}});  // release
            personsEditor.drag({{262, 27}, {250, 45}});  // make-up gain
        }
        const CapturedImage before = hostsEditor.capture();
        for (int32_t index = 0; index < kParameterCount; ++index) {
            // Hosts switch a switch with 1.
            const float value = index == kPower && bypassed ? 1.0f : source->getParameter(source, index);
            target->setParameter(target, index, value);
        }
        EXPECT_TRUE(samePicture(hostsEditor.capture(), before)) << "the host's call drew";
        hostsEditor.idle();
        EXPECT_TRUE(samePicture(hostsEditor.capture(), personsEditor.capture()));
        EXPECT_EQ(byHost.playSong(), byPerson.playSong());
    }
}

// A program the host chooses is the one the program row reaches: the same
// sound, and the same picture from the editor's next idle on.
TEST(HostParameters, AProgramTheHostChoosesSoundsAndLooksAsTheProgramRowsChoice) {
    PluginInstance byPerson;
    PluginInstance byHost;
    EditorSession personsEditor(byPerson.record());
    EditorSession hostsEditor(byHost.record());
    personsEditor.click(234, 109);  // previous: from the first program to the last
    const CapturedImage before = hostsEditor.capture();
    byHost.dispatch(effSetProgram, 3);
    EXPECT_TRUE(samePicture(hostsEditor.capture(), before)) << "the host's call drew";
    hostsEditor.idle();
    EXPECT_TRUE(samePicture(hostsEditor.capture(), personsEditor.capture()));
    EXPECT_EQ(byHost.dispatch(effGetProgram), 3);
    EXPECT_EQ(byHost.playSong(), byPerson.playSong());
}

}  // namespace

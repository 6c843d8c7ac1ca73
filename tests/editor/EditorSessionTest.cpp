#include <gtest/gtest.h>

#include "EditorSession.h"
#include "host/PluginEntry.h"

namespace {

intptr_t hostCallback(AEffect*, int32_t opcode, int32_t, intptr_t, void*, float) {
    return opcode == audioMasterVersion ? 2400 : 0;
}

TEST(EditorSession, OpensTheEditorInAHostWindowAndShowsThePanel) {
    AEffect* record = pluginMain(hostCallback);
    ASSERT_NE(record, nullptr);
    {
        EditorSession session(record);
        ASSERT_TRUE(session.isOpen());
        EXPECT_EQ(session.getWidth(), 304);
        EXPECT_EQ(session.getHeight(), 119);
        session.repaint();
        const CapturedImage image = session.capture();
        ASSERT_EQ(image.width, 304);
        ASSERT_EQ(image.height, 119);
        EXPECT_TRUE(session.savePng(ZQ3R_CAPTURE_DIR "/editor-factory.png"));
    }
    record->dispatcher(record, effClose, 0, 0, nullptr, 0.0f);
}

}  // namespace

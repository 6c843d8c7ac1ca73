// The editor base's defaults, reached as the host reaches them, and its
// pending-update flag.
#include <gtest/gtest.h>

#include "HostTestSupport.h"

namespace {

class CountingEditor : public EditorBase {
public:
    explicit CountingEditor(EffectBase* effect) : EditorBase(effect) {}
    void update() override {
        ++updates;
        if (postWhileUpdating) postUpdate();
    }
    int updates = 0;
    bool postWhileUpdating = false;
};

TEST(EditorBase, BareEditorAnswersTheHostWithItsDefaults) {
    RecordingEffect effect;
    auto* editor = new EditorBase(&effect);
    effect.setEditor(editor);
    HWND hostWindow = reinterpret_cast<HWND>(&effect);

    ERect* rect = reinterpret_cast<ERect*>(&effect);
    EXPECT_EQ(dispatch(effect, effEditGetRect, 0, 0, &rect), 0);
    EXPECT_EQ(rect, nullptr);
    EXPECT_EQ(dispatch(effect, effEditOpen, 0, 0, hostWindow), 0);
    EXPECT_EQ(editor->getHostWindow(), hostWindow);
    EXPECT_EQ(dispatch(effect, effEditIdle), 0);
    EXPECT_EQ(dispatch(effect, effEditClose), 0);
    // Closing keeps the window the host gave last.
    EXPECT_EQ(editor->getHostWindow(), hostWindow);
}

TEST(EditorBase, SeveralPostedUpdatesRunOnceAtTheNextIdle) {
    RecordingEffect effect;
    CountingEditor editor(&effect);
    editor.idle();
    EXPECT_EQ(editor.updates, 0);
    editor.postUpdate();
    editor.postUpdate();
    editor.idle();
    editor.idle();
    EXPECT_EQ(editor.updates, 1);
}

TEST(EditorBase, AnUpdatePostedDuringAnUpdateWaitsForTheNextIdle) {
    RecordingEffect effect;
    CountingEditor editor(&effect);
    editor.postWhileUpdating = true;
    editor.postUpdate();
    editor.idle();
    EXPECT_EQ(editor.updates, 1);
    editor.postWhileUpdating = false;
    editor.idle();
    EXPECT_EQ(editor.updates, 2);
    editor.idle();
    EXPECT_EQ(editor.updates, 2);
}

}  // namespace

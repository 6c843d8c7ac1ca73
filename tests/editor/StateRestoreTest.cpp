// A host saves a session and loads it again: the state a person set in the
// editor travels as the chunk into a fresh instance, which must then sound
// and look the same, and answer the program row the same, as the original.
#include <gtest/gtest.h>

#include <vector>

#include "EditorSession.h"
#include "EditorTestSupport.h"
#include "StripPictures.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes getChunk(AEffect* record, bool preset) {
    void* data = nullptr;
    const intptr_t size = record->dispatcher(record, effGetChunk, preset ? 1 : 0, 0, &data, 0.0f);
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    return size > 0 && bytes ? Bytes(bytes, bytes + size) : Bytes();
}

intptr_t setChunk(AEffect* record, const Bytes& chunk, bool preset) {
    return record->dispatcher(record, effSetChunk, preset ? 1 : 0, static_cast<intptr_t>(chunk.size()),
                              const_cast<uint8_t*>(chunk.data()), 0.0f);
}

TEST(StateRestore, AFreshInstanceSoundsLooksAndAnswersAsTheSavedOne) {
    PluginInstance original;
    PluginInstance restored;
    EditorSession originalEditor(original.record());
    // Hosts open the editor before or after they load a session; here it is
    // open already, so the restored state must reach it at its next idle.
    EditorSession restoredEditor(restored.record());
    ASSERT_TRUE(originalEditor.isOpen());
    ASSERT_TRUE(restoredEditor.isOpen());

    // Program 1 with a turned ratio knob goes to the copy slot; then program
    // 2, two more knobs turned, and the compressor switched to bypass.
    originalEditor.click(254, 109);                           // next
    originalEditor.drag({{86, 27}, {70, 35}, {77, 30}});      // ratio
    originalEditor.click(20, 109);                            // copy
    originalEditor.click(254, 109);                           // next
    originalEditor.drag({{130, 27}, {150, 50}, {141, 53}});   // threshold
    originalEditor.drag({{262, 27}, {250, 40}, {252, 31}});   // make-up gain
    originalEditor.click(41, 34);                             // power
    const Bytes saved = getChunk(original.record(), false);
    ASSERT_EQ(saved.size(), 164u);

    ASSERT_EQ(setChunk(restored.record(), saved, false), 1);
    restoredEditor.idle();
    originalEditor.repaint();
    EXPECT_TRUE(samePicture(restoredEditor.capture(), originalEditor.capture()));
    EXPECT_EQ(getChunk(restored.record(), false), saved);

    // From here on every press lands on both: power on, paste, reset, next,
    // previous, paste again. Sound, picture and state stay the same.
    const MousePoint presses[] = {{41, 34}, {60, 109}, {284, 109}, {254, 109}, {234, 109}, {60, 109}};
    for (const MousePoint press : presses) {
        SCOPED_TRACE(testing::Message() << "after the press at " << press.x << "," << press.y);
        EXPECT_EQ(restored.playSong(), original.playSong());
        restoredEditor.repaint();
        originalEditor.repaint();
        EXPECT_TRUE(samePicture(restoredEditor.capture(), originalEditor.capture()));
        EXPECT_EQ(getChunk(restored.record(), false), getChunk(original.record(), false));
        originalEditor.click(press.x, press.y);
        restoredEditor.click(press.x, press.y);
    }
    EXPECT_EQ(getChunk(restored.record(), false), getChunk(original.record(), false));
}

}  // namespace

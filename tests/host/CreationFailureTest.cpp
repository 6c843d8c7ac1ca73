// Running out of memory while an instance is built. A failure on the editor's
// side marks the whole process (creationFailed is never cleared), so these
// tests have a program of their own, and they run in this order.
#include <gtest/gtest.h>

#include "HostTestSupport.h"
#include "engine/Allocation.h"
#include "host/ModuleInstance.h"
#include "host/PluginEntry.h"

namespace {

// The plug-in object is the first allocation of an instance; its engine's
// program bank the second.
constexpr int32_t kProgramBankAllocation = 2;

void closeInstance(AEffect* record) { record->dispatcher(record, effClose, 0, 0, nullptr, 0.0f); }

// Allocations that one successful call of the entry point makes.
int32_t allocationsPerInstance() {
    const int32_t before = allocationsMade();
    AEffect* record = pluginMain(FakeHost::callback);
    const int32_t made = allocationsMade() - before;
    if (record) closeInstance(record);
    return made;
}

TEST(CreationFailure, NoMemoryForThePluginItselfFailsThatCallOnly) {
    FakeHost host;
    refuseAllocation(1);
    EXPECT_EQ(pluginMain(FakeHost::callback), nullptr);
    EXPECT_EQ(creationFailed, 0);

    AEffect* record = pluginMain(FakeHost::callback);
    ASSERT_NE(record, nullptr);
    closeInstance(record);
}

// The engine's program bank, the editor and the eleven controls the panel
// holds are essential: without any of them the host gets no record. A missing
// picture, program button or program-name display only leaves that control
// blank. Nothing leaks either way (the address sanitizer checks). The flag is
// reset between the cases here, which only a test may do.
TEST(CreationFailure, EveryEssentialPartOfTheInstanceIsRequired) {
    FakeHost host;
    const int32_t allocations = allocationsPerInstance();
    ASSERT_GT(allocations, 13);
    int32_t refusedInstances = 0;
    for (int32_t nth = 2; nth <= allocations; ++nth) {
        creationFailed = 0;
        refuseAllocation(nth);
        AEffect* record = pluginMain(FakeHost::callback);
        if (record) {
            EXPECT_EQ(creationFailed, 0) << nth;
            EXPECT_NE(nth, kProgramBankAllocation) << "an instance without programs, silent at -20 dB";
            closeInstance(record);
        } else {
            EXPECT_NE(creationFailed, 0) << nth;
            ++refusedInstances;
        }
    }
    refuseAllocation(0);
    creationFailed = 0;
    EXPECT_EQ(refusedInstances, 13);
}

// The allocation after the plug-in object's own and its program bank's is
// its editor.
TEST(CreationFailure, NoMemoryForTheEditorRefusesEveryLaterInstance) {
    FakeHost host;
    refuseAllocation(kProgramBankAllocation + 1);
    EXPECT_EQ(pluginMain(FakeHost::callback), nullptr);
    EXPECT_NE(creationFailed, 0);
    EXPECT_EQ(pluginMain(FakeHost::callback), nullptr);
}

TEST(CreationFailure, OnceSetEveryLaterCallBuildsNothingForTheHost) {
    FakeHost host;
    creationFailed = 1;
    for (int attempt = 0; attempt < 3; ++attempt) EXPECT_EQ(pluginMain(FakeHost::callback), nullptr);
    EXPECT_EQ(host.calls.size(), 3u) << "each call still asks the host for its version";
}

}  // namespace

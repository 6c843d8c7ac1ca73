// The native library still produces the reference output that the Windows
// test host holds the DLLs to.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include "HostSession.h"

namespace {

TEST(SessionReference, NativeLibraryStillProducesTheReference) {
    void* library = dlopen(ZQ3R_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << dlerror();
    auto entry = reinterpret_cast<EntryPoint>(dlsym(library, "VSTPluginMain"));
    ASSERT_NE(entry, nullptr);

    SessionOutput output;
    EXPECT_EQ(runSession(entry, output), "");
    SessionOutput reference;
    ASSERT_EQ(readReference(ZQ3R_SESSION_REFERENCE, reference), "");
    EXPECT_LE(largestDifference(output, reference), SessionFormat::tolerance)
        << "regenerate with make_session_reference only if the engine's output changed on purpose";
    dlclose(library);
}

}  // namespace

// The native library still produces the reference output and state chunks
// that the Windows test host holds the DLLs to, and shows hosts what the
// Windows test host checks the DLLs show.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include "ChunkSession.h"
#include "HostSession.h"
#include "ParameterSession.h"

namespace {

class SessionReference : public ::testing::Test {
protected:
    void SetUp() override {
        library = dlopen(ZQ3R_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(library, nullptr) << dlerror();
        entry = reinterpret_cast<EntryPoint>(dlsym(library, "VSTPluginMain"));
        ASSERT_NE(entry, nullptr);
    }
    void TearDown() override {
        if (library) dlclose(library);
    }

    void* library = nullptr;
    EntryPoint entry = nullptr;
};

TEST_F(SessionReference, NativeLibraryStillProducesTheReference) {
    SessionOutput output;
    EXPECT_EQ(runSession(entry, output), "");
    SessionOutput reference;
    ASSERT_EQ(readReference(ZQ3R_SESSION_REFERENCE, reference), "");
    EXPECT_LE(largestDifference(output, reference), SessionFormat::tolerance)
        << "regenerate with make_session_reference only if the engine's output changed on purpose";
}

// The chunk's format is fixed: sessions saved by earlier builds must load.
TEST_F(SessionReference, NativeLibraryStillWritesTheReferenceChunks) {
    ChunkOutput output;
    EXPECT_EQ(runChunkSession(entry, output), "");
    ChunkOutput reference;
    ASSERT_EQ(readChunkReference(ZQ3R_CHUNK_REFERENCE, reference), "");
    EXPECT_EQ(chunkDifference(output, reference), "");
}

TEST_F(SessionReference, NativeLibraryShowsHostsItsNamesParametersAndPrograms) {
    EXPECT_EQ(runParameterSession(entry), "");
}

}  // namespace

// A small Windows host: loads the plug-in DLL as hosts do, checks the record
// it gets, runs the session and compares the output with the native
// library's, saves and loads state chunks and compares their bytes with the
// native library's, checks the names, parameters and programs it lists,
// then opens the DLL's editor in a window of its own, compares its picture
// with the native build's and records what the host hears while the editor
// is used, and last leads the editor's windows through reopening, unusual
// close orders and an unload. On the way it makes the DLL believe the
// processor lacks SSE2. Prints a short report; exits non-zero on any
// problem.
//
//   winhost <plug-in DLL> <reference file> <editor picture> <chunk reference>
#include <windows.h>

#include <cstdio>
#include <string>

#include "AutomationSession.h"
#include "ChunkSession.h"
#include "EditorLifecycle.h"
#include "EditorSession.h"
#include "HostSession.h"
#include "ParameterSession.h"
#include "PngFile.h"
#include "ProcessorRefusal.h"
#include "RecordLayout.h"

namespace {

int fail(const std::string& problem) {
    std::printf("result:        FAILED: %s\n", problem.c_str());
    return 1;
}

EntryPoint findEntry(HMODULE library, const char* name) {
    return reinterpret_cast<EntryPoint>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

std::string fourCharacters(int32_t code) {
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8) text += static_cast<char>((code >> shift) & 0xff);
    return text;
}

// Opens the editor, idles it, and checks what it shows against the native
// capture of the factory state; then turns the ratio knob and checks that
// the picture follows. Returns "" or what went wrong.
std::string checkEditor(EntryPoint entry, const char* picturePath) {
    CapturedImage expected;
    if (!readPng(picturePath, expected)) return std::string("cannot read ") + picturePath;
    AEffect* record = entry(sessionHostCallback);
    if (!record) return "main returned no record for the editor";
    std::string problem;
    {
        EditorSession session(record);
        if (!session.isOpen()) problem = "effEditOpen made no editor window";
        if (problem.empty()) {
            session.idle();
            session.repaint();
            const CapturedImage factory = session.capture();
            if (factory.width != expected.width || factory.height != expected.height) {
                problem = "the editor is " + std::to_string(factory.width) + "x" + std::to_string(factory.height);
            } else if (factory.pixels != expected.pixels) {
                problem = "the editor's picture differs from the native build's";
            }
            // Straight up on the ratio knob, whose factory value is 0.5: a press
            // to the right of its centre turns it to 0.83.
            session.drag({{86 + 15, 42}, {86 + 15, 42}});
            if (problem.empty() && session.capture().pixels == factory.pixels) {
                problem = "turning the ratio knob did not change the picture";
            }
        }
        if (problem.empty()) {
            std::printf("editor:        opened in a host window, %dx%d, the same picture as the native build; "
                        "a knob turned; closed\n", session.getWidth(), session.getHeight());
        }
    }
    record->dispatcher(record, effClose, 0, 0, nullptr, 0.0f);
    return problem;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: winhost <plug-in DLL> <reference file> <editor picture> <chunk reference>\n");
        return 2;
    }
    std::printf("ZQ3R Windows test host (%d-bit)\n", static_cast<int>(sizeof(void*) * 8));
    std::printf("library:       %s\n", argv[1]);

    HMODULE library = LoadLibraryA(argv[1]);
    if (!library) return fail("LoadLibraryA failed with error " + std::to_string(GetLastError()));
    EntryPoint vstPluginMain = findEntry(library, "VSTPluginMain");
    EntryPoint mainEntry = findEntry(library, "main");
    std::printf("entry points:  VSTPluginMain %s, main %s\n", vstPluginMain ? "found" : "missing",
                mainEntry ? "found" : "missing");
    // 32-bit hosts know only main, and the 32-bit DLL exports nothing else;
    // hosts of today look for VSTPluginMain first.
    const bool wide = sizeof(void*) == 8;
    if (!mainEntry || (wide && !vstPluginMain)) return fail("an entry point is missing");
    if (!wide && vstPluginMain) return fail("the 32-bit DLL exports VSTPluginMain");
    const EntryPoint entry = wide ? vstPluginMain : mainEntry;

    AEffect* record = mainEntry(sessionHostCallback);
    if (!record) return fail("main returned no record");
    std::printf("record:        magic %s, %d in / %d out, %d programs, %d parameters, flags 0x%x, id %s, version %d\n",
                fourCharacters(record->magic).c_str(), record->numInputs, record->numOutputs, record->numPrograms,
                record->numParams, static_cast<unsigned>(record->flags), fourCharacters(record->uniqueID).c_str(),
                record->version);
    const std::string problems = recordProblems(record) + recordBytesProblems(record, library);
    std::printf("record bytes:  read at the %d-bit offsets of hosts, %d bytes\n", wide ? 64 : 32,
                static_cast<int>(hostRecordSize()));
    const intptr_t closed = record->dispatcher(record, effClose, 0, 0, nullptr, 0.0f);
    if (!problems.empty()) return fail(problems);
    if (closed != 1) return fail("effClose did not answer 1");
    if (mainEntry(nullptr) != nullptr) return fail("main accepted a null host callback");

    EntryPoint entries[] = {mainEntry, vstPluginMain};
    std::string problem = checkProcessorRefusal(library, entries, wide ? 2 : 1);
    if (!problem.empty()) return fail(problem);
    std::printf("processor:     told there is no SSE2, every entry point returns null without calling the "
                "host; told the truth again, a record\n");

    SessionOutput output;
    problem = runSession(entry, output);
    if (!problem.empty()) return fail(problem);
    std::printf("session:       %d frames in blocks of %d, processReplacing and process, closed with effClose\n",
                SessionFormat::frames, SessionFormat::blockSize);

    SessionOutput reference;
    problem = readReference(argv[2], reference);
    if (!problem.empty()) return fail(problem);
    const double difference = largestDifference(output, reference);
    std::printf("native output: largest difference %.3g (allowed %.0e)\n", difference, SessionFormat::tolerance);

    if (!(difference <= SessionFormat::tolerance)) return fail("the output differs from the native library's");

    ChunkOutput chunks, referenceChunks;
    problem = runChunkSession(entry, chunks);
    if (problem.empty()) problem = readChunkReference(argv[4], referenceChunks);
    if (problem.empty()) problem = chunkDifference(chunks, referenceChunks);
    if (!problem.empty()) return fail(problem);
    std::printf("chunks:        whole state %zu bytes, preset %zu bytes, a state loaded and given back: "
                "the same bytes as the native library's\n",
                chunks.factoryState.size(), chunks.factoryPreset.size());

    problem = runParameterSession(entry);
    if (!problem.empty()) return fail(problem);
    std::printf("host's view:   listed as \"ZQ3R Compressor\" by \"ZQ3R\"; six parameters named, labelled and shown "
                "at 44.1 and 96 kHz within their 8 bytes; values clamped; four programs\n");

    problem = checkEditor(entry, argv[3]);
    if (!problem.empty()) return fail(problem);
    problem = runAutomationSession(entry);
    if (!problem.empty()) return fail(problem);
    std::printf("automation:    a knob turned, the power switch and the program row pressed: begin, automate, end "
                "and display updates heard on the editor's thread\n");
    FreeLibrary(library);

    problem = checkEditorLifecycle(argv[1]);
    if (!problem.empty()) return fail(problem);
    std::printf("result:        PASSED\n");
    return 0;
}

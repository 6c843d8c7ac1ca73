// The files a render writes besides the audio: the editor's picture, the
// meter's values, the plot and the preset. Each is written under a temporary name beside
// its target and put in place only when the whole run has succeeded, so that
// a failed run leaves none of them (and no half of one).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/render/RenderOptions.h"
#include "tools/render/TemporaryFile.h"
#include "tools/render/TextOutputFile.h"

class SideOutputs {
public:
    // Creates the temporary files of the outputs asked for.
    bool create(const RenderOptions& options, std::string& error);

    // Temporary paths to write into; empty for outputs not asked for.
    const std::string& editorPicture() const { return editorPictureFile.path(); }
    const std::string& plotPicture() const { return plotPictureFile.path(); }
    bool wantsEditorPicture() const { return !editorPictureTarget.empty(); }
    bool wantsMeter() const { return !meterTarget.empty(); }
    bool wantsPlot() const { return !plotTarget.empty(); }
    bool wantsPreset() const { return !presetTarget.empty(); }
    TextOutputFile& meter() { return meterFile; }
    TextOutputFile& plotData() { return plotDataFile; }
    bool writePreset(const std::vector<uint8_t>& bytes, std::string& error);

    // Puts every one in place. Should one fail, those already in place are
    // removed again: the run failed, and its files go with it.
    bool commit(std::string& error);
    // Removes them again when the run fails after all.
    void withdraw();

private:
    // A temporary file that something else writes later, by its path.
    bool createForLater(const std::string& target, TemporaryFile& file, std::string& error);

    std::string editorPictureTarget;
    std::string meterTarget;
    std::string plotTarget;
    std::string presetTarget;
    std::vector<std::string> placed;
    TemporaryFile editorPictureFile;
    TemporaryFile plotPictureFile;
    TemporaryFile presetFile;
    TextOutputFile meterFile;
    TextOutputFile plotDataFile;  // scratch for the plotting script, never kept
};

#include "tools/render/SideOutputs.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

// Written later by path: by the PNG writer, the plotting script or writePreset.
bool SideOutputs::createForLater(const std::string& target, TemporaryFile& file, std::string& error) {
    const int descriptor = file.create(target, error);
    if (descriptor < 0) return false;
    close(descriptor);
    return true;
}

bool SideOutputs::create(const RenderOptions& options, std::string& error) {
    editorPictureTarget = options.editorPicturePath;
    meterTarget = options.meterPath;
    plotTarget = options.plotPath;
    presetTarget = options.savePresetPath;
    if (wantsEditorPicture() && !createForLater(editorPictureTarget, editorPictureFile, error)) return false;
    if (wantsMeter() && !meterFile.create(meterTarget, error)) return false;
    if (wantsPlot()) {
        if (!createForLater(plotTarget, plotPictureFile, error)) return false;
        if (!plotDataFile.create(plotTarget + ".data", error)) return false;
    }
    if (wantsPreset() && !createForLater(presetTarget, presetFile, error)) return false;
    return true;
}

bool SideOutputs::writePreset(const std::vector<uint8_t>& bytes, std::string& error) {
    std::FILE* file = std::fopen(presetFile.path().c_str(), "wb");
    if (!file) {
        error = "cannot write '" + presetTarget + "': " + std::strerror(errno);
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (std::fclose(file) != 0 || !written) {
        error = "cannot write '" + presetTarget + "'";
        return false;
    }
    return true;
}

bool SideOutputs::commit(std::string& error) {
    auto place = [&](bool wanted, const std::string& target, auto& file) {
        if (!wanted) return true;
        if (!file.commit(error)) return false;
        placed.push_back(target);
        return true;
    };
    const bool committed = place(wantsEditorPicture(), editorPictureTarget, editorPictureFile) &&
                           place(wantsMeter(), meterTarget, meterFile) &&
                           place(wantsPlot(), plotTarget, plotPictureFile) &&
                           place(wantsPreset(), presetTarget, presetFile);
    if (!committed) withdraw();
    return committed;
}

void SideOutputs::withdraw() {
    for (const std::string& path : placed) unlink(path.c_str());
    placed.clear();
}

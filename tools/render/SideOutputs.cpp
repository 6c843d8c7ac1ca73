#include "tools/render/SideOutputs.h"

#include <unistd.h>

bool SideOutputs::createPicture(const std::string& target, TemporaryFile& file, std::string& error) {
    const int descriptor = file.create(target, error);
    if (descriptor < 0) return false;
    // Written later by path, by the PNG writer or the plotting script.
    close(descriptor);
    return true;
}

bool SideOutputs::create(const RenderOptions& options, std::string& error) {
    editorPictureTarget = options.editorPicturePath;
    meterTarget = options.meterPath;
    plotTarget = options.plotPath;
    if (wantsEditorPicture() && !createPicture(editorPictureTarget, editorPictureFile, error)) return false;
    if (wantsMeter() && !meterFile.create(meterTarget, error)) return false;
    if (wantsPlot()) {
        if (!createPicture(plotTarget, plotPictureFile, error)) return false;
        if (!plotDataFile.create(plotTarget + ".data", error)) return false;
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
                           place(wantsPlot(), plotTarget, plotPictureFile);
    if (!committed) withdraw();
    return committed;
}

void SideOutputs::withdraw() {
    for (const std::string& path : placed) unlink(path.c_str());
    placed.clear();
}

// A test that runs the renderer in a fresh folder of its own, removed after.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "tests/tools/RendererProcess.h"

class RenderTestFolder : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (std::filesystem::temp_directory_path() / "zq3r-render-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        folder = pattern;
    }

    void TearDown() override { std::filesystem::remove_all(folder); }

    std::string path(const std::string& name) const { return folder + "/" + name; }

    RendererRun render(const std::vector<std::string>& arguments,
                       const std::vector<std::pair<std::string, std::string>>& environment = {}) {
        return runRenderer(arguments, folder, environment);
    }

    // Every file and folder below the test's folder, hidden ones included.
    std::set<std::string> entries() const {
        std::set<std::string> names;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
            names.insert(std::filesystem::relative(entry.path(), folder).string());
        }
        return names;
    }

    std::string folder;
};

// The capture helper: a window's pixels to PNG and back, and no partial
// files when writing fails.
#include "PngFile.h"
#include "TestWindows.h"
#include "WindowCapture.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

namespace {

std::string temporaryPath(const char* name) {
    return (std::filesystem::temp_directory_path() / name).string();
}

}  // namespace

TEST(Capture, SavedPictureReadsBackAsCaptured) {
    TestWindows windows;
    HWND top = windows.createTopLevel();
    HWND panel = windows.createChild(top, 0, 0, 30, 20);
    TestWindows::pumpAll();
    HDC context = GetDC(panel);
    HBRUSH green = CreateSolidBrush(RGB(0, 200, 10));
    RECT corner = {20, 10, 30, 20};
    FillRect(context, &corner, green);
    ReleaseDC(panel, context);
    DeleteObject(green);

    std::string path = temporaryPath("zq3r-capture-test.png");
    ASSERT_TRUE(saveWindowPng(panel, path));
    CapturedImage read;
    ASSERT_TRUE(readPng(path, read));
    CapturedImage captured = captureWindow(panel);
    EXPECT_EQ(read.width, 30);
    EXPECT_EQ(read.height, 20);
    EXPECT_EQ(read.pixels, captured.pixels);
    EXPECT_EQ(read.at(25, 15), 0x00c80au);
    EXPECT_EQ(read.at(0, 0), testBackgroundPixel);
    std::remove(path.c_str());
}

TEST(Capture, FailedWritesLeaveNoFile) {
    CapturedImage image;
    image.width = 2;
    image.height = 1;
    image.pixels = {0x112233, 0x445566};
    std::string missingFolder = temporaryPath("zq3r-no-such-folder/picture.png");
    EXPECT_FALSE(writePng(image, missingFolder));
    EXPECT_FALSE(std::filesystem::exists(missingFolder));
    EXPECT_FALSE(writePng(CapturedImage(), temporaryPath("zq3r-empty.png")));
    EXPECT_FALSE(std::filesystem::exists(temporaryPath("zq3r-empty.png")));
    EXPECT_FALSE(saveWindowPng(nullptr, temporaryPath("zq3r-nowindow.png")));
    EXPECT_FALSE(std::filesystem::exists(temporaryPath("zq3r-nowindow.png")));
    CapturedImage unread;
    EXPECT_FALSE(readPng(missingFolder, unread));
}

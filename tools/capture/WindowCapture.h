// Captures what a window shows, through ordinary Win32 calls only, so the
// same code reads our headless surfaces and real windows on Windows or
// under Wine.
#pragma once

#include "CapturedImage.h"

#include <windows.h>

#include <string>

// The window's client area; empty when the window cannot be read.
CapturedImage captureWindow(HWND window);

// Saves the client area as a PNG file; false (and no file) on failure.
bool saveWindowPng(HWND window, const std::string& path);

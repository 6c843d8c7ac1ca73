// Window classes belong to the module that registers them; native builds
// make modules with registerModule.
#include <PlatformModule.h>
#include <windows.h>

#include <gtest/gtest.h>

namespace {

LRESULT CALLBACK answerOne(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return message == WM_USER ? 1 : DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK answerTwo(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return message == WM_USER ? 2 : DefWindowProcA(window, message, wParam, lParam);
}

ATOM registerIn(HINSTANCE module, WNDPROC procedure) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = module;
    windowClass.lpszClassName = "SharedName";
    return RegisterClassA(&windowClass);
}

}  // namespace

TEST(Modules, EachModuleHasItsOwnClassOfTheSameName) {
    HINSTANCE first = registerModule(nullptr, 0);
    HINSTANCE second = registerModule(nullptr, 0);
    ASSERT_NE(registerIn(first, answerOne), 0);
    ASSERT_NE(registerIn(second, answerTwo), 0);
    EXPECT_EQ(registerIn(first, answerTwo), 0);
    HWND one = CreateWindowExA(0, "SharedName", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, first, nullptr);
    HWND two = CreateWindowExA(0, "SharedName", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, second, nullptr);
    EXPECT_EQ(SendMessageA(one, WM_USER, 0, 0), 1);
    EXPECT_EQ(SendMessageA(two, WM_USER, 0, 0), 2);
    EXPECT_EQ(CreateWindowExA(0, "SharedName", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                              GetModuleHandleA(nullptr), nullptr),
              nullptr);
    EXPECT_FALSE(UnregisterClassA("SharedName", first));
    DestroyWindow(one);
    EXPECT_TRUE(UnregisterClassA("SharedName", first));
    EXPECT_EQ(SendMessageA(two, WM_USER, 0, 0), 2);
    DestroyWindow(two);
    EXPECT_TRUE(UnregisterClassA("SharedName", second));
    unregisterModule(first);
    unregisterModule(second);
}

TEST(Modules, ProgramModuleStandsForTheNullInstance) {
    HINSTANCE program = GetModuleHandleA(nullptr);
    ASSERT_NE(program, nullptr);
    EXPECT_EQ(GetModuleHandleA(nullptr), program);
    EXPECT_EQ(GetModuleHandleA("other.dll"), nullptr);
    ASSERT_NE(registerIn(nullptr, answerOne), 0);
    HWND window = CreateWindowExA(0, "SharedName", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, program, nullptr);
    EXPECT_NE(window, nullptr);
    DestroyWindow(window);
    EXPECT_TRUE(UnregisterClassA("SharedName", program));
}

TEST(Modules, SelectedBitmapsCannotBeDeleted) {
    // Documented Win32 behaviour; Wine defers the deletion instead.
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), 2, 2, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC context = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(context, bitmap);
    EXPECT_FALSE(DeleteObject(bitmap));
    SelectObject(context, previous);
    EXPECT_TRUE(DeleteObject(bitmap));
    DeleteDC(context);
}

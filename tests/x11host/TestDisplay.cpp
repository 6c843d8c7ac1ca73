#include "TestDisplay.h"

#include <xcb/xtest.h>

#include <cstdlib>
#include <cstring>

TestDisplay::TestDisplay() {
    int number = 0;
    connection = xcb_connect(nullptr, &number);
    if (xcb_connection_has_error(connection)) return;
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; screens.rem && i < number; ++i) xcb_screen_next(&screens);
    screen = screens.rem ? screens.data : nullptr;
}

TestDisplay::~TestDisplay() { xcb_disconnect(connection); }

xcb_window_t TestDisplay::createHostWindow(int32_t x, int32_t y, int32_t width, int32_t height) {
    return createWindowIn(screen->root, x, y, width, height);
}

xcb_window_t TestDisplay::createWindowIn(xcb_window_t parent, int32_t x, int32_t y, int32_t width, int32_t height) {
    xcb_window_t window = xcb_generate_id(connection);
    const uint32_t values[] = {0};  // black
    xcb_create_window(connection, XCB_COPY_FROM_PARENT, window, parent, int16_t(x), int16_t(y), uint16_t(width),
                      uint16_t(height), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, XCB_CW_BACK_PIXEL,
                      values);
    xcb_map_window(connection, window);
    sync();
    return window;
}

xcb_atom_t TestDisplay::atom(const char* name) {
    xcb_intern_atom_reply_t* reply =
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, uint16_t(strlen(name)), name), nullptr);
    const xcb_atom_t found = reply ? reply->atom : XCB_NONE;
    free(reply);
    return found;
}

void TestDisplay::markManaged(xcb_window_t window) {
    const xcb_atom_t state = atom("WM_STATE");
    const uint32_t normalState[] = {1, XCB_NONE};
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, state, state, 32, 2, normalState);
    sync();
}

int TestDisplay::screenCount() const { return xcb_setup_roots_length(xcb_get_setup(connection)); }

xcb_window_t TestDisplay::rootOf(int screenNumber) const {
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; screens.rem && i < screenNumber; ++i) xcb_screen_next(&screens);
    return screens.rem ? screens.data->root : 0;
}

xcb_window_t TestDisplay::createPixmap() {
    xcb_pixmap_t pixmap = xcb_generate_id(connection);
    xcb_create_pixmap(connection, screen->root_depth, pixmap, screen->root, 8, 8);
    sync();
    return pixmap;
}

void TestDisplay::destroyWindow(xcb_window_t window) {
    xcb_destroy_window(connection, window);
    sync();
}

std::vector<xcb_window_t> TestDisplay::children(xcb_window_t window) {
    std::vector<xcb_window_t> result;
    xcb_query_tree_reply_t* tree = xcb_query_tree_reply(connection, xcb_query_tree(connection, window), nullptr);
    if (!tree) return result;
    const xcb_window_t* list = xcb_query_tree_children(tree);
    result.assign(list, list + xcb_query_tree_children_length(tree));
    free(tree);
    return result;
}

std::vector<xcb_window_t> TestDisplay::topLevelWindows() {
    std::vector<xcb_window_t> windows;
    for (int i = 0; i < screenCount(); ++i) {
        const std::vector<xcb_window_t> onScreen = children(rootOf(i));
        windows.insert(windows.end(), onScreen.begin(), onScreen.end());
    }
    return windows;
}

xcb_window_t TestDisplay::transientFor(xcb_window_t owner) {
    for (xcb_window_t window : topLevelWindows()) {
        xcb_get_property_reply_t* property = xcb_get_property_reply(
            connection,
            xcb_get_property(connection, 0, window, XCB_ATOM_WM_TRANSIENT_FOR, XCB_ATOM_WINDOW, 0, 1), nullptr);
        const bool found = property && xcb_get_property_value_length(property) == 4 &&
                           *static_cast<xcb_window_t*>(xcb_get_property_value(property)) == owner;
        free(property);
        if (found) return window;
    }
    return 0;
}

WindowPlace TestDisplay::placeOf(xcb_window_t window) {
    WindowPlace place = {0, 0, 0, 0};
    xcb_get_geometry_reply_t* geometry =
        xcb_get_geometry_reply(connection, xcb_get_geometry(connection, window), nullptr);
    if (!geometry) return place;
    xcb_translate_coordinates_reply_t* origin = xcb_translate_coordinates_reply(
        connection, xcb_translate_coordinates(connection, window, geometry->root, 0, 0), nullptr);
    if (origin) place = WindowPlace{origin->dst_x, origin->dst_y, geometry->width, geometry->height};
    free(geometry);
    free(origin);
    return place;
}

WindowPlace TestDisplay::screenOf(xcb_window_t window) {
    xcb_get_geometry_reply_t* geometry =
        xcb_get_geometry_reply(connection, xcb_get_geometry(connection, window), nullptr);
    const xcb_window_t root = geometry ? geometry->root : 0;
    free(geometry);
    for (xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection)); screens.rem;
         xcb_screen_next(&screens)) {
        if (screens.data->root == root) return WindowPlace{0, 0, screens.data->width_in_pixels, screens.data->height_in_pixels};
    }
    return WindowPlace{0, 0, 0, 0};
}

// The screen's 32-bit pixels hold 0x00RRGGBB, as a capture does.
CapturedImage TestDisplay::read(xcb_window_t window) {
    CapturedImage image;
    const WindowPlace place = placeOf(window);
    if (place.width == 0) return image;
    xcb_get_image_reply_t* reply = xcb_get_image_reply(
        connection,
        xcb_get_image(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, window, 0, 0, uint16_t(place.width),
                      uint16_t(place.height), ~0u),
        nullptr);
    if (!reply) return image;
    const size_t count = size_t(place.width) * size_t(place.height);
    if (size_t(xcb_get_image_data_length(reply)) == count * 4) {
        const uint32_t* pixels = reinterpret_cast<const uint32_t*>(xcb_get_image_data(reply));
        image.width = place.width;
        image.height = place.height;
        image.pixels.reserve(count);
        for (size_t i = 0; i < count; ++i) image.pixels.push_back(pixels[i] & 0xffffff);
    }
    free(reply);
    return image;
}

// XTest moves the pointer on the screen it is on (Xvfb ignores the root it is
// given): onto another screen it is warped.
void TestDisplay::movePointer(xcb_window_t window, int32_t x, int32_t y) {
    const WindowPlace place = placeOf(window);
    xcb_get_geometry_reply_t* geometry =
        xcb_get_geometry_reply(connection, xcb_get_geometry(connection, window), nullptr);
    const xcb_window_t root = geometry ? geometry->root : screen->root;
    free(geometry);
    xcb_query_pointer_reply_t* pointer =
        xcb_query_pointer_reply(connection, xcb_query_pointer(connection, root), nullptr);
    const bool sameScreen = pointer && pointer->same_screen;
    free(pointer);
    if (sameScreen) {
        xcb_test_fake_input(connection, XCB_MOTION_NOTIFY, 0, XCB_CURRENT_TIME, root, int16_t(place.x + x),
                            int16_t(place.y + y), 0);
    } else {
        xcb_warp_pointer(connection, XCB_NONE, root, 0, 0, 0, 0, int16_t(place.x + x), int16_t(place.y + y));
    }
    sync();
}

void TestDisplay::pressButton(int button) {
    xcb_test_fake_input(connection, XCB_BUTTON_PRESS, uint8_t(button), XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    sync();
}

void TestDisplay::releaseButton(int button) {
    xcb_test_fake_input(connection, XCB_BUTTON_RELEASE, uint8_t(button), XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    sync();
}

bool TestDisplay::pointerIsFree() {
    xcb_grab_pointer_reply_t* reply = xcb_grab_pointer_reply(
        connection,
        xcb_grab_pointer(connection, 0, screen->root, 0, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC, XCB_NONE,
                         XCB_NONE, XCB_CURRENT_TIME),
        nullptr);
    const bool available = reply && reply->status == XCB_GRAB_STATUS_SUCCESS;
    std::free(reply);
    if (available) xcb_ungrab_pointer(connection, XCB_CURRENT_TIME);
    sync();
    return available;
}

void TestDisplay::sync() { free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr)); }

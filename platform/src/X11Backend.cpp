// Native twins on an X11 display, through xcb: errors come back as values
// (a host's window that is gone answers a request with an error, nothing
// exits), and the connection is ours alone, so closing it takes every window
// and grab we made with it.
#include "WindowBackend.h"

#include <xcb/xcb.h>

#include <poll.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace platform {

namespace {

constexpr int leftButton = 1;
constexpr int middleButton = 2;
constexpr int rightButton = 3;

constexpr uint32_t twinEvents = XCB_EVENT_MASK_EXPOSURE | XCB_EVENT_MASK_BUTTON_PRESS |
                                XCB_EVENT_MASK_BUTTON_RELEASE | XCB_EVENT_MASK_POINTER_MOTION;
constexpr uint16_t grabbedEvents =
    XCB_EVENT_MASK_BUTTON_PRESS | XCB_EVENT_MASK_BUTTON_RELEASE | XCB_EVENT_MASK_POINTER_MOTION;

// The part of the ICCCM size hints that fixes a window's place and size.
struct SizeHints {
    uint32_t flags;
    int32_t x, y, width, height;
    int32_t minWidth, minHeight, maxWidth, maxHeight;
    int32_t unused[9];
};
constexpr uint32_t userPosition = 1 << 0;
constexpr uint32_t programPosition = 1 << 2;
constexpr uint32_t programSize = 1 << 3;
constexpr uint32_t minimumSize = 1 << 4;
constexpr uint32_t maximumSize = 1 << 5;

// Motif's hints, which window managers read for decorations: none, as a
// Win32 popup without caption has none.
struct DecorationHints {
    uint32_t flags, functions, decorations;
    int32_t inputMode;
    uint32_t status;
};
constexpr uint32_t decorationsGiven = 1 << 1;

WPARAM keysHeld(uint16_t state) {
    WPARAM keys = 0;
    if (state & XCB_KEY_BUT_MASK_SHIFT) keys |= MK_SHIFT;
    if (state & XCB_KEY_BUT_MASK_CONTROL) keys |= MK_CONTROL;
    if (state & XCB_KEY_BUT_MASK_BUTTON_1) keys |= MK_LBUTTON;
    if (state & XCB_KEY_BUT_MASK_BUTTON_2) keys |= MK_MBUTTON;
    if (state & XCB_KEY_BUT_MASK_BUTTON_3) keys |= MK_RBUTTON;
    return keys;
}

WPARAM buttonFlag(int button) {
    switch (button) {
    case leftButton: return MK_LBUTTON;
    case middleButton: return MK_MBUTTON;
    case rightButton: return MK_RBUTTON;
    default: return 0;
    }
}

// Our surfaces hold 32-bit pixels, blue in the lowest byte: the screen must
// take them as they are.
bool takesOurPixels(xcb_connection_t* connection, const xcb_screen_t& screen) {
    const xcb_setup_t* setup = xcb_get_setup(connection);
    if (setup->image_byte_order != XCB_IMAGE_ORDER_LSB_FIRST || screen.root_depth < 24) return false;
    bool thirtyTwoBits = false;
    for (xcb_format_iterator_t formats = xcb_setup_pixmap_formats_iterator(setup); formats.rem;
         xcb_format_next(&formats)) {
        if (formats.data->depth == screen.root_depth) thirtyTwoBits = formats.data->bits_per_pixel == 32;
    }
    for (xcb_depth_iterator_t depths = xcb_screen_allowed_depths_iterator(&screen); depths.rem;
         xcb_depth_next(&depths)) {
        for (xcb_visualtype_iterator_t visuals = xcb_depth_visuals_iterator(depths.data); visuals.rem;
             xcb_visualtype_next(&visuals)) {
            const xcb_visualtype_t& visual = *visuals.data;
            if (visual.visual_id != screen.root_visual) continue;
            return thirtyTwoBits && visual._class == XCB_VISUAL_CLASS_TRUE_COLOR &&
                   visual.red_mask == 0xff0000 && visual.green_mask == 0xff00 && visual.blue_mask == 0xff;
        }
    }
    return false;
}

// One connection, used by the one thread that owns it: its lists need no lock.
class X11Backend : public WindowBackend {
public:
    explicit X11Backend(xcb_connection_t* connection) : connection(connection) {
        windowType = internAtom("_NET_WM_WINDOW_TYPE");
        dialogType = internAtom("_NET_WM_WINDOW_TYPE_DIALOG");
        decorationHints = internAtom("_MOTIF_WM_HINTS");
        managedState = internAtom("WM_STATE");
        // Room for every screen: the list never moves a screen that windows point to.
        screens.reserve(size_t(xcb_setup_roots_length(xcb_get_setup(connection))));
        // Requests are counted in 4-byte units; the image request's own
        // fields take 24 bytes.
        maxImageBytes = size_t(xcb_get_maximum_request_length(connection)) * 4 - 24;
    }

    // What was asked last (another client's windows destroyed) must be done
    // first: closing a connection with events still unread resets it, and
    // the server may drop the requests it has not read yet.
    ~X11Backend() override {
        free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
        xcb_disconnect(connection);
    }

    // A host's window on any screen of the display whose pixels are ours:
    // its twins go on the same screen.
    bool adoptForeign(NativeWindow window, RECT* onScreen) override {
        // Only a window has attributes: a pixmap or any other id fails here.
        xcb_get_window_attributes_reply_t* attributes =
            xcb_get_window_attributes_reply(connection, xcb_get_window_attributes(connection, window), nullptr);
        if (!attributes) return false;
        free(attributes);
        xcb_get_geometry_reply_t* geometry =
            xcb_get_geometry_reply(connection, xcb_get_geometry(connection, window), nullptr);
        if (!geometry) return false;
        Screen* screen = screenWithRoot(geometry->root);
        xcb_translate_coordinates_reply_t* origin =
            screen ? xcb_translate_coordinates_reply(
                         connection, xcb_translate_coordinates(connection, window, geometry->root, 0, 0), nullptr)
                   : nullptr;
        const uint32_t events = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
        xcb_generic_error_t* error =
            origin ? xcb_request_check(connection, xcb_change_window_attributes_checked(
                                                       connection, window, XCB_CW_EVENT_MASK, &events))
                   : nullptr;
        const bool alive = origin && !error;
        // The replies came after every event sent before them: a
        // destruction already waiting names an earlier window of this id.
        keepQueuedEventsBut(window);
        if (alive) {
            *onScreen = RECT{origin->dst_x, origin->dst_y, origin->dst_x + geometry->width,
                             origin->dst_y + geometry->height};
            if (std::find(adopted.begin(), adopted.end(), window) == adopted.end()) adopted.push_back(window);
            placeOn(window, screen);
            lastScreen = screen;
        }
        free(geometry);
        free(origin);
        free(error);
        return alive;
    }

    void releaseForeign(NativeWindow window) override {
        adopted.erase(std::remove(adopted.begin(), adopted.end(), window), adopted.end());
        forgetScreenOf(window);
        const uint32_t none = 0;
        xcb_change_window_attributes(connection, window, XCB_CW_EVENT_MASK, &none);
        xcb_flush(connection);
    }

    // Its size hints say it keeps its size, for hosts that size their frame
    // around the window they embed.
    NativeWindow createChild(NativeWindow parent, const RECT& rect) override {
        Screen* screen = screenOf(parent);
        NativeWindow window = screen ? create(*screen, parent, rect) : 0;
        if (window) fixSize(window, rect, programSize | minimumSize | maximumSize);
        return window;
    }

    // Window managers keep a transient window above the top-level window it
    // names, and ignore it when it names a window inside one.
    NativeWindow createTopLevel(NativeWindow owner, const RECT& rect) override {
        Screen* screen = screenOf(owner);
        NativeWindow window = screen ? create(*screen, screen->screen->root, rect) : 0;
        if (!window) return 0;
        const NativeWindow above = managedAncestor(owner);
        xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_TRANSIENT_FOR,
                            XCB_ATOM_WINDOW, 32, 1, &above);
        if (windowType && dialogType) {
            xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, windowType, XCB_ATOM_ATOM, 32, 1,
                                &dialogType);
        }
        // Window managers are asked to leave the place and size as they are.
        fixSize(window, rect, userPosition | programPosition | programSize | minimumSize | maximumSize);
        if (decorationHints) {
            DecorationHints decorations = {decorationsGiven, 0, 0, 0, 0};
            xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, decorationHints, decorationHints, 32,
                                sizeof(decorations) / 4, &decorations);
        }
        return window;
    }

    void showWindow(NativeWindow window, bool show) override {
        if (show) {
            xcb_map_window(connection, window);
        } else {
            xcb_unmap_window(connection, window);
        }
        xcb_flush(connection);
    }

    void destroyWindow(NativeWindow window) override {
        forgetScreenOf(window);
        xcb_destroy_window(connection, window);
        xcb_flush(connection);
    }

    // In bands of whole rows that each fit in one request.
    void pushPixels(NativeWindow window, const RECT& rect, const uint32_t* pixels) override {
        const int width = rect.right - rect.left;
        const int height = rect.bottom - rect.top;
        Screen* screen = screenOf(window);
        if (width <= 0 || height <= 0 || !screen) return;
        const size_t rowBytes = size_t(width) * 4;
        const int bandRows = int(std::max<size_t>(1, std::min<size_t>(maxImageBytes / rowBytes, size_t(height))));
        for (int top = 0; top < height; top += bandRows) {
            const int rows = std::min(bandRows, height - top);
            xcb_put_image(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, window, screen->graphics, uint16_t(width),
                          uint16_t(rows), int16_t(rect.left), int16_t(rect.top + top), 0, screen->screen->root_depth,
                          uint32_t(rowBytes * size_t(rows)),
                          reinterpret_cast<const uint8_t*>(pixels + size_t(top) * size_t(width)));
        }
    }

    void readInput(std::vector<NativeEvent>& events) override {
        events.insert(events.end(), kept.begin(), kept.end());
        kept.clear();
        while (xcb_generic_event_t* event = xcb_poll_for_event(connection)) {
            translate(*event, events);
            free(event);
        }
        // A display that went away took the host's windows with it.
        if (xcb_connection_has_error(connection)) {
            for (NativeWindow window : adopted) events.push_back(destroyedEvent(window));
            adopted.clear();
        }
    }

    void waitForInput(int milliseconds) override {
        pollfd descriptor = {xcb_get_file_descriptor(connection), POLLIN, 0};
        poll(&descriptor, 1, milliseconds);
    }

    void flush() override { xcb_flush(connection); }

    bool grabPointer(NativeWindow window) override {
        xcb_grab_pointer_reply_t* reply = xcb_grab_pointer_reply(
            connection,
            xcb_grab_pointer(connection, 0, window, grabbedEvents, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC,
                             XCB_NONE, XCB_NONE, XCB_CURRENT_TIME),
            nullptr);
        const bool grabbed = reply && reply->status == XCB_GRAB_STATUS_SUCCESS;
        free(reply);
        return grabbed;
    }

    void releasePointer() override {
        xcb_ungrab_pointer(connection, XCB_CURRENT_TIME);
        xcb_flush(connection);
    }

    // The screen of the host's window adopted last.
    SIZE screenSize() const override {
        const xcb_screen_t* screen = lastScreen ? lastScreen->screen : defaultScreen();
        return SIZE{screen->width_in_pixels, screen->height_in_pixels};
    }

private:
    void fixSize(NativeWindow window, const RECT& rect, uint32_t flags) {
        const int32_t width = rect.right - rect.left;
        const int32_t height = rect.bottom - rect.top;
        SizeHints size = {flags, rect.left, rect.top, width, height, width, height, width, height, {}};
        xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_NORMAL_HINTS,
                            XCB_ATOM_WM_SIZE_HINTS, 32, sizeof(size) / 4, &size);
    }

    // A screen the connection has put windows on, with the graphics context
    // its images are drawn with (a context serves one root and depth only).
    struct Screen {
        xcb_screen_t* screen;
        xcb_gcontext_t graphics;
    };

    const xcb_screen_t* defaultScreen() const { return xcb_setup_roots_iterator(xcb_get_setup(connection)).data; }

    // The screen with this root, made ready for our pixels; null when it
    // cannot show them.
    Screen* screenWithRoot(xcb_window_t root) {
        for (Screen& screen : screens) {
            if (screen.screen->root == root) return &screen;
        }
        for (xcb_screen_iterator_t all = xcb_setup_roots_iterator(xcb_get_setup(connection)); all.rem;
             xcb_screen_next(&all)) {
            if (all.data->root != root) continue;
            if (!takesOurPixels(connection, *all.data)) return nullptr;
            xcb_gcontext_t graphics = xcb_generate_id(connection);
            xcb_create_gc(connection, graphics, root, 0, nullptr);
            screens.push_back(Screen{all.data, graphics});
            return &screens.back();
        }
        return nullptr;
    }

    Screen* screenOf(NativeWindow window) {
        for (const WindowOnScreen& entry : windowScreens) {
            if (entry.window == window) return entry.screen;
        }
        return nullptr;
    }

    void placeOn(NativeWindow window, Screen* screen) {
        forgetScreenOf(window);
        windowScreens.push_back(WindowOnScreen{window, screen});
    }

    void forgetScreenOf(NativeWindow window) {
        windowScreens.erase(std::remove_if(windowScreens.begin(), windowScreens.end(),
                                           [window](const WindowOnScreen& entry) { return entry.window == window; }),
                            windowScreens.end());
    }

    // The window a window manager knows as the top-level one: the nearest
    // ancestor it marked as managed, or without a window manager the child
    // of the root.
    NativeWindow managedAncestor(NativeWindow window) {
        for (NativeWindow current = window;;) {
            xcb_get_property_cookie_t state = xcb_get_property(connection, 0, current, managedState, XCB_ATOM_ANY, 0, 0);
            xcb_query_tree_cookie_t tree = xcb_query_tree(connection, current);
            xcb_get_property_reply_t* stateReply = xcb_get_property_reply(connection, state, nullptr);
            xcb_query_tree_reply_t* treeReply = xcb_query_tree_reply(connection, tree, nullptr);
            const bool managed = managedState && stateReply && stateReply->type != XCB_NONE;
            const NativeWindow parent = treeReply && treeReply->parent != treeReply->root ? treeReply->parent : 0;
            free(stateReply);
            free(treeReply);
            if (managed || !parent) return current;
            current = parent;
        }
    }

    xcb_atom_t internAtom(const char* name) {
        xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
            connection, xcb_intern_atom(connection, 0, uint16_t(std::strlen(name)), name), nullptr);
        xcb_atom_t atom = reply ? reply->atom : XCB_NONE;
        free(reply);
        return atom;
    }

    // Our pixels are the screen's: twins take the root's depth and visual
    // whatever the host's window uses, which needs a border pixel and a
    // colour map of their own. The server draws no background: every pixel
    // comes from our surface.
    NativeWindow create(Screen& screen, NativeWindow parent, const RECT& rect) {
        const int width = rect.right - rect.left;
        const int height = rect.bottom - rect.top;
        if (width <= 0 || height <= 0 || width > 32767 || height > 32767) return 0;
        NativeWindow window = xcb_generate_id(connection);
        const xcb_screen_t& on = *screen.screen;
        const uint32_t values[] = {XCB_BACK_PIXMAP_NONE, 0, twinEvents, on.default_colormap};
        xcb_create_window(connection, on.root_depth, window, parent, int16_t(rect.left), int16_t(rect.top),
                          uint16_t(width), uint16_t(height), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, on.root_visual,
                          XCB_CW_BACK_PIXMAP | XCB_CW_BORDER_PIXEL | XCB_CW_EVENT_MASK | XCB_CW_COLORMAP, values);
        placeOn(window, &screen);
        return window;
    }

    void keepQueuedEventsBut(NativeWindow destroyed) {
        while (xcb_generic_event_t* event = xcb_poll_for_queued_event(connection)) {
            const bool stale = (event->response_type & 0x7f) == XCB_DESTROY_NOTIFY &&
                               reinterpret_cast<xcb_destroy_notify_event_t*>(event)->window == destroyed;
            if (!stale) translate(*event, kept);
            free(event);
        }
    }

    static NativeEvent destroyedEvent(NativeWindow window) {
        NativeEvent event = {};
        event.kind = NativeEvent::Kind::destroyed;
        event.window = window;
        return event;
    }

    static NativeEvent pointerEvent(NativeEvent::Kind kind, NativeWindow window, int16_t x, int16_t y,
                                    int button, WPARAM keys) {
        NativeEvent event = {};
        event.kind = kind;
        event.window = window;
        event.position = POINT{x, y};
        event.button = button;
        event.keys = keys;
        return event;
    }

    // Errors of requests nobody waits for (a host's window destroyed under
    // us) arrive here too, and are dropped: they change nothing of ours.
    void translate(const xcb_generic_event_t& event, std::vector<NativeEvent>& events) {
        switch (event.response_type & 0x7f) {
        case XCB_EXPOSE: {
            const auto& expose = reinterpret_cast<const xcb_expose_event_t&>(event);
            NativeEvent exposed = {};
            exposed.kind = NativeEvent::Kind::exposed;
            exposed.window = expose.window;
            exposed.area = RECT{expose.x, expose.y, expose.x + expose.width, expose.y + expose.height};
            events.push_back(exposed);
            break;
        }
        case XCB_BUTTON_PRESS: {
            // The state is the one before the event: the pressed button is
            // added, as Windows reports it with its own press.
            const auto& press = reinterpret_cast<const xcb_button_press_event_t&>(event);
            events.push_back(pointerEvent(NativeEvent::Kind::buttonPressed, press.event, press.event_x, press.event_y,
                                          press.detail, keysHeld(press.state) | buttonFlag(press.detail)));
            break;
        }
        case XCB_BUTTON_RELEASE: {
            const auto& release = reinterpret_cast<const xcb_button_release_event_t&>(event);
            events.push_back(pointerEvent(NativeEvent::Kind::buttonReleased, release.event, release.event_x,
                                          release.event_y, release.detail,
                                          keysHeld(release.state) & ~buttonFlag(release.detail)));
            break;
        }
        case XCB_MOTION_NOTIFY: {
            const auto& motion = reinterpret_cast<const xcb_motion_notify_event_t&>(event);
            events.push_back(pointerEvent(NativeEvent::Kind::pointerMoved, motion.event, motion.event_x,
                                          motion.event_y, 0, keysHeld(motion.state)));
            break;
        }
        case XCB_DESTROY_NOTIFY: {
            const auto& destroyed = reinterpret_cast<const xcb_destroy_notify_event_t&>(event);
            if (std::find(adopted.begin(), adopted.end(), destroyed.window) == adopted.end()) break;
            adopted.erase(std::remove(adopted.begin(), adopted.end(), destroyed.window), adopted.end());
            forgetScreenOf(destroyed.window);
            events.push_back(destroyedEvent(destroyed.window));
            break;
        }
        default:
            break;
        }
    }

    struct WindowOnScreen {
        NativeWindow window;
        Screen* screen;
    };

    xcb_connection_t* connection;
    std::vector<Screen> screens;
    // Host windows adopted and twins made, with the screen they are on.
    std::vector<WindowOnScreen> windowScreens;
    Screen* lastScreen = nullptr;
    xcb_atom_t managedState = XCB_NONE;
    xcb_atom_t windowType = XCB_NONE;
    xcb_atom_t dialogType = XCB_NONE;
    xcb_atom_t decorationHints = XCB_NONE;
    size_t maxImageBytes = 0;
    std::vector<NativeWindow> adopted;
    std::vector<NativeEvent> kept;  // read while adopting, not yet reported
};

}  // namespace

// Whether a host window's screen takes our pixels is known once it is adopted.
std::unique_ptr<WindowBackend> connectHostDisplay() {
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        return nullptr;
    }
    return std::unique_ptr<WindowBackend>(new X11Backend(connection));
}

}  // namespace platform

// A top-level window for the tests that run against a real X server: a dock
// that takes a strip off the bottom of the screen, or a client window with the
// title, size hints and start state a test needs. It prints its window id in
// hexadecimal once mapped and lives until it is killed.
//
//   pentrax_test_window --dock HEIGHT
//   pentrax_test_window [--title UTF8] [--wm-name LATIN1] [--class NAME]
//                       [--geometry WxH+X+Y] [--min WxH] [--max WxH]
//                       [--inc WxH] [--maximized] [--no-pid]
//                       [--csd SHADOW]   (client-side decorated, no frame)
#include <unistd.h>
#include <xcb/xcb.h>
#include <xcb/xcb_icccm.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

xcb_connection_t* conn;

xcb_atom_t Atom(const char* name) {
  auto cookie =
      xcb_intern_atom(conn, 0, static_cast<uint16_t>(strlen(name)), name);
  xcb_intern_atom_reply_t* r = xcb_intern_atom_reply(conn, cookie, nullptr);
  const xcb_atom_t a = r ? r->atom : xcb_atom_t{XCB_ATOM_NONE};
  free(r);
  return a;
}

void SetCardinals(xcb_window_t w, const char* name, xcb_atom_t type,
                  const std::vector<uint32_t>& values) {
  xcb_change_property(conn, XCB_PROP_MODE_REPLACE, w, Atom(name), type, 32,
                      static_cast<uint32_t>(values.size()), values.data());
}

bool ParseSize(const char* s, int& w, int& h) {
  return sscanf(s, "%dx%d", &w, &h) == 2;
}

[[noreturn]] void Usage() {
  fprintf(stderr, "usage: pentrax_test_window [--dock H | options]\n");
  exit(2);
}

}  // namespace

int main(int argc, char** argv) {
  int dock = 0, csd = 0, x = 40, y = 40, width = 300, height = 200;
  int minW = 0, minH = 0, maxW = 0, maxH = 0, incW = 0, incH = 0;
  bool maximized = false, pid = true;
  const char* title = nullptr;
  const char* wmName = nullptr;
  std::string className = "pentrax-test";
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    const char* v = i + 1 < argc ? argv[i + 1] : nullptr;
    if (a == "--maximized") {
      maximized = true;
    } else if (a == "--no-pid") {
      pid = false;
    } else if (v == nullptr) {
      Usage();
    } else if (a == "--csd") {
      csd = atoi(v), ++i;
    } else if (a == "--dock") {
      dock = atoi(v), ++i;
    } else if (a == "--title") {
      title = v, ++i;
    } else if (a == "--wm-name") {
      wmName = v, ++i;
    } else if (a == "--class") {
      className = v, ++i;
    } else if (a == "--geometry") {
      if (sscanf(v, "%dx%d+%d+%d", &width, &height, &x, &y) != 4) Usage();
      ++i;
    } else if (a == "--min") {
      if (!ParseSize(v, minW, minH)) Usage();
      ++i;
    } else if (a == "--max") {
      if (!ParseSize(v, maxW, maxH)) Usage();
      ++i;
    } else if (a == "--inc") {
      if (!ParseSize(v, incW, incH)) Usage();
      ++i;
    } else {
      Usage();
    }
  }

  conn = xcb_connect(nullptr, nullptr);
  if (xcb_connection_has_error(conn)) {
    fprintf(stderr, "pentrax_test_window: no X display\n");
    return 1;
  }
  xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(conn)).data;
  if (dock > 0) {
    x = 0;
    y = screen->height_in_pixels - dock;
    width = screen->width_in_pixels;
    height = dock;
  }
  const xcb_window_t w = xcb_generate_id(conn);
  const uint32_t values[] = {screen->white_pixel, XCB_EVENT_MASK_EXPOSURE};
  xcb_create_window(conn, XCB_COPY_FROM_PARENT, w, screen->root,
                    static_cast<int16_t>(x), static_cast<int16_t>(y),
                    static_cast<uint16_t>(width), static_cast<uint16_t>(height),
                    0, XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual,
                    XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK, values);

  const std::string wmClass = className + '\0' + className + '\0';
  xcb_icccm_set_wm_class(conn, w, static_cast<uint32_t>(wmClass.size()),
                         wmClass.data());
  if (pid) {
    SetCardinals(w, "_NET_WM_PID", XCB_ATOM_CARDINAL,
                 {static_cast<uint32_t>(getpid())});
  }
  if (title != nullptr) {
    xcb_change_property(conn, XCB_PROP_MODE_REPLACE, w, Atom("_NET_WM_NAME"),
                        Atom("UTF8_STRING"), 8,
                        static_cast<uint32_t>(strlen(title)), title);
  }
  if (wmName != nullptr) {
    xcb_icccm_set_wm_name(conn, w, XCB_ATOM_STRING, 8,
                          static_cast<uint32_t>(strlen(wmName)), wmName);
  }
  xcb_size_hints_t hints{};
  xcb_icccm_size_hints_set_position(&hints, 1, x, y);
  xcb_icccm_size_hints_set_size(&hints, 1, width, height);
  if (minW > 0) xcb_icccm_size_hints_set_min_size(&hints, minW, minH);
  if (maxW > 0) xcb_icccm_size_hints_set_max_size(&hints, maxW, maxH);
  if (incW > 0) {
    xcb_icccm_size_hints_set_base_size(&hints, minW, minH);
    xcb_icccm_size_hints_set_resize_inc(&hints, incW, incH);
  }
  xcb_icccm_set_wm_normal_hints(conn, w, &hints);

  if (dock > 0) {
    SetCardinals(w, "_NET_WM_WINDOW_TYPE", XCB_ATOM_ATOM,
                 {Atom("_NET_WM_WINDOW_TYPE_DOCK")});
    SetCardinals(w, "_NET_WM_DESKTOP", XCB_ATOM_CARDINAL, {0xFFFFFFFF});
    const uint32_t right = static_cast<uint32_t>(width - 1);
    SetCardinals(w, "_NET_WM_STRUT", XCB_ATOM_CARDINAL,
                 {0, 0, 0, static_cast<uint32_t>(dock)});
    SetCardinals(
        w, "_NET_WM_STRUT_PARTIAL", XCB_ATOM_CARDINAL,
        {0, 0, 0, static_cast<uint32_t>(dock), 0, 0, 0, 0, 0, 0, 0, right});
  }
  if (csd > 0) {
    // No frame from the window manager (Motif hints: no decorations), and a
    // shadow of csd pixels drawn by the client around its visible part.
    SetCardinals(w, "_MOTIF_WM_HINTS", Atom("_MOTIF_WM_HINTS"),
                 {2, 0, 0, 0, 0});
    const auto c = static_cast<uint32_t>(csd);
    SetCardinals(w, "_GTK_FRAME_EXTENTS", XCB_ATOM_CARDINAL, {c, c, c, c});
  }
  if (maximized) {
    SetCardinals(w, "_NET_WM_STATE", XCB_ATOM_ATOM,
                 {Atom("_NET_WM_STATE_MAXIMIZED_VERT"),
                  Atom("_NET_WM_STATE_MAXIMIZED_HORZ")});
  }
  xcb_map_window(conn, w);
  xcb_flush(conn);
  printf("0x%x\n", w);
  fflush(stdout);

  while (xcb_generic_event_t* ev = xcb_wait_for_event(conn)) {
    free(ev);
  }
  xcb_disconnect(conn);
  return 0;
}

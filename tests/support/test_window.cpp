// An X11 window for the tests: a dock along the bottom (or X,WIDTH of it),
// or a window as a test needs it. Prints its id in hexadecimal once mapped.
//   pentrax_test_window --dock HEIGHT [--span X,WIDTH]
//   pentrax_test_window [--title UTF8] [--wm-name LATIN1] [--class NAME]
//       [--no-class] [--no-pid] [--geometry WxH+X+Y] [--min WxH] [--max WxH]
//       [--inc WxH (base: the minimum; hints rewritten on every resize, as a
//       terminal does)] [--state ABOVE,...] [--type DESKTOP|...] [--no-input]
//       [--keep-size (sets itself back)] [--csd SHADOW (draws its own frame)]
#include <unistd.h>
#include <xcb/xcb.h>
#include <xcb/xcb_icccm.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

xcb_connection_t* conn;

xcb_atom_t Atom(const std::string& name) {
  auto cookie = xcb_intern_atom(conn, 0, static_cast<uint16_t>(name.size()),
                                name.c_str());
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

// "A,B" -> the atoms PREFIX_A, PREFIX_B.
std::vector<uint32_t> Atoms(const std::string& prefix, const char* list) {
  std::vector<uint32_t> atoms;
  std::stringstream names(list);
  for (std::string name; std::getline(names, name, ',');) {
    atoms.push_back(Atom(prefix + name));
  }
  return atoms;
}

[[noreturn]] void Usage() {
  fprintf(stderr, "usage: pentrax_test_window [--dock H | options]\n");
  exit(2);
}

// "AxB" (or "A,B"), or unset.
struct Pair {
  bool set = false;
  int a = 0, b = 0;
  explicit Pair(const char* s) {
    set = s != nullptr &&
          (sscanf(s, "%dx%d", &a, &b) == 2 || sscanf(s, "%d,%d", &a, &b) == 2);
    if (s != nullptr && !set) Usage();
  }
};

}  // namespace

int main(int argc, char** argv) {
  const std::set<std::string> flags = {"--no-pid", "--no-class", "--no-input",
                                       "--keep-size"};
  const std::set<std::string> valued = {
      "--dock", "--span", "--title", "--wm-name", "--class", "--geometry",
      "--min",  "--max",  "--inc",   "--state",   "--type",  "--csd"};
  std::map<std::string, const char*> opt;
  for (int i = 1; i < argc; ++i) {
    const bool flag = flags.contains(argv[i]);
    if (!flag && (!valued.contains(argv[i]) || i + 1 == argc)) Usage();
    opt[argv[i]] = flag ? "" : argv[i + 1];
    i += flag ? 0 : 1;
  }
  const auto get = [&opt](const char* name) -> const char* {
    return opt.contains(name) ? opt[name] : nullptr;
  };
  const int dock = get("--dock") ? atoi(get("--dock")) : 0;
  const int csd = get("--csd") ? atoi(get("--csd")) : 0;
  const Pair span(get("--span")), min(get("--min")), max(get("--max")),
      inc(get("--inc"));
  const bool keepSize = get("--keep-size");
  const char *title = get("--title"), *wmName = get("--wm-name"),
             *states = get("--state"), *type = get("--type");
  const std::string className =
      get("--class") ? get("--class") : "pentrax-test";
  int x = 40, y = 40, width = 300, height = 200;
  if (get("--geometry") &&
      sscanf(get("--geometry"), "%dx%d+%d+%d", &width, &height, &x, &y) != 4) {
    Usage();
  }

  conn = xcb_connect(nullptr, nullptr);
  if (xcb_connection_has_error(conn)) {
    fprintf(stderr, "pentrax_test_window: no X display\n");
    return 1;
  }
  xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(conn)).data;
  if (dock > 0) {
    x = span.a;
    y = screen->height_in_pixels - dock;
    width = span.set ? span.b : screen->width_in_pixels;
    height = dock;
  }
  const xcb_window_t w = xcb_generate_id(conn);
  const uint32_t values[] = {
      screen->white_pixel,
      keepSize || inc.set
          ? XCB_EVENT_MASK_EXPOSURE | XCB_EVENT_MASK_STRUCTURE_NOTIFY
          : uint32_t{XCB_EVENT_MASK_EXPOSURE}};
  xcb_create_window(conn, XCB_COPY_FROM_PARENT, w, screen->root,
                    static_cast<int16_t>(x), static_cast<int16_t>(y),
                    static_cast<uint16_t>(width), static_cast<uint16_t>(height),
                    0, XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual,
                    XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK, values);

  if (!get("--no-class")) {
    const std::string wmClass = className + '\0' + className + '\0';
    xcb_icccm_set_wm_class(conn, w, static_cast<uint32_t>(wmClass.size()),
                           wmClass.data());
  }
  if (!get("--no-pid")) {
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
  if (min.set) xcb_icccm_size_hints_set_min_size(&hints, min.a, min.b);
  if (max.set) xcb_icccm_size_hints_set_max_size(&hints, max.a, max.b);
  if (inc.set) {
    xcb_icccm_size_hints_set_base_size(&hints, min.a, min.b);
    xcb_icccm_size_hints_set_resize_inc(&hints, inc.a, inc.b);
  }
  xcb_icccm_set_wm_normal_hints(conn, w, &hints);
  if (get("--no-input")) {
    xcb_icccm_wm_hints_t wmHints{};
    xcb_icccm_wm_hints_set_input(&wmHints, 0);
    xcb_icccm_set_wm_hints(conn, w, &wmHints);
  }

  if (dock > 0) {
    type = "DOCK";
    SetCardinals(w, "_NET_WM_DESKTOP", XCB_ATOM_CARDINAL, {0xFFFFFFFF});
    const auto d = static_cast<uint32_t>(dock);
    if (!span.set) {
      SetCardinals(w, "_NET_WM_STRUT", XCB_ATOM_CARDINAL, {0, 0, 0, d});
    }
    SetCardinals(w, "_NET_WM_STRUT_PARTIAL", XCB_ATOM_CARDINAL,
                 {0, 0, 0, d, 0, 0, 0, 0, 0, 0, static_cast<uint32_t>(x),
                  static_cast<uint32_t>(x + width - 1)});
  }
  if (type != nullptr) {
    SetCardinals(w, "_NET_WM_WINDOW_TYPE", XCB_ATOM_ATOM,
                 Atoms("_NET_WM_WINDOW_TYPE_", type));
  }
  if (csd > 0) {
    // No decorations (Motif hints), and a shadow around its visible part.
    SetCardinals(w, "_MOTIF_WM_HINTS", Atom("_MOTIF_WM_HINTS"),
                 {2, 0, 0, 0, 0});
    const auto c = static_cast<uint32_t>(csd);
    SetCardinals(w, "_GTK_FRAME_EXTENTS", XCB_ATOM_CARDINAL, {c, c, c, c});
  }
  if (states != nullptr) {
    SetCardinals(w, "_NET_WM_STATE", XCB_ATOM_ATOM,
                 Atoms("_NET_WM_STATE_", states));
  }
  xcb_map_window(conn, w);
  xcb_flush(conn);
  printf("0x%x\n", w);
  fflush(stdout);

  int seenWidth = width, seenHeight = height;
  while (xcb_generic_event_t* ev = xcb_wait_for_event(conn)) {
    const auto* c = reinterpret_cast<xcb_configure_notify_event_t*>(ev);
    if ((ev->response_type & 0x7F) == XCB_CONFIGURE_NOTIFY && c->window == w &&
        (c->width != seenWidth || c->height != seenHeight)) {
      seenWidth = c->width, seenHeight = c->height;
      if (keepSize) {
        const uint32_t size[] = {static_cast<uint32_t>(width),
                                 static_cast<uint32_t>(height)};
        xcb_configure_window(
            conn, w, XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT, size);
      } else {
        xcb_icccm_set_wm_normal_hints(conn, w, &hints);
      }
      xcb_flush(conn);
    }
    free(ev);
  }
  xcb_disconnect(conn);
  return 0;
}

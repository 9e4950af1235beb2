#include "connection.h"

#include <xcb/randr.h>
#include <xcb/xinput.h>

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <utility>

namespace pentrax::x11 {
namespace {

void InternAll(
    Connection& x,
    std::initializer_list<std::pair<const char*, xcb_atom_t*>> atoms) {
  std::vector<xcb_intern_atom_cookie_t> cookies;
  for (const auto& [name, atom] : atoms) {
    cookies.push_back(xcb_intern_atom(
        x.conn, 0, static_cast<std::uint16_t>(std::strlen(name)), name));
  }
  x.RoundTrip();
  auto cookie = cookies.begin();
  for (const auto& [name, atom] : atoms) {
    XPtr<xcb_intern_atom_reply_t> reply(
        xcb_intern_atom_reply(x.conn, *cookie++, nullptr));
    *atom = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
  }
}

// The XInput extension's opcode when it speaks version 2.2 or later, from
// which raw events reach every client that asks, whoever grabs the pointer.
std::uint8_t XInputOpcode(Connection& x) {
  const xcb_query_extension_reply_t* ext =
      xcb_get_extension_data(x.conn, &xcb_input_id);
  if (ext == nullptr || ext->present == 0) {
    return 0;
  }
  x.RoundTrip();
  auto version = x.Take<xcb_input_xi_query_version_reply_t>(
      xcb_input_xi_query_version_reply,
      xcb_input_xi_query_version(x.conn, 2, 2));
  const bool recent =
      version && (version->major_version > 2 ||
                  (version->major_version == 2 && version->minor_version >= 2));
  return recent ? ext->major_opcode : 0;
}

bool RandrMonitors(Connection& x) {
  const xcb_query_extension_reply_t* ext =
      xcb_get_extension_data(x.conn, &xcb_randr_id);
  if (ext == nullptr || ext->present == 0) {
    return false;
  }
  x.RoundTrip();
  auto version = x.Take<xcb_randr_query_version_reply_t>(
      xcb_randr_query_version_reply, xcb_randr_query_version(x.conn, 1, 5));
  return version &&
         (version->major_version > 1 ||
          (version->major_version == 1 && version->minor_version >= 5));
}

}  // namespace

std::unique_ptr<Connection> Connection::Open(const char* displayName,
                                             std::string* error) {
  const auto fail = [error](std::string reason) {
    if (error != nullptr) {
      *error = std::move(reason);
    }
    return nullptr;
  };
  int screenNumber = 0;
  std::unique_ptr<Connection> x(
      new Connection(xcb_connect(displayName, &screenNumber)));
  x->screenNumber = screenNumber;
  if (!x->Alive()) {
    const char* name =
        displayName != nullptr ? displayName : std::getenv("DISPLAY");
    return fail(name != nullptr && *name != '\0'
                    ? std::string("cannot open X display \"") + name + "\""
                    : std::string("no X display (DISPLAY is not set)"));
  }
  auto it = xcb_setup_roots_iterator(xcb_get_setup(x->conn));
  for (int i = 0; i < screenNumber && it.rem > 0; ++i) {
    xcb_screen_next(&it);
  }
  if (it.rem == 0 || it.data == nullptr) {
    return fail("the X display has no such screen");
  }
  x->root = it.data->root;
  xcb_intern_atom_cookie_t* cookies = xcb_ewmh_init_atoms(x->conn, &x->ewmh);
  x->ewmhReady_ = xcb_ewmh_init_atoms_replies(&x->ewmh, cookies, nullptr) != 0;
  if (!x->ewmhReady_) {
    return fail("cannot read the window manager hints of the X display");
  }
  InternAll(*x, {{"_GTK_FRAME_EXTENTS", &x->gtkFrameExtents},
                 {"WM_STATE", &x->wmState},
                 {"WM_CHANGE_STATE", &x->wmChangeState},
                 {"WM_PROTOCOLS", &x->wmProtocols},
                 {"WM_TAKE_FOCUS", &x->wmTakeFocus}});
  x->xinputOpcode = XInputOpcode(*x);
  x->randrMonitors = RandrMonitors(*x);
  return x;
}

Connection::~Connection() {
  if (ewmhReady_) {
    xcb_ewmh_connection_wipe(&ewmh);
  }
  xcb_disconnect(conn);
}

void Connection::DrainEvents(
    const std::function<void(const xcb_generic_event_t&)>& visit) {
  while (xcb_generic_event_t* ev = xcb_poll_for_event(conn)) {
    const auto* ge = reinterpret_cast<const xcb_ge_generic_event_t*>(ev);
    const auto* message =
        reinterpret_cast<const xcb_client_message_event_t*>(ev);
    if ((ev->response_type & 0x7F) == XCB_GE_GENERIC) {
      if (xinputOpcode != 0 && ge->extension == xinputOpcode &&
          ge->event_type == XCB_INPUT_RAW_BUTTON_PRESS) {
        ++buttonPresses;
      }
    } else if ((ev->response_type & 0x7F) == XCB_CLIENT_MESSAGE &&
               message->type == ewmh._NET_ACTIVE_WINDOW) {
      ++activationRequests;
      lastActivationRequest = message->window;
    } else if (visit) {
      visit(*ev);
    }
    std::free(ev);
  }
}

void Connection::ListenToUser(bool on) {
  if (xinputOpcode != 0) {
    struct {
      xcb_input_event_mask_t head;
      std::uint32_t mask;
    } select{{XCB_INPUT_DEVICE_ALL_MASTER, 1},
             on ? std::uint32_t{XCB_INPUT_XI_EVENT_MASK_RAW_BUTTON_PRESS} : 0};
    xcb_input_xi_select_events(conn, root, 1, &select.head);
  }
  // Requests to the window manager are sent to the root for its substructure
  // events: any client that selects them sees them too.
  const std::uint32_t mask = on ? XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY : 0;
  xcb_change_window_attributes(conn, root, XCB_CW_EVENT_MASK, &mask);
  xcb_flush(conn);
}

std::vector<std::uint32_t> Cardinals(const xcb_get_property_reply_t* r) {
  if (r == nullptr || r->format != 32) {
    return {};
  }
  const auto* data =
      static_cast<const std::uint32_t*>(xcb_get_property_value(r));
  const int n = xcb_get_property_value_length(r) / 4;
  return {data, data + std::max(n, 0)};
}

xcb_window_t FirstWindow(const xcb_get_property_reply_t* r) {
  const auto v = Cardinals(r);
  return v.empty() ? xcb_window_t{XCB_NONE} : v[0];
}

std::string Bytes(const xcb_get_property_reply_t* r) {
  if (r == nullptr || r->format != 8) {
    return {};
  }
  const int n = xcb_get_property_value_length(r);
  return {static_cast<const char*>(xcb_get_property_value(r)),
          static_cast<std::size_t>(std::max(n, 0))};
}

EventMaskGuard::EventMaskGuard(Connection& x, xcb_window_t client,
                               xcb_window_t frame)
    : x_(x), client_(client), frame_(frame) {
  const std::uint32_t clientMask =
      XCB_EVENT_MASK_STRUCTURE_NOTIFY | XCB_EVENT_MASK_PROPERTY_CHANGE;
  const std::uint32_t frameMask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
  xcb_change_window_attributes(x_.conn, client_, XCB_CW_EVENT_MASK,
                               &clientMask);
  if (frame_ != client_) {
    xcb_change_window_attributes(x_.conn, frame_, XCB_CW_EVENT_MASK,
                                 &frameMask);
  }
  xcb_flush(x_.conn);
}

EventMaskGuard::~EventMaskGuard() {
  // Events about a window that is gone by now are errors: dropped too.
  const std::uint32_t none = 0;
  xcb_change_window_attributes(x_.conn, client_, XCB_CW_EVENT_MASK, &none);
  if (frame_ != client_) {
    xcb_change_window_attributes(x_.conn, frame_, XCB_CW_EVENT_MASK, &none);
  }
  xcb_flush(x_.conn);
  x_.DrainEvents();
}

}  // namespace pentrax::x11

// The backend's own connection to the X server: the atoms it uses, replies
// that free themselves, and the counts the benchmark reads.
#pragma once

#include <xcb/xcb.h>
#include <xcb/xcb_ewmh.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace pentrax::x11 {

using Clock = std::chrono::steady_clock;

// Frees xcb replies and errors, which come from malloc.
struct FreeDeleter {
  void operator()(void* p) const { std::free(p); }
};
template <typename T>
using XPtr = std::unique_ptr<T, FreeDeleter>;
using PropertyReply = XPtr<xcb_get_property_reply_t>;

// What the benchmark reads: how often the backend waited for the X server's
// answer (one per batch of requests), and how long it waited for the window
// manager to carry out its requests.
struct Stats {
  std::uint64_t roundTrips = 0;
  Clock::duration settleTime{};
};

class Connection {
 public:
  // Connects to the named display (nullptr: $DISPLAY); nullptr, with a
  // one-line reason in *error, when that fails.
  static std::unique_ptr<Connection> Open(const char* displayName,
                                          std::string* error);
  ~Connection();
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  xcb_connection_t* const conn;
  xcb_ewmh_connection_t ewmh{};
  int screenNumber = 0;
  xcb_window_t root = XCB_NONE;
  xcb_atom_t gtkFrameExtents = XCB_ATOM_NONE;
  xcb_atom_t wmState = XCB_ATOM_NONE;
  xcb_atom_t wmChangeState = XCB_ATOM_NONE;
  xcb_atom_t wmProtocols = XCB_ATOM_NONE;
  xcb_atom_t wmTakeFocus = XCB_ATOM_NONE;
  // Whether the server lists its monitors (RandR 1.5).
  bool randrMonitors = false;
  // The XInput extension's major opcode, when the server has XInput 2.2.
  std::uint8_t xinputOpcode = 0;
  // Pointer button presses seen since the connection was opened, and
  // requests to activate a window (a task bar's, a pager's), with the window
  // last asked for: counted while they are selected (ListenToUser).
  std::uint64_t buttonPresses = 0;
  std::uint64_t activationRequests = 0;
  xcb_window_t lastActivationRequest = XCB_NONE;
  Stats stats;

  bool Alive() const { return !xcb_connection_has_error(conn); }

  // Handles everything queued: counts button presses and activation
  // requests and hands the rest to `visit`, or drops it (the errors of
  // requests without replies arrive here too).
  void DrainEvents(
      const std::function<void(const xcb_generic_event_t&)>& visit = nullptr);

  // Starts or stops counting the pointer's button presses anywhere on the
  // screen (XInput 2 raw events, where the server has them) and the requests
  // to activate a window, which clients send to the root window.
  void ListenToUser(bool on);

  // One batch of requests is about to be answered.
  void RoundTrip() { ++stats.roundTrips; }

  xcb_get_property_cookie_t Property(xcb_window_t w, xcb_atom_t atom,
                                     xcb_atom_t type, std::uint32_t longs) {
    return xcb_get_property(conn, 0, w, atom, type, 0, longs);
  }

  // A reply, or nullptr on an error (the window is gone); *failed is set
  // then.
  template <typename Reply, typename Cookie,
            typename Fn = Reply* (*)(xcb_connection_t*, Cookie,
                                     xcb_generic_error_t**)>
  XPtr<Reply> Take(Fn fn, Cookie cookie, bool* failed = nullptr) {
    xcb_generic_error_t* error = nullptr;
    XPtr<Reply> reply(fn(conn, cookie, &error));
    if (error != nullptr || !reply) {
      std::free(error);
      if (failed != nullptr) {
        *failed = true;
      }
      return nullptr;
    }
    return reply;
  }
  PropertyReply TakeProperty(xcb_get_property_cookie_t c,
                             bool* failed = nullptr) {
    return Take<xcb_get_property_reply_t>(xcb_get_property_reply, c, failed);
  }

 private:
  explicit Connection(xcb_connection_t* c) : conn(c) {}
  bool ewmhReady_ = false;
};

// The 32-bit values of a property reply (empty when it is not set).
std::vector<std::uint32_t> Cardinals(const xcb_get_property_reply_t* r);
// The first of them as a window; XCB_NONE when there is none.
xcb_window_t FirstWindow(const xcb_get_property_reply_t* r);
// The 8-bit value of a property reply.
std::string Bytes(const xcb_get_property_reply_t* r);

// Selects the events that tell when a window and its frame change, for as
// long as it lives; then stops, and drops what is left of them.
class EventMaskGuard {
 public:
  EventMaskGuard(Connection& x, xcb_window_t client, xcb_window_t frame);
  ~EventMaskGuard();
  EventMaskGuard(const EventMaskGuard&) = delete;
  EventMaskGuard& operator=(const EventMaskGuard&) = delete;

 private:
  Connection& x_;
  xcb_window_t client_, frame_;
};

}  // namespace pentrax::x11

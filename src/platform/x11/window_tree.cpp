#include "window_tree.h"

#include <algorithm>

namespace pentrax::x11 {

xcb_window_t WindowTree::Parent(xcb_window_t w) {
  x_.RoundTrip();
  auto tree = x_.Take<xcb_query_tree_reply_t>(xcb_query_tree_reply,
                                              xcb_query_tree(x_.conn, w));
  return tree ? tree->parent : XCB_NONE;
}

xcb_window_t WindowTree::FrameOf(xcb_window_t w) {
  for (int depth = 0; depth < 16 && w != XCB_NONE; ++depth) {
    const xcb_window_t parent = Parent(w);
    if (parent == x_.root || parent == XCB_NONE) {
      return parent == x_.root ? w : XCB_NONE;
    }
    w = parent;
  }
  return XCB_NONE;
}

xcb_window_t WindowTree::FrameOf(xcb_window_t w, xcb_window_t parent) {
  if (parent == x_.root) {
    return w;
  }
  const auto known = frames_.find(w);
  if (known != frames_.end() && known->second.parent == parent) {
    return known->second.frame;
  }
  const xcb_window_t frame = FrameOf(w);
  if (frame == XCB_NONE) {
    frames_.erase(w);
  } else {
    frames_[w] = {parent, frame};
  }
  return frame;
}

void WindowTree::KeepOnly(const std::vector<xcb_window_t>& alive) {
  std::erase_if(frames_, [&alive](const auto& entry) {
    return std::find(alive.begin(), alive.end(), entry.first) == alive.end();
  });
}

bool WindowTree::HasWmState(xcb_window_t w) {
  x_.RoundTrip();
  auto reply = x_.TakeProperty(x_.Property(w, x_.wmState, x_.wmState, 2));
  return reply && reply->type != XCB_ATOM_NONE;
}

xcb_window_t WindowTree::ClientBelow(xcb_window_t w, int depth) {
  if (HasWmState(w)) {
    return w;
  }
  if (depth > 4) {
    return XCB_NONE;
  }
  x_.RoundTrip();
  auto tree = x_.Take<xcb_query_tree_reply_t>(xcb_query_tree_reply,
                                              xcb_query_tree(x_.conn, w));
  if (!tree) {
    return XCB_NONE;
  }
  const xcb_window_t* children = xcb_query_tree_children(tree.get());
  const int n = xcb_query_tree_children_length(tree.get());
  for (int i = n - 1; i >= 0; --i) {
    if (const xcb_window_t c = ClientBelow(children[i], depth + 1)) {
      return c;
    }
  }
  return XCB_NONE;
}

xcb_window_t WindowTree::FocusedClient() {
  x_.RoundTrip();
  auto focus = x_.Take<xcb_get_input_focus_reply_t>(
      xcb_get_input_focus_reply, xcb_get_input_focus(x_.conn));
  if (!focus || focus->focus == XCB_NONE ||
      focus->focus == XCB_INPUT_FOCUS_POINTER_ROOT || focus->focus == x_.root) {
    return XCB_NONE;
  }
  for (xcb_window_t w = focus->focus; w != XCB_NONE && w != x_.root;) {
    if (HasWmState(w)) {
      return w;
    }
    const xcb_window_t parent = Parent(w);
    if (parent == x_.root) {
      const xcb_window_t client = ClientBelow(w);
      return client != XCB_NONE ? client : w;
    }
    w = parent;
  }
  return XCB_NONE;
}

}  // namespace pentrax::x11

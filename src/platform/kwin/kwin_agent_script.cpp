#include "kwin_agent_script.h"

#include <nlohmann/json.hpp>

namespace pentrax {
namespace {

// Written for the scripting API of both Plasma 5.27 and Plasma 6: where the
// two differ (activeClient / activeWindow, clientList / windowList, the
// maximizeMode getter, Qt.rect), the agent looks for what this KWin offers.
// The client's part of a window is its clientGeometry where KWin has one
// (Plasma 6); 5.27 tells only a Wayland window's, as its buffer, and an X11
// window's X id, which says where its frame extents are.
// A quick-tiled window has a tile; the agent keeps the last tile it saw of
// each window, to tile it there again, and tells which quick tile it is
// (the edges of the maximise area its frame reaches: "Left",
// "TopRight"...), so
// that an agent of another process can tile it there through KWin's quick
// tile action.
// An answer of the agent carries the window it was asked about, described
// after the request has been carried out, or null when there is no such
// window.
constexpr char kAgentBody[] = R"js(
function activeWindow() {
  return workspace.activeWindow !== undefined ? workspace.activeWindow
                                              : workspace.activeClient;
}
function windows() {
  return typeof workspace.windowList === 'function' ? workspace.windowList()
                                                    : workspace.clientList();
}
function find(id) {
  var list = windows();
  for (var i = 0; i < list.length; ++i) {
    if (String(list[i].internalId) === id) return list[i];
  }
  return null;
}
function box(g) {
  return [Math.round(g.x), Math.round(g.y), Math.round(g.width),
          Math.round(g.height)];
}
var tiles = {};
function quickTile(w) {
  if (!w.tile) return '';
  var t = w.frameGeometry, a = workspace.clientArea(KWin.MaximizeArea, w);
  var near = function (p, q) { return Math.abs(p - q) < 8; };
  var l = near(t.x, a.x), r = near(t.x + t.width, a.x + a.width);
  var u = near(t.y, a.y), d = near(t.y + t.height, a.y + a.height);
  return (u && !d ? 'Top' : d && !u ? 'Bottom' : '') +
         (l && !r ? 'Left' : r && !l ? 'Right' : '');
}
function activate(w) {
  if (workspace.activeWindow !== undefined) workspace.activeWindow = w;
  else workspace.activeClient = w;
}
function describe(w) {
  if (!w) return null;
  if (w.tile) tiles[String(w.internalId)] = w.tile;
  return {id: String(w.internalId), caption: String(w.caption), pid: w.pid,
          resourceClass: String(w.resourceClass), frame: box(w.frameGeometry),
          client: w.clientGeometry ? box(w.clientGeometry)
                                   : w.windowId ? null : box(w.bufferGeometry),
          x11: w.windowId || 0,
          area: box(workspace.clientArea(KWin.MaximizeArea, w)),
          screen: box(workspace.clientArea(KWin.FullScreenArea, w)),
          minimized: !!w.minimized, fullScreen: !!w.fullScreen,
          tiled: !!w.tile, tile: quickTile(w),
          maximizeMode: typeof w.maximizeMode === 'number' ? w.maximizeMode
                                                           : -1};
}
function rect(r) {
  if (typeof Qt !== 'undefined' && Qt.rect) return Qt.rect(r[0], r[1], r[2], r[3]);
  return {x: r[0], y: r[1], width: r[2], height: r[3]};
}
function place(w, r, show, quick) {
  var tile = tiles[String(w.internalId)];
  if (w.fullScreen) w.fullScreen = false;
  if (w.minimized) w.minimized = false;
  if (w.tile) w.tile = null;
  w.setMaximize(false, false);
  w.frameGeometry = rect(r);
  if (show === 'maximized') w.setMaximize(true, true);
  else if (show === 'minimized') w.minimized = true;
  else if (show === 'fullscreen') w.fullScreen = true;
  else if (show === 'tiled' && tile) w.tile = tile;
  else if (show === 'tiled' && quick &&
           typeof workspace['slotWindowQuickTile' + quick] === 'function') {
    // KWin may still hold the quick tile the window left when it was last
    // sized, and take the first call for leaving it.
    var was = activeWindow(), output = String(w.output || w.screen);
    activate(w);
    workspace['slotWindowQuickTile' + quick]();
    if (!w.tile && String(w.output || w.screen) === output) {
      workspace['slotWindowQuickTile' + quick]();
    }
    if (was && was !== w) activate(was);
  }
}
// A bar of the layer shell whose namespace is not a panel's is a normal
// window to KWin, but one that neither moves nor resizes nor shows in the
// task bar.
function listed(w) {
  var bar = !w.moveable && !w.resizeable && w.skipTaskbar && !w.fullScreen;
  return (w.normalWindow || w.dialog) && !w.deleted && !bar;
}
function any(w) {
  return !w.deleted;
}
function carryOut(q) {
  if (q.op === 'active') return {window: describe(activeWindow())};
  if (q.op === 'list') {
    return {windows: windows().filter(q.all ? any : listed).sort(function (a, b) {
      return a.stackingOrder - b.stackingOrder;
    }).map(function (w) { return String(w.internalId); })};
  }
  if (q.op === 'area') {
    var of = function (option) {
      return box(workspace.clientArea(option, workspace.activeScreen,
                                      workspace.currentDesktop));
    };
    return {area: of(KWin.MaximizeArea), screen: of(KWin.FullScreenArea)};
  }
  var w = find(q.id);
  if (w && q.op === 'place') place(w, q.rect, q.show, q.tile);
  return {window: describe(w)};
}
function ask(answer) {
  callDBus(SERVICE, PATH, INTERFACE, 'next', AGENT, answer, function (text) {
    var answer;
    try {
      var q = JSON.parse(text);
      if (q.op === 'stop') return;
      answer = JSON.stringify(carryOut(q));
    } catch (e) {
      answer = JSON.stringify({error: String(e)});
    }
    ask(answer);
  });
}
ask('{}');
)js";

}  // namespace

std::string AgentScript(const AgentAddress& address) {
  // JSON strings are JavaScript string literals.
  using nlohmann::json;
  return "var SERVICE = " + json(address.service).dump() +
         ";\nvar PATH = " + json(address.path).dump() +
         ";\nvar INTERFACE = " + json(address.interface).dump() +
         ";\nvar AGENT = " + json(address.agent).dump() + ";\n" + kAgentBody;
}

}  // namespace pentrax

// The D-Bus object through which Pentrax reads and places the windows of this
// session: the foreground window, the windows it may act on, one window's
// frame, title, state, client rectangle, monitor and the work area of that
// monitor (and the primary monitor's, for no window), and placing a window
// (rectangle, then state), answered once the window has taken its new frame.
//
// Shared by both forms of the extension: the build puts it between the
// imports of one form and the class that enables it (legacy.js.in for GNOME
// Shell 43 and 44, module.js.in for 45 and later), which provide Gio, GLib
// and Meta, and writes in the programs that may call (PENTRAX_CALLERS).
//
// Only Pentrax may call: a call is answered when the process that sent it
// (the bus tells its process id) runs one of those programs, the same file
// as its /proc/PID/exe by device and inode, whether Pentrax is running or
// not, and whatever names it owns on the bus. Any other program of the
// session is refused with AccessDenied and nothing happens. A call that
// fails here is answered with dev.pentrax.Shell1.Error.Failed and the
// error, never left without an answer.
//
// Windows are named by their stable sequence number, which the shell never
// gives to another window. Only ordinary and dialog windows of client
// programs are offered: never override-redirect windows, menus, docks or the
// shell's own windows. Every argument is checked; nothing else can be called.

const PENTRAX_OBJECT_PATH = '/dev/pentrax/Shell';
const PENTRAX_ERROR_NO_WINDOW = 'dev.pentrax.Shell1.Error.NoSuchWindow';
const PENTRAX_ERROR_INVALID = 'org.freedesktop.DBus.Error.InvalidArgs';
const PENTRAX_ERROR_DENIED = 'org.freedesktop.DBus.Error.AccessDenied';
const PENTRAX_ERROR_FAILED = 'dev.pentrax.Shell1.Error.Failed';
// The paths of the pentrax2 this copy was installed with (or, in a build
// folder, of the build's programs that use it).
const PENTRAX_CALLERS = @PENTRAX_CALLERS@;
// How many callers found to be Pentrax are remembered by their unique bus
// name (never given to another connection while the bus runs).
const PENTRAX_CALLERS_KEPT = 16;

const PENTRAX_INTERFACE = `<node>
  <interface name="dev.pentrax.Shell1">
    <method name="GetForegroundWindow">
      <arg name="window" type="u" direction="out"/>
      <arg name="pid" type="i" direction="out"/>
    </method>
    <method name="GetWindow">
      <arg name="window" type="u" direction="in"/>
      <arg name="x" type="i" direction="out"/>
      <arg name="y" type="i" direction="out"/>
      <arg name="width" type="i" direction="out"/>
      <arg name="height" type="i" direction="out"/>
      <arg name="state" type="u" direction="out"/>
      <arg name="work_x" type="i" direction="out"/>
      <arg name="work_y" type="i" direction="out"/>
      <arg name="work_width" type="i" direction="out"/>
      <arg name="work_height" type="i" direction="out"/>
      <arg name="pid" type="i" direction="out"/>
      <arg name="wm_class" type="s" direction="out"/>
      <arg name="title" type="s" direction="out"/>
      <arg name="client_x" type="i" direction="out"/>
      <arg name="client_y" type="i" direction="out"/>
      <arg name="client_width" type="i" direction="out"/>
      <arg name="client_height" type="i" direction="out"/>
      <arg name="monitor_x" type="i" direction="out"/>
      <arg name="monitor_y" type="i" direction="out"/>
      <arg name="monitor_width" type="i" direction="out"/>
      <arg name="monitor_height" type="i" direction="out"/>
    </method>
    <method name="GetPrimaryMonitor">
      <arg name="work_x" type="i" direction="out"/>
      <arg name="work_y" type="i" direction="out"/>
      <arg name="work_width" type="i" direction="out"/>
      <arg name="work_height" type="i" direction="out"/>
      <arg name="monitor_x" type="i" direction="out"/>
      <arg name="monitor_y" type="i" direction="out"/>
      <arg name="monitor_width" type="i" direction="out"/>
      <arg name="monitor_height" type="i" direction="out"/>
    </method>
    <method name="ListWindows">
      <arg name="windows" type="au" direction="out"/>
    </method>
    <method name="SetPlacement">
      <arg name="window" type="u" direction="in"/>
      <arg name="state" type="u" direction="in"/>
      <arg name="x" type="i" direction="in"/>
      <arg name="y" type="i" direction="in"/>
      <arg name="width" type="i" direction="in"/>
      <arg name="height" type="i" direction="in"/>
      <arg name="settled" type="b" direction="out"/>
    </method>
  </interface>
</node>`;

// Window states on the wire.
const PentraxState = {NORMAL: 0, MAXIMIZED: 1, MINIMIZED: 2, FULLSCREEN: 3};

// How long one step of a placement may take the client, and how long the
// frame must stay unchanged after a change that is not the asked one (a
// client that takes only what its size limits allow).
const PENTRAX_STEP_DEADLINE_MS = 1000;
const PENTRAX_QUIET_MS = 150;
const PENTRAX_COORDINATE_LIMIT = 32767;

const PENTRAX_WINDOW_TYPES = [
    Meta.WindowType.NORMAL,
    Meta.WindowType.DIALOG,
    Meta.WindowType.MODAL_DIALOG,
];

function pentraxRect(r) {
    return [r.x, r.y, r.width, r.height];
}

function pentraxSameRect(a, b) {
    return a.every((v, i) => v === b[i]);
}

// The file at the end of a path, all links followed: "device:inode", or null
// when it cannot be read.
function pentraxFileId(path) {
    try {
        const info = Gio.File.new_for_path(path).query_info(
            'unix::device,unix::inode', Gio.FileQueryInfoFlags.NONE, null);
        return `${info.get_attribute_uint32('unix::device')}:` +
            `${info.get_attribute_uint64('unix::inode')}`;
    } catch (e) {
        return null;
    }
}

// Whether the process runs one of PENTRAX_CALLERS. The paths are looked at
// now, so that a program replaced at its path (an upgrade) is known by its
// new file.
function pentraxIsCaller(pid) {
    const exe = pentraxFileId(`/proc/${pid}/exe`);
    return exe !== null && PENTRAX_CALLERS.some(p => pentraxFileId(p) === exe);
}

// Answers a call that failed here with the error, and leaves it in the
// shell's log.
function pentraxFail(invocation, error) {
    logError(error, 'Pentrax');
    invocation.return_dbus_error(PENTRAX_ERROR_FAILED, `${error}`);
}

function pentraxState(w) {
    if (w.minimized)
        return PentraxState.MINIMIZED;
    if (w.is_fullscreen())
        return PentraxState.FULLSCREEN;
    if (w.maximized_horizontally && w.maximized_vertically)
        return PentraxState.MAXIMIZED;
    return PentraxState.NORMAL;
}

// Maximises or unmaximises in both directions. Up to mutter 48 the methods
// take the directions; from 49 on they take nothing and act on both (an
// introspected method's length is its number of arguments).
function pentraxMaximize(w, maximize) {
    const method = maximize ? w.maximize : w.unmaximize;
    if (method.length > 0)
        method.call(w, Meta.MaximizeFlags.BOTH);
    else
        method.call(w);
}

// Waits until the window's frame is accepted, stays unchanged for a quiet
// spell after the window has taken another size than it had, or the
// deadline passes; then calls done with true (accepted), false (quiet or
// deadline) or null (the window went away). A move alone, or a new state,
// starts no quiet spell: the window's answer with its new size may come
// well after them (an X client that has to draw first).
class PentraxFrameWait {
    constructor(window, accept, done) {
        this._window = window;
        this._accept = accept;
        this._done = done;
        this._quietId = 0;
    }

    start() {
        const window = this._window;
        this._size = pentraxRect(window.get_frame_rect()).slice(2);
        this._signals = ['size-changed', 'position-changed',
            'notify::maximized-horizontally', 'notify::maximized-vertically',
            'notify::fullscreen', 'notify::minimized']
            .map(name => window.connect(name, () => this._changed()));
        this._unmanagedId = window.connect('unmanaged', () => this.finish(null));
        this._deadlineId = GLib.timeout_add(GLib.PRIORITY_DEFAULT,
            PENTRAX_STEP_DEADLINE_MS, () => {
                this._deadlineId = 0;
                this.finish(false);
                return GLib.SOURCE_REMOVE;
            });
        if (this._accept(window))
            this.finish(true);
    }

    _changed() {
        if (this._accept(this._window)) {
            this.finish(true);
            return;
        }
        const size = pentraxRect(this._window.get_frame_rect()).slice(2);
        if (pentraxSameRect(size, this._size))
            return;
        if (this._quietId)
            GLib.source_remove(this._quietId);
        this._quietId = GLib.timeout_add(GLib.PRIORITY_DEFAULT,
            PENTRAX_QUIET_MS, () => {
                this._quietId = 0;
                this.finish(false);
                return GLib.SOURCE_REMOVE;
            });
    }

    finish(result) {
        if (!this._done)
            return;
        for (const id of this._signals)
            this._window.disconnect(id);
        this._window.disconnect(this._unmanagedId);
        if (this._quietId)
            GLib.source_remove(this._quietId);
        if (this._deadlineId)
            GLib.source_remove(this._deadlineId);
        const done = this._done;
        this._done = null;
        done(result);
    }
}

class PentraxShell {
    constructor() {
        this._ownPid = new Gio.Credentials().get_unix_pid();
        this._waits = new Set();
        this._active = false;
        this._callers = new Set();  // unique names of callers found to be Pentrax
        this._exported = Gio.DBusExportedObject.wrapJSObject(
            PENTRAX_INTERFACE, this);
    }

    export() {
        this._exported.export(Gio.DBus.session, PENTRAX_OBJECT_PATH);
        this._active = true;
    }

    // Runs the call when its sender is Pentrax (a sender not yet known is
    // looked up on the bus first), and answers it with the error when it
    // fails.
    _fromPentrax(invocation, call) {
        const sender = invocation.get_sender();
        const run = () => {
            try {
                call();
            } catch (e) {
                pentraxFail(invocation, e);
            }
        };
        if (sender !== null && this._callers.has(sender)) {
            run();
            return;
        }
        Gio.DBus.session.call('org.freedesktop.DBus', '/org/freedesktop/DBus',
            'org.freedesktop.DBus', 'GetConnectionUnixProcessID',
            new GLib.Variant('(s)', [sender ?? '']),
            new GLib.VariantType('(u)'), Gio.DBusCallFlags.NONE, -1, null,
            (connection, result) => {
                let pid = 0;
                try {
                    [pid] = connection.call_finish(result).deepUnpack();
                } catch (e) {
                    pid = 0;  // gone, or not a process of this machine
                }
                if (!this._active || sender === null || pid <= 0 ||
                    !pentraxIsCaller(pid)) {
                    invocation.return_dbus_error(PENTRAX_ERROR_DENIED,
                        'only Pentrax may call this');
                    return;
                }
                this._callers.add(sender);
                if (this._callers.size > PENTRAX_CALLERS_KEPT)
                    this._callers.delete(this._callers.values().next().value);
                run();
            });
    }

    // Answers the placements still waiting, as they stand, and starts no
    // further step.
    unexport() {
        this._active = false;
        for (const wait of [...this._waits])
            wait.finish(false);
        this._exported.unexport();
        this._callers.clear();
    }

    _actionable(w) {
        return w !== null && !w.is_override_redirect() &&
            PENTRAX_WINDOW_TYPES.includes(w.get_window_type()) &&
            w.get_pid() !== this._ownPid;
    }

    _find(id) {
        return global.display.list_all_windows().find(
            w => w.get_stable_sequence() === id && this._actionable(w)) ?? null;
    }

    GetForegroundWindowAsync(params, invocation) {
        this._fromPentrax(invocation, () => this._foreground(invocation));
    }

    GetWindowAsync(params, invocation) {
        this._fromPentrax(invocation, () => this._describe(params, invocation));
    }

    GetPrimaryMonitorAsync(params, invocation) {
        this._fromPentrax(invocation, () => {
            const primary = global.display.get_primary_monitor();
            invocation.return_value(new GLib.Variant('(iiiiiiii)', [
                ...pentraxRect(global.workspace_manager.get_active_workspace()
                    .get_work_area_for_monitor(primary)),
                ...pentraxRect(global.display.get_monitor_geometry(primary))]));
        });
    }

    ListWindowsAsync(params, invocation) {
        this._fromPentrax(invocation, () => invocation.return_value(
            new GLib.Variant('(au)', [global.display.sort_windows_by_stacking(
                global.display.list_all_windows()
                    .filter(w => this._actionable(w)))
                .map(w => w.get_stable_sequence())])));
    }

    SetPlacementAsync(params, invocation) {
        this._fromPentrax(invocation, () => this._place(params, invocation));
    }

    _foreground(invocation) {
        const w = global.display.get_focus_window();
        const ok = this._actionable(w);
        invocation.return_value(new GLib.Variant('(ui)',
            [ok ? w.get_stable_sequence() : 0, ok ? w.get_pid() : -1]));
    }

    _describe([id], invocation) {
        const w = this._find(id);
        if (!w) {
            invocation.return_dbus_error(PENTRAX_ERROR_NO_WINDOW, `no window ${id}`);
            return;
        }
        const frame = w.get_frame_rect();
        invocation.return_value(new GLib.Variant('(iiiiuiiiiissiiiiiiii)', [
            ...pentraxRect(frame), pentraxState(w),
            ...pentraxRect(w.get_work_area_current_monitor()),
            w.get_pid(), w.get_wm_class() ?? '', w.get_title() ?? '',
            ...pentraxRect(w.frame_rect_to_client_rect(frame)),
            ...pentraxRect(global.display.get_monitor_geometry(
                w.get_monitor()))]));
    }

    // Leaves maximised, fullscreen and minimised, gives the window the
    // rectangle (frame included, stage coordinates), waits until it has
    // taken it, then puts it into the asked state and waits for that.
    _place([id, state, x, y, width, height], invocation) {
        const limit = PENTRAX_COORDINATE_LIMIT;
        if (!Object.values(PentraxState).includes(state) ||
            [x, y].some(v => v < -limit || v > limit) ||
            [width, height].some(v => v < 1 || v > limit)) {
            invocation.return_dbus_error(PENTRAX_ERROR_INVALID, 'placement out of range');
            return;
        }
        const w = this._find(id);
        if (!w) {
            invocation.return_dbus_error(PENTRAX_ERROR_NO_WINDOW, `no window ${id}`);
            return;
        }
        const target = [x, y, width, height];
        const reply = settled => {
            if (settled === null)
                invocation.return_dbus_error(PENTRAX_ERROR_NO_WINDOW, `window ${id} went away`);
            else
                invocation.return_value(new GLib.Variant('(b)', [settled]));
        };
        if (w.is_fullscreen())
            w.unmake_fullscreen();
        if (w.maximized_horizontally || w.maximized_vertically)
            pentraxMaximize(w, false);
        if (w.minimized)
            w.unminimize();
        w.move_resize_frame(true, x, y, width, height);
        this._wait(w, v => pentraxSameRect(pentraxRect(v.get_frame_rect()), target),
            settled => {
                if (settled === null || state === PentraxState.NORMAL ||
                    !this._active) {
                    reply(settled);
                    return;
                }
                try {
                    this._setState(w, state, reply);
                } catch (e) {
                    pentraxFail(invocation, e);
                }
            });
    }

    // Puts the window into the state, and calls done once the state is set
    // and the frame has followed it (a minimised window's need not).
    _setState(w, state, done) {
        if (state === PentraxState.MAXIMIZED)
            pentraxMaximize(w, true);
        else if (state === PentraxState.FULLSCREEN)
            w.make_fullscreen();
        else
            w.minimize();
        const before = pentraxRect(w.get_frame_rect());
        this._wait(w, v => {
            const frame = pentraxRect(v.get_frame_rect());
            return pentraxState(v) === state &&
                (state === PentraxState.MINIMIZED ||
                 !pentraxSameRect(frame, before) ||
                 pentraxSameRect(frame,
                     pentraxRect(v.get_work_area_current_monitor())));
        }, done);
    }

    _wait(w, accept, done) {
        const wait = new PentraxFrameWait(w, accept, result => {
            this._waits.delete(wait);
            done(result);
        });
        this._waits.add(wait);
        wait.start();
    }
}

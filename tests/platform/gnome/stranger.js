// Another program of the session than Pentrax (gjs): it takes the bus name a
// caller of Pentrax's GNOME extension could once own, lets nobody take it
// back, and asks the extension for the window in front and to place the
// window it is given. It prints RequestName's answer (1: it has the name)
// and each call's (the error's last name, or "answered"), then stays until
// it is ended.
//   gjs stranger.js WINDOW
const {Gio, GLib} = imports.gi;

const call = (dest, path, iface, method, args) => Gio.DBus.session.call_sync(
    dest, path, iface, method, args, null, Gio.DBusCallFlags.NONE, 5000, null);
const [owner] = call('org.freedesktop.DBus', '/org/freedesktop/DBus',
    'org.freedesktop.DBus', 'RequestName',
    new GLib.Variant('(su)', ['dev.pentrax.Pentrax2', 6])).deepUnpack();
const answers = [
    ['GetForegroundWindow', null],
    ['SetPlacement', new GLib.Variant('(uuiiii)', [Number(ARGV[0]), 0, 10, 10, 300, 200])],
].map(([method, args]) => {
    try {
        call('org.gnome.Shell', '/dev/pentrax/Shell', 'dev.pentrax.Shell1',
            method, args);
        return 'answered';
    } catch (e) {
        return Gio.DBusError.get_remote_error(e).split('.').pop();
    }
});
print([owner, ...answers].join(' '));
new GLib.MainLoop(null, false).run();

// Loads the ES-module form of Pentrax's GNOME Shell extension (GNOME 45 and
// later) outside the shell, which cannot run here: with a stand-in for the
// shell's Extension base class, it must import, and its default export must
// be an extension class with enable() and disable(); its metadata must name
// only shells that load modules.
//   GI_TYPELIB_PATH=<mutter's typelibs> gjs -m load_module.js EXTENSION_DIR
import Gio from 'gi://Gio';
import GLib from 'gi://GLib';
import System from 'system';

const [dir] = ARGV;
const read = name => new TextDecoder().decode(
    Gio.File.new_for_path(`${dir}/${name}`).load_contents(null)[1]);
const fail = message => {
    printerr(`${dir}: ${message}`);
    System.exit(1);
};

const shellBase = 'resource:///org/gnome/shell/extensions/extension.js';
const source = read('extension.js');
if (!source.includes(`from '${shellBase}'`))
    fail('does not import the shell\'s Extension class');
const tmp = GLib.dir_make_tmp('pentrax-module-XXXXXX');
const write = (name, text) => GLib.file_set_contents(`${tmp}/${name}`, text);
write('base.js', 'export class Extension { constructor(m) { this.metadata = m; } }\n');
write('extension.js', source.replace(shellBase, `file://${tmp}/base.js`));
try {
    const {default: PentraxExtension} = await import(`file://${tmp}/extension.js`);
    const extension = new PentraxExtension({uuid: 'pentrax@pentrax.dev'});
    if (typeof extension.enable !== 'function' || typeof extension.disable !== 'function')
        fail('the default export has no enable() and disable()');
} finally {
    for (const name of ['base.js', 'extension.js'])
        GLib.unlink(`${tmp}/${name}`);
    GLib.rmdir(tmp);
}
const metadata = JSON.parse(read('metadata.json'));
if (metadata.uuid !== 'pentrax@pentrax.dev' ||
    !metadata['shell-version'].length ||
    metadata['shell-version'].some(v => parseInt(v) < 45))
    fail(`metadata: ${JSON.stringify(metadata)}`);
print(`${dir}: loads as an ES module, for GNOME Shell ${metadata['shell-version'].join(', ')}`);

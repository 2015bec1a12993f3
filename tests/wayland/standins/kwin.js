// A stand-in for KWin's scripting over D-Bus, for tests on a private session bus: gjs -m kwin.js [--api 5|6]
//
// It owns org.kde.KWin, exports /Scripting (org.kde.kwin.Scripting) and an org.kde.kwin.Script object
// per loaded script, and runs a script the way KWin does: one evaluation against a `workspace` whose
// windows the test drives, with callDBus and print. What a test could notice is KWin 5.27.5's
// behaviour as measured on Debian 12 (docs/desktop-shells.md):
//   - loadScript returns the number of scripts loaded so far as the id, -1 when the name is loaded;
//     the script's object is at /ID (--api 5) or /Scripting/ScriptID (--api 6);
//   - run() answers once the script has been evaluated (its first calls are sent by then), does
//     nothing when it has run; a file that cannot be read fails with org.kde.kwin.Scripting.FileError
//     and the script is gone; a script that throws is gone too, yet run() answers without error;
//   - stop() and unloadScript drop the script: its handlers are disconnected, it sends nothing more;
//   - callDBus leaves out undefined arguments, sends a whole number that fits 32 bits as 'i', any
//     other number as 'd', booleans as 'b', strings as 's'; an object (internalId itself, a QUuid in
//     KWin) cannot be sent and the call is dropped;
//   - a window's internalId reads as "{ID}"; X11 windows have windowId, native ones none; the
//     active window passes through none (clientActivated(null)) whenever it changes to another;
//     when it closes, the window in front before it (if one is open) comes in front, then it is gone.
// A run() at a path no script has fails, though with GDBus's error name, not Qt's UnknownObject.
//
// Driven by lines on stdin, fields separated by TABs:
//   window ID TITLE PROGRAM PID X11 [FRONT]
//                                     add a normal window (X11 1 or 0), or change an existing one;
//                                     FRONT 1: a new window comes in front as KWin brings it, a
//                                     native one activated before it is announced, an X11 one after
//   special ID TITLE                  add a panel-like window scripts must not list
//   close ID | activate ID | activate | quit
// It prints "ready" once it owns the name, then a line per request it answers:
// "loadScript PATH NAME ID", "run ID", "unloadScript NAME", "isScriptLoaded NAME", "stop ID".

import Gio from 'gi://Gio';
import GLib from 'gi://GLib';
import System from 'system';

const args = System.programArgs;
const api = args.includes('--api') ? args[args.indexOf('--api') + 1] : '5';
if (api !== '5' && api !== '6') {
    printerr('kwin stand-in: --api must be 5 or 6');
    System.exit(2);
}
const names = api === '5'
    ? {list: 'clientList', added: 'clientAdded', removed: 'clientRemoved', activated: 'clientActivated', active: 'activeClient', x11Class: 'KWin::XwaylandWindow'}
    : {list: 'windowList', added: 'windowAdded', removed: 'windowRemoved', activated: 'windowActivated', active: 'activeWindow', x11Class: 'KWin::X11Window'};

const say = line => print(line); // gjs flushes stdout at every print

const bus = Gio.bus_get_sync(Gio.BusType.SESSION, null);

// The desktop the test describes.
const windows = new Map(); // id -> {id, title, program, pid, x11, special, serial}
let active = null;
let serial = 0;
let recent = []; // windows that have been in front, the latest first (KWin's focus chain)

// Loaded scripts in load order: {id, name, path, exported, running, handlers, proxies}.
let scripts = [];

function emit(signal, ...values) {
    for (const script of scripts.slice()) {
        if (script.running) {
            script.emit(signal, values);
        }
    }
}

// What KWin's QJSValue::toVariant makes of a script's value, as a D-Bus type and value.
function marshal(value) {
    switch (typeof value) {
    case 'boolean': return ['b', value];
    case 'string': return ['s', value];
    case 'number':
        if (Number.isInteger(value) && value >= -2147483648 && value <= 2147483647 && !Object.is(value, -0)) {
            return ['i', value];
        }
        return ['d', value];
    default: return null;
    }
}

function makeCallDBus(script) {
    return function callDBus(service, path, iface, method, ...rest) {
        if (!script.running) {
            return;
        }
        rest = rest.filter(v => v !== undefined);
        const callback = rest.length > 0 && typeof rest[rest.length - 1] === 'function' ? rest.pop() : null;
        const types = [], values = [];
        for (const value of rest) {
            const m = marshal(value);
            if (!m) {
                printerr(`kwin stand-in: ${method}: an argument of type ${typeof value} cannot be sent; call dropped`);
                return;
            }
            types.push(m[0]);
            values.push(m[1]);
        }
        const parameters = new GLib.Variant(`(${types.join('')})`, values);
        bus.call(service, path, iface, method, parameters, null, Gio.DBusCallFlags.NONE, -1, null, (conn, result) => {
            let reply;
            try {
                reply = conn.call_finish(result);
            } catch (e) {
                if (callback) {
                    printerr(`kwin stand-in: Received D-Bus message is error: ${e.message}`);
                }
                return;
            }
            if (callback && script.running) {
                callback(...reply.deepUnpack());
            }
        });
    };
}

// One script's view: its own proxies (so a window is the same object every time it sees it) and its
// own connections, which go when the script does.
class Script {
    constructor(id, path, name) {
        Object.assign(this, {id, path, name, running: false, handlers: new Map(), proxies: new Map()});
        this.objectPath = api === '5' ? `/${id}` : `/Scripting/Script${id}`;
    }

    signal(key) {
        return {
            connect: fn => {
                if (!this.handlers.has(key)) {
                    this.handlers.set(key, []);
                }
                this.handlers.get(key).push(fn);
            },
            disconnect: fn => {
                const list = this.handlers.get(key) || [];
                const at = list.indexOf(fn);
                if (at >= 0) {
                    list.splice(at, 1);
                }
            },
        };
    }

    emit(key, values) {
        for (const fn of (this.handlers.get(key) || []).slice()) {
            if (!this.running) {
                return;
            }
            try {
                fn(...values.map(v => (v && v.serial !== undefined ? this.proxy(v) : v)));
            } catch (e) {
                printerr(`kwin stand-in: ${this.path}: error: ${e.message}`);
            }
        }
    }

    proxy(w) {
        if (!this.proxies.has(w.serial)) {
            const p = {
                get caption() { return w.title; },
                get resourceClass() { return w.program; },
                get resourceName() { return w.program; },
                get pid() { return w.pid; },
                internalId: {toString: () => `{${w.id}}`},
                normalWindow: !w.special,
                dialog: false,
                specialWindow: w.special,
                dock: w.special,
                desktopWindow: false,
                managed: true,
                captionChanged: this.signal(`caption:${w.serial}`),
                windowClassChanged: this.signal(`class:${w.serial}`),
                toString: () => `${w.x11 ? names.x11Class : 'KWin::XdgToplevelWindow'}(0x${(0x5590a9000000 + w.serial * 0x100).toString(16)})`,
            };
            // Only 5.27 was seen to have windowId; a KWin 6 script is left the class name alone.
            if (w.x11 && api === '5') {
                p.windowId = 0x400000 + w.serial * 0x200000;
            }
            this.proxies.set(w.serial, p);
        }
        return this.proxies.get(w.serial);
    }

    workspace() {
        const ws = {};
        ws[names.list] = () => [...windows.values()].map(w => this.proxy(w));
        Object.defineProperty(ws, names.active, {get: () => (active ? this.proxy(active) : null)});
        for (const key of ['added', 'removed', 'activated']) {
            ws[names[key]] = this.signal(key);
        }
        return ws;
    }

    // Evaluates the file; false when it cannot be read.
    run() {
        let source;
        try {
            source = new TextDecoder().decode(GLib.file_get_contents(this.path)[1]);
        } catch (e) {
            return false;
        }
        this.running = true;
        try {
            const body = new Function('workspace', 'callDBus', 'print', 'readConfig', source);
            body(this.workspace(), makeCallDBus(this),
                (...values) => printerr(`script ${this.name}: ${values.join(' ')}`),
                (key, fallback) => fallback);
        } catch (e) {
            // The body starts on the third line of the function new Function makes.
            printerr(`kwin stand-in: ${this.path}:${Math.max(1, (e.lineNumber || 0) - 2)}: error: ${e.message}`);
            drop(this);
        }
        return true;
    }
}

function drop(script) {
    script.running = false;
    script.handlers.clear();
    if (script.exported) {
        script.exported.unexport();
        script.exported = null;
    }
    scripts = scripts.filter(s => s !== script);
}

const scriptXml = `<node><interface name="org.kde.kwin.Script">
  <method name="run"/><method name="stop"/></interface></node>`;

function exportScript(script) {
    const object = Gio.DBusExportedObject.wrapJSObject(scriptXml, {
        runAsync(params, invocation) {
            if (script.running) {
                invocation.return_value(null);
            } else if (!script.run()) {
                drop(script);
                invocation.return_dbus_error('org.kde.kwin.Scripting.FileError', `Could not open ${script.path}`);
            } else {
                invocation.return_value(null);
            }
            say(`run ${script.id}`);
        },
        stop() {
            say(`stop ${script.id}`);
            drop(script);
        },
    });
    try {
        object.export(bus, script.objectPath);
        script.exported = object;
    } catch (e) {
        // KWin reuses an id still held by a later script: its object stays where it was.
        printerr(`kwin stand-in: ${script.objectPath} is taken: ${e.message}`);
    }
}

const scriptingXml = `<node><interface name="org.kde.kwin.Scripting">
  <method name="loadScript"><arg type="s" direction="in"/><arg type="s" direction="in"/><arg type="i" direction="out"/></method>
  <method name="unloadScript"><arg type="s" direction="in"/><arg type="b" direction="out"/></method>
  <method name="isScriptLoaded"><arg type="s" direction="in"/><arg type="b" direction="out"/></method>
  <method name="start"/></interface></node>`;

const scripting = Gio.DBusExportedObject.wrapJSObject(scriptingXml, {
    loadScript(path, name) {
        let id = -1;
        if (!scripts.some(s => s.name === name)) {
            id = scripts.length;
            const script = new Script(id, path, name);
            scripts.push(script);
            exportScript(script);
        }
        say(`loadScript ${path} ${name} ${id}`);
        return id;
    },
    unloadScript(name) {
        const script = scripts.find(s => s.name === name);
        if (script) {
            drop(script);
        }
        say(`unloadScript ${name}`);
        return !!script;
    },
    isScriptLoaded(name) {
        say(`isScriptLoaded ${name}`);
        return scripts.some(s => s.name === name);
    },
    start() {},
});
scripting.export(bus, '/Scripting');

function setActive(w) {
    if (w === active) {
        return;
    }
    if (active) {
        active = null;
        emit('activated', null);
    }
    if (w) {
        active = w;
        recent = [w, ...recent.filter(r => r !== w)];
        emit('activated', w);
    }
}

function command(line) {
    const f = line.split('\t');
    switch (f[0]) {
    case 'window': {
        const [, id, title = '', program = '', pid = '0', x11 = '0', front = '0'] = f;
        const old = windows.get(id);
        if (old) {
            const captionChanged = old.title !== title, classChanged = old.program !== program;
            Object.assign(old, {title, program, pid: Number(pid)});
            if (captionChanged) {
                emit(`caption:${old.serial}`);
            }
            if (classChanged) {
                emit(`class:${old.serial}`);
            }
        } else {
            const w = {id, title, program, pid: Number(pid), x11: x11 === '1', special: false, serial: ++serial};
            windows.set(id, w);
            if (front === '1' && !w.x11) {
                setActive(w);
            }
            emit('added', w);
            if (front === '1' && w.x11) {
                setActive(w);
            }
        }
        break;
    }
    case 'special': {
        const w = {id: f[1], title: f[2] || '', program: 'plasmashell', pid: 0, x11: false, special: true, serial: ++serial};
        windows.set(w.id, w);
        emit('added', w);
        break;
    }
    case 'close': {
        const w = windows.get(f[1]);
        if (!w) {
            printerr(`kwin stand-in: no window ${f[1]}`);
            break;
        }
        windows.delete(w.id);
        recent = recent.filter(r => r !== w);
        if (w === active) {
            setActive(null);
            setActive(recent.find(r => !r.special) || null);
        }
        emit('removed', w);
        break;
    }
    case 'activate':
        if (f.length > 1 && f[1] !== '' && !windows.has(f[1])) {
            printerr(`kwin stand-in: no window ${f[1]}`);
            break;
        }
        setActive(f.length > 1 && f[1] !== '' ? windows.get(f[1]) : null);
        break;
    case 'quit':
        loop.quit();
        break;
    case '':
        break;
    default:
        printerr(`kwin stand-in: unknown command: ${line}`);
    }
}

const loop = new GLib.MainLoop(null, false);
const input = new Gio.DataInputStream({base_stream: new Gio.UnixInputStream({fd: 0, close_fd: false})});
function readLine() {
    input.read_line_async(GLib.PRIORITY_DEFAULT, null, (stream, result) => {
        const [bytes] = stream.read_line_finish_utf8(result);
        if (bytes === null) {
            loop.quit();
            return;
        }
        command(bytes);
        readLine();
    });
}

Gio.bus_own_name_on_connection(bus, 'org.kde.KWin', Gio.BusNameOwnerFlags.DO_NOT_QUEUE,
    () => {
        say('ready');
        readLine();
    },
    () => {
        printerr('kwin stand-in: cannot own org.kde.KWin');
        loop.quit();
    });
loop.run();

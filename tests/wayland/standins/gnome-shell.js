// A stand-in for GNOME Shell: owns org.gnome.Shell on the session bus and runs the real windows.js of
// Vornik's extension over a display of made-up windows, driven by lines on stdin (fields split by TABs):
//   window ID TITLE PROGRAM PID X11   add a window (X11: 1 or 0), or give an existing one a new title
//   dialog ID TITLE PROGRAM PID X11   add a modal dialog with a parent (kept off the task bar, as Mutter
//                                     keeps every one)
//   special ID TITLE [skip-taskbar]   a window that must not be listed: a dock, or a normal one kept
//                                     off the task bar
//   close ID | activate ID | activate | enable | disable | quit
//   begin ... end                     the lines between are applied together, in one main-loop turn
//   handlers                          prints how many signal handlers the extension has connected
// Prints "ready" once org.gnome.Shell (and, unless --disabled, the extension's name) is owned, then
// "ok" for every line once it is applied and told (after "enable": once the extension's name is owned).
// Usage: gjs -m gnome-shell.js [--disabled]
import Gio from 'gi://Gio';
import GLib from 'gi://GLib';

import {BUS_NAME, ShellWindows} from '../../../platform/wayland/shells/gnome/windows@vornik.github.io/windows.js';

// Meta.WindowType and Meta.WindowClientType as Mutter numbers them.
const NORMAL = 0, DOCK = 2, DIALOG = 3, MODAL_DIALOG = 4;
const WAYLAND = 0, X11 = 1;

class Emitter {
    constructor() {
        this._handlers = new Map();
        this._nextId = 1;
    }

    connect(signal, callback) {
        const id = this._nextId++;
        this._handlers.set(id, {signal, callback});
        return id;
    }

    disconnect(id) {
        if (!this._handlers.delete(id))
            throw new Error(`no handler ${id} to disconnect`);
    }

    emit(signal, ...args) {
        for (const {signal: s, callback} of [...this._handlers.values()]) {
            if (s === signal)
                callback(this, ...args);
        }
    }

    get handlerCount() {
        return this._handlers.size;
    }
}

class FakeWindow extends Emitter {
    constructor(id, title, program, pid, x11, type = NORMAL, skipTaskbar = false) {
        super();
        Object.assign(this, {id, title, program, pid, x11, type, skipTaskbar});
    }

    get_id() { return this.id; }
    get_title() { return this.title; }
    get_wm_class() { return this.program; }
    get_gtk_application_id() { return null; }
    get_sandboxed_app_id() { return null; }
    get_pid() { return this.pid; }
    get_client_type() { return this.x11 ? X11 : WAYLAND; }
    get_window_type() { return this.type; }
    is_skip_taskbar() { return this.skipTaskbar; }
    is_override_redirect() { return false; }

    setTitle(title) {
        if (title === this.title)
            return;
        this.title = title;
        this.emit('notify::title');
    }
}

class FakeDisplay extends Emitter {
    constructor() {
        super();
        this.windows = new Map();
        this.focus_window = null;
    }

    add(window) {
        this.windows.set(window.id, window);
        this.emit('window-created', window);
    }

    close(id) {
        const window = this.windows.get(id);
        if (!window)
            return;
        this.windows.delete(id);
        if (this.focus_window === window)
            this.focus(null);
        window.emit('unmanaged');
    }

    focus(window) {
        this.focus_window = window;
        this.emit('notify::focus-window');
    }
}

const startEnabled = !ARGV.includes('--disabled');

const loop = new GLib.MainLoop(null, false);
const bus = Gio.DBus.session;
const display = new FakeDisplay();
let service = null;
let serviceOwned = false;
let whenOwned = null; // what to do once the extension's name is owned

function enable() {
    if (service)
        return;
    service = new ShellWindows({
        display,
        listWindows: () => [...display.windows.values()],
        normalType: NORMAL,
        dialogTypes: [DIALOG, MODAL_DIALOG],
        x11ClientType: X11,
        connection: bus,
    });
    service.start();
}

function disable() {
    service?.stop();
    service = null;
    serviceOwned = false; // the name is released already; the watcher hears of it later
}

function handlerCount() {
    return [display, ...display.windows.values()].reduce((sum, emitter) => sum + emitter.handlerCount, 0);
}

function apply(fields) {
    const [command, id = '', title = '', program = '', pid = '0', x11 = '0'] = fields;
    const number = Number(id);
    switch (command) {
    case 'window': {
        const window = display.windows.get(number);
        if (window)
            window.setTitle(title);
        else
            display.add(new FakeWindow(number, title, program, Number(pid), x11 === '1'));
        break;
    }
    case 'dialog':
        display.add(new FakeWindow(number, title, program, Number(pid), x11 === '1', MODAL_DIALOG, true));
        break;
    case 'special':
        display.add(program === 'skip-taskbar' ? new FakeWindow(number, title, 'special', 1, false, NORMAL, true)
            : new FakeWindow(number, title, 'special', 1, false, DOCK));
        break;
    case 'close':
        display.close(number);
        break;
    case 'activate':
        display.focus(id === '' ? null : display.windows.get(number) ?? null);
        break;
    case 'enable':
        enable();
        break;
    case 'disable':
        disable();
        break;
    case 'handlers':
        print(handlerCount());
        break;
    case 'stall': // the Shell's main loop busy for ID seconds (an animation, a hung extension)
        GLib.usleep(number * 1000000);
        break;
    case 'quit':
        disable();
        loop.quit();
        break;
    default:
        throw new Error(`unknown command: ${fields.join(' ')}`);
    }
}

// Answers a line once what it changed has been told (the extension's idle work comes first), then
// reads the next one: every line is a turn of its own.
function reply(word) {
    const answer = () => GLib.idle_add(GLib.PRIORITY_LOW, () => {
        print(word);
        readLine();
        return GLib.SOURCE_REMOVE;
    });
    if (!service || serviceOwned)
        answer();
    else
        whenOwned = answer;
}

const input = new Gio.DataInputStream({base_stream: new Gio.UnixInputStream({fd: 0, close_fd: false})});
let held = null; // the lines of a begin ... end group
function readLine() {
    input.read_line_async(GLib.PRIORITY_DEFAULT, null, (_stream, result) => {
        const [line] = input.read_line_finish_utf8(result);
        if (line === null) {
            apply(['quit']);
            return;
        }
        const fields = line.split('\t');
        try {
            if (fields[0] === 'begin') {
                held = [];
            } else if (fields[0] === 'end') {
                held.forEach(apply);
                held = null;
            } else if (held) {
                held.push(fields);
            } else {
                apply(fields);
            }
        } catch (e) {
            reply(`error: ${e.message}`);
            return;
        }
        if (fields[0] !== 'quit')
            reply('ok');
    });
}

Gio.bus_watch_name_on_connection(bus, BUS_NAME, Gio.BusNameWatcherFlags.NONE, () => {
    serviceOwned = true;
    const then = whenOwned;
    whenOwned = null;
    then?.();
}, () => {
    serviceOwned = false;
});

Gio.bus_own_name_on_connection(bus, 'org.gnome.Shell', Gio.BusNameOwnerFlags.NONE, () => {
    if (startEnabled)
        enable();
    reply('ready');
}, () => {
    printerr('gnome-shell stand-in: org.gnome.Shell is taken or the bus is gone');
    loop.quit();
});

loop.run();

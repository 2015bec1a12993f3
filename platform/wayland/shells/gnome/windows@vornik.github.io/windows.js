// The windows a player could make a target, told to Vornik over the session bus (version 1 of the
// contract in docs/desktop-shells.md). Only Gio and GLib are used: whatever the windows are read from
// comes in as arguments, so the same code runs in the Shell and beside a stand-in display in plain gjs.
import Gio from 'gi://Gio';
import GLib from 'gi://GLib';

export const BUS_NAME = 'io.github.vornik.ShellWindows';
export const OBJECT_PATH = '/io/github/vornik/ShellWindows';
export const VERSION = 1;

export const INTERFACE_XML = `<node>
  <interface name="io.github.vornik.ShellWindows1">
    <property name="Version" type="u" access="read"/>
    <method name="GetWindows">
      <arg name="version" type="u" direction="out"/>
      <arg name="focused" type="s" direction="out"/>
      <arg name="windows" type="a(sssub)" direction="out"/>
    </method>
    <signal name="Changed">
      <arg name="focused" type="s"/>
      <arg name="windows" type="a(sssub)"/>
    </signal>
  </interface>
</node>`;

// What can change a window's record or whether it is listed at all.
const WINDOW_SIGNALS = ['notify::title', 'notify::wm-class', 'notify::gtk-application-id', 'notify::skip-taskbar',
    'notify::window-type'];

export class ShellWindows {
    // display: has the 'window-created' and 'notify::focus-window' signals and focus_window (a Meta.Display);
    // listWindows(): the windows there are when the service starts; normalType and dialogTypes:
    // Meta.WindowType.NORMAL and the dialogs' types, the windows a player could make a target;
    // x11ClientType: Meta.WindowClientType.X11; connection: the bus (the session bus unless given).
    constructor({display, listWindows, normalType, dialogTypes, x11ClientType, connection = null}) {
        this._display = display;
        this._listWindows = listWindows;
        this._normalType = normalType;
        this._dialogTypes = new Set(dialogTypes);
        this._x11ClientType = x11ClientType;
        this._connection = connection;
        this._windows = new Map(); // window -> its handler ids, for every window the display manages
        this._displayHandlers = [];
        this._exported = null;
        this._ownerId = 0;
        this._idleId = 0;
        this._lastSent = '';
    }

    start() {
        const connection = this._connection ?? Gio.DBus.session;
        for (const window of this._listWindows())
            this._track(window);
        this._displayHandlers = [
            this._display.connect('window-created', (_display, window) => {
                this._track(window);
                this._queueChanged();
            }),
            this._display.connect('notify::focus-window', () => this._queueChanged()),
        ];
        this._lastSent = JSON.stringify(this._state());

        const service = this;
        this._exported = Gio.DBusExportedObject.wrapJSObject(INTERFACE_XML, {
            get Version() {
                return VERSION;
            },
            GetWindows() {
                const [focused, windows] = service._state();
                return [VERSION, focused, windows];
            },
        });
        // The object is there before the name, so whoever sees the name can call it at once.
        this._exported.export(connection, OBJECT_PATH);
        this._ownerId = Gio.bus_own_name_on_connection(connection, BUS_NAME, Gio.BusNameOwnerFlags.NONE, null, null);
    }

    stop() {
        if (this._ownerId) // releases the name before it returns
            Gio.bus_unown_name(this._ownerId);
        this._ownerId = 0;
        this._exported?.unexport();
        this._exported = null;
        if (this._idleId)
            GLib.source_remove(this._idleId);
        this._idleId = 0;
        for (const id of this._displayHandlers)
            this._display.disconnect(id);
        this._displayHandlers = [];
        for (const window of [...this._windows.keys()])
            this._untrack(window);
    }

    _track(window) {
        if (this._windows.has(window))
            return;
        const ids = WINDOW_SIGNALS.map(signal => window.connect(signal, () => this._queueChanged()));
        ids.push(window.connect('unmanaged', () => {
            this._untrack(window);
            this._queueChanged();
        }));
        this._windows.set(window, ids);
    }

    _untrack(window) {
        for (const id of this._windows.get(window) ?? [])
            window.disconnect(id);
        this._windows.delete(window);
    }

    // Mutter keeps every dialog with a parent off the task bar, so that only leaves out a normal window
    // (a desktop's icons, a helper of the Shell's).
    _isListed(window) {
        if (!this._windows.has(window) || window.is_override_redirect())
            return false;
        const type = window.get_window_type();
        return this._dialogTypes.has(type) || (type === this._normalType && !window.is_skip_taskbar());
    }

    _record(window) {
        const program = window.get_wm_class() || window.get_gtk_application_id?.() ||
            window.get_sandboxed_app_id?.() || '';
        const pid = window.get_pid();
        return [String(window.get_id()), window.get_title() ?? '', program, pid > 0 ? pid : 0,
            window.get_client_type() === this._x11ClientType];
    }

    // [the window in front's id, empty when none or not listed; every listed window's record]
    _state() {
        const listed = [...this._windows.keys()].filter(window => this._isListed(window));
        const focus = this._display.focus_window;
        return [focus && this._isListed(focus) ? String(focus.get_id()) : '', listed.map(w => this._record(w))];
    }

    // Several changes in one turn of the main loop make one signal, and none when they undo each other.
    _queueChanged() {
        if (this._idleId || !this._exported)
            return;
        this._idleId = GLib.idle_add(GLib.PRIORITY_DEFAULT_IDLE, () => {
            this._idleId = 0;
            const state = this._state();
            const text = JSON.stringify(state);
            if (text !== this._lastSent) {
                this._lastSent = text;
                this._exported.emit_signal('Changed', new GLib.Variant('(sa(sssub))', state));
            }
            return GLib.SOURCE_REMOVE;
        });
    }
}

// Vornik's window list inside GNOME Shell: the service of windows.js, fed by the Shell's display.
import Meta from 'gi://Meta';

import {Extension} from 'resource:///org/gnome/shell/extensions/extension.js';

import {ShellWindows} from './windows.js';

export default class VornikWindowsExtension extends Extension {
    enable() {
        this._service = new ShellWindows({
            display: global.display,
            listWindows: () => global.get_window_actors().map(actor => actor.get_meta_window()),
            normalType: Meta.WindowType.NORMAL,
            dialogTypes: [Meta.WindowType.DIALOG, Meta.WindowType.MODAL_DIALOG],
            x11ClientType: Meta.WindowClientType.X11,
        });
        this._service.start();
    }

    disable() {
        this._service?.stop();
        this._service = null;
    }
}

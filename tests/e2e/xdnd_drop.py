#!/usr/bin/python3
"""Drops files on the X window at a root-window point, as a Linux file manager would.

    xdnd_drop.py X Y PATH [PATH ...]      (uses $DISPLAY)

Acts as an XDND source: Wine turns the drop into WM_DROPFILES for the window
under the point that accepts files. Exits 0 once the target reports the drop
done; otherwise prints the reason to stderr and exits 1 (refused), 2 (no
target, time-out, bad arguments) or 3 (the target window was destroyed first:
Wine 8 sends no XdndFinished when the program quits straight from WM_DROPFILES).
Needs Debian's python3-xlib.
"""
import os
import select
import sys
import time
import urllib.parse

try:
    from Xlib import X, Xatom, display
    from Xlib.protocol import event
except ImportError:
    # python3-xlib lives in Debian's own python; another python3 may come first in PATH.
    if sys.executable != '/usr/bin/python3' and os.path.exists('/usr/bin/python3'):
        os.execv('/usr/bin/python3', ['/usr/bin/python3'] + sys.argv)
    raise

TIMEOUT = 10.0  # seconds for the whole drop
VERSION = 5


def fail(code, reason):
    print('xdnd_drop: ' + reason, file=sys.stderr)
    sys.exit(code)


def uri_list(paths):
    # file:// URIs of absolute paths, UTF-8 percent-encoded, each line ended by CR LF.
    return ''.join('file://' + urllib.parse.quote(os.path.abspath(p)) + '\r\n'
                   for p in paths).encode('ascii')


def xdnd_version(win, aware):
    prop = win.get_full_property(aware, X.AnyPropertyType)
    return prop.value[0] if prop is not None and len(prop.value) else None


def find_target(d, root, x, y, aware):
    # XDND targets the outermost window under the point that carries XdndAware;
    # without a window manager that is the application's own top-level window.
    win = root
    while True:
        child = win.translate_coords(root, x, y).child
        if not child:
            return None, None
        version = xdnd_version(child, aware)
        if version is not None:
            return child, version
        win = child


def server_time(d, win):
    # A real timestamp to own the selection with: that of a property change.
    atom = d.intern_atom('_XDND_DROP_TIME')
    win.change_property(atom, Xatom.STRING, 8, b'')
    while True:
        ev = d.next_event()
        if ev.type == X.PropertyNotify and ev.atom == atom:
            return ev.time


def main():
    if len(sys.argv) < 4:
        fail(2, 'usage: xdnd_drop.py X Y PATH [PATH ...]')
    try:
        x, y = int(sys.argv[1]), int(sys.argv[2])
    except ValueError:
        fail(2, 'X and Y must be integers')
    paths = sys.argv[3:]
    deadline = time.monotonic() + TIMEOUT

    d = display.Display()
    root = d.screen().root
    atom = {name: d.intern_atom(name) for name in (
        'XdndAware', 'XdndSelection', 'XdndTypeList', 'XdndEnter', 'XdndPosition',
        'XdndStatus', 'XdndLeave', 'XdndDrop', 'XdndFinished', 'XdndActionCopy',
        'text/uri-list', 'TARGETS')}
    uri_type = atom['text/uri-list']
    data = uri_list(paths)

    # The source window never needs to be seen: it only owns the selection
    # and receives the target's replies.
    src = root.create_window(-10, -10, 1, 1, 0, X.CopyFromParent,
                             override_redirect=True, event_mask=X.PropertyChangeMask)
    src.change_property(atom['XdndTypeList'], Xatom.ATOM, 32, [uri_type])

    target, their_version = find_target(d, root, x, y, atom['XdndAware'])
    if target is None:
        fail(2, 'no XDND-aware window at %d,%d' % (x, y))
    version = min(VERSION, their_version)
    if version < 3:
        fail(2, 'window 0x%x speaks XDND version %d, too old' % (target.id, their_version))

    # To notice a target that goes away instead of answering.
    target.change_attributes(event_mask=X.StructureNotifyMask)
    stamp = server_time(d, src)
    src.set_selection_owner(atom['XdndSelection'], stamp)
    owner = d.get_selection_owner(atom['XdndSelection'])
    if getattr(owner, 'id', owner) != src.id:
        fail(2, 'could not own XdndSelection')

    def send(name, l1=0, l2=0, l3=0, l4=0):
        ev = event.ClientMessage(window=target, client_type=atom[name],
                                 data=(32, [src.id, l1, l2, l3, l4]))
        target.send_event(ev, event_mask=0)
        d.flush()

    def answer(req):
        # Wine fetches the data already on XdndEnter (and waits only half a
        # second for it), so requests are served whenever they come.
        prop = req.property or req.target
        if req.target == uri_type:
            req.requestor.change_property(prop, uri_type, 8, data)
        elif req.target == atom['TARGETS']:
            req.requestor.change_property(prop, Xatom.ATOM, 32, [uri_type])
        else:
            prop = X.NONE
        reply = event.SelectionNotify(time=req.time, requestor=req.requestor,
                                      selection=req.selection, target=req.target,
                                      property=prop)
        req.requestor.send_event(reply, event_mask=0)
        d.flush()

    def wait_for(name):
        # The target's next message of this kind, serving selection requests meanwhile.
        while True:
            while d.pending_events():
                ev = d.next_event()
                if ev.type == X.SelectionRequest and ev.selection == atom['XdndSelection']:
                    answer(ev)
                elif (ev.type == X.ClientMessage and ev.client_type == atom[name]
                      and ev.data[1][0] == target.id):
                    return ev.data[1]
                elif ev.type == X.DestroyNotify and ev.window == target:
                    fail(3, 'window 0x%x went away while waiting for %s' % (target.id, name))
            left = deadline - time.monotonic()
            if left <= 0:
                return None
            select.select([d.fileno()], [], [], left)

    send('XdndEnter', version << 24, uri_type)
    send('XdndPosition', 0, (x << 16) | (y & 0xFFFF), stamp, atom['XdndActionCopy'])
    status = wait_for('XdndStatus')
    if status is None or not status[1] & 1:
        send('XdndLeave')
        if status is None:
            fail(2, 'no XdndStatus from window 0x%x within %gs' % (target.id, TIMEOUT))
        fail(1, 'window 0x%x refused the drop at %d,%d' % (target.id, x, y))

    send('XdndDrop', 0, stamp)
    finished = wait_for('XdndFinished')
    if finished is None:
        fail(2, 'no XdndFinished from window 0x%x within %gs' % (target.id, TIMEOUT))
    # Before version 5 XdndFinished carries no result: assume it was taken.
    if version >= 5 and not finished[1] & 1:
        fail(1, 'window 0x%x did not take the drop' % target.id)
    src.destroy()
    d.close()


if __name__ == '__main__':
    main()

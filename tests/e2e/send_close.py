#!/usr/bin/python3
"""Sends a close request the way a desktop does: a WM_PROTOCOLS client
message carrying WM_DELETE_WINDOW, to every window of class "allegro" that
asks for one. With the full-screen driver that is an unmapped helper window
carrying the title, not the visible borderless one.

Usage: send_close.py   (on $DISPLAY; exits 1 if no such window exists)
"""
import sys

from Xlib import X, display, error
from Xlib.protocol import event


def windows(window):
    try:
        children = window.query_tree().children
    except error.BadWindow:  # gone while we looked
        return []
    return [window] + [w for child in children for w in windows(child)]


def asks_for_close(window, delete):
    try:
        wm_class = window.get_wm_class()
        return bool(wm_class) and "allegro" in wm_class and \
            delete in (window.get_wm_protocols() or [])
    except error.BadWindow:
        return False


def main():
    d = display.Display()
    protocols = d.intern_atom("WM_PROTOCOLS")
    delete = d.intern_atom("WM_DELETE_WINDOW")
    # Pick every target before sending: the first request may end the
    # program and take its windows with it.
    targets = [w for w in windows(d.screen().root) if asks_for_close(w, delete)]
    if not targets:
        sys.exit("send_close: no allegro window accepts WM_DELETE_WINDOW")
    for w in targets:
        message = event.ClientMessage(window=w, client_type=protocols,
                                      data=(32, [delete, X.CurrentTime, 0, 0, 0]))
        w.send_event(message, event_mask=X.NoEventMask)
        print(f"sent WM_DELETE_WINDOW to window {w.id:#x}")
    d.sync()


if __name__ == "__main__":
    main()

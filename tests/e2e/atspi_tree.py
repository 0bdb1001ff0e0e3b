#!/usr/bin/python3
"""What a screen reader sees of a running program, through the AT-SPI bus.

    atspi_tree.py dump APP      one line per object of the application named
                                APP: depth, role, name and text, tab-separated
    atspi_tree.py listen APP S  for S seconds, one line per text insertion
                                announced by APP: the object's name and the
                                new text; "listening" once ready

Exits 2 when the application is not on the bus.
"""
import sys

import pyatspi


def application(name):
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        if app is not None and app.name == name:
            return app
    return None


def text_of(accessible):
    try:
        return accessible.queryText().getText(0, -1)
    except NotImplementedError:
        return ""


def dump(node, depth=0):
    line = "\t".join([str(depth), node.getRoleName(), node.name, text_of(node)])
    print(line.replace("\n", " "))
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is not None:
            dump(child, depth + 1)


def listen(app_name, seconds):
    from gi.repository import GLib

    def on_insert(event):
        source = event.source
        try:
            if source.getApplication().name != app_name:
                return
            print(source.name + "\t" + str(event.any_data), flush=True)
        except Exception:  # the object may be gone already
            pass

    pyatspi.Registry.registerEventListener(on_insert, "object:text-changed:insert")
    GLib.timeout_add(int(seconds * 1000), pyatspi.Registry.stop)
    print("listening", flush=True)
    pyatspi.Registry.start()


def main():
    if len(sys.argv) >= 3 and sys.argv[1] == "dump":
        app = application(sys.argv[2])
        if app is None:
            return 2
        dump(app)
        return 0
    if len(sys.argv) == 4 and sys.argv[1] == "listen":
        listen(sys.argv[2], float(sys.argv[3]))
        return 0
    print(__doc__, file=sys.stderr)
    return 1


if __name__ == "__main__":
    sys.exit(main())

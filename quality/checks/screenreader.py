#!/usr/bin/env python3
"""Reads the tape window as a screen reader does, over the accessibility bus (AT-SPI).

Started by screenreader.sh inside its own desktop (virtual screen, window manager, session bus,
accessibility bus) with the program already running. Keys a calculation on the calculator with
xdotool, opens the tape window, corrects an amount there with F2 and Enter, and listens all the
while to what the program tells the bus: focus, names, descriptions, texts. Prints what a
screen reader would have been told at each step, and exits 1 when the editor did not get the
focus, the corrected line did not get it back after Enter, or the new result was never told.
"""
import argparse
import subprocess
import sys
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402

EVENTS = [
    "focus:",
    "object:state-changed:focused",
    "object:state-changed:selected",
    "object:property-change:accessible-name",
    "object:property-change:accessible-description",
    "object:property-change:accessible-value",
    "object:text-changed",
    "object:active-descendant-changed",
    "object:announcement",
]


def safe(call, default=""):
    try:
        return call()
    except GLib.Error:
        return default


def text_of(obj):
    if "Text" not in safe(obj.get_interfaces, []):
        return None
    return safe(lambda: Atspi.Text.get_text(obj, 0, -1))


def describe(obj):
    if obj is None:
        return "(nothing)"
    said = "%s %r" % (safe(obj.get_role_name), safe(obj.get_name))
    description = safe(obj.get_description)
    if description:
        said += " description %r" % description
    text = text_of(obj)
    if text is not None:
        said += " text %r" % text
    return said


class Reader:
    """What a screen reader hears: every event, and the object that has the focus."""

    def __init__(self, pid):
        self.pid = pid
        self.heard = []
        self.step = "start"
        self.focused = None
        self.listener = Atspi.EventListener.new(self.on_event)
        for kind in EVENTS:
            self.listener.register(kind)

    def on_event(self, event):
        source = event.source
        if safe(source.get_process_id, -1) != self.pid:
            return
        kind = event.type
        focus = kind.startswith("focus:") or (
            kind == "object:state-changed:focused" and event.detail1 == 1
        )
        if focus:
            self.focused = source
        said = "%s on %s" % (kind, describe(source))
        if isinstance(event.any_data, str) and event.any_data:
            said += " data %r" % event.any_data
        if kind.startswith("object:state-changed"):
            said += " (%d)" % event.detail1
        self.heard.append(
            {
                "step": self.step,
                "said": said,
                "focus": focus,
                "changed": kind.startswith("object:property-change:accessible-"),
                "name": safe(source.get_name),
                "description": safe(source.get_description),
            }
        )
        print("  event: " + said, flush=True)

    def wait(self, seconds):
        context = GLib.MainContext.default()
        end = time.monotonic() + seconds
        while time.monotonic() < end:
            while context.pending():
                context.iteration(False)
            time.sleep(0.02)

    def begin(self, step):
        self.step = step
        print("== " + step, flush=True)

    def focus_on(self, step, match):
        return [e["said"] for e in self.heard if e["step"] == step and e["focus"] and match(e)]

    def changed_to(self, step, words):
        return [
            e["said"]
            for e in self.heard
            if e["step"] == step
            and e["changed"]
            and (words in e["name"] or words in e["description"])
        ]

    def application(self):
        desktop = Atspi.get_desktop(0)
        for i in range(desktop.get_child_count()):
            app = desktop.get_child_at_index(i)
            if app and safe(app.get_process_id, -1) == self.pid:
                return app
        return None


def find(root, match, depth=0):
    if root is None or depth > 12:
        return None
    if match(root):
        return root
    for i in range(safe(root.get_child_count, 0)):
        found = find(safe(lambda: root.get_child_at_index(i), None), match, depth + 1)
        if found:
            return found
    return None


def xdotool(*args):
    return subprocess.run(["xdotool", *args], check=True, capture_output=True, text=True).stdout


def window(title):
    return xdotool("search", "--sync", "--onlyvisible", "--name", "^%s$" % title).split()[0]


def main():
    options = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    options.add_argument("--pid", type=int, required=True, help="the program's process")
    options.add_argument("--editor", default="Correction du montant")
    options.add_argument("--corrected", default="corrigé")
    options.add_argument("--result", default="155")
    options.add_argument("--shots", help="folder for a picture of the screen at each step")
    args = options.parse_args()

    Atspi.init()
    reader = Reader(args.pid)
    shots = []

    def picture(name):
        if args.shots:
            shots.append(name)
            path = "%s/%d-%s.png" % (args.shots, len(shots), name)
            subprocess.run(["import", "-window", "root", path], check=False)

    def report_focus():
        print("  focused: " + describe(reader.focused), flush=True)

    for _ in range(100):
        if reader.application():
            break
        reader.wait(0.1)
    app = reader.application()
    if not app:
        print("screenreader: the program never showed on the accessibility bus", file=sys.stderr)
        return 1

    reader.begin("calculation")
    xdotool("windowactivate", "--sync", window("Tarvex"))
    reader.wait(0.5)
    xdotool("type", "--delay", "60", "100+20+30=")
    reader.wait(1)
    picture("calculation")

    reader.begin("tape window")
    xdotool("key", "ctrl+r")
    window("Tarvex - Ruban")
    reader.wait(1.5)
    picture("tape")
    report_focus()

    reader.begin("choosing the line")
    for _ in range(8):
        xdotool("key", "Up")
        reader.wait(0.5)
        report_focus()
        if reader.focused and safe(reader.focused.get_name).startswith("20 "):
            break
    picture("chosen")

    reader.begin("editor")
    xdotool("key", "F2")
    reader.wait(1)
    report_focus()
    picture("editor")

    reader.begin("typing")
    xdotool("type", "--delay", "80", "25")
    reader.wait(0.5)

    reader.begin("validated")
    xdotool("key", "Return")
    reader.wait(1.5)
    report_focus()
    picture("validated")
    app = reader.application()
    tape = find(app, lambda o: safe(o.get_name) == "Ruban" and "list" in safe(o.get_role_name))
    print("  tape list: " + describe(tape))
    for i in range(safe(tape.get_child_count, 0) if tape else 0):
        print("    line: " + describe(safe(lambda: tape.get_child_at_index(i), None)))
    display = find(app, lambda o: safe(o.get_name) == "Affichage")
    print("  calculator display: " + describe(display), flush=True)

    # A screen reader says what it is told: what gets the focus and what changes on it, not
    # what it could go and look for in the window.
    failures = []
    editor = reader.focus_on("editor", lambda e: e["name"] == args.editor)
    if not editor:
        failures.append("the editor %r never had the focus" % args.editor)
    corrected = reader.focus_on("validated", lambda e: args.corrected in e["name"])
    if not corrected:
        failures.append("no line %r had the focus after Enter" % args.corrected)
    result = reader.changed_to("validated", args.result) + reader.focus_on(
        "validated", lambda e: args.result in e["name"]
    )
    if not result:
        failures.append("the new result %r was never told" % args.result)
    print("== heard")
    for said in editor[:1] + corrected[:1] + result[:1]:
        print("  " + said)
    for failure in failures:
        print("screenreader: " + failure, file=sys.stderr)
    print("screenreader: %s" % ("FAILED" if failures else "passed"))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())

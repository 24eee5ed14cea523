# SPDX-FileCopyrightText: 2026 Quorran developers
# SPDX-License-Identifier: MIT
"""An AT-SPI client for the running program: reads every text box through the
Text interface, writes Domain, Area and Port through EditableText, presses
"From D.A.P to AddrID" through its Action interface, reads back the Address ID
and the log, and waits for the text-changed event of the Address ID field."""

import sys
import time

import pyatspi
from gi.repository import GLib


def fail(message):
    print("FAIL: " + message)
    sys.exit(1)


def pump(seconds):
    end = time.monotonic() + seconds
    context = GLib.MainContext.default()
    while time.monotonic() < end:
        while context.iteration(False):
            pass
        time.sleep(0.02)


def walk(node):
    yield node
    for index in range(node.childCount):
        child = node.getChildAtIndex(index)
        if child is not None:
            yield from walk(child)


def find_application(name):
    for _ in range(200):
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.name == name:
                return app
        time.sleep(0.1)
    fail("no application named %r on the accessibility bus" % name)


def find(app, name, interface):
    for node in walk(app):
        if node.name == name and interface in node.get_interfaces():
            return node
    fail("no %s object named %r" % (interface, name))


def text_of(node):
    return node.queryText().getText(0, -1)


def wait_for_text(node, expected):
    for _ in range(100):
        if text_of(node) == expected:
            return
        pump(0.05)
    fail("%r holds %r, expected %r" % (node.name, text_of(node), expected))


changes = []


def on_text_changed(event):
    changes.append((event.source.name, event.type))


app = find_application("Quorran")
# The program learns of the listener through the registry; give it a moment.
pyatspi.Registry.registerEventListener(on_text_changed, "object:text-changed")
pump(1.0)
boxes = {name: find(app, name, "EditableText") for name in ("Domain ID", "Area ID", "Port ID", "Address ID", "Message Box")}

for name, expected in (("Domain ID", "Domain_ID"), ("Area ID", "Area_ID"), ("Port ID", "Port_ID"),
                       ("Address ID", "Address ID"), ("Message Box", "")):
    if text_of(boxes[name]) != expected:
        fail("%r reads %r, expected %r" % (name, text_of(boxes[name]), expected))
    print("ok: %r reads %r" % (name, expected))

for name, value in (("Domain ID", "1"), ("Area ID", "2"), ("Port ID", "3")):
    editable = boxes[name].queryEditableText()
    editable.deleteText(0, boxes[name].queryText().characterCount)
    editable.insertText(0, value, len(value))
    wait_for_text(boxes[name], value)
    print("ok: %r written as %r" % (name, value))

# Nothing has changed the Address ID field so far: any event of it comes from the conversion.
button = find(app, "From D.A.P to AddrID", "Action")
action = button.queryAction()
names = [action.getName(index) for index in range(action.nActions)]
if "Press" not in names:
    fail("the button offers %r" % names)
action.doAction(names.index("Press"))

wait_for_text(boxes["Address ID"], " 66051")
print("ok: 'Address ID' reads ' 66051'")
wait_for_text(boxes["Message Box"], " 1. 2. 3 --->  66051\n")
print("ok: 'Message Box' reads ' 1. 2. 3 --->  66051' and a line feed")

for _ in range(200):
    if any(source == "Address ID" for source, _ in changes):
        break
    pump(0.05)
else:
    fail("no object:text-changed event from 'Address ID'; got %r" % changes)
print("ok: object:text-changed from 'Address ID': %r" % [kind for source, kind in changes if source == "Address ID"])

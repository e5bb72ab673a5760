# SPDX-FileCopyrightText: 2026 The Quarnel authors
# SPDX-License-Identifier: GPL-3.0-or-later
"""The window as a screen reader reads it, through the real accessibility bus (AT-SPI).

Starts quarnel-demo in a program folder of its own for each language asked for, reads the
window's accessibility tree with pyatspi and checks:
- every control that is shown and takes focus has a name, unique among the controls of
  its role in its panel (the panel's title is the control's description);
- Get Parameter's message box is in the tree as an alert with its text;
- during a log download the "Get GPS Log" progress bar's value changes, and no faster
  than a screen reader can follow.
A failure names the language and the control's ID. Run it under a virtual X server and a
session bus of its own (scripts/atspi-check.sh does); it ends with "N passed, N failed".

  atspi_check.py DEMO SOURCE_DIR LANGUAGE...
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

import pyatspi

APP_NAME = "quarnel-demo"
WINDOW_TITLE = "Trelvin (14020701)"
GET_PARAMETER, GET_GPS_LOG, LOG_PROGRESS = 1001, 1003, 1006


def control_ids(source_dir):
    """(id, kind) of every control in creation order, read from the template table."""
    with open(os.path.join(source_dir, "src/form/control_table.cpp"), encoding="utf-8") as f:
        table = f.read()
    return [(int(i), k) for i, k in re.findall(r"ControlSpec\{(\d+),\s*K::(\w+)", table)]


# The role a control of each template kind has on the bus.
ROLES = {
    "PushButton": {"push button"},
    "CheckBox": {"check box"},
    "Edit": {"text", "entry", "password text"},
    "Label": {"label"},
    "ProgressBar": {"progress bar"},
    "ComboBox": {"combo box"},
}


def write_settings(path, language):
    text = "[SETUP]\r\nLanguage=%s.ini\r\nHideFirmwareUpdate=0\r\n" % language
    with open(path, "wb") as f:
        f.write(b"\xff\xfe" + text.encode("utf-16-le"))


def wait_for(what, seconds=30.0, step=0.05):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        try:
            found = what()
        except Exception:  # the tree changes under us while the window starts
            found = None
        if found:
            return found
        time.sleep(step)
    return None


def find_app():
    desktop = pyatspi.Registry.getDesktop(0)
    for app in desktop:
        if app is not None and app.name == APP_NAME and app.childCount > 0:
            return app
    return None


def find(root, predicate):
    """The first object under `root` (depth first) for which `predicate` holds."""
    if predicate(root):
        return root
    for child in root:
        if child is None:
            continue
        found = find(child, predicate)
        if found is not None:
            return found
    return None


def texts_under(root):
    names = []
    for child in root:
        if child is not None:
            names.append(child.name or "")
            names.extend(texts_under(child))
    return names


def press(obj):
    action = obj.queryAction()
    for i in range(action.nActions):
        if action.getName(i) in ("Press", "press", "click"):
            action.doAction(i)
            return
    action.doAction(0)


def showing(obj):
    states = obj.getState()
    return states.contains(pyatspi.STATE_SHOWING) and states.contains(pyatspi.STATE_VISIBLE)


def spoken_name(obj):
    """The name, or for a combo box without one the name of the label that labels it."""
    if obj.name:
        return obj.name
    for relation in obj.getRelationSet():
        if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY:
            for i in range(relation.getNTargets()):
                if relation.getTarget(i).name:
                    return relation.getTarget(i).name
    return ""


class Check:
    def __init__(self):
        self.passed = 0
        self.failed = 0

    def expect(self, ok, message):
        if ok:
            self.passed += 1
        else:
            self.failed += 1
            print("FAIL: " + message, flush=True)
        return ok


def objects_by_id(check, language, window, ids):
    """The window's objects by control ID; None when they do not match the template."""
    # Panels are moved to the back of the window (drawn first), so the other controls keep
    # their creation order among the window's children.
    children = [c for c in window if c is not None and c.getRoleName() != "panel"]
    controls = [(i, k) for i, k in ids if k != "GroupBox"]
    if not check.expect(
        len(children) == len(controls),
        "%s: %d objects in the window, %d controls in the template"
        % (language, len(children), len(controls)),
    ):
        return None
    by_id = {}
    for (control, kind), obj in zip(controls, children):
        role = obj.getRoleName()
        if not check.expect(
            role in ROLES[kind],
            "%s: control %d is a %s on the bus, not a %s" % (language, control, role, kind),
        ):
            return None
        if control != 0:
            by_id[control] = obj
    return by_id


def check_names(check, language, by_id):
    seen = {}
    named = 0
    for control, obj in by_id.items():
        role = obj.getRoleName()
        states = obj.getState()
        if not (showing(obj) and states.contains(pyatspi.STATE_FOCUSABLE)):
            continue
        name = spoken_name(obj)
        named += 1
        check.expect(name.strip() != "", "%s: control %d (%s) has no name" % (language, control, role))
        key = (obj.description, role, name)
        check.expect(
            key not in seen,
            '%s: controls %s and %d are both a %s called "%s" in "%s"'
            % (language, seen.get(key), control, role, name, obj.description),
        )
        seen.setdefault(key, control)
    check.expect(named >= 50, "%s: only %d focusable controls found" % (language, named))
    print("%s: %d focusable controls named" % (language, named), flush=True)


def dialog_with_text(app, text):
    for window in app:
        if window is None or window.name == WINDOW_TITLE:
            continue
        if any(text in t for t in texts_under(window)):
            return window
    return None


def close_box(box):
    ok = find(box, lambda o: o.getRoleName() == "push button")
    press(ok)
    wait_for(lambda: box.getState().contains(pyatspi.STATE_DEFUNCT) or not showing(box), 10)


def check_message_box(check, language, app, by_id):
    press(by_id[GET_PARAMETER])
    box = wait_for(lambda: dialog_with_text(app, "GET FINISH"), 20)
    if not check.expect(box is not None, "%s: no message box with GET FINISH in the tree" % language):
        return
    check.expect(
        box.getRoleName() in ("alert", "dialog"),
        "%s: the message box is a %s, not an alert" % (language, box.getRoleName()),
    )
    close_box(box)


def check_download_progress(check, language, app, by_id, folder):
    button, bar = by_id[GET_GPS_LOG], by_id[LOG_PROGRESS]
    check.expect(
        bar.name == button.name,
        '%s: the log progress bar is called "%s", not "%s"' % (language, bar.name, button.name),
    )
    value = bar.queryValue()
    press(button)
    dialog = wait_for(
        lambda: next((w for w in app if w is not None and w.name != WINDOW_TITLE and showing(w)), None),
        20,
    )
    if not check.expect(dialog is not None, "%s: no save dialog" % language):
        return
    field = find(
        dialog,
        lambda o: o.getRoleName() in ("text", "entry") and showing(o)
        and o.getState().contains(pyatspi.STATE_EDITABLE),
    )
    target = os.path.join(folder, "track.csv")
    field.queryEditableText().setTextContents(target)
    save = find(
        dialog,
        lambda o: o.getRoleName() == "push button" and showing(o)
        and o.getState().contains(pyatspi.STATE_ENABLED) and o.name in ("Save", "&Save"),
    )
    if not check.expect(save is not None, "%s: the save dialog has no Save button" % language):
        return
    start = time.monotonic()
    press(save)
    told = [(0.0, value.currentValue)]
    end = start + 60
    while time.monotonic() < end:
        now = value.currentValue
        if now != told[-1][1]:
            told.append((time.monotonic() - start, now))
        if now == 0 and len(told) > 1 and button.getState().contains(pyatspi.STATE_ENABLED):
            break
        time.sleep(0.005)
    seconds = told[-1][0]
    print("%s: progress told %s" % (language, ["%.0f@%.2fs" % (v, t) for t, v in told]), flush=True)
    check.expect(
        any(0 < v <= 100 for _, v in told[1:]),
        "%s: the progress bar's value never moved during the download" % language,
    )
    check.expect(told[-1][1] == 0, "%s: the progress bar did not empty at the end" % language)
    # Twice a second, plus the two ends.
    check.expect(
        len(told) - 1 <= 2 * seconds + 4,
        "%s: %d values told in %.1f s: too many to follow" % (language, len(told) - 1, seconds),
    )
    check.expect(os.path.exists(target), "%s: the download wrote no file" % language)


def run_language(check, demo, source_dir, language, ids):
    folder = tempfile.mkdtemp(prefix="quarnel-atspi-")
    process = None
    try:
        os.makedirs(os.path.join(folder, "Lang"))
        shutil.copy(demo, folder)
        shutil.copy(os.path.join(source_dir, "data/Lang", language + ".ini"), os.path.join(folder, "Lang"))
        write_settings(os.path.join(folder, "Player.ini"), language)
        # On the X server: the offscreen platform the other window tests use has no bridge
        # to the accessibility bus.
        env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_QPA_PLATFORM="xcb")
        process = subprocess.Popen([os.path.join(folder, os.path.basename(demo))], env=env)
        app = wait_for(find_app, 60)
        window = app and wait_for(
            lambda: next((w for w in app if w is not None and w.name == WINDOW_TITLE and w.childCount > 50), None)
        )
        if not check.expect(window is not None, "%s: the window did not appear on the bus" % language):
            return
        by_id = objects_by_id(check, language, window, ids)
        if by_id is None:
            return
        check_names(check, language, by_id)
        check_message_box(check, language, app, by_id)
        check_download_progress(check, language, app, by_id, folder)
    finally:
        if process is not None:
            process.terminate()
            process.wait(timeout=30)
        shutil.rmtree(folder, ignore_errors=True)


def main(argv):
    if len(argv) < 4:
        print(__doc__, file=sys.stderr)
        return 2
    demo, source_dir, languages = argv[1], argv[2], argv[3:]
    ids = control_ids(source_dir)
    check = Check()
    for language in languages:
        run_language(check, demo, source_dir, language, ids)
    print("%d passed, %d failed" % (check.passed, check.failed), flush=True)
    return 0 if check.failed == 0 and check.passed > 0 else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv))

#!/usr/bin/python3
"""Drives the real program on an X server and looks at it through the
accessibility bus, as a screen reader does. Two modes:

  tree PROGRAM   visits every window (tip, start, About, the editor on each
                 tab, the colour picker) and fails for any control on show
                 that a user can work, or any picture, without a name; prints
                 the number of named controls per window. Tabs are switched
                 and the focus moved through the accessibility bus, as a
                 screen reader user would.
  walk PROGRAM   the main flow with the keyboard alone: tip, a name, the
                 editor, a sound chosen through the real file dialog with its
                 path typed, played (heard on the sound server's sink),
                 removed, the theme saved, the program quit. Only xdotool key
                 events act on the program.

Run under a D-Bus session bus with DISPLAY set (atspi_test.sh does both). No
mouse event is sent in either mode: windows are given the input focus with
`xdotool windowfocus`, as a window manager would (there is none here).
"""

import os
import subprocess
import sys
import time
import wave

import pyatspi

INTERACTIVE_ROLES = {
    pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_TOGGLE_BUTTON, pyatspi.ROLE_CHECK_BOX,
    pyatspi.ROLE_RADIO_BUTTON, pyatspi.ROLE_TEXT, pyatspi.ROLE_ENTRY,
    pyatspi.ROLE_PASSWORD_TEXT, pyatspi.ROLE_COMBO_BOX, pyatspi.ROLE_LIST,
    pyatspi.ROLE_LIST_ITEM, pyatspi.ROLE_PAGE_TAB, pyatspi.ROLE_MENU,
    pyatspi.ROLE_MENU_ITEM, pyatspi.ROLE_SCROLL_BAR, pyatspi.ROLE_SLIDER,
    pyatspi.ROLE_SPIN_BUTTON, pyatspi.ROLE_LINK, pyatspi.ROLE_TABLE,
    pyatspi.ROLE_TREE, pyatspi.ROLE_TREE_TABLE, pyatspi.ROLE_IMAGE,
}


class Failure(Exception):
    pass


class DisplayLost(Exception):
    """The X server went away under the program (another run's server start
    can disturb its socket): the caller tries again on a fresh one."""


def poll(check, seconds, what):
    deadline = time.monotonic() + seconds
    while True:
        try:
            result = check()
        except Exception:  # a window that went away while looked at
            result = None
        if result:
            return result
        if time.monotonic() > deadline:
            raise Failure(what)
        time.sleep(0.1)


def xdotool(*args):
    return subprocess.run(["xdotool", *args], capture_output=True, text=True, check=False)


def keys(*names):
    xdotool("key", "--clearmodifiers", *names)


def type_text(text):
    xdotool("type", "--delay", "15", "--", text)


def states(acc):
    return acc.getState()


def showing(acc):
    s = states(acc)
    return s.contains(pyatspi.STATE_SHOWING) and s.contains(pyatspi.STATE_VISIBLE)


def children(acc):
    try:
        return [acc.getChildAtIndex(i) for i in range(acc.childCount)]
    except Exception:
        return []


def descendants(acc):
    for child in children(acc):
        if child is None:
            continue
        yield child
        yield from descendants(child)


class Program:
    def __init__(self, path, log):
        env = dict(os.environ)
        env["QT_LINUX_ACCESSIBILITY_ALWAYS_ON"] = "1"
        env["QT_ACCESSIBILITY"] = "1"
        self.log = open(log, "w")
        # The date is pinned: no birthday tune on 12 January (the library
        # comes from atspi_test.sh's require_fixed_date).
        env["LD_PRELOAD"] = os.environ["P95_FIXED_DATE_LIB"]
        env["FAKETIME"] = "@2026-03-03 12:00:00"
        env["DONT_FAKE_MONOTONIC"] = "1"
        self.proc = subprocess.Popen([path], stdout=self.log, stderr=subprocess.STDOUT, env=env)
        self.app = None

    def find_app(self):
        desktop = pyatspi.Registry.getDesktop(0)
        for app in children(desktop):
            if app is not None and app.name == "Paletteer 95":
                return app
        return None

    def connect(self):
        def found_or_ended():
            return self.find_app() or self.proc.poll() is not None
        poll(found_or_ended, 30, "the program did not appear on the accessibility bus")
        if self.proc.poll() is not None:
            self.log.flush()
            with open(self.log.name) as log:
                if "could not connect to display" in log.read():
                    raise DisplayLost()
            raise Failure("the program ended at start with status %d" % self.proc.returncode)
        self.app = self.find_app()

    def windows(self, title):
        """Windows on show with this title (the editor's carries "*" while its
        theme has unsaved changes)."""
        self.app.clearCache()
        return [w for w in children(self.app)
                if w is not None and w.name in (title, title + "*") and showing(w)]

    def window(self, title, seconds=20, besides=()):
        def found():
            for w in self.windows(title):
                if not any(w == other for other in besides):
                    return w
            return None
        return poll(found, seconds, 'no window "%s" appeared' % title)

    def gone(self, window, seconds=20, what="a window stayed"):
        def closed():
            try:
                return not showing(window)
            except Exception:
                return True
        poll(closed, seconds, what)

    def stop(self):
        if self.proc.poll() is None:
            self.proc.terminate()
            try:
                self.proc.wait(10)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait()
        self.log.close()


def x_window(title, exclude=()):
    """The X id of a visible window with this title (and perhaps the "*" of
    unsaved changes) that is not in exclude."""
    out = xdotool("search", "--onlyvisible", "--name", "^%s\\*?$" % title).stdout.split()
    for wid in out:
        if wid not in exclude:
            return wid
    return None


def focus_x(title, exclude=()):
    """Gives the input focus to a window, as a window manager would; its X id."""
    wid = poll(lambda: x_window(title, exclude), 20, 'no X window "%s"' % title)
    def focused():
        xdotool("windowfocus", wid)
        return xdotool("getwindowfocus").stdout.strip() == wid
    poll(focused, 5, 'window "%s" did not take the focus' % title)
    time.sleep(0.3)  # Qt activates the window when the focus event arrives
    return wid


def focused_object(window):
    for acc in descendants(window):
        try:
            if states(acc).contains(pyatspi.STATE_FOCUSED):
                return acc
        except Exception:
            continue
    return None


def describe(acc):
    return "%s '%s'" % (acc.getRoleName(), acc.name)


# ------------------------------------------------------------------ tree

def check_window(label, window, report):
    """Fails for an unnamed control on show; returns the number of named ones."""
    window.clearCache()
    named = 0
    unnamed = []
    for acc in descendants(window):
        try:
            if not showing(acc):
                continue
            role = acc.getRole()
            focusable = states(acc).contains(pyatspi.STATE_FOCUSABLE)
            if role not in INTERACTIVE_ROLES and not focusable:
                continue
            if role == pyatspi.ROLE_MENU_ITEM and acc.name == "":
                continue  # a menu's separator line
            if acc.name.strip():
                named += 1
                if os.environ.get("P95_ATSPI_VERBOSE"):
                    print("    " + describe(acc))
            else:
                parent = acc.parent
                unnamed.append("%s in %s (attributes %s, %d children: %s, at %s)" % (
                    describe(acc), describe(parent) if parent else "?", acc.getAttributes(),
                    acc.childCount, ", ".join(describe(c) for c in children(acc)[:4]),
                    acc.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)))
        except Exception:
            continue
    report.append((label, named))
    print("%-28s %3d named controls" % (label, named), flush=True)
    if unnamed:
        raise Failure("%s: controls without a name: %s" % (label, "; ".join(unnamed)))
    if named == 0:
        raise Failure("%s: no controls found on the accessibility bus" % label)
    return named


PAGE_MARKS = {
    "Mouse Pointers": (pyatspi.ROLE_PUSH_BUTTON, "Normal Select"),
    "Sounds": (pyatspi.ROLE_PUSH_BUTTON, "Asterisk"),
    "Visuals": (pyatspi.ROLE_PUSH_BUTTON, "Screen Saver"),
    "Colors": (pyatspi.ROLE_RADIO_BUTTON, "Choose Your Own Colors:"),
    "ReadMe File": (pyatspi.ROLE_PUSH_BUTTON, "Save as Default ReadMe File"),
}


def select_tab(window, caption):
    for acc in descendants(window):
        if acc.getRole() == pyatspi.ROLE_PAGE_TAB_LIST:
            for i, tab in enumerate(children(acc)):
                if tab is not None and tab.name == caption:
                    # Qt's tab bar offers no selection; each tab is pressed.
                    action = tab.queryAction()
                    names = [action.getName(k).lower() for k in range(action.nActions)]
                    action.doAction(names.index("press") if "press" in names else 0)
                    # The page is on show when its first control is.
                    poll(lambda: find(window, *PAGE_MARKS[caption]), 5,
                         "tab %s did not come up" % caption)
                    return
    raise Failure("no tab %s" % caption)


def find(window, role, name):
    window.clearCache()
    for acc in descendants(window):
        if acc.getRole() == role and acc.name == name and showing(acc):
            return acc
    raise Failure("no %s '%s' on show" % (role, name))


def tree(program):
    report = []
    p = Program(program, os.path.join(os.environ["P95_WORK"], "tree.log"))
    try:
        p.connect()
        tip = p.window("Tip of the Day")
        check_window("Tip of the Day", tip, report)
        focus_x("Tip of the Day")
        keys("Return")  # "&Continue..." is the default button
        start = p.window("Paletteer 95")
        check_window("start window", start, report)
        start_x = focus_x("Paletteer 95")

        # About, from the start window's menu: Alt+A opens it, Enter takes the first entry.
        keys("alt+a")
        time.sleep(0.5)
        keys("Return")
        about = p.window("About Paletteer 95")
        check_window("About", about, report)
        focus_x("About Paletteer 95")
        keys("Return")  # "&Ok"
        p.gone(about, what="the About window stayed after Enter")

        focus_x("Paletteer 95")
        type_text("Tree")
        keys("Return")
        editor = p.window("Paletteer 95", 30, besides=(start,))
        p.gone(start, what="the start window stayed")
        for caption in ("Mouse Pointers", "Sounds", "Visuals", "Colors", "ReadMe File"):
            select_tab(editor, caption)
            check_window("editor, tab " + caption, editor, report)

        # The picker: own colours, then Space on a colour name.
        select_tab(editor, "Colors")
        editor_x = focus_x("Paletteer 95", exclude=(start_x,))
        own = find(editor, pyatspi.ROLE_RADIO_BUTTON, "Choose Your Own Colors:")
        own.queryComponent().grabFocus()
        keys("space")
        name = find(editor, pyatspi.ROLE_PUSH_BUTTON, "Background")
        poll(lambda: states(name).contains(pyatspi.STATE_ENABLED), 5, "the colour names stay off")
        name.queryComponent().grabFocus()
        poll(lambda: states(name).contains(pyatspi.STATE_FOCUSED), 5, "a colour name takes no focus")
        keys("space")
        picker = p.window("Color Selection")
        check_window("colour picker", picker, report)
        focus_x("Color Selection")
        keys("Escape")
        p.gone(picker, what="the picker stayed after Escape")

        # Quit: Ctrl+Q, Yes. Own colours are an unsaved change: the question
        # is whether to save it, and Yes saves, then quits.
        focus_x("Paletteer 95", exclude=(start_x,))
        keys("ctrl+q")
        p.window("Paletteer 95", besides=(editor,))
        focus_x("Paletteer 95", exclude=(editor_x, start_x))
        keys("y")  # "&Yes": No is the default button
        if p.proc.wait(20) != 0:
            raise Failure("the program ended with status %d" % p.proc.returncode)
    finally:
        p.stop()
    print("total: %d named controls in %d windows and tabs"
          % (sum(n for _, n in report), len(report)))


# ------------------------------------------------------------------ walk

def write_wave(path):
    """Three seconds of a quiet square wave: long enough to be seen playing."""
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(1)
        w.setframerate(8000)
        w.writeframes((bytes([120]) * 10 + bytes([136]) * 10) * 1200)


def playing_streams():
    out = subprocess.run(["pactl", "list", "short", "sink-inputs"], capture_output=True,
                         text=True, check=False).stdout
    return [line for line in out.splitlines() if line.strip()]


def tab_to(window, name, what, presses=80):
    """Presses Tab until the control with this name has the focus."""
    for _ in range(presses):
        window.clearCache()
        now = focused_object(window)
        if now is not None and now.name == name:
            return now
        keys("Tab")
        time.sleep(0.1)
    raise Failure("Tab never reached %s" % what)


def walk(program):
    work = os.environ["P95_WORK"]
    sound = os.path.join(work, "chime.wav")
    write_wave(sound)
    drive = os.environ["PALETTEER95_DRIVE_C"]
    theme = os.path.join(drive, "Program Files", "Plus!", "Themes", "Keys", "Keys.theme")
    p = Program(program, os.path.join(work, "walk.log"))
    try:
        p.connect()
        p.window("Tip of the Day")
        focus_x("Tip of the Day")
        keys("Return")
        print("tip: Enter continued", flush=True)

        start = p.window("Paletteer 95")
        start_x = focus_x("Paletteer 95")
        type_text("Keys")
        keys("Return")
        editor = p.window("Paletteer 95", 30, besides=(start,))
        p.gone(start, what="the start window stayed")
        editor_x = focus_x("Paletteer 95", exclude=(start_x,))
        print("start: a name typed, Enter reached the editor", flush=True)

        # The Sounds tab is on show; Tab to the first sound's button.
        tab_to(editor, "Asterisk", "the Asterisk button")
        keys("space")
        p.window("Choose the sound for Asterisk")
        focus_x("Choose the sound for Asterisk")
        type_text(sound)
        keys("Return")
        print("sounds: the file dialog took a typed path", flush=True)

        # Its play picture comes next in the Tab order.
        play = poll(lambda: find(editor, pyatspi.ROLE_PUSH_BUTTON, "Play Asterisk"), 10,
                    "no play picture after choosing a sound")
        focus_x("Paletteer 95", exclude=(start_x,))
        keys("Tab")
        poll(lambda: states(play).contains(pyatspi.STATE_FOCUSED), 5,
             "Tab after the button does not reach its play picture")
        if playing_streams():
            raise Failure("a sound is playing before Space: %s" % playing_streams())
        keys("space")
        # Played: the program's stream reaches the sound server's silent sink.
        stream = poll(playing_streams, 10, "Space on the play picture played nothing")
        print("sounds: Space on \"Play Asterisk\" played it (%s)" % stream[0], flush=True)

        # Remove it: the Menu key opens the pop-up, Enter takes "&Remove from Theme".
        focus_x("Paletteer 95", exclude=(start_x,))
        poll(lambda: states(play).contains(pyatspi.STATE_FOCUSED), 5,
             "the play picture lost the focus")
        keys("Menu")
        time.sleep(0.5)
        keys("Return")
        question = p.window("Paletteer 95", 10, besides=(editor,))
        qtext = " ".join(acc.name for acc in descendants(question))
        if "remove this sound" not in qtext:
            raise Failure("the Menu key led to: %s" % qtext)
        focus_x("Paletteer 95", exclude=(start_x, editor_x))
        keys("y")  # "&Yes": No is the default button
        p.gone(question, what="the removal question stayed")
        poll(lambda: not showing(play), 5, "the play picture stayed after the removal")
        print("sounds: the Menu key, Enter and Y removed the sound", flush=True)

        # Save: Ctrl+S, OK.
        focus_x("Paletteer 95", exclude=(start_x,))
        keys("ctrl+s")
        save = p.window("Paletteer 95", 10, besides=(editor,))
        focus_x("Paletteer 95", exclude=(start_x, editor_x))
        keys("Return")
        p.gone(save, what="the save question stayed")
        poll(lambda: os.path.isfile(theme), 20, "no Keys.theme after Ctrl+S")
        with open(theme, "rb") as f:
            saved = f.read()
        if b"chime.wav" in saved or b"Asterisk.wav" in saved:
            raise Failure("the removed sound was saved")
        print("save: Ctrl+S and Enter wrote Keys.theme (%d bytes)" % len(saved), flush=True)

        # Quit: Ctrl+Q, Yes.
        focus_x("Paletteer 95", exclude=(start_x,))
        keys("ctrl+q")
        p.window("Paletteer 95", 10, besides=(editor,))
        focus_x("Paletteer 95", exclude=(start_x, editor_x))
        keys("y")  # "&Yes": No is the default button
        if p.proc.wait(20) != 0:
            raise Failure("the program ended with status %d" % p.proc.returncode)
        print("quit: Ctrl+Q and Y ended the program", flush=True)
    finally:
        p.stop()


def main():
    if len(sys.argv) != 3 or sys.argv[1] not in ("tree", "walk"):
        print("usage: atspi_driver.py tree|walk PROGRAM", file=sys.stderr)
        return 2
    try:
        (tree if sys.argv[1] == "tree" else walk)(sys.argv[2])
    except DisplayLost:
        print("the display %s went away under the program" % os.environ.get("DISPLAY"), file=sys.stderr)
        return 3
    except Failure as failure:
        print("FAILED: %s" % failure, file=sys.stderr)
        return 1
    except Exception as error:  # the bus or a window went away under us
        print("FAILED: %s: %s" % (type(error).__name__, error), file=sys.stderr)
        return 1
    print("PASSED")
    return 0


if __name__ == "__main__":
    sys.exit(main())

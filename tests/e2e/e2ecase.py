"""What the end-to-end test files share: one private desktop per file, the program started
afresh per case with a tagged MP3 on its command line, and the steps users take."""

import os
import re
import shutil
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import harness  # noqa: E402
import media  # noqa: E402
import windows  # noqa: E402

PROGRAM = os.environ.get("ZINDARA_PROGRAM", "")
PROBE = os.environ.get("ZINDARA_E2E_PROBE", "")
OUT = os.environ.get("ZINDARA_E2E_OUT", os.getcwd())

INPUT_ROLES = set(windows.TEXT + windows.SPIN + windows.LIST + windows.COMBO + windows.SLIDER
                  + windows.CHECK)


class ProgramCase(unittest.TestCase):
    """One desktop for the class; `open_program` starts the program on a fresh input file."""

    program = PROGRAM
    session = None

    @classmethod
    def setUpClass(cls):
        if not cls.program or not os.access(cls.program, os.X_OK):
            raise unittest.SkipTest("program not built: %r" % cls.program)
        keep = os.environ.get("ZINDARA_E2E_KEEP")
        cls.session = harness.Session(cls.program, name=cls.__name__,
                                      keep=keep and os.path.join(keep, cls.__name__))
        cls.session.__enter__()

    @classmethod
    def tearDownClass(cls):
        if cls.session is not None:
            cls.session.close()
            leftovers = cls.session.stragglers()
            assert not leftovers, "processes left behind: %r" % leftovers

    def tearDown(self):
        self.session.stop_program()

    def skip_unless_built(self, row):
        reason = row.missing()
        if reason:
            self.skipTest(reason)

    def open_program(self, row=windows.MAIN, font_size=12, program=None):
        s = self.session
        folder = os.path.join(s.dir, "work%d" % int(time.monotonic() * 1000))
        os.makedirs(folder)
        self.input = media.make_mp3(os.path.join(folder, "probe.mp3"))
        s.write_settings(font_size=font_size, mode=row.settings.get("mode", 2),
                         folder=folder)
        s.start_program(self.input, program=program)
        return folder

    def set_marks(self, count, gap=0.8):
        """Plays and sets `count` marks with Ctrl+M, `gap` seconds apart, answering each
        message; returns the marks' positions in milliseconds as the messages give them."""
        s = self.session
        marks = []
        for _ in range(count):
            s.key("ctrl+w")
            time.sleep(gap)
            before = self.windows_now()
            s.key("ctrl+m", delay=0.05)
            text = self.answer_message(before)
            found = re.search(r"Marke auf Position (\d+):(\d\d):(\d\d),(\d{3}) gesetzt!", text)
            self.assertIsNotNone(found, "after Ctrl+M: %r" % text)
            h, m, sec, ms = (int(g) for g in found.groups())
            marks.append(((h * 60 + m) * 60 + sec) * 1000 + ms)
        return marks

    def close_with(self, frame, key, back_to=None):
        """Closes the window with `key` and hands the input focus back to `back_to` (the main
        window), as a window manager would."""
        s = self.session
        s.key(key)
        harness.wait_until(lambda: not harness.showing(frame), timeout=10,
                           what="%r to close" % frame.name)
        s.focus_window(back_to or s.main)

    def windows_now(self):
        return [f for f in self.session.frames() if harness.showing(f)]

    def answer_message(self, before, key="Return", timeout=8):
        """Waits for a message box that is not among the windows `before`, answers it with
        `key` and returns its text."""
        s = self.session
        box = s.wait_window(None, exclude=before, timeout=timeout)
        text = " ".join(n.name for n in harness.walk(box)
                        if harness.role_name(n) == "label" and n.name)
        s.focus_window(box)
        s.key(key)
        harness.wait_until(lambda: not harness.showing(box), timeout=5, what="the box to close")
        # Without a window manager nobody hands the input focus back.
        if before:
            s.focus_window(before[-1])
        return text

    def open_window(self, row):
        """Opens the row's window from the main window by its keys; returns its frame."""
        s = self.session
        if row is windows.MAIN:
            return s.main
        if row.needs_marks:
            self.set_marks(row.needs_marks)
        before = list(s.frames())
        for k in row.open_keys:
            if k.startswith("@"):
                s.focus_window(s.wait_window(k[1:], exclude=before, timeout=15))
            else:
                s.key(k)
        frame = s.wait_window(row.title, exclude=before, timeout=15)
        s.focus_window(frame)
        return frame

    # ---- reading a window ---------------------------------------------------------------
    def input_controls(self, frame):
        """The controls a user can type into or choose from, outermost only (the edit inside
        a combo box is the combo box)."""
        found = []

        def visit(node, inside_input):
            role = harness.role_name(node)
            is_input = role in INPUT_ROLES and harness.showing(node)
            if is_input and not inside_input:
                found.append(node)
            for i in range(node.childCount):
                child = node.getChildAtIndex(i)
                if child is not None and harness.role_name(child) not in ("menu", "popup menu"):
                    visit(child, inside_input or is_input)
        visit(frame, False)
        return found

    def match_controls(self, frame, row):
        """Pairs each expected control with the accessible object that stands for it."""
        nodes = [n for n in harness.walk(frame) if harness.showing(n)]
        taken = set()
        matched = []
        for c in row.controls:
            hit = None
            for n in nodes:
                key = id(n), n.name
                if key in taken:
                    continue
                if harness.role_name(n) in c.roles and c.name_ok(n.name):
                    hit = n
                    break
            if hit is None:
                self.fail("%s: no %s; the window holds:\n%s"
                          % (row.key, c.describe(), "\n".join(harness.dump(frame))))
            taken.add((id(hit), hit.name))
            matched.append((c, hit))
        return matched

    def tab_cycle(self, frame, steps):
        """(role, name) of each control the focus visits with Tab."""
        s = self.session
        seen = []
        for _ in range(steps):
            s.key("Tab", delay=0.1)
            node = s.focused()
            if node is not None:
                seen.append((harness.role_name(node), node.name))
        return seen

    def check_menus(self, menus):
        s = self.session
        bar = next(n for n in harness.walk(s.main) if harness.role_name(n) == "menu bar")
        tops = [bar.getChildAtIndex(i) for i in range(bar.childCount)]
        by_name = {t.name: t for t in tops}
        for caption, items in menus:
            top = by_name.get(windows.plain(caption))
            self.assertIsNotNone(top, "menu %r missing; the bar holds %r"
                                 % (caption, sorted(by_name)))
            letter = caption[caption.index("&") + 1]
            self.assertEqual(harness.key_binding(top).lower(), "alt+" + letter.lower())
            found = {n.name: n for n in harness.walk(top)
                     if harness.role_name(n) in ("menu item", "menu", "radio menu item",
                                                  "check menu item") and n is not top}
            for item, shortcut in items:
                node = found.get(windows.plain(item))
                self.assertIsNotNone(node, "item %r missing in %r; it holds %r"
                                     % (item, caption, sorted(found)))
                binding = harness.key_binding(node)
                if shortcut:
                    self.assertEqual(binding, shortcut, "shortcut of %r" % item)
                else:
                    self.assertNotIn("Ctrl+", binding, "%r has no shortcut" % item)

    def check_window(self, row):
        self.skip_unless_built(row)
        self.open_program(row)
        frame = self.open_window(row)
        s = self.session

        # Every input control has a role and a name.
        for node in self.input_controls(frame):
            self.assertTrue(node.name, "%s: a %s without a name" % (row.key, harness.role_name(node)))
        matched = self.match_controls(frame, row)

        # Tab reaches every input control and comes round to where it started.
        start = s.focused()
        self.assertIsNotNone(start, "%s: nothing has the focus" % row.key)
        start = (harness.role_name(start), start.name)
        visited = self.tab_cycle(frame, len(row.controls) + 4)
        for c, n in matched:
            if c.input:
                self.assertIn((harness.role_name(n), n.name), [start] + visited,
                              "%s: Tab never reaches %s" % (row.key, c.describe()))
        self.assertIn(start, visited, "%s: Tab never comes back to %r; it goes %r"
                      % (row.key, start, visited))

        # Each label's accelerator focuses its field.
        for c, n in matched:
            if c.accel:
                s.key(c.accel)
                focused = s.focused()
                self.assertIsNotNone(focused, "%s: %s focuses nothing" % (row.key, c.accel))
                self.assertEqual(focused.name, n.name, "%s: %s" % (row.key, c.accel))

    def focus_control(self, control, node, accelerators=True, delay=0.1):
        """Moves the focus onto the control: away first if it is there already, then by its
        accelerator or by Tab, waiting `delay` seconds after each key."""
        s = self.session

        def is_it(f):
            return f is not None and f.name == node.name and \
                harness.role_name(f) == harness.role_name(node)
        if is_it(s.focused()):
            s.key("Tab", delay=delay)
        if control.accel and accelerators:
            s.key(control.accel, delay=delay)
        for key in ("Tab", "shift+Tab"):
            for _ in range(20):
                if is_it(s.focused()):
                    return
                s.key(key, delay=delay)
        self.fail("the focus never reaches %s" % control.describe())

    def assert_fields_speak(self, frame, row, screen_reader_says=None):
        """Focusing each field makes the program speak exactly its accessible name; with
        `screen_reader_says`, the screen reader's own announcement is checked as well."""
        s = self.session
        for c, n in self.match_controls(frame, row):
            if not c.spoken:
                continue
            before = len(s.spoken())
            # Orca takes Alt pressed and released on its own as a press of Alt alone, which
            # opens the menu bar; with it running the focus moves by Tab only, and slowly:
            # Orca skips a focus event when a newer one waits behind it.
            self.focus_control(c, n, accelerators=not screen_reader_says,
                               delay=0.6 if screen_reader_says else 0.1)
            said = c.spoken if isinstance(c.spoken, str) else n.name
            try:
                harness.wait_until(lambda: said in s.spoken()[before:], timeout=5)
            except TimeoutError:
                self.fail("%s: focusing %s spoke %r, not its name %r"
                          % (row.key, c.describe(), s.spoken()[before:], said))
            if screen_reader_says:
                try:
                    harness.wait_until(lambda: any(screen_reader_says(n, line)
                                                   for line in s.spoken()[before:]), timeout=5)
                except TimeoutError:
                    self.fail("%s: the screen reader said %r on %s"
                              % (row.key, s.spoken()[before:], c.describe()))

    def text_of(self, node):
        t = node.queryText()
        return t.getText(0, t.characterCount)


class OrcaCase(ProgramCase):
    """The same, with the real Orca running on the desktop for the whole class."""

    @classmethod
    def setUpClass(cls):
        if shutil.which("orca") is None:
            raise unittest.SkipTest("Orca is not installed")
        super().setUpClass()
        cls.orca = cls.session.start_orca()


def main():
    harness.main()

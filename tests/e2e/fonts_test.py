"""Large fonts: every window opened at 8, 12, 24 and 36 points on a 1280x800 screen keeps each
control inside itself and inside the screen, and no two controls overlap. Screenshots at 12 and
36 points are written to screenshots/ in the build folder."""

import os

import e2ecase
import harness
import windows
from e2ecase import ProgramCase
from harness_test import PROBE_DIALOG

SIZES = (8, 12, 24, 36)
SHOTS = (12, 36)
# What a user sees as one control; what lies inside one (a list's rows, a status bar's
# panels, a menu bar's menus) belongs to it.
CONTROL_ROLES = e2ecase.INPUT_ROLES | {"label", "push button", "progress bar", "status bar",
                                       "menu bar", "check box", "radio button", "tool bar"}


def controls(frame):
    found = []

    def visit(node):
        for i in range(node.childCount):
            child = node.getChildAtIndex(i)
            if child is None or not harness.showing(child):
                continue
            if harness.role_name(child) in CONTROL_ROLES:
                found.append(child)
            elif harness.role_name(child) not in ("menu", "popup menu"):
                visit(child)
    visit(frame)
    return found


def inside(inner, outer):
    x, y, w, h = inner
    X, Y, W, H = outer
    return x >= X and y >= Y and x + w <= X + W and y + h <= Y + H


def overlap(a, b):
    return (min(a[0] + a[2], b[0] + b[2]) > max(a[0], b[0])
            and min(a[1] + a[3], b[1] + b[3]) > max(a[1], b[1]))


class LargeFonts(ProgramCase):
    def check_fonts(self, row, program=None):
        self.skip_unless_built(row)
        shots = os.path.join(e2ecase.OUT, "screenshots")
        os.makedirs(shots, exist_ok=True)
        for size in SIZES:
            self.open_program(row, font_size=size, program=program)
            frame = self.open_window(row)
            window = harness.extents(frame)
            self.assertTrue(inside(window, (0, 0) + harness.SCREEN),
                            "%s at %d pt: the window %r leaves the screen" % (row.key, size, window))
            found = [(c, harness.extents(c)) for c in controls(frame)]
            self.assertTrue(found, "%s at %d pt: no controls" % (row.key, size))
            for c, box in found:
                self.assertGreater(box[2] * box[3], 0, "%s at %d pt: %s %r has no size"
                                   % (row.key, size, harness.role_name(c), c.name))
                self.assertTrue(inside(box, window), "%s at %d pt: %s %r at %r outside the "
                                "window %r" % (row.key, size, harness.role_name(c), c.name,
                                               box, window))
            for i, (a, abox) in enumerate(found):
                for b, bbox in found[i + 1:]:
                    self.assertFalse(overlap(abox, bbox), "%s at %d pt: %s %r %r overlaps %s %r %r"
                                     % (row.key, size, harness.role_name(a), a.name, abox,
                                        harness.role_name(b), b.name, bbox))
            if size in SHOTS:
                name = "%s-%dpt.png" % (row.key.replace(" ", "-"), size)
                self.session.screenshot(os.path.join(shots, name), window)
            self.session.stop_program()

    def test_probe_dialog(self):
        self.check_fonts(PROBE_DIALOG, program=e2ecase.PROBE)


def _case(row):
    def test(self):
        self.check_fonts(row)
    return test


for _row in windows.WINDOWS:
    setattr(LargeFonts, "test_" + _row.key.replace(" ", "_").replace("-", "_"), _case(_row))


if __name__ == "__main__":
    e2ecase.main()

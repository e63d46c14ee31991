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


def clip(box):
    x, y, w, h = box
    x0, y0 = max(x, 0), max(y, 0)
    return (x0, y0, min(x + w, harness.SCREEN[0]) - x0, min(y + h, harness.SCREEN[1]) - y0)


def describe(node, box):
    return "%s %r at %r" % (harness.role_name(node), node.name, box)


def layout_problems(frame, window):
    problems = []
    if not inside(window, (0, 0) + harness.SCREEN):
        problems.append("the window %r leaves the screen" % (window,))
    found = [(c, harness.extents(c)) for c in controls(frame)]
    if not found:
        problems.append("no controls")
    for c, box in found:
        if box[2] <= 0 or box[3] <= 0:
            problems.append("%s has no size" % describe(c, box))
        elif not inside(box, window):
            problems.append("%s outside the window %r" % (describe(c, box), window))
        elif not inside(box, (0, 0) + harness.SCREEN):
            problems.append("%s outside the screen" % describe(c, box))
    for i, (a, abox) in enumerate(found):
        for b, bbox in found[i + 1:]:
            if overlap(abox, bbox):
                problems.append("%s overlaps %s" % (describe(a, abox), describe(b, bbox)))
    return problems


class LargeFonts(ProgramCase):
    def check_fonts(self, row, program=None):
        self.skip_unless_built(row)
        shots = os.path.join(e2ecase.OUT, "screenshots")
        os.makedirs(shots, exist_ok=True)
        problems = []
        for size in SIZES:
            self.open_program(row, font_size=size, program=program)
            frame = self.open_window(row)
            window = harness.extents(frame)
            if size in SHOTS:
                name = "%s-%dpt.png" % (row.key.replace(" ", "-"), size)
                self.session.screenshot(os.path.join(shots, name), clip(window))
            problems += ["%d pt: %s" % (size, p) for p in layout_problems(frame, window)]
            self.session.stop_program()
        self.assertFalse(problems, "%s:\n%s" % (row.key, "\n".join(problems)))

    def test_probe_dialog(self):
        self.check_fonts(PROBE_DIALOG, program=e2ecase.PROBE)


for _row in windows.WINDOWS:
    _name, _test = windows.case(_row, "fonts", LargeFonts.check_fonts)
    setattr(LargeFonts, _name, _test)


if __name__ == "__main__":
    e2ecase.main()

"""The end-to-end machinery tried on a small probe window built on the windows' common ground:
a shortcut opens a dialog, its fields are found by role and name, reached by Tab and by their
labels' accelerators, speak their names to a screen reader, and nothing outlives the test."""

import os
import time

import e2ecase
import harness
from e2ecase import ProgramCase
from windows import BUTTON, TEXT, Control, Window

PROBE_DIALOG = Window(
    key="probe dialog", title="Probe", source=[("tests/e2e/probe", r"TProbeDialog")],
    open_keys=["ctrl+o"],
    controls=[Control(TEXT, "Titel:", "alt+t"), Control(TEXT, "Autor:", "alt+u"),
              Control(BUTTON, "OK", spoken=False, input=False)])
PROBE_MENUS = [("&Datei", [("Ö&ffnen...", "Ctrl+O")])]


class Harness(ProgramCase):
    program = e2ecase.PROBE

    def test_dialog_opened_by_its_shortcut_shows_its_fields(self):
        self.check_window(PROBE_DIALOG)

    def test_menu_item_carries_caption_and_shortcut(self):
        self.open_program()
        self.check_menus(PROBE_MENUS)

    def test_a_wrong_name_or_shortcut_is_caught(self):
        wrong = Window(key="probe dialog", title="Probe", source=PROBE_DIALOG.source,
                       open_keys=["ctrl+o"], controls=[Control(TEXT, "Titel", "alt+t")])
        with self.assertRaises(AssertionError):
            self.check_window(wrong)
        self.session.stop_program()
        self.open_program()
        with self.assertRaises(AssertionError):
            self.check_menus([("&Datei", [("Ö&ffnen...", "Ctrl+P")])])

    def test_focused_fields_speak_their_names_to_the_screen_reader(self):
        s = self.session
        orca = s.stand_in_orca()
        try:
            self.open_program()
            frame = self.open_window(PROBE_DIALOG)
            self.assert_fields_speak(frame, PROBE_DIALOG)
        finally:
            orca.kill()
            orca.wait(5)

    def test_tear_down_leaves_no_process(self):
        other = harness.Session(self.program, name="teardown", connect=False)
        with other:
            other._spawn([self.program], env=other.program_env())
            other.stand_in_orca()
            time.sleep(1)
            pids = other.stragglers()
            self.assertGreaterEqual(len(pids), 7)
        time.sleep(0.2)

        def alive(pid):
            try:
                with open("/proc/%d/stat" % pid) as f:
                    return f.read().rsplit(")", 1)[1].split()[0] != "Z"
            except OSError:
                return False
        self.assertEqual([p for p in pids if alive(p)], [])
        self.assertFalse(os.path.exists(other.dir))


if __name__ == "__main__":
    e2ecase.main()

"""Every window as a screen reader sees it: opened by its keys from the main window, every input
control with a role and a name, reached by Tab and by its label's accelerator; every menu item
with its caption and shortcut."""

import os

import e2ecase
import harness
import media
import windows
from e2ecase import ProgramCase


class ProgramWindows(ProgramCase):
    def test_main_window_opens_the_file_named_on_the_command_line(self):
        self.skip_unless_built(windows.MAIN)
        self.open_program()
        s = self.session
        harness.wait_until(lambda: "probe.mp3 - Zindara V1.42" in (s.main.name or ""),
                           what="the caption with the file name")
        name_field = self.match_controls(s.main, windows.MAIN)[0][1]
        self.assertIn("probe.mp3", self.text_of(name_field))

    def test_demo_book_opens(self):
        demo = os.environ.get("ZINDARA_DEMO", "")
        if not os.path.exists(demo):
            self.skipTest("no demo book in this build (espeak-ng or lame missing)")
        self.skip_unless_built(windows.MAIN)
        audio, (v2, v1_title) = media.audio_bytes(demo), media.tags(demo)
        self.assertEqual(str(v2["TIT2"]), "Zindara-Demo")
        self.assertEqual(v1_title, "Zindara-Demo")
        self.assertGreater(len(audio), 100000)
        s = self.session
        s.write_settings()
        s.start_program(demo)
        harness.wait_until(lambda: "zindara-demo.mp3 - Zindara V1.42" in (s.main.name or ""),
                           what="the demo book's name in the caption")

    def test_status_bar_panels_read_what_they_show(self):
        self.skip_unless_built(windows.MAIN)
        self.open_program()
        bar = next(n for n in harness.walk(self.session.main)
                   if harness.role_name(n) == "status bar")
        said = " | ".join("%s %s" % (n.name, n.description) for n in harness.walk(bar))
        for shown in ("Modus: Minuten", "Marken: 0", "Strg+T"):
            self.assertIn(shown, said)

    def test_every_menu_item_has_its_caption_and_shortcut(self):
        self.skip_unless_built(windows.MENUS_WINDOW)
        self.open_program()
        self.check_menus(windows.MENUS)


for _row in windows.WINDOWS:
    _name, _test = windows.case(_row, "windows", ProgramWindows.check_window)
    setattr(ProgramWindows, _name, _test)


if __name__ == "__main__":
    e2ecase.main()

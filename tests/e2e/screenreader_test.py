"""What a blind user hears from the real Orca on the typical road, with the player running:
each field's value whole, each window's title and then its focused control or row, the mark
message; Orca's event queue never overflows ("FLOOD" in its debug log), and the program sends
next to nothing while nothing changes."""

import collections
import os
import re
import time

import e2ecase
import harness
import media
import windows
from e2ecase import OrcaCase

TIME = r"\d:\d\d:\d\d,\d{3}"


class ScreenReaderKeepsUp(OrcaCase):
    def open_book(self, seconds=25):
        """The program on a 25-second book in a folder of its own."""
        s = self.session
        self.skip_unless_built(windows.MAIN)
        folder = os.path.join(s.dir, "book%d" % int(time.monotonic() * 1000))
        os.makedirs(folder)
        self.input = media.make_mp3(os.path.join(folder, "Hoerbuch.mp3"), seconds=seconds)
        s.write_settings(folder=folder, mode=4)
        before = len(s.spoken())
        s.start_program(self.input)
        # Keys pressed before Orca knows the window go unannounced.
        harness.wait_until(lambda: any(line.startswith("Hoerbuch.mp3 - ")
                                       for line in s.spoken()[before:]),
                           timeout=15, what="Orca to announce the main window")
        time.sleep(0.5)
        return folder

    def hear(self, key, expected, what, timeout=5, delay=0.2, since=None):
        """Presses `key` and waits until Orca has said each of `expected` (texts or patterns)
        in that order, since the key or since line `since`; returns what it said."""
        s = self.session
        before = len(s.spoken()) if since is None else since
        if key:
            s.key(key, delay=delay)

        def heard():
            said = s.spoken()[before:]
            i = 0
            for line in said:
                want = expected[i]
                if (want.search(line) if hasattr(want, "search") else line.rstrip(".") == want):
                    i += 1
                    if i == len(expected):
                        return said
            return None
        try:
            return harness.wait_until(heard, timeout=timeout, what=what)
        except TimeoutError:
            self.fail("%s: Orca said %r, not %r" % (what, s.spoken()[before:], expected))

    def dialog_heard(self, key, title, focused):
        """The window's title within a second of the key; its focused control follows."""
        before = len(self.session.spoken())
        self.hear(key, [re.compile(title)], key + ": the title", timeout=1.0)
        self.hear(None, [re.compile(title), focused], key + ": the title, then the focus",
                  timeout=3, since=before)

    def test_the_road_is_heard_whole_while_playing(self):
        s = self.session
        self.open_book()
        # Playing from the start puts the focus on the position; Up reads the other fields
        # while the position runs on, each value whole.
        self.hear("ctrl+w", [re.compile(r"^MP3-Position"), re.compile("^" + TIME + r"\.?$")],
                  "Ctrl+W to play", delay=0.8)
        size = len(media.audio_bytes(self.input))  # the size shown is that of the audio
        self.hear("Up", [re.compile(r"^MP3-Dauer"), re.compile("^" + TIME + r"\.?$")],
                  "Up to MP3-Dauer", delay=0.8)
        self.hear("Up", [re.compile(r"^Dateigröße"), "%s Bytes" % format(size, ",").replace(",", ".")],
                  "Up to Dateigröße", delay=0.8)
        self.hear("Up", [re.compile(r"^Dateiname"), self.input], "Up to Dateiname", delay=0.8)
        self.hear("Down", [re.compile(r"^Dateigröße")], "Down to Dateigröße", delay=0.8)

        # The mark's message: its title, its text, its button.
        said = self.hear("ctrl+m", [re.compile("Information"),
                                    re.compile(r"^Marke auf Position %s gesetzt!$" % TIME),
                                    re.compile(r"^OK")], "Ctrl+M while playing", timeout=1.0)
        s.key("Return", delay=0.5)
        s.focus_window(s.main)
        mark = re.search(TIME, next(l for l in said if l.startswith("Marke auf"))).group(0)

        # The marks editor: its title within a second, then the focused row with its tick.
        self.dialog_heard("ctrl+b", r"^Marken bearbeiten", "1. 0:00:00,001 - %s nicht angehakt" % mark)
        s.key("Escape", delay=0.5)
        s.focus_window(s.main)

        # The go-to-mark list: its title, then the selected line.
        self.dialog_heard("ctrl+k", r"^Gehe zu Marke", "1.: %s" % mark)
        s.key("Escape", delay=0.5)
        s.focus_window(s.main)

        with open(s.orca_debug, encoding="utf-8", errors="replace") as f:
            log = f.read()
        self.assertNotIn("FLOOD", log)
        print("\nOrca said on the road:\n" + "\n".join(s.spoken()))

    def test_nothing_is_sent_while_paused(self):
        s = self.session
        self.open_book()
        s.key("ctrl+w", delay=1.5)
        playing = s.program_events(3)
        s.key("ctrl+w", delay=1.0)
        paused = s.program_events(3)
        print("\nevents per second: playing %.1f, paused %.1f\nplaying: %r\npaused: %r"
              % (len(playing) / 3, len(paused) / 3, collections.Counter(playing),
                 collections.Counter(paused)))
        self.assertLessEqual(len(paused), 3, "paused for 3 s: %r" % collections.Counter(paused))
        # Still the position while playing, ten times a second.
        self.assertGreater(collections.Counter(playing)["Object.TextChanged:insert"], 10)


if __name__ == "__main__":
    e2ecase.main()

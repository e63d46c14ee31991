"""The typical road by keyboard alone: start with a file on the command line, play, set three
marks, review them with Ctrl+B, split at them with Ctrl+T, give every piece a title with Ctrl+D,
then join the pieces with Ctrl+Z. The files on disk are checked against the input's tag-free
audio, read here without the program's code, and with mutagen as the independent tag reader."""

import glob
import os

import e2ecase
import harness
import media
import windows
from e2ecase import ProgramCase

NEEDS = [windows.MAIN] + [w for w in windows.WINDOWS if w.key in ("marks editor", "tag editor")]
JOIN_NEEDS = [w for w in windows.WINDOWS if w.key in ("file collection dialog",
                                                        "order-and-save dialog")]
MARKS_MODE = 4  # "Teile bei Mar&ken"


class TypicalRoad(ProgramCase):
    def test_split_at_three_marks_title_the_pieces_and_join_them(self):
        for row in NEEDS:
            self.skip_unless_built(row)
        s = self.session
        for handler in ("Button1Click", "MenuAktMp3InfosMehrereClick"):
            self.skip_unless_built(windows.Window(key="the road", title=None, open_keys=[],
                                                  controls=[], source=[windows.wired(handler)]))
        folder = self.open_program(windows.Window(
            key="main window", title=None, source=windows.MAIN.source, open_keys=[],
            controls=[], settings={"mode": MARKS_MODE}))
        audio = media.audio_bytes(self.input)

        # Listen and mark.
        marks = self.set_marks(3)
        self.assertEqual(marks, sorted(marks))

        # Review the marks: four segments, closed without change.
        s.key("ctrl+b")
        editor = s.wait_window("Marken bearbeiten", exclude=[s.main])
        rows = [n for n in harness.walk(editor)
                if harness.role_name(n) in ("list item", "table row", "table cell", "tree item")]
        self.assertTrue(rows, "the marks editor lists no segments")
        self.close_with(editor, "Escape")

        # Split at the marks.
        s.key("ctrl+t")
        editor = s.wait_window("Marken bearbeiten und teilen starten", exclude=[s.main])
        self.close_with(editor, "alt+s")
        pieces = harness.wait_until(
            lambda: len(self.pieces(folder)) == 4 and self.pieces(folder), timeout=15,
            what="four pieces beside the input")
        harness.wait_until(lambda: b"".join(self.read(p) for p in pieces) == audio, timeout=10,
                           what="the pieces to hold the input's audio, in order")
        expected = self.expected_sizes(len(audio), marks)
        for piece, size in zip(pieces, expected):
            self.assertLessEqual(abs(os.path.getsize(piece) - size), len(audio) // 100,
                                 "%s: %d bytes, about %d expected" % (piece, os.path.getsize(piece), size))
        cut = [self.read(p) for p in pieces]

        # One title for every piece.
        s.key("ctrl+d")
        tags = s.wait_window("Id3Tags von zerteilten Dateien eingeben", exclude=[s.main])
        s.key("alt+t")
        s.key("ctrl+a")
        s.type_text("Kapitel")
        s.key("alt+u")
        s.key("ctrl+a")
        s.type_text("Vorleser")
        self.close_with(tags, "Return")
        for piece, data in zip(pieces, cut):
            v2, v1_title = harness.wait_until(lambda: self.tagged(piece), timeout=10,
                                              what="tags in %s" % piece)
            self.assertEqual(str(v2["TIT2"]), "Kapitel")
            self.assertEqual(str(v2["TPE1"]), "Vorleser")
            self.assertEqual(v1_title, "Kapitel")
            self.assertEqual(media.audio_bytes(piece), data, "%s: audio changed by tagging" % piece)

        # Join the four pieces into one file; until the joining dialogs are there, the road
        # ends here.
        for row in JOIN_NEEDS:
            self.skip_unless_built(row)
        joined = os.path.join(folder, "joined.mp3")
        s.key("ctrl+z")
        self.join_pieces(joined)
        harness.wait_until(lambda: os.path.exists(joined) and media.audio_bytes(joined) == audio,
                           timeout=15, what="the joined file to hold the input's audio")

    # ---- steps ------------------------------------------------------------------------
    def join_pieces(self, joined):
        """Collection dialog: untick the input, keep the four pieces ticked, go on;
        order-and-save dialog: save as `joined`."""
        s = self.session
        collect = s.wait_window("Dateien zusammenfügen", exclude=[s.main], timeout=15)
        s.focus_window(collect)
        files = next(n for n in harness.walk(collect) if harness.role_name(n) in windows.LIST)
        self.focus_control(windows.Control(windows.LIST, files.name), files, accelerators=False)
        # The input sorts before its pieces ("probe.mp3" < "probe_0001.mp3").
        s.key("Home", "space")
        s.key("alt+w")
        order = s.wait_window("Reihenfolge ändern", exclude=[s.main, collect], timeout=15)
        s.focus_window(order)
        s.key("alt+s")
        save = s.wait_window(None, exclude=[s.main, collect, order], timeout=15)
        s.focus_window(save)
        s.type_text(joined)
        s.key("Return")
        return collect, order

    def pieces(self, folder):
        return sorted(glob.glob(os.path.join(folder, "probe_[0-9][0-9][0-9][0-9].mp3")))

    @staticmethod
    def read(path):
        with open(path, "rb") as f:
            return f.read()

    def tagged(self, piece):
        v2, v1_title = media.tags(piece)
        return (v2, v1_title) if v2 is not None and "TIT2" in v2 and v1_title else None

    def expected_sizes(self, size, marks):
        """Bytes per piece for marks at these positions: proportional to their time spans,
        one byte more each; the last takes the rest. The length is the audio's, from mutagen."""
        import mutagen.mp3
        length = mutagen.mp3.MP3(self.input).info.length * 1000
        sizes, last = [], 0
        for m in marks:
            sizes.append(int(size / length * (m - last)) + 1)
            last = m
        sizes.append(size - sum(sizes))
        return sizes


if __name__ == "__main__":
    e2ecase.main()

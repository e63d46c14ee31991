"""Every window of the program as its users meet it: how it opens from the keyboard, the
controls a screen reader must find in it (role and name), the key that focuses each through its
label, and the main window's menus with captions and shortcuts.

A row names what its window needs in the source tree: the window's class and the main window's
command that opens it doing something. While one is missing the row is skipped with that
reason; once both are there, the row must pass.
"""

import os
import re
import unittest
from dataclasses import dataclass, field

SOURCE = os.environ.get("ZINDARA_SOURCE_DIR",
                        os.path.normpath(os.path.join(os.path.dirname(__file__), "..", "..")))

TEXT = ("text", "entry", "password text")
SPIN = ("spin button",) + TEXT
LIST = ("list", "list box", "table", "tree table", "tree", "tree view")
COMBO = ("combo box",) + TEXT
SLIDER = ("slider",)
BUTTON = ("push button",)
CHECK = ("check box",)
ANY_NAME = None  # the name is not fixed anywhere; any non-empty name will do


@dataclass
class Control:
    roles: tuple
    name: object  # text, compiled pattern, or ANY_NAME
    accel: str = None  # key that reaches it through its label's accelerator
    # the program speaks its name when it receives the focus; a text: what it speaks instead
    spoken: object = True
    input: bool = True  # an input control, reached by Tab

    def name_ok(self, actual):
        if self.name is ANY_NAME:
            return bool(actual)
        if isinstance(self.name, re.Pattern):
            return bool(self.name.fullmatch(actual or ""))
        return actual == self.name

    def describe(self):
        n = self.name.pattern if isinstance(self.name, re.Pattern) else self.name
        return "%s %r" % ("/".join(self.roles[:1]), n)


def button(name):
    return Control(BUTTON, name, spoken=False, input=False)


@dataclass
class Window:
    key: str
    title: object  # part of the caption, or None for "the new window"
    # [(folder, pattern)]: the window is there once each pattern is found in its folder
    source: list
    # Key presses from the main window with a file open; "@caption" waits for the window with
    # that caption and gives it the input focus (a search or message window may come between).
    open_keys: list
    controls: list
    settings: dict = field(default_factory=dict)  # settings before the program starts
    needs_marks: int = 0  # marks set (play, Ctrl+M) before the window opens
    # Faults seen and not mended yet, by test ("windows", "speech", "fonts"): the test is
    # expected to fail for the reason given, and reports it when it passes again.
    faults: dict = field(default_factory=dict)

    def missing(self):
        for folder, needle, *what in self.source:
            root = os.path.join(SOURCE, folder)
            texts = []
            if os.path.isdir(root):
                for name in sorted(os.listdir(root)):
                    if name.endswith((".h", ".cpp")):
                        with open(os.path.join(root, name), encoding="utf-8",
                                  errors="replace") as f:
                            texts.append(f.read())
            if not any(re.search(needle, t) for t in texts):
                return "%s: %s" % (self.key, what[0] if what else
                                   "%s is not in %s yet" % (needle, folder))
        return None


def case(row, kind, check):
    """A test method for the row's check, marked as an expected failure while a fault of the
    program is listed for it."""
    def test(self):
        check(self, row)
    test.__doc__ = "%s: %s" % (row.key, row.faults.get(kind, kind))
    if kind in row.faults:
        test = unittest.expectedFailure(test)
    return "test_" + re.sub(r"\W+", "_", row.key), test


def built(folder, name):
    """The window's class exists."""
    return (folder, r"\bclass\s+%s\b" % name, "the class %s is not in %s yet" % (name, folder))


def wired(handler):
    """The main window's command handler does something."""
    return ("src/ui/main", r"void TForm1::%s\([^)]*\)\s*\{\s*[^}\s]" % handler,
            "the main window's %s does nothing yet" % handler)


MAIN = Window(
    key="main window",
    title="probe.mp3 - Zindara V1.42",
    source=[("src/ui/main", r"\bEdit1\b")],
    open_keys=[],
    controls=[
        Control(TEXT, "Dateiname", "alt+n"),
        Control(TEXT, "Dateigröße", "alt+g"),
        Control(TEXT, "MP3-Dauer", "alt+3"),
        Control(TEXT, "MP3-Position", "alt+p"),
        Control(SLIDER, "Lautstärke", "alt+l"),
        Control(TEXT, ANY_NAME, spoken=False),  # the memo
        button("Marke setzen"),
        button("Teilen..."),
    ],
)

WINDOWS = [
    MAIN,
    Window(
        key="number dialog",
        title="Gehe zu Minute",
        source=[built("src/ui/main", "TBytesForm")],
        open_keys=["ctrl+g"],
        controls=[
            Control(SPIN, re.compile(r"Sprungziel in Minuten eingeben \(Max\. [0-9.]+\):")),
            button("OK"),
            button("Abbrechen"),
        ],
    ),
    Window(
        key="number dialog for splitting",
        title="Sekunden eingeben",
        source=[built("src/ui/main", "TBytesForm"), wired("Button1Click")],
        settings={"mode": 3},
        open_keys=["ctrl+t"],
        controls=[
            Control(SPIN, re.compile(r"Dateigröße in Sekunden eingeben \(Max\. [0-9.]+\):")),
            Control(SPIN, "Überlappung in Sekunden eingeben (0-9):"),
            button("Teilen starten"),
            button("Abbrechen"),
        ],
    ),
    Window(
        key="go-to-mark dialog",
        title="Gehe zu Marke",
        source=[built("src/ui/main", "TGeheMarkeForm"), wired("MenuAktMarkeSetzenClick"),
                wired("MenuPlayGeheMarkeClick")],
        needs_marks=1,
        open_keys=["ctrl+k"],
        controls=[Control(LIST, ANY_NAME, spoken=False), button("OK"), button("Abbrechen")],
    ),
    Window(
        key="marks editor",
        title="Marken bearbeiten",
        source=[built("src/ui/marks", "TMarkenForm"), wired("MenuAktMarkeSetzenClick"),
                wired("MenuAktMarkenBearbeitenClick")],
        needs_marks=1,
        open_keys=["ctrl+b"],
        controls=[Control(LIST, ANY_NAME, spoken=False), button("OK"), button("Schließen")],
    ),
    Window(
        key="tag editor",
        title="Id3Tags von geöffneter Datei eingeben",
        source=[built("src/ui/tags", "TId3TagsForm"), wired("MenuAktMp3InfosDateiClick")],
        open_keys=["ctrl+i"],
        controls=[
            Control(TEXT, "Titel:", "alt+t"),
            Control(TEXT, "Autor:", "alt+u"),
            Control(TEXT, "Albumtitel:", "alt+l"),
            Control(TEXT, "Jahr:", "alt+j"),
            Control(TEXT, "Kommentar:", "alt+m"),
            Control(TEXT, "Tracknummer:", "alt+n"),
            Control(COMBO, "Genre", "alt+g", spoken="Genre:"),  # the box; its edit speaks its label
            button("OK"),
            button("Abbrechen"),
        ],
    ),
    Window(
        key="file collection dialog",
        title="Dateien zusammenfügen",
        source=[built("src/ui/join", "TMp3AddDlg"), wired("MenuAktZusammenfuegenClick")],
        open_keys=["ctrl+z", "@Dateien zusammenfügen"],
        controls=[
            Control(TEXT, "Ordner", "alt+o"),
            # Its accelerator ticks it and starts a new search, which leaves the focus in the
            # list of files found.
            Control(CHECK, "Unterordner durchsuchen", spoken=False),
            Control(LIST, ANY_NAME, spoken=False),
            button("Wechseln..."),
            button("Weiter"),
            button("Schließen"),
        ],
    ),
    Window(
        key="order-and-save dialog",
        title="Reihenfolge ändern und in eine neue Datei speichern",
        source=[built("src/ui/join", "TSpeichernDlg"), wired("MenuAktZusammenfuegenClick")],
        # Every file the collection dialog finds starts ticked.
        open_keys=["ctrl+z", "@Dateien zusammenfügen", "alt+w"],
        controls=[
            Control(LIST, ANY_NAME, spoken=False),
            button("Nach oben"),
            button("Nach unten"),
            button("Speichern..."),
            button("Zurück"),
        ],
    ),
    Window(
        key="folder chooser",
        title="Neuen Ordner wählen",
        source=[built("src/ui/join", "TOrdnerDlg"), wired("MenuAktZusammenfuegenClick")],
        open_keys=["ctrl+z", "@Dateien zusammenfügen", "alt+e"],
        controls=[
            Control(TEXT, "Neuer Ordner", "alt+o"),
            Control(COMBO, ANY_NAME, spoken=False),
            Control(LIST, ANY_NAME, spoken=False),
            button("OK"),
            button("Abbrechen"),
        ],
    ),
    Window(
        key="colour dialog",
        title=None,
        source=[built("src/ui/main", "THintergrundForm")],
        open_keys=["alt+a", "h"],
        controls=[Control(LIST, ANY_NAME, spoken=False), button("OK"), button("Abbrechen")],
    ),
]

# The main window's menus: (top-level caption, [(item caption, shortcut or "")]).
MENUS = [
    ("&Datei", [("Ö&ffnen...", "Ctrl+O"), ("S&chließen", "Ctrl+F4"), ("&Beenden", "Alt+F4")]),
    ("A&ktionen", [("&Teilen...", "Ctrl+T"), ("Zusammenfügen...", "Ctrl+Z"),
                   ("&Marke setzen", "Ctrl+M"), ("Marken &bearbeiten...", "Ctrl+B"),
                   ("MP3-&Informationen ändern", ""), ("Von geöffneter Date&i...", "Ctrl+I"),
                   ("Von zerteilten &Dateien...", "Ctrl+D")]),
    ("&Wiedergabesteuerung", [("Wiedergabe/Pause", "Ctrl+W"), ("Stop", "Ctrl+S"),
                              ("Vorspulen", "Ctrl+Right"), ("Rückspulen", "Ctrl+Left"),
                              ("Lauter", "Ctrl+Up"), ("Leiser", "Ctrl+Down"),
                              ("Gehe zu Minute...", "Ctrl+G"), ("Gehe zu Mar&ke...", "Ctrl+K")]),
    ("&Ansicht", [("&Schriftart...", ""), ("Schrift&hintergrund...", "")]),
    ("&Einstellungen", [("Teile in K&Bytes", ""), ("Teile in &Minuten", ""),
                        ("Teile in &Sekunden", ""), ("Teile bei Mar&ken", ""),
                        ("Vor-/Rückspulschritte...", "")]),
    ("&Hilfe", [("Programm-&Info", ""), ("Programm-Home&page...", ""),
                ("Programm-&Änderungen...", ""), ("&Mail an den Programmierer...", ""),
                ("&Spenden...", "")]),
]
MENUS_WINDOW = Window(key="main menu", title=None, source=[("src/ui/main", r"\bMenuAktTeilen\b")],
                      open_keys=[], controls=[])


def plain(caption):
    return caption.replace("&", "")

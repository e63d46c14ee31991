"""The program as the Debian package installs it, unpacked into a scratch root: it opens a file
named on its command line, finds its list of changes in the prefix, and leaves the menu to the
package's own entry. Run by scripts/package-check.sh with ZINDARA_PROGRAM set to the unpacked
program and ZINDARA_INSTALLED_ROOT to the root."""

import os

import e2ecase
import harness
from e2ecase import ProgramCase

ROOT = os.environ.get("ZINDARA_INSTALLED_ROOT", "")


class InstalledProgram(ProgramCase):
    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        env = cls.session.env
        # As if installed: the root's data folder before the system's, its programs on PATH.
        env["XDG_DATA_DIRS"] = os.path.join(ROOT, "usr/share") + ":/usr/share"
        env["PATH"] = os.path.join(ROOT, "usr/bin") + ":" + env.get("PATH", "/usr/bin:/bin")

    def test_opens_a_file_and_uses_the_installed_files(self):
        import pyatspi
        self.assertTrue(self.program.startswith(ROOT + "/"), self.program)
        self.open_program()
        s = self.session
        harness.wait_until(lambda: "probe.mp3 - Zindara V1.42" in (s.main.name or ""),
                           what="the caption with the file name")
        changes = next((n for n in harness.walk(s.main)
                        if harness.role_name(n) == "menu item"
                        and n.name == "Programm-Änderungen..."), None)
        self.assertIsNotNone(changes, "no item for the list of changes")
        self.assertTrue(changes.getState().contains(pyatspi.STATE_ENABLED),
                        "History.txt not found in the installed prefix")
        written = os.path.join(s.env["XDG_DATA_HOME"], "applications", "zindara.desktop")
        self.assertFalse(os.path.exists(written),
                         "a second menu entry beside the installed one: %s" % written)


if __name__ == "__main__":
    e2ecase.main()

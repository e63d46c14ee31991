"""The names the program speaks reach the user through the real screen reader: Orca runs on the
private desktop and speaks through a speech-dispatcher that writes down every text it gets.
Focusing each field yields the program's own spoken name (exactly the field's accessible name)
and Orca's announcement of the field, which it reads from the accessibility tree."""


import e2ecase
import harness
import windows
from e2ecase import OrcaCase
from harness_test import PROBE_DIALOG


def orca_announces(node, line):
    # Orca says the name and the role, as "Titel: text."
    return line != node.name and line.startswith(node.name)


class SpokenNames(OrcaCase):
    def check_speech(self, row, program=None):
        self.skip_unless_built(row)
        s = self.session
        start = len(s.spoken())
        self.open_program(row, program=program)
        frame = self.open_window(row)
        # Orca first announces the window it has become aware of; focus moved before that may
        # be taken for the window's own focus and left unsaid.
        harness.wait_until(lambda: any(line.startswith(frame.name)
                                       for line in s.spoken()[start:]),
                           timeout=10, what="Orca to announce %r" % frame.name)
        self.assert_fields_speak(frame, row, screen_reader_says=orca_announces)

    def test_probe_fields_through_the_common_ground(self):
        self.check_speech(PROBE_DIALOG, program=e2ecase.PROBE)


for _row in (r for r in windows.WINDOWS if any(c.spoken for c in r.controls)):
    _name, _test = windows.case(_row, "speech", SpokenNames.check_speech)
    setattr(SpokenNames, _name, _test)


if __name__ == "__main__":
    e2ecase.main()

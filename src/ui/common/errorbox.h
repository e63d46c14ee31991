#pragma once

// Shows the tag library's unexpected errors in an error box with the given title, brought to
// the front, as long as the program runs.
void FehlerboxEinrichten();

#pragma once

// The desktop's event sounds; both return at once and never raise.

// The default beep ("bell"); always true.
bool Piepsen();
// The error sound ("dialog-error"); true when it could be started.
bool FehlerTon();

#pragma once

#include <QString>
#include <functional>

// The tag library catches unexpected errors itself and hands their text here; the program
// installs a reporter that shows a message box, tests one that records. The default writes
// to stderr.
using TErrorReporter = std::function<void(const QString &title, const QString &text)>;

// Installs `reporter` for the whole process (an empty one restores the default) and returns
// the one installed before.
TErrorReporter SetErrorReporter(TErrorReporter reporter);

// Called by the tag library with the title "Error" (the ID3v2 writer: "Error Error").
void ReportError(const QString &title, const QString &text);

#pragma once

#include <QString>

// The program's name and version, as the caption and the single-instance lock use it.
inline constexpr const char *ProgrammTitel = "Zindara V1.42";

// The application title (the task bar's text): "Zindara V1.42", or the opened file's caption.
QString AnwendungsTitel();
void AnwendungsTitelSetzen(const QString &title);

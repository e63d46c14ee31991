#pragma once

#include <QString>

class QObject;

// Folder numbers as the callers name them.
inline constexpr int CSIDL_PERSONAL = 5;          // documents
inline constexpr int CSIDL_SENDTO = 9;            // where the "open with" entry goes: applications
inline constexpr int CSIDL_MYMUSIC = 13;
inline constexpr int CSIDL_DESKTOPDIRECTORY = 16;
inline constexpr int CSIDL_APPDATA = 26;

// The folder with a trailing "/", or empty text when the system does not know it.
QString SpezialOrdner(QObject *window, int csidl);

// The folder the joining dialogs propose: the documents folder until it is set.
QString Arbeitsordner();
void ArbeitsordnerSetzen(const QString &folder);

// Full name of the program's "open with" desktop entry; empty when the folder is unknown.
QString SendToLink();

// Set at program start before any window exists, cleared at its end.
void ProzessTexteSetzen();
void ProzessTexteLoeschen();

#pragma once

#include <QCoreApplication>

// Installs Qt's own German translations, so standard buttons read "Ja", "Nein", "Abbrechen"
// and shortcuts "Strg+O". Returns false when they are not installed.
bool DeutscheUebersetzungLaden(QCoreApplication &app);

#pragma once

#include <QString>
#include <QStringList>

// The ID3v1 genre names, indexed by genre number (148 entries).
const QStringList &ID3GenreList();

// Index of `name` in the genre list, compared without regard to case; -1 when absent.
int ID3GenreIndex(const QString &name);

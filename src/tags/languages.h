#pragma once

#include <QString>
#include <QStringList>

// ISO 639-2 language codes in alphabetical order and their English names at the same index.
const QStringList &LanguageCodes();
const QStringList &LanguageNames();

// First index of `code` in LanguageCodes(), compared without regard to case; -1 when absent.
int LanguageCodeIndex(const QString &code);

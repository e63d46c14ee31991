#include "tags/errorreporter.h"

#include <QMutex>
#include <QMutexLocker>
#include <cstdio>

namespace {

QMutex reporterMutex;
TErrorReporter currentReporter;

void defaultReporter(const QString &title, const QString &text)
{
    std::fprintf(stderr, "%s: %s\n", title.toLocal8Bit().constData(),
                 text.toLocal8Bit().constData());
}

} // namespace

TErrorReporter SetErrorReporter(TErrorReporter reporter)
{
    QMutexLocker lock(&reporterMutex);
    TErrorReporter previous = std::move(currentReporter);
    currentReporter = std::move(reporter);
    return previous;
}

void ReportError(const QString &title, const QString &text)
{
    TErrorReporter reporter;
    {
        QMutexLocker lock(&reporterMutex);
        reporter = currentReporter;
    }
    if (reporter)
        reporter(title, text);
    else
        defaultReporter(title, text);
}

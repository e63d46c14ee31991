#include "cli/audioinfo.h"

void addAudioInfo(const QString &fileName, QJsonObject &fileObject)
{
    Q_UNUSED(fileName);
    Q_UNUSED(fileObject);
}

QStringList audioInfoLines(const QString &fileName)
{
    Q_UNUSED(fileName);
    return {};
}

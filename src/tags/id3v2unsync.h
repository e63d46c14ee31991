#pragma once

#include <QByteArray>
#include <QIODevice>

// Unsynchronises everything from the source's current position into the destination; true
// when at least one byte was inserted.
bool UnsyncStream(QIODevice &source, QIODevice &destination);
bool UnsyncBytes(const QByteArray &source, QByteArray &destination);
// Drops every 0x00 that directly follows a 0xFF.
QByteArray DeUnsyncBytes(const QByteArray &source);

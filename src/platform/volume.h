#pragma once

#include <QtGlobal>

// The output volume of the program, left and right 0..65535 each, shared by every player.
// It is the program's own gain, so volume control is always supported.

// Reads the volume; true when both values are 0 or more.
bool LautstaerkeLesen(int &left, int &right);
// Sets the volume, each value held within 0..65535; true when set.
bool LautstaerkeSetzen(int left, int right);

// Scales interleaved signed 16-bit stereo samples (native byte order) by the current volume.
void LautstaerkeAnwenden(char *samples, qint64 frameCount);

"""Audio for the end-to-end tests: an MP3 made with lame from a generated tone, with tags, and
the independent checks of files the program wrote."""

import math
import os
import struct
import subprocess
import wave


def make_mp3(path, seconds=8.0, title="Probe", artist="Zindara-Test"):
    """A tone of `seconds` at 44.1 kHz, 128 kbit/s CBR, with an ID3v2 and an ID3v1 tag."""
    wav = path + ".wav"
    rate = 44100
    with wave.open(wav, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(rate)
        frames = bytearray()
        for i in range(int(seconds * rate)):
            # The pitch rises each second, so every piece sounds different.
            f = 220 + 110 * int(i / rate)
            frames += struct.pack("<h", int(8000 * math.sin(2 * math.pi * f * i / rate)))
        w.writeframes(bytes(frames))
    subprocess.run(["lame", "--quiet", "-b", "128", "--cbr", "--add-id3v2", "--pad-id3v2",
                    "--tt", title, "--ta", artist, "--tl", "Album", "--ty", "2024", wav, path],
                   check=True, timeout=60)
    os.remove(wav)
    return path


def audio_bytes(path):
    """The file without a leading ID3v2 tag and a trailing ID3v1 tag, read here without the
    program's code."""
    with open(path, "rb") as f:
        data = f.read()
    start = 0
    if data[:3] == b"ID3" and len(data) >= 10:
        size = 0
        for b in data[6:10]:
            size = (size << 7) | (b & 0x7F)
        start = 10 + size + (10 if data[5] & 0x10 else 0)
    end = len(data)
    if end - start >= 128 and data[end - 128:end - 125] == b"TAG":
        end -= 128
    return data[start:end]


def tags(path):
    """Title and the other fields as mutagen reads them (ID3v2) and the ID3v1 title."""
    import mutagen.id3
    try:
        v2 = mutagen.id3.ID3(path)
    except mutagen.id3.ID3NoHeaderError:
        v2 = None
    with open(path, "rb") as f:
        f.seek(-128, os.SEEK_END)
        tail = f.read(128)
    v1_title = tail[3:33].rstrip(b"\0 ").decode("latin-1") if tail[:3] == b"TAG" else None
    return v2, v1_title

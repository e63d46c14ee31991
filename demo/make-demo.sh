#!/usr/bin/env bash
# Makes the demo book: three short spoken chapters in one tagged MP3 file.
# Usage: make-demo.sh OUTPUT.mp3
set -euo pipefail
out="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

chapter() {
  printf '<p>Kapitel %s.</p><p>%s</p><break time="2500ms"/>' "$1" "$2"
}
{
  printf '<speak>'
  chapter eins "Willkommen bei Sindara. Das ist ein kurzes Hörbuch zum Ausprobieren. Drücken Sie Steuerung W, um die Wiedergabe zu starten oder anzuhalten, und Steuerung M, wo ein Teil enden soll."
  chapter zwei "Mit Steuerung B sehen Sie die Marken noch einmal an. Im Modus Teile bei Marken teilt Steuerung T die Datei an den Marken."
  chapter drei "Mit Steuerung D geben Sie allen Teilen einen Titel. Mit Steuerung Z fügen Sie Dateien wieder zu einer zusammen. Das war die Demo."
  printf '</speak>'
} > "$work/demo.ssml"

espeak-ng -v de -s 150 -m -f "$work/demo.ssml" -w "$work/demo.wav"
lame --quiet -b 64 --cbr --add-id3v2 --tt "Zindara-Demo" --ta "Zindara" --tl "Hörbuch zum Ausprobieren" \
  --ty 2026 --tn 1 --tg "Speech" --tc "Drei Kapitel" "$work/demo.wav" "$work/demo.mp3"
mv "$work/demo.mp3" "$out"

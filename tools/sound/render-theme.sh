#!/usr/bin/env bash
# Renders one music theme from its notation:
#   ABC --abc2midi--> MIDI --FluidSynth, a General MIDI soundfont--> float WAV
#   --sox--> trailing silence cut, peak-normalised to -1 dBFS, 16-bit stereo PCM.
# Rendering in float and normalising last is what keeps the 16-bit result from clipping.
# Usage: render-theme.sh ABC2MIDI FLUIDSYNTH SOX SOUNDFONT THEME.abc OUT.wav
set -euo pipefail
abc2midi=$1 fluidsynth=$2 sox=$3 soundfont=$4 abc=$5 out=$6

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$abc2midi" "$abc" 1 -o "$work/theme.mid" -silent >"$work/abc2midi.log" 2>&1 ||
  { cat "$work/abc2midi.log" >&2; exit 1; }
"$fluidsynth" -n -i -q -r 22050 -T wav -O float -F "$work/theme.wav" "$soundfont" "$work/theme.mid"
mkdir -p "$(dirname "$out")"
"$sox" -V1 "$work/theme.wav" -b 16 -e signed-integer "$work/out.wav" \
  reverse silence 1 0.05 -70d reverse norm -1
mv "$work/out.wav" "$out"

#!/usr/bin/env bash
# The game's sound effects, synthesised with sox: 16-bit mono PCM at 44.1 kHz.
# Usage: effects.sh SOX OUT_DIR
set -euo pipefail
sox=$1 out=$2
mkdir -p "$out"
fx() { local name=$1; shift; "$sox" -V1 -n -r 44100 -c 1 -b 16 -e signed-integer "$out/$name.wav.tmp.wav" "$@"; mv "$out/$name.wav.tmp.wav" "$out/$name.wav"; }

# A button pressed: a short, bright click with a falling body.
fx snd_btn synth 0.06 sine 1500:500 synth 0.06 pinknoise mix \
  fade q 0.002 0.06 0.05 highpass 300 norm -4

# The pointer over a button: a soft, high tick, well below the click.
fx snd_btnovr synth 0.03 sine 2600:2200 fade q 0.001 0.03 0.027 norm -16

# An earthquake: a few seconds of low rumble that swells, shakes and dies away.
fx snd_quake synth 3.5 brownnoise synth 3.5 sine amod 7 70 \
  lowpass 160 lowpass 120 bass +6 fade h 0.4 3.5 1.6 norm -2

# A pirate laser: a short zap sweeping down, with a little grit.
fx snd_laser synth 0.25 square 2400/300 synth 0.25 sine fmod 2400/300 \
  fade q 0.005 0.25 0.12 lowpass 6000 norm -6

#!/usr/bin/env bash
# Writes the starting corpus of every fuzz target into <folder>/<target>/: pieces of the
# bundled data and a few small files made here byte by byte, so no binary is kept in the
# repository. Usage: fuzz/seeds.sh <source folder> <corpus folder>
set -euo pipefail
src=$1
out=$2
for t in text building language language_list options hiscore wav tga bmp script save tutorial; do mkdir -p "$out/$t"; done
put() { printf "$2" >"$out/$1"; }

# Text lines in every encoding the game reads, with every kind of line end.
head -c 600 "$src/data/loc_en.txt" >"$out/text/loc_en"
head -c 600 "$src/data/loc_ru.txt" >"$out/text/loc_ru"
put text/utf8_bom '\xef\xbb\xbfone\r\ntwo\nthree\rfour'
put text/utf16le '\xff\xfeo\x00k\x00\r\x00\n\x00\x3d\xd8\x00\xde'
put text/utf16be '\xfe\xff\x00o\x00k\x00\n\xd8\x3d'
put text/cp1251 '\xcf\xf0\xe8\xe2\xe5\xf2\r\n\x80\x98\xff'
put text/cut_utf8 'abc\xe2\x82'

cp "$src/data/Buildings/bldg_1.bld" "$out/building/bldg_1"
cp "$src/data/Buildings/bldg_0.bld" "$out/building/bldg_0"
cp "$src/data/loc_en.txt" "$out/language/loc_en"
cp "$src/data/locs.txt" "$out/language_list/locs"
put language_list/odd 'ru\r\n\r\n../en\r\nxx\n'
put options/default 'en\r\n-1\r\n-1\r\n50\r\n50\r\n0\r\n50\r\n50\r\n0\r\n'
put options/odd 'ru\r\nTrue\r\nfalse\r\n+120\r\n-3\r\n1\r\n 7 \r\n2147483647\r\n-1\r\n'
put options/fullscreen 'en\r\n-1\r\n-1\r\n50\r\n50\r\n0\r\n50\r\n50\r\n0\r\n-1\r\n'
put hiscore/table '\xef\xbb\xbfAnn\r\n10\r\n500\r\nBo\r\n5\r\n300\r\nCy\r\n1\r\nx\r\n'
cp "$src/data/demo.script" "$out/script/demo"
cp "$src/data/tutorial.txt" "$out/tutorial/bundled"
put tutorial/odd '# c\r\n560|cell 999 0|on|built.100 >= -2147483648 or warn.4 != 2 and step_days < 1\r\n  \r\n561 | button take_credit | off | money < 0\r\n'
printf 'tutorial start\ncamera 300 320 60\ncell 17 15\nbuild 15\ntutorial\nday 3\ntutorial skip\ntutorial\n' >"$out/script/tutorial"
put script/mixed 'new 1\nbuild 3\nday 40\nset money -5\nsell products 99999\nhiscore Ann\nhiscore-list\nstate\n'

# WAV: 8-bit mono PCM, and 16-bit stereo in the extensible format behind a list chunk.
put wav/mono8 'RIFF\x2c\x00\x00\x00WAVEfmt \x10\x00\x00\x00\x01\x00\x01\x00\x40\x1f\x00\x00\x40\x1f\x00\x00\x01\x00\x08\x00data\x08\x00\x00\x00\x80\x90\xa0\xb0\xc0\xb0\xa0\x90'
put wav/ext16 'RIFF\x5a\x00\x00\x00WAVELIST\x04\x00\x00\x00INFOfmt \x28\x00\x00\x00\xfe\xff\x02\x00\x44\xac\x00\x00\x10\xb1\x02\x00\x04\x00\x10\x00\x16\x00\x10\x00\x03\x00\x00\x00\x01\x00\x00\x00\x00\x00\x10\x00\x80\x00\x00\xaa\x00\x38\x9b\x71data\x08\x00\x00\x00\x00\x01\x00\x02\xff\x7f\x00\x80'

# TGA: true colour 2 x 2 with alpha, run-length grey, colour-mapped.
put tga/rgba '\x00\x00\x02\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x02\x00\x20\x28\x00\x00\xff\xff\x00\xff\x00\x80\xff\x00\xff\x00\x00\x40\x00\xff\x00'
put tga/rle_grey '\x00\x00\x0b\x00\x00\x00\x00\x00\x00\x00\x00\x00\x04\x00\x02\x00\x08\x00\x83\x40\x02\x10\x20\x30\x81\xff'
put tga/mapped '\x00\x01\x01\x00\x00\x02\x00\x18\x00\x00\x00\x00\x02\x00\x01\x00\x08\x00\x00\x00\xff\xff\x00\x00\x00\x01'

# BMP: 24-bit 2 x 2 bottom-up, 8-bit with a palette, 32-bit with bit fields, top-down.
put bmp/rgb24 'BM\x46\x00\x00\x00\x00\x00\x00\x00\x36\x00\x00\x00\x28\x00\x00\x00\x02\x00\x00\x00\x02\x00\x00\x00\x01\x00\x18\x00\x00\x00\x00\x00\x10\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\xff\xff\xff\x00\x00\x00\xff\x00\x00\xff\x00\x00'
put bmp/pal8 'BM\x42\x00\x00\x00\x00\x00\x00\x00\x3e\x00\x00\x00\x28\x00\x00\x00\x02\x00\x00\x00\x01\x00\x00\x00\x01\x00\x08\x00\x00\x00\x00\x00\x04\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x00\x00\x00\x00\x00\x00\x00\x00\xff\x00\xff\x00\x00\x00\x00\x01\x00\x00'
put bmp/bitfields32 'BM\x46\x00\x00\x00\x00\x00\x00\x00\x42\x00\x00\x00\x28\x00\x00\x00\x01\x00\x00\x00\xff\xff\xff\xff\x01\x00\x20\x00\x03\x00\x00\x00\x04\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\xff\x00\x00\xff\x00\x00\xff\x00\x00\x00\x11\x22\x33\x44'

# Saved games: one the simulator writes when a build has it, and a cut one.
sim=${QUENMAR_SIM:-$src/build/quenmar-sim}
if [ -x "$sim" ]; then
  printf 'new 5\nevents off\nbuild 3\nbuild 9\ncredit 5000\nday 40\nframes 30 0.1\nsave %s\n' "$out/save/colony" |
    "$sim" --seed 3 >/dev/null 2>&1 || true
fi
put save/cut '{"format":"quenmar-save","version":1,"game":{"money":'

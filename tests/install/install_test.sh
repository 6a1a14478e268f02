#!/usr/bin/env bash
# Installs the game into a temporary prefix and plays it there as a player who cannot
# write the prefix: a finished game's high score must land in the player's own folders,
# and nothing may change under the prefix.   install_test.sh <build folder>
set -euo pipefail
build=$1
fail() { echo "install test: $*" >&2; exit 1; }

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
chmod 755 "$tmp"
prefix=$tmp/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null

# The layout.
for f in bin/quenmar-sim share/quenmar/loc_en.txt share/quenmar/Buildings/bldg_1.bld \
         share/applications/org.example.quenmar.desktop share/metainfo/org.example.quenmar.metainfo.xml \
         share/doc/quenmar/copyright; do
  [ -f "$prefix/$f" ] || fail "missing $f"
done

# Every language of the list comes with its file and its building descriptions.
while IFS= read -r code; do
  code=${code%$'\r'}
  [ -n "$code" ] || continue
  [ -f "$prefix/share/quenmar/loc_$code.txt" ] || fail "language $code listed but loc_$code.txt missing"
  [ -f "$prefix/share/quenmar/Buildings/bldg_1_desc_$code.txt" ] || fail "language $code has no building descriptions"
done <"$prefix/share/quenmar/locs.txt"

# The copyright file in Debian's machine-readable format, stating the game's licences; it
# and the music credits carry the SoundFont's copyright and permission notice (compared
# with the notice of the SoundFont's own package where it is installed).
copyright=$prefix/share/doc/quenmar/copyright
head -n 1 "$copyright" | grep -q '^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/$' ||
  fail "the copyright file is not in the machine-readable format"
for l in GPL-3+ CC-BY-SA-4.0 Expat; do
  grep -q "^License: $l\$" "$copyright" || fail "the copyright file has no $l licence text"
done
flat() { tr -d '\r' | sed -e 's/^ *\.$//' -e 's/^ *//' | tr -s ' \n' '  '; }
notice='Permission is hereby granted, free of charge, to any person obtaining a copy'
soundfont=/usr/share/doc/fluid-soundfont-gm/copyright
if [ -f "$soundfont" ]; then
  notice=$(sed -n '/Permission is hereby granted/,/OTHER DEALINGS IN THE SOFTWARE/p' "$soundfont" | flat)
fi
for f in "$copyright" "$prefix/share/quenmar/music_credits.txt"; do
  grep -q 'Frank Wen' "$f" || fail "$f does not name the SoundFont's author"
  flat <"$f" | grep -qF "$notice" || fail "$f lacks the SoundFont's permission notice"
done
if [ -x "$build/quenmar" ]; then
  [ -x "$prefix/bin/quenmar" ] || fail "missing bin/quenmar"
  [ -f "$prefix/share/quenmar/Textures/terrain_0.tga" ] || fail "missing the drawn textures"
  for s in 16 32 48 64 128 256; do
    [ -f "$prefix/share/icons/hicolor/${s}x${s}/apps/quenmar.png" ] || fail "missing the ${s}px icon"
  done
fi
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$prefix/share/applications/org.example.quenmar.desktop"
fi
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net --pedantic "$prefix/share/metainfo/org.example.quenmar.metainfo.xml" >/dev/null ||
    fail "AppStream metadata does not validate"
fi

# The player: nobody when this runs as root, else this user with the prefix made read-only.
home=$tmp/home
mkdir -p "$home"
if [ "$(id -u)" -eq 0 ]; then
  chown nobody "$home"
  as_player=(runuser -u nobody --)
else
  chmod -R a-w "$prefix"
  as_player=()
fi
before=$(cd "$prefix" && find . -printf '%p %s %T@\n' | sort)

play() {  # play <extra environment...>: a finished easy game, a name entered
  printf 'events off\nnew 10\nset days_left 1\nday\nhiscore Tess Tester\nhiscore-list\n' |
    "${as_player[@]}" env -i PATH=/usr/bin:/bin HOME="$home" "$@" "$prefix/bin/quenmar-sim" --seed 7
}
out=$(play)
grep -q 'Tess Tester' <<<"$out" || fail "the high score was not listed: $out"
grep -q 'Tess Tester' "$home/.local/share/quenmar/leaders.hof" || fail "no high-score file in ~/.local/share/quenmar"

# XDG_DATA_HOME moves it; a second game adds to the same table there.
mkdir -p "$tmp/xdg"
[ "$(id -u)" -eq 0 ] && chown nobody "$tmp/xdg"
play XDG_DATA_HOME="$tmp/xdg" >/dev/null
play XDG_DATA_HOME="$tmp/xdg" >/dev/null
[ "$(grep -c 'Tess Tester' "$tmp/xdg/quenmar/leaders.hof")" -eq 2 ] || fail "the table under XDG_DATA_HOME lost an entry"

after=$(cd "$prefix" && find . -printf '%p %s %T@\n' | sort)
[ "$before" = "$after" ] || fail "the installed tree changed: $(diff <(echo "$before") <(echo "$after") || true)"
[ "$(id -u)" -ne 0 ] && chmod -R u+w "$prefix"
echo "install test: layout, validators and a read-only install all fine"

#!/bin/sh
# Runs a program under its own virtual X server (1280 x 1024, 24 bit) with a private
# runtime folder, and passes its exit status on.
dir=$(mktemp -d "${TMPDIR:-/tmp}/quenmar-ui.XXXXXX") || exit 1
chmod 700 "$dir"
XDG_RUNTIME_DIR="$dir" xvfb-run -a -s "-screen 0 1280x1024x24" "$@"
rc=$?
rm -rf "$dir"
exit $rc

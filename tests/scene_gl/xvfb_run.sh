#!/bin/sh
# Runs a program that needs a display (the renderer's tests and benchmarks) as the window
# tests run: under its own virtual X server, with a private runtime folder, passing its
# exit status on.
exec "$(dirname "$0")/../ui/xvfb_run.sh" "$@"

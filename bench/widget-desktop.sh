#!/bin/sh
# Runs widget-desktop-bench on a private X display and session bus, the way the
# figures in docs/widget-host.md were taken.
#   bench/widget-desktop.sh [BUILD_DIR] [benchmark options]
set -eu
build=${1:-build}
[ $# -gt 0 ] && shift
exec dbus-run-session -- xvfb-run -a -s "-screen 0 1024x768x24" "$build/bench/widget-desktop-bench" "$@"

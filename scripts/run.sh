#!/bin/sh
# Starts the program from a build folder: the desktop program when it was
# built, else the headless tools.
set -eu
build=${1:-build/release}
if [ -x "$build/bin/rzconverter" ]; then
    exec "$build/bin/rzconverter"
fi
exec "$build/bin/rzversion"

#!/bin/sh
# Starts the program from a build folder: the desktop program when it was
# built; until then the headless converter, which shows its version and use.
set -eu
build=${1:-build/release}
if [ -x "$build/bin/rzconverter" ]; then
    exec "$build/bin/rzconverter"
fi
"$build/bin/rzversion"
echo
exec "$build/bin/rzconvert" --help

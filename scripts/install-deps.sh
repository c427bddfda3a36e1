#!/bin/sh
# Installs the Debian packages listed in scripts/debian-packages.txt that are
# missing. Runs apt-get update once, and only when something is missing.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
list=$(sed -e 's/#.*//' -e '/^[[:space:]]*$/d' "$here/debian-packages.txt")

missing=""
for pkg in $list; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $pkg"
    fi
done
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi

if [ -n "$missing" ]; then
    echo "Installing:$missing"
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get update -q
    # shellcheck disable=SC2086
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -q $missing
fi

# The tests check that numbers stay locale-independent under a German locale.
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
    $sudo localedef -i de_DE -f UTF-8 de_DE.UTF-8 || echo "warning: could not generate de_DE.UTF-8" >&2
fi

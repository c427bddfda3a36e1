#!/bin/sh
# Installs the Debian packages of scripts/debian-packages.txt that are
# missing: "run" (the default) the [run] part, what building and running the
# program need; "test" both parts. Runs apt-get update once, and only when
# something is missing.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
part=${1:-run}
case "$part" in
run) parts="run" ;;
test) parts="run test" ;;
*)
    echo "usage: $0 [run|test]" >&2
    exit 64
    ;;
esac

# The packages of one part: the lines after "[part]" up to the next "[...]".
packages_of() {
    sed -e 's/#.*//' -e 's/[[:space:]]*$//' -e '/^[[:space:]]*$/d' "$here/debian-packages.txt" |
        awk -v want="[$1]" '/^\[/ { inside = ($0 == want); next } inside { print $1 }'
}

list=""
for p in $parts; do
    list="$list $(packages_of "$p")"
done

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
if [ "$part" = test ] && ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
    $sudo localedef -i de_DE -f UTF-8 de_DE.UTF-8 || echo "warning: could not generate de_DE.UTF-8" >&2
fi

#!/bin/sh
# The content interpreter alone: rzinspect --null (every page run through
# the parser with a delegate that does nothing) against pdftotext on the
# same files. Prints pages per second and peak memory of each and their
# ratios: once with one rzinspect process per file, like pdftotext, and once
# with every file in one process, as a conversion session runs (one-time
# set-up such as the installed-font book then counts once).
#   BUILD  a release build folder with bin/rzinspect
set -eu
RZ_TOOL=rzinspect
. "$(dirname "$0")/common.sh"
RZINSPECT=$BUILD/bin/rzinspect

files=$(corpus_pdfs)
pages=0
for f in $files; do n=$(pdf_pages "$f"); pages=$((pages + ${n:-0})); done

# shellcheck disable=SC2086
set -- $files
rz=$(measure_each "'$RZINSPECT' --null \"\$1\"" "$@")
ref=$(measure_each "pdftotext \"\$1\" /dev/null" "$@")
start=$(date +%s.%N)
one_m=$( { /usr/bin/time -f '%M' sh -c '"$0" --null "$@" >/dev/null 2>&1' "$RZINSPECT" "$@"; } 2>&1 | tail -1)
end=$(date +%s.%N)
one_s=$(echo "$end - $start" | bc)

rz_s=${rz% *}; rz_m=${rz#* }
ref_s=${ref% *}; ref_m=${ref#* }
report "rzinspect --null (per file)" "$pages" "$rz_s" "$rz_m"
report "rzinspect --null (one run)" "$pages" "$one_s" "$one_m"
report "pdftotext (per file)" "$pages" "$ref_s" "$ref_m"
ratio "throughput ratio per file" "$ref_s" "$rz_s"
ratio "throughput ratio one run" "$ref_s" "$one_s"
ratio "peak memory ratio per file" "$rz_m" "$ref_m"

#!/bin/sh
# Page images: rzconvert --to png at 150 dpi against pdftoppm -r 150 -png on
# the corpus. Prints pages per second and peak memory of each and their ratio.
set -eu
. "$(dirname "$0")/common.sh"

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
files=$(corpus_pdfs)
pages=0
for f in $files; do n=$(pdf_pages "$f"); pages=$((pages + ${n:-0})); done

# shellcheck disable=SC2086
set -- $files
rz=$(measure_each "rm -rf '$out/rz'; '$RZCONVERT' --to png --dpi 150 --out '$out/rz' \"\$1\"" "$@")
ref=$(measure_each "rm -rf '$out/ref'; mkdir -p '$out/ref'; pdftoppm -r 150 -png \"\$1\" '$out/ref/p'" "$@")

rz_s=${rz% *}; rz_m=${rz#* }
ref_s=${ref% *}; ref_m=${ref#* }
report "rzconvert --to png" "$pages" "$rz_s" "$rz_m"
report "pdftoppm -png" "$pages" "$ref_s" "$ref_m"
ratio "throughput ratio (rz/ref)" "$ref_s" "$rz_s"
ratio "peak memory ratio (rz/ref)" "$rz_m" "$ref_m"

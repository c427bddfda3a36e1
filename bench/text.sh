#!/bin/sh
# Text output: rzconvert --to txt against pdftotext (default and -layout) on
# the corpus, then on one long document built by repeating corpus pages, at
# two lengths, to show that peak memory does not grow with the page count.
# Prints pages per second and peak memory of each, and the ratios.
set -eu
. "$(dirname "$0")/common.sh"

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

files=$(corpus_pdfs)
# shellcheck disable=SC2086
pages=$(total_pages $files)

# shellcheck disable=SC2086
set -- $files
# Outputs pile up in $out (a name already taken gets a new one): removing
# them after each file would time an extra process against rzconvert.
rz=$(measure_rz txt "$out/rz" "$@")
ref=$(measure_each "pdftotext \"\$1\" '$out/ref.txt'" "$@")
lay=$(measure_each "pdftotext -layout \"\$1\" '$out/ref.txt'" "$@")
# Every file in one rzconvert run, as the program converts a list of files.
start=$(date +%s.%N)
one_m=$( { /usr/bin/time -f '%M' sh -c 'o=$1; shift; "$0" --to txt --out "$o" "$@" >/dev/null 2>&1' "$RZCONVERT" "$out/one" "$@"; } 2>&1 | tail -1)
end=$(date +%s.%N)
one_s=$(echo "$end - $start" | bc)
rm -rf "$out/one"

rz_s=${rz% *}; rz_m=${rz#* }
ref_s=${ref% *}; ref_m=${ref#* }
lay_s=${lay% *}; lay_m=${lay#* }
echo "corpus: $# files"
report "rzconvert --to txt" "$pages" "$rz_s" "$rz_m"
report "rzconvert --to txt (one run)" "$pages" "$one_s" "$one_m"
report "pdftotext" "$pages" "$ref_s" "$ref_m"
report "pdftotext -layout" "$pages" "$lay_s" "$lay_m"
ratio "throughput rz/pdftotext" "$ref_s" "$rz_s"
ratio "throughput rz/-layout" "$lay_s" "$rz_s"
ratio "throughput one run/pdftotext" "$ref_s" "$one_s"
ratio "peak memory rz/pdftotext" "$rz_m" "$ref_m"
ratio "peak memory rz/-layout" "$rz_m" "$lay_m"
ratio "peak memory one run/pdftotext" "$one_m" "$ref_m"

# Long documents: the two-column paper repeated.
build_long 10 "$out/long-short.pdf"
build_long 72 "$out/long.pdf"
for doc in long-short long; do
    p=$(npages "$out/$doc.pdf")
    r=$(measure_each "'$RZCONVERT' --to txt --out '$out' \"\$1\"" "$out/$doc.pdf")
    t=$(measure_each "pdftotext \"\$1\" '$out/ref.txt'" "$out/$doc.pdf")
    echo "$doc.pdf: $p pages"
    report "rzconvert --to txt" "$p" "${r% *}" "${r#* }"
    report "pdftotext" "$p" "${t% *}" "${t#* }"
    ratio "throughput rz/pdftotext" "${t% *}" "${r% *}"
    ratio "peak memory rz/pdftotext" "${r#* }" "${t#* }"
    eval "peak_$(echo $doc | tr - _)=${r#* }"
done
ratio "rz peak memory long/short" "$peak_long" "$peak_long_short"

#!/bin/sh
# PPTX output: rzconvert --to pptx on the unencrypted corpus against
# rzconvert's text output (target: within 3x); then one long document built
# by repeating a corpus paper, at 10 and 1000 pages, to show that peak
# memory does not grow with the page count. Prints pages per second and
# peak memory of each, and the ratios.
set -eu
. "$(dirname "$0")/common.sh"

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

files=$(corpus_pdfs)
# shellcheck disable=SC2086
pages=$(total_pages $files)

# shellcheck disable=SC2086
set -- $files
pptx=$(measure_rz pptx "$out/pptx" "$@")
txt=$(measure_rz txt "$out/txt" "$@")

echo "corpus: $# files, $pages pages"
report "rzconvert --to pptx" "$pages" "${pptx% *}" "${pptx#* }"
report "rzconvert --to txt" "$pages" "${txt% *}" "${txt#* }"
ratio "time pptx/txt (target <= 3)" "${pptx% *}" "${txt% *}"

# Long documents: the two-column paper repeated.
paper=$CORPUS/fonts/tracemonkey.pdf
per=$(npages "$paper")
build_long $(((10 + per - 1) / per)) "$out/short.pdf"
build_long $(((1000 + per - 1) / per)) "$out/long.pdf"
short=$(measure_rz pptx "$out/s" "$out/short.pdf")
long=$(measure_rz pptx "$out/l" "$out/long.pdf")
longtxt=$(measure_rz txt "$out/t" "$out/long.pdf")
report "short document" "$(npages "$out/short.pdf")" "${short% *}" "${short#* }"
report "long document" "$(npages "$out/long.pdf")" "${long% *}" "${long#* }"
report "long document (txt)" "$(npages "$out/long.pdf")" "${longtxt% *}" "${longtxt#* }"
ratio "time long pptx/txt" "${long% *}" "${longtxt% *}"
ratio "peak memory long/short" "${long#* }" "${short#* }"

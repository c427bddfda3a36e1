#!/bin/sh
# XLSX and CSV output: rzconvert --to xlsx and --to csv on the unencrypted
# corpus against rzconvert's text output; then one long document built by
# repeating a corpus paper, at 10 and 1000 pages, to show that peak memory
# does not grow with the page count. Prints pages per second and peak
# memory of each, and the ratios; last the mean cell F1 of the corpus's
# table truth (bench/xlsx_tables.py).
set -eu
. "$(dirname "$0")/common.sh"

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

files=$(corpus_pdfs)
# shellcheck disable=SC2086
pages=$(total_pages $files)

# shellcheck disable=SC2086
set -- $files
xlsx=$(measure_rz xlsx "$out/xlsx" "$@")
csv=$(measure_rz csv "$out/csv" "$@")
txt=$(measure_rz txt "$out/txt" "$@")

echo "corpus: $# files, $pages pages"
report "rzconvert --to xlsx" "$pages" "${xlsx% *}" "${xlsx#* }"
report "rzconvert --to csv" "$pages" "${csv% *}" "${csv#* }"
report "rzconvert --to txt" "$pages" "${txt% *}" "${txt#* }"
ratio "time xlsx/txt (target <= 2)" "${xlsx% *}" "${txt% *}"
ratio "time csv/txt (target <= 2)" "${csv% *}" "${txt% *}"

# Long documents: the two-column paper repeated, one sheet per page and all
# pages in one sheet.
paper=$CORPUS/fonts/tracemonkey.pdf
per=$(npages "$paper")
build_long $(((10 + per - 1) / per)) "$out/short.pdf"
build_long $(((1000 + per - 1) / per)) "$out/long.pdf"
for mode in page below; do
    short=$(measure_rz "xlsx --sheets $mode" "$out/s" "$out/short.pdf")
    long=$(measure_rz "xlsx --sheets $mode" "$out/l" "$out/long.pdf")
    report "short document ($mode)" "$(npages "$out/short.pdf")" "${short% *}" "${short#* }"
    report "long document ($mode)" "$(npages "$out/long.pdf")" "${long% *}" "${long#* }"
    ratio "peak memory long/short ($mode)" "${long#* }" "${short#* }"
done

# Tables: cell F1 of the corpus's table truth against the sheets.
if /usr/bin/python3 -c 'import openpyxl' 2>/dev/null; then
    /usr/bin/python3 "$root/bench/xlsx_tables.py" "$RZCONVERT" "$CORPUS" | tail -1
fi

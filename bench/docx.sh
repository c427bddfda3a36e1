#!/bin/sh
# DOCX output: rzconvert --to docx on the unencrypted corpus against
# LibreOffice's own PDF import and against rzconvert's text output; then one
# long document built by repeating a corpus paper, at 10 and 1000 pages, to
# show that peak memory does not grow with the page count. Prints pages per
# second and peak memory of each, and the ratios.
set -eu
. "$(dirname "$0")/common.sh"

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

files=$(corpus_pdfs)
# shellcheck disable=SC2086
pages=$(total_pages $files)

# shellcheck disable=SC2086
set -- $files
rz=$(measure_rz docx "$out/rz" "$@")
txt=$(measure_rz txt "$out/txt" "$@")
lo=none
if command -v soffice >/dev/null 2>&1; then
    # Its own profile folder: two runs sharing one hang.
    lo=$(measure_each "soffice -env:UserInstallation=file://$out/profile --headless --infilter=writer_pdf_import --convert-to docx --outdir '$out/lo' \"\$1\"" "$@")
    rm -rf "$out/lo"
fi

rz_s=${rz% *}; rz_m=${rz#* }
txt_s=${txt% *}; txt_m=${txt#* }
echo "corpus: $# files, $pages pages"
report "rzconvert --to docx" "$pages" "$rz_s" "$rz_m"
report "rzconvert --to txt" "$pages" "$txt_s" "$txt_m"
ratio "time docx/txt (target <= 3)" "$rz_s" "$txt_s"
if [ "$lo" != none ]; then
    lo_s=${lo% *}; lo_m=${lo#* }
    report "LibreOffice PDF import" "$pages" "$lo_s" "$lo_m"
    ratio "speed-up over LibreOffice (target >= 100)" "$lo_s" "$rz_s"
fi

# Long documents: the two-column paper repeated.
paper=$CORPUS/fonts/tracemonkey.pdf
per=$(npages "$paper")
build_long $(((10 + per - 1) / per)) "$out/short.pdf"
build_long $(((1000 + per - 1) / per)) "$out/long.pdf"
short=$(measure_rz docx "$out/s" "$out/short.pdf")
long=$(measure_rz docx "$out/l" "$out/long.pdf")
report "short document" "$(npages "$out/short.pdf")" "${short% *}" "${short#* }"
report "long document" "$(npages "$out/long.pdf")" "${long% *}" "${long#* }"
ratio "peak memory long/short (target <= 1.2)" "${long#* }" "${short#* }"

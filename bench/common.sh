# Shared helpers of the benchmark scripts (sourced).
#   BUILD   build folder with bin/rzconvert (default build/release)
#   RZ_TOOL the program of BUILD/bin the script needs (default rzconvert)
#   CORPUS  folder of PDFs (default ../shared/corpus beside the source tree)

root=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${BUILD:-$root/build/release}
CORPUS=${CORPUS:-$root/../shared/corpus}
RZCONVERT=$BUILD/bin/rzconvert

RZ_TOOL=${RZ_TOOL:-rzconvert}
[ -x "$BUILD/bin/$RZ_TOOL" ] || { echo "build first: make build (missing $BUILD/bin/$RZ_TOOL)" >&2; exit 1; }
[ -d "$CORPUS" ] || { echo "no corpus at $CORPUS" >&2; exit 1; }

# The unencrypted PDFs of the corpus, one per line.
corpus_pdfs() {
    find "$CORPUS" -name '*.pdf' | sort | while read -r f; do
        if qpdf --requires-password "$f" >/dev/null 2>&1; then continue; fi
        echo "$f"
    done
}

# Pages of a PDF.
pdf_pages() {
    pdfinfo "$1" 2>/dev/null | awk '/^Pages:/ {print $2}'
}

# Runs a shell command once per file, the file as "$1"; prints "seconds
# peak_kib" (wall time of the whole run, highest peak resident memory of one run).
measure_each() {
    cmd=$1; shift
    peak=0
    start=$(date +%s.%N)
    for f in "$@"; do
        kib=$( { /usr/bin/time -f '%M' sh -c "$cmd >/dev/null 2>&1" sh "$f"; } 2>&1 | tail -1)
        [ "$kib" -gt "$peak" ] 2>/dev/null && peak=$kib
    done
    end=$(date +%s.%N)
    echo "$(echo "$end - $start" | bc) $peak"
}

# The pages of all the files given.
total_pages() {
    _tp_n=0
    for _tp_f in "$@"; do _tp_n=$((_tp_n + $(npages "$_tp_f"))); done
    echo "$_tp_n"
}

# measure_each of rzconvert converting each file (after the first two
# arguments) with --to $1 (a type, options may follow it) into the folder
# $2, which is removed afterwards.
measure_rz() {
    _mr_to=$1
    _mr_dir=$2
    shift 2
    _mr_r=$(measure_each "'$RZCONVERT' --to $_mr_to --out '$_mr_dir' \"\$1\"" "$@")
    rm -rf "$_mr_dir"
    echo "$_mr_r"
}

report() {
    # name pages seconds peak_kib
    awk -v n="$1" -v p="$2" -v s="$3" -v m="$4" 'BEGIN { printf "%-28s %6d pages %8.2f s %8.1f pages/s  peak %7.1f MiB\n", n, p, s, p / s, m / 1024 }'
}

ratio() {
    # label a b
    awk -v l="$1" -v a="$2" -v b="$3" 'BEGIN { printf "%-28s %6.2f\n", l, a / b }'
}

# Pages of a PDF, also for files pdfinfo refuses.
npages() {
    n=$(qpdf --show-npages "$1" 2>/dev/null) || n=$(pdf_pages "$1")
    echo "${n:-0}"
}

# Writes $3 (default: the corpus's two-column paper) repeated $1 times to $2.
build_long() {
    n=$1
    from=${3:-$CORPUS/fonts/tracemonkey.pdf}
    args=""
    i=0
    while [ "$i" -lt "$n" ]; do args="$args $from 1-z"; i=$((i + 1)); done
    # shellcheck disable=SC2086
    qpdf --empty --pages $args -- "$2"
}

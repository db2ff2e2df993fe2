#!/usr/bin/env bash
# Inside the bench: runs the tour of each named program and turns its screenshots into PNGs.
#   tour.sh BUILD_DIR PROGRAM...
set -euo pipefail
build=$1
shift
shots="$build/screenshots"
mkdir -p "$shots"
status=0
for name in "$@"; do
    echo "== tour of $name"
    rm -f "$shots/$name"*.bmp
    wine "$build/bin/tour.exe" "$name" "$(winepath -w "$shots")" | sed -u '/^screenshot:/d' || status=1
    for bmp in "$shots/$name"*.bmp; do
        [ -e "$bmp" ] || continue
        convert "$bmp" "${bmp%.bmp}.png" && rm -f "$bmp"
        echo "screenshot: ${bmp%.bmp}.png"
    done
done
exit $status

#!/usr/bin/env bash
# Checks the files saves.js saved with tools nobody here wrote.
set -euo pipefail
out=$1
pages=$(tiffinfo "$out/all.tif" 2>/dev/null | grep -c 'TIFF Directory')
[[ $pages == 3 ]] || { echo "TIFF has $pages pages"; exit 1; }
qpdf --check "$out/all.pdf" >/dev/null || { echo "qpdf rejects the PDF"; exit 1; }
pdfinfo "$out/all.pdf" | grep -q '^Pages: *3$' || { echo "PDF page count"; exit 1; }
file "$out/all.gif" | grep -q 'GIF image data, version 89a' || { echo "GIF: $(file "$out/all.gif")"; exit 1; }
# Frames are counted by giflib in the native tests.
[[ ! -e "$out/all.jpg" ]] || { echo "all.jpg was written"; exit 1; }

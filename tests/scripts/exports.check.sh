#!/usr/bin/env bash
# Decodes what exports.js wrote and checks it with tools nobody here wrote.
set -euo pipefail
out=$1
for f in pages.tif pages.pdf page1.jpg; do
  tr -d '\r' <"$out/$f.b64" | base64 -d >"$out/$f"
done
pages=$(tiffinfo "$out/pages.tif" 2>/dev/null | grep -c 'TIFF Directory')
[[ $pages == 3 ]] || { echo "TIFF has $pages pages"; exit 1; }
tiffinfo "$out/pages.tif" 2>/dev/null | grep -q 'Compression Scheme: JPEG' || { echo "TIFF pages are not JPEG"; exit 1; }
qpdf --check "$out/pages.pdf" >/dev/null || { echo "qpdf rejects the PDF"; exit 1; }
pdfinfo "$out/pages.pdf" | grep -q '^Pages: *3$' || { echo "PDF page count"; exit 1; }
pdftoppm -r 10 "$out/pages.pdf" "$out/render" && [[ -f "$out/render-3.ppm" ]] || { echo "poppler cannot render"; exit 1; }
# The fixture pages are 24 x 16; with no format chosen the JPEG keeps that size.
file "$out/page1.jpg" | grep -q 'JPEG image data.*24x16' || { echo "JPEG: $(file "$out/page1.jpg")"; exit 1; }

#!/usr/bin/env bash
# The JPEG page fetched last, exported as TIFF: one 24 x 16 page.
set -euo pipefail
out=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
base64 -d <(tr -d '\r\n' <"$out/fetched.tif.b64") >"$tmp/fetched.tif"
info=$(tiffinfo "$tmp/fetched.tif" 2>&1)
[[ $(grep -c "TIFF Directory" <<<"$info") == 1 ]] || { echo "not one page: $info"; exit 1; }
grep -q "Image Width: 24 Image Length: 16" <<<"$info" || { echo "wrong size: $info"; exit 1; }

#!/usr/bin/env bash
# Werkzeug reads every request uploads.js made; the uploaded documents are the
# very bytes the exports of the same pages give.
set -euo pipefail
out=$1
parse="/usr/bin/python3 $(dirname "$0")/../native/oracles/multipart_parse.py"
for f in pages.tif pages.pdf; do tr -d '\r' <"$out/upload-$f.b64" | base64 -d >"$out/upload-$f"; done
[[ ! -e "$out/upload-ok-empty.raw" && ! -e "$out/upload-ok-never.raw" ]] || { echo "a request went out that must not"; exit 1; }

# form OUT_NAME RAW: the parsed parts, one per line
form() { mkdir -p "$out/$1"; $parse "$out/$2" "$out/$1" || { echo "Werkzeug rejects $2"; exit 1; }; }
hex() { printf '%s' "$1" | od -An -tx1 | tr -d ' \n'; }
expect_line() { grep -qxF -- "$2" <<<"$1" || { echo "missing part: $2"; echo "$1"; exit 1; }; }

tiff=$(form tiff upload-ok-tiff.raw)
expect_line "$tiff" "$(printf 'field\tid\t%s' "$(hex id-1)")"
expect_line "$tiff" "$(printf 'field\timageCount\t%s' "$(hex 3)")"
grep -qP '^file\timage\t[A-Z]:\\.*\\~~[0-9A-Fa-f]+\.tiff\t\.tiff\t' <<<"$tiff" || { echo "TIFF file part: $tiff"; exit 1; }
cmp "$out/tiff/part-3.bin" "$out/upload-pages.tif" || { echo "uploaded TIFF differs from the export"; exit 1; }

text=$(form tiff-text upload-ok-tiff-text.raw)
expect_line "$text" "$(printf 'field\tdesc\tb2e2cad4')"  # 测试 in code page 936

pdf=$(form pdf upload-ok-pdf.raw)
expect_line "$pdf" "$(printf 'field\tdesc\t')"
cmp "$out/pdf/part-3.bin" "$out/upload-pages.pdf" || { echo "uploaded PDF differs from the export"; exit 1; }

jpg=$(form jpg upload-ok-jpg.raw)
order=$(cut -f2 <<<"$jpg" | tr '\n' ' ')
[[ $order == "imageCount id desc image image image " ]] || { echo "JPEG form order: $order"; exit 1; }
for i in 3 4 5; do
  file "$out/jpg/part-$i.bin" | grep -q 'JPEG image data' || { echo "part $i is no JPEG"; exit 1; }
done

# The documents and their placeholders are gone from Windows' temporary folder.
left=$(find "$out/../users" -path '*Temp*' -name '~~*' 2>/dev/null)
[[ -z $left ]] || { echo "temporary files left: $left"; exit 1; }

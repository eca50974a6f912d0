#!/usr/bin/env bash
# Registers the control from a folder whose path has a blank, checks every entry with
# `reg query`, registers again, then unregisters and checks that nothing is left.
# Needs a Wine session (WINEPREFIX, DISPLAY) from scripts/lib/common.sh.
set -uo pipefail
source "$(dirname "$0")/../../scripts/lib/common.sh"
ocx=$1
folder="$WINEPREFIX/drive_c/Orvix Test Folder"
mkdir -p "$folder"
cp "$ocx" "$folder/orvixcam.ocx"
long='C:\Orvix Test Folder\orvixcam.ocx'
clsid='{2B4F9E63-8A17-4C05-A6D9-7E3C15B08F42}'
libid='{5D2E8A41-7C3B-4E19-B6F2-0A9C3D71E4B8}'
ok=0 bad=0

fail() { echo "FAIL: $*"; bad=$((bad + 1)); }
pass() { ok=$((ok + 1)); }

# value KEY NAME -> the data of a REG_SZ value ("" name: the default value)
value() {
  local args=(/ve)
  [[ -n "$2" ]] && args=(/v "$2")
  wine_run reg query "HKEY_CLASSES_ROOT\\$1" "${args[@]}" 2>/dev/null | tr -d '\r' |
    awk -F'    ' '/REG_SZ/ { print $NF; found=1 } END { exit !found }'
}

expect() {  # expect KEY NAME DATA
  local got
  if ! got=$(value "$1" "$2"); then
    fail "missing HKCR\\$1 ${2:-(default)}"
  elif [[ "$got" != "$3" ]]; then
    fail "HKCR\\$1 ${2:-(default)} = '$got', expected '$3'"
  else
    pass
  fi
}

absent() {
  if wine_run reg query "HKEY_CLASSES_ROOT\\$1" >/dev/null 2>&1; then fail "HKCR\\$1 is still there"; else pass; fi
}

check_entries() {
  expect "CLSID\\$clsid" "" "Orvix Control"
  local server
  server=$(value "CLSID\\$clsid\\InprocServer32" "")
  if [[ "$server" == *" "* || "$server" != *'\orvixcam.ocx' || "$server" == "$long" ]]; then
    fail "InprocServer32 should hold the short path, got '$server'"
  else
    pass
  fi
  expect "CLSID\\$clsid\\InprocServer32" ThreadingModel Apartment
  expect "orvixcam.Orvix" "" "Orvix Control"
  expect "orvixcam.Orvix\\Clsid" "" "$clsid"
  expect "CLSID\\$clsid\\ProgID" "" "orvixcam.Orvix"
  expect "CLSID\\$clsid\\Version" "" "1.0"
  expect "CLSID\\$clsid\\TypeLib" "" "$libid"
  expect "CLSID\\$clsid\\MiscStatus" "" "0"
  expect "CLSID\\$clsid\\MiscStatus\\1" "" "205201"
  expect "CLSID\\$clsid\\ToolboxBitmap32" "" "$long,1"
  expect "CLSID\\$clsid\\Control" "" ""
  expect "CLSID\\$clsid\\Verb" "" ""
  expect "CLSID\\$clsid\\Verb\\0" "" "Properties,0,2"
  if wine_run reg query "HKEY_CLASSES_ROOT\\TypeLib\\$libid\\1.0" >/dev/null 2>&1; then pass; else fail "type library not registered"; fi
}

subkeys() { wine_run reg query "HKEY_CLASSES_ROOT\\CLSID\\$clsid" /s 2>/dev/null | tr -d '\r' | grep -c '^HKEY'; }

if wine_run regsvr32 /s "$long"; then pass; else fail "regsvr32 failed"; fi
check_entries
first=$(subkeys)
wine_run regsvr32 /s "$long" || fail "second regsvr32 failed"
check_entries
[[ "$(subkeys)" == "$first" ]] && pass || fail "registering twice changed the key count ($first -> $(subkeys))"

if wine_run regsvr32 /s /u "$long"; then pass; else fail "regsvr32 /u failed"; fi
absent "CLSID\\$clsid"
absent "orvixcam.Orvix"
absent "TypeLib\\$libid\\1.0"

echo "registration: $ok passed, $bad failed"
((bad == 0))

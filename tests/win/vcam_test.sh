#!/usr/bin/env bash
# Registers the virtual camera with regsvr32 the way a test prefix does: the default
# camera, a second camera of the same name and one of another name (/i:"NAME"); checks
# the video input category's entries, that registering again adds nothing, and that
# /u removes every camera and class. Then runs the control's camera members in page
# scripts (preview and instances; three captured pages) and the DirectShow device tests.
# Needs a Wine session (WINEPREFIX, DISPLAY) from scripts/lib/common.sh.
# Usage: vcam_test.sh BIN_DIR   (holding orvixvcam.dll, orvixcam.ocx, orvixhost.exe, orvix_win_tests.exe)
set -uo pipefail
source "$(dirname "$0")/../../scripts/lib/common.sh"
bin=$1
dll=$(winpath "$bin/orvixvcam.dll")
category='HKEY_CLASSES_ROOT\CLSID\{860BB310-5D01-11d0-BD3B-00A0C911CE86}\Instance'
ok=0 bad=0

fail() { echo "FAIL: $*"; bad=$((bad + 1)); }
pass() { ok=$((ok + 1)); }
check() { if eval "$2"; then pass; else fail "$1"; fi; }

entries() { wine_run reg query "$category" /s 2>/dev/null | tr -d '\r'; }
named() { entries | grep -c "FriendlyName    REG_SZ    $1\$"; }
clsids() { entries | awk '/    CLSID    REG_SZ/ { print $NF }' | sort; }
server_of() { wine_run reg query "HKEY_CLASSES_ROOT\\CLSID\\$1\\InprocServer32" /ve 2>/dev/null | tr -d '\r' | awk -F'    ' '/REG_SZ/ { print $NF }'; }

wine_run regsvr32 /s /u "$dll" >/dev/null 2>&1
check "regsvr32" 'wine_run regsvr32 /s "$dll"'
check "regsvr32 /i: same name" 'wine_run regsvr32 /s /i:"OrvixCam Virtual Camera" "$dll"'
check "regsvr32 /i: other name" 'wine_run regsvr32 /s /i:"OrvixCam Other Model" "$dll"'
check "two cameras named OrvixCam Virtual Camera, got $(named 'OrvixCam Virtual Camera')" '[[ $(named "OrvixCam Virtual Camera") == 2 ]]'
check "one camera named OrvixCam Other Model" '[[ $(named "OrvixCam Other Model") == 1 ]]'
check "each camera has its own class" '[[ $(clsids | uniq | wc -l) == 3 ]]'
for c in $(clsids); do
  check "class $c served by orvixvcam.dll, got '$(server_of "$c")'" '[[ "$(server_of "$c")" == *orvixvcam.dll ]]'
done
check "every entry has filter data" '[[ $(entries | grep -c FilterData) == 3 ]]'

# Registering again refreshes the default camera instead of adding one.
wine_run regsvr32 /s "$dll"
check "registering again added a camera" '[[ $(named "OrvixCam Virtual Camera") == 2 ]]'

registered=$(clsids)
check "regsvr32 /u" 'wine_run regsvr32 /s /u "$dll"'
check "cameras left after /u: $(entries | grep -c FriendlyName)" '[[ $(entries | grep -c FriendlyName) == 0 ]]'
for c in $registered; do
  check "class $c left after /u" '! wine_run reg query "HKEY_CLASSES_ROOT\\CLSID\\$c" >/dev/null 2>&1'
done

# The control's camera members as a page script uses them.
wine_run regsvr32 /s "$dll"
wine_run regsvr32 /s /i:"OrvixCam Virtual Camera" "$dll"
wine_run regsvr32 /s /i:"OrvixCam Other Model" "$dll"
wine_run regsvr32 /s "$(winpath "$bin/orvixcam.ocx")"
out_dir="$WINEPREFIX/drive_c/orvix-out"
mkdir -p "$out_dir"
scripts=$(dirname "$0")/../scripts
check "camera page script" 'timeout 120 "$WINE64" "$bin/orvixhost.exe" "$(winpath "$scripts/lib/assert.js")" "$(winpath "$scripts/lib/out.js")" "$(winpath "$(dirname "$0")/camera_preview.js")"'
check "camera frames" '/usr/bin/python3 "$(dirname "$0")/camera_preview.py" "$out_dir"'
check "three captured pages" 'timeout 120 "$WINE64" "$bin/orvixhost.exe" "$(winpath "$scripts/lib/assert.js")" "$(winpath "$scripts/lib/out.js")" "$(winpath "$(dirname "$0")/camera_capture.js")"'
check "captured pages upright at the format's size" 'bash "$(dirname "$0")/camera_capture_check.sh" "$out_dir"'
wine_run regsvr32 /s /u "$dll"

# The device tests register and remove their own cameras through the same exports.
check "DirectShow device tests" 'wine_run "$bin/orvix_win_tests.exe" --gtest_brief=1 --gtest_filter="DirectShowDevice*"'

echo "virtual camera: $ok passed, $bad failed"
((bad == 0))

#!/usr/bin/env bash
# Runs every page script in this folder against the registered control:
#   orvixhost.exe lib/assert.js lib/out.js NAME.js
# (or only the scripts named after BIN: run-page-scripts.sh BIN NAME...)
# A script passes when it exits 0 and, where NAME.expect exists, every line of it
# appears in the script's output (the host's records of dialogs and boxes included),
# and where NAME.check.sh exists, it accepts the files the script wrote.
# Where NAME.serve.py exists, it is started first as
#   python3 NAME.serve.py OUT_DIR SERVERS_JS
# and serves on loopback until the script ends; it writes SERVERS_JS (script lines
# naming its urls) once it listens, and that file runs before NAME.js.
# Needs a Wine session (WINEPREFIX, DISPLAY) from scripts/lib/common.sh.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../scripts/lib/common.sh"
bin=$1
shift
only=("$@")  # names of the scripts to run; all when none are given
wine_run regsvr32 /s "$(winpath "$bin/orvixcam.ocx")" || { echo "cannot register the control"; exit 1; }
out_dir="$WINEPREFIX/drive_c/orvix-out"
mkdir -p "$WINEPREFIX/drive_c/orvix-fixtures" "$out_dir"
cp "$here"/fixtures/* "$WINEPREFIX/drive_c/orvix-fixtures/"

ok=0 bad=0
for script in "$here"/*.js; do
  name=$(basename "$script" .js)
  if ((${#only[@]})) && [[ " ${only[*]} " != *" $name "* ]]; then continue; fi
  extra=() server_pid=
  if [[ -f "$here/$name.serve.py" ]]; then
    servers_js="$out_dir/$name.servers.js"
    rm -f "$servers_js"
    /usr/bin/python3 "$here/$name.serve.py" "$out_dir" "$servers_js" &
    server_pid=$!
    for _ in $(seq 100); do [[ -s "$servers_js" ]] && break; sleep 0.1; done
    extra=("$(winpath "$servers_js")")
  fi
  # Into a file, not a pipe: services Wine starts on the way (the network's
  # among them) inherit the descriptors and would hold a pipe open.
  log_file="$out_dir/$name.log"
  rc=0
  timeout 120 "$WINE64" "$bin/orvixhost.exe" "$(winpath "$here/lib/assert.js")" "$(winpath "$here/lib/out.js")" "${extra[@]}" "$(winpath "$script")" >"$log_file" 2>&1 </dev/null || rc=$?
  output=$(tr -d '\r' <"$log_file")
  if [[ -n "$server_pid" ]]; then kill "$server_pid" 2>/dev/null; wait "$server_pid" 2>/dev/null || true; fi
  result=ok
  if [[ $rc -ne 0 ]]; then
    result="exit code $rc"
  elif [[ -f "$here/$name.expect" ]]; then
    while IFS= read -r line; do
      [[ -z "$line" ]] && continue
      grep -qF -- "$line" <<<"$output" || { result="missing output: $line"; break; }
    done <"$here/$name.expect"
  fi
  # NAME.check.sh checks the files the script wrote to C:\orvix-out with outside tools.
  if [[ $result == ok && -f "$here/$name.check.sh" ]]; then
    check=$(bash "$here/$name.check.sh" "$out_dir" 2>&1) || result="check failed: $check"
  fi
  if [[ $result == ok ]]; then
    ok=$((ok + 1))
    echo "ok   $name"
  else
    bad=$((bad + 1))
    echo "FAIL $name: $result"
    sed 's/^/     | /' <<<"$output"
  fi
done
echo "page scripts: $ok passed, $bad failed"
((bad == 0))

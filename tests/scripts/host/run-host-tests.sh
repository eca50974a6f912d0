#!/usr/bin/env bash
# Tests orvixhost.exe itself under Wine: echo, Quit codes, error reports, Sleep, events and
# dialog recording/answering.
#   run-host-tests.sh path/to/orvixhost.exe [path/to/orvixhost_probe.dll]
# Needs WINEPREFIX (a 64-bit prefix it may register the probe in) and DISPLAY (e.g. Xvfb).
# Exits non-zero when any case failed; prints the output of each failed case.
set -u

if [[ $# -lt 1 ]]; then
    echo "usage: $0 orvixhost.exe [orvixhost_probe.dll]" >&2
    exit 2
fi
host=$(realpath "$1")
probe=$(realpath "${2:-$(dirname "$host")/orvixhost_probe.dll}")
here=$(cd "$(dirname "$0")" && pwd)
assert_js=$(realpath "$here/../lib/assert.js")
wine=${WINE:-/usr/lib/wine/wine64}
export WINEDEBUG=${WINEDEBUG:--all}
: "${WINEPREFIX:?WINEPREFIX must name a ready 64-bit prefix}"
: "${DISPLAY:?DISPLAY must name an X display}"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 2
failed=0

# Windows path of a Unix path through the Z: drive.
winpath() { local p; p=$(realpath "$1"); echo "Z:${p//\//\\}"; }

# Chinese in the thread's ANSI code page (936) needs this locale name; Wine takes the code
# page from it even where glibc lacks the locale.
run_wine() { LC_ALL=zh_CN.UTF-8 timeout 300 "$wine" "$@"; }

# Without a window manager Wine waits 2 s for each closing window it manages; unmanaged
# windows close at once.
run_wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
if ! run_wine regsvr32 /s "$(winpath "$probe")"; then
    echo "FAIL: cannot register $probe" >&2
    exit 1
fi

# ---- helpers ---------------------------------------------------------------------------------
# run NAME EXPECTED_EXIT FILE...: runs the host on the files; output goes to NAME.out.
case_name=""
case_ok=1
run() {
    case_name=$1
    case_ok=1
    local expected=$2
    shift 2
    run_wine "$host" "$@" >"$case_name.out" 2>"$case_name.err"
    local rc=$?
    [[ $rc -eq $expected ]] || note "exit code $rc, expected $expected"
}
note() {
    echo "FAIL [$case_name]: $*"
    case_ok=0
}
expect_line() { grep -Fxq -- "$1" "$case_name.out" || note "no line: $1"; }
expect_match() { grep -Eq -- "$1" "$case_name.out" || note "no line matching: $1"; }
expect_no_match() { ! grep -Eq -- "$1" "$case_name.out" || note "unexpected line matching: $1"; }
# The line just before the first (or, with "last", the last) line matching $1 must match $2.
expect_before() {
    local pick=head
    [[ ${3:-first} == last ]] && pick=tail
    grep -E -B1 -- "$1" "$case_name.out" | grep -v '^--$' | "$pick" -n2 | head -n1 | grep -Eq -- "$2" ||
        note "no line matching '$2' just before the ${3:-first} line matching '$1'"
}
done_case() {
    if [[ $case_ok -eq 1 ]]; then
        echo "ok   $case_name"
    else
        failed=1
        echo "---- $case_name output:"
        cat "$case_name.out" "$case_name.err"
        echo "----"
    fi
}
# script NAME TEXT: writes NAME.js with the text.
script() { printf '%s\n' "$2" >"$1.js"; }

# ---- Echo --------------------------------------------------------------------------------------
run echo 0 "$here/echo.js"
diff -u - echo.out <<'EOF' || note "echo output differs"
plain text
中文：提示 文档摄像头
1 -2 2.5 true false
null undefined

a	b 
EOF
done_case

# ---- the assertion library ----------------------------------------------------------------
script passing 'check(1, "truthy");
checkEq("中文", "中文", "strings");
checkEq([1, "a"], [1, "a"], "arrays");
checkThrows(function () { WScript.Sleep(-1); }, 0x80070057 | 0, "host error number");
finish();'
run assert-passing 0 "$assert_js" passing.js
expect_match '^[0-9]+ passed, 0 failed$'
expect_no_match '^FAIL'
done_case

script failing 'checkEq(1, 2, "one is two");
check(false, "falsy");
checkEq([1, 2], [1, 3], "arrays");
checkThrows(function () {}, 5, "nothing thrown");
checkThrows(function () { WScript.Sleep(-1); }, 0x8000FFFF | 0, "wrong number");
WScript.Echo("finish is next");
finish();
WScript.Echo("after finish");'
run assert-failing 1 "$assert_js" failing.js
expect_line 'FAIL: one is two: actual=1, expected=2'
expect_line 'FAIL: falsy: actual=false, expected=true'
expect_line 'FAIL: arrays: actual=[1,2], expected=[1,3]'
expect_line 'FAIL: nothing thrown: actual=no error, expected=0x00000005'
expect_line 'FAIL: wrong number: actual=0x80070057, expected=0x8000FFFF'
expect_line '0 passed, 5 failed'
expect_no_match '^after finish$'
done_case

# ---- Quit -----------------------------------------------------------------------------------
# name | expected exit code | script; none of them may print "after".
while IFS='|' read -r name code text; do
    script "$name" "$text"
    run "quit-$name" "$code" "$name.js"
    expect_no_match '^after$'
    done_case
done <<'EOF'
zero|0|WScript.Quit(0);
three|3|WScript.Quit(3); WScript.Echo("after");
no-argument|0|WScript.Quit(); WScript.Echo("after");
largest|255|WScript.Quit(255);
in-function|9|function f() { WScript.Quit(9); } f(); WScript.Echo("after");
caught|5|try { WScript.Quit(5); } catch (e) { WScript.Echo("after"); } WScript.Echo("after");
from-handler|12|var p = new ActiveXObject("OrvixHost.Probe"); function e_Tick(n) { if (n == 2) WScript.Quit(12); } WScript.ConnectObject(p, "e_"); p.StartTicks(5, 10); for (var i = 0; i < 500; i++) WScript.Sleep(10); WScript.Echo("after");
EOF

script stops 'WScript.Quit(4);'
script second 'WScript.Echo("after");'
run quit-skips-later-files 4 stops.js second.js
expect_no_match '^after$'
done_case

# ---- errors ------------------------------------------------------------------------------------
# The engine's descriptions follow the locale, so only the numbers are matched.
# name | line the report must match | script, \n between lines; every case exits 1.
while IFS='|' read -r name pattern text; do
    script "$name" "$(printf '%b' "$text")"
    run "error-$name" 1 "$name.js"
    expect_match "$pattern"
    done_case
done <<'EOF'
undefined|^error 0x800A1391: .+ \(line 2\) in undefined\.js$|WScript.Echo("before");\nnoSuchThing.method();
syntax|^error 0x800A03EA: .* \(line 2\) in syntax\.js$|var a = 1;\nvar b = ;
thrown|^error 0x[0-9A-F]{8}: plain words \(line 1\) in thrown\.js$|throw new Error("plain words");
object|^error 0x80070005: denied by the probe \(line 1\) in object\.js$|new ActiveXObject("OrvixHost.Probe").Fail(0x80070005 | 0, "denied by the probe");
no-class|^error 0x800A01AD: .* \(line 1\) in no-class\.js$|new ActiveXObject("No.Such.Class");
EOF

script first 'WScript.Echo("first ran");'
script broken 'WScript.Echo("second ran");
missing.method();'
run error-in-later-file 1 first.js broken.js
expect_line 'first ran'
expect_line 'second ran'
expect_match '^error 0x800A1391: .* \(line 2\) in broken\.js$'
done_case

run error-missing-file 1 first.js nowhere.js
expect_line 'first ran'
expect_match '^error: cannot read .*nowhere\.js: '
done_case

printf 'WScript.Echo("\xff\xfe");\n' >latin1.js
run error-not-utf8 1 latin1.js
expect_match '^error: cannot read .*latin1\.js: not valid UTF-8$'
done_case

printf '\xef\xbb\xbfWScript.Echo("带 BOM");\n' >bom.js
run utf8-bom 0 bom.js
expect_line '带 BOM'
done_case

run usage 2
expect_match '^usage: orvixhost'
done_case

# ---- Sleep and events ---------------------------------------------------------------------------
run sleep 0 "$assert_js" "$here/sleep.js"
expect_match '^[0-9]+ passed, 0 failed$'
done_case

run events 0 "$assert_js" "$here/events.js"
expect_match '^[0-9]+ passed, 0 failed$'
expect_match '^error 0x[0-9A-F]{8}: thrown by a handler \(line [0-9]+\) in handler noisy_Unhandled$'
done_case

# ---- dialogs ---------------------------------------------------------------------------------
run dialogs 0 "$assert_js" "$here/dialogs.js"
expect_match '^[0-9]+ passed, 0 failed$'
expect_line '[msgbox] caption="提示" text="是否保存当前图像？" flags=36 answer=6'
expect_line '[msgbox] caption="提示" text="第一行\n第二行" flags=64 answer=1'
expect_line '[msgbox] caption="answers" text="answered 4" flags=4 answer=6'
expect_match '^\[open-dialog\] title="打开图像" filter="图像\|\*\.png;\*\.jpg\|全部\|\*\.\*" index=1 file="" dir="" ext="" flags=0x00081200 answer=".*\\orvixhost dialogs\\a\.png\|.*\\orvixhost dialogs\\b 2\.jpg"$'
expect_match '^\[open-dialog\] title="Open" .* flags=0x00081000 answer=".*\\b 2\.jpg"$'
expect_match '^\[open-dialog\] title="Open" .* flags=0x00081000 answer=cancel$'
expect_match '^\[save-dialog\] title="保存图像" .* flags=0x00080002 answer=".*\\new\.png"$'
expect_before '^\[save-dialog\] .*answer=".*\\a\.png"$' '^\[msgbox\] .* answer=6$'
# The refused missing file: the dialog's own error box, then the cancelled dialog.
expect_before '^\[open-dialog\] ' '^\[msgbox\] ' last
expect_no_match '^\[unused-answer\]'
done_case

script unused 'WScript.AnswerNextMessageBox(6);
WScript.AnswerNextFileDialog("C:\\x.png");'
run unused-answers 0 unused.js
expect_line '[unused-answer] msgbox answer=6'
expect_line '[unused-answer] file-dialog answer="C:\x.png"'
done_case

run_wine regsvr32 /u /s "$(winpath "$probe")"
exit "$failed"

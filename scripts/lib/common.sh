# Shared by scripts/build, scripts/test and scripts/demo.
# Installs what a fresh Debian 12 machine lacks and knows where things are.
set -euo pipefail

ORVIX_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
ORVIX_BUILD=${ORVIX_BUILD:-$ORVIX_ROOT/build}
WINE64=/usr/lib/wine/wine64

log() { printf '== %s\n' "$*"; }

orvix_packages=(
  cmake ninja-build g++ pkg-config file
  libjpeg62-turbo-dev libpng-dev libtiff-dev libgif-dev zlib1g-dev libgtest-dev libbenchmark-dev
  libfreetype-dev libfontconfig-dev fonts-arphic-uming
  libtiff-tools qpdf poppler-utils python3-pil
  libcurl4-openssl-dev python3-werkzeug python3-flask python3-pyftpdlib python3-openssl openssl curl clang libclang-rt-14-dev
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 mingw-w64-tools libz-mingw-w64-dev nasm
  wine wine64 libwine-dev xvfb xauth locales
)

ensure_packages() {
  local missing=()
  for p in "${orvix_packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  if ((${#missing[@]})); then
    log "installing ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}" >"$ORVIX_BUILD/apt.log" 2>&1 ||
      { tail -30 "$ORVIX_BUILD/apt.log"; return 1; }
  fi
  ensure_locale
}

# The control's texts are in code page 936; Wine takes its ANSI code page from LC_ALL.
ensure_locale() {
  if ! locale -a 2>/dev/null | grep -qi '^zh_CN.utf8$'; then
    log "generating the zh_CN.UTF-8 locale"
    sed -i 's/^# *zh_CN.UTF-8 UTF-8/zh_CN.UTF-8 UTF-8/' /etc/locale.gen
    grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' >>/etc/locale.gen
    locale-gen >/dev/null
  fi
}

# Only 64-bit Windows programs can run here (the kernel refuses 32-bit ELF, and with it
# wine32), so the tests run the x86_64 build of the same sources under wine64.
wine_run() { "$WINE64" "$@"; }

# A throwaway prefix with an X display, for one test or demo run.
start_wine_session() {
  export WINEDEBUG=-all LC_ALL=zh_CN.UTF-8 WINEDLLOVERRIDES="mscoree,mshtml="
  export WINEPREFIX
  WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/orvix-wine.XXXXXX")
  if [[ -z "${DISPLAY:-}" ]]; then
    local n=$((90 + RANDOM % 100))
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    ORVIX_XVFB_PID=$!
    export DISPLAY=":$n"
  fi
  wine_run wineboot -i >/dev/null 2>&1 || true
  "${WINE64%/*}/wineserver" -p >/dev/null 2>&1 || true
  # Without a window manager Wine waits for every closing managed window; unmanaged
  # windows make each dialog answer take milliseconds instead of seconds.
  wine_run reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
}

stop_wine_session() {
  "${WINE64%/*}/wineserver" -k >/dev/null 2>&1 || true
  [[ -n "${ORVIX_XVFB_PID:-}" ]] && kill "$ORVIX_XVFB_PID" 2>/dev/null || true
  [[ -n "${WINEPREFIX:-}" && "$WINEPREFIX" == */orvix-wine.* ]] && rm -rf "$WINEPREFIX"
  return 0
}

# Unix path -> the Windows path Wine sees it under (drive Z:).
winpath() { printf 'Z:%s' "$(realpath "$1" | tr / '\\')"; }

#!/usr/bin/env bash
# Cross-builds the static third-party libraries for one Windows arch:
#   scripts/lib/mingw-deps.sh ARCH PREFIX     (ARCH: i686 | x86_64)
# Installs into PREFIX/{include,lib}; sources are cached in $(dirname PREFIX)/src,
# objects in $(dirname PREFIX)/build-$(basename PREFIX). Env: ORVIX_JOBS (default 2).
set -euo pipefail

usage() { echo "usage: $0 i686|x86_64 PREFIX" >&2; exit 2; }
[[ $# -eq 2 ]] || usage
ARCH=$1
case "$ARCH" in i686) DEB_ARCH=i686 ;; x86_64) DEB_ARCH=x86-64 ;; *) usage ;; esac
HOST=$ARCH-w64-mingw32
PREFIX=$(realpath -m -- "$2")
[[ $PREFIX != / && $PREFIX != /usr* ]] || { echo "refusing PREFIX $PREFIX" >&2; exit 2; }

SCRIPT=$(realpath -- "${BASH_SOURCE[0]}")
REPO=$(cd "$(dirname "$SCRIPT")/../.." && pwd)
TOOLCHAIN=$REPO/cmake/toolchain-mingw-$ARCH.cmake
JOBS=${ORVIX_JOBS:-2}
[[ -f $TOOLCHAIN ]] || { echo "missing $TOOLCHAIN" >&2; exit 1; }

# Upstream versions; the Debian revision is whatever bookworm currently ships.
JPEG_VER=2.1.5 PNG_VER=1.6.39 TIFF_VER=4.5.0 GIF_VER=5.2.1 GTEST_VER=1.12.1
VERSIONS="jpeg=$JPEG_VER png=$PNG_VER tiff=$TIFF_VER gif=$GIF_VER gtest=$GTEST_VER"

HASH=$( { cat "$SCRIPT" "$TOOLCHAIN" 2>/dev/null; echo "$ARCH $VERSIONS"; } | sha256sum | cut -c1-12)
STAMP=$PREFIX/.built-$HASH
[[ -f $STAMP ]] && exit 0

DEPS_ROOT=$(dirname "$PREFIX")
SRC=$DEPS_ROOT/src
BUILD=$DEPS_ROOT/build-$(basename "$PREFIX")
LOGS=$BUILD/logs
T0=$SECONDS

say() { printf '[mingw-deps %s] %s\n' "$ARCH" "$*"; }
die() { say "ERROR: $*" >&2; exit 1; }

# run LOG CMD...: output goes to LOG; on failure show its tail.
run() {
  local log=$1; shift
  if ! "$@" >>"$log" 2>&1; then
    say "FAILED: $* (log: $log)" >&2
    tail -n 40 "$log" >&2
    exit 1
  fi
}

mkdir -p "$DEPS_ROOT" "$SRC"
# Serialise runs for the same prefix; different prefixes may build concurrently.
exec 8>"$DEPS_ROOT/.lock-$(basename "$PREFIX")"
flock 8
[[ -f $STAMP ]] && exit 0

# A changed script/toolchain/version (or a deleted prefix) invalidates earlier work.
if [[ $(cat "$BUILD/.hash" 2>/dev/null) != "$HASH" || ! -f $PREFIX/.orvix-deps ]]; then
  if [[ -d $PREFIX && -n $(ls -A "$PREFIX") && ! -f $PREFIX/.orvix-deps ]]; then
    die "$PREFIX is not empty and was not made by this script; refusing to wipe it"
  fi
  rm -rf "$BUILD" "$PREFIX"
fi
mkdir -p "$BUILD" "$LOGS" "$PREFIX"
touch "$PREFIX/.orvix-deps"
echo "$HASH" >"$BUILD/.hash"

# ---- host tools ---------------------------------------------------------------
PKGS=("g++-mingw-w64-$DEB_ARCH" "g++-mingw-w64-$DEB_ARCH-posix" mingw-w64-tools cmake nasm make
      dpkg-dev xz-utils bzip2 libz-mingw-w64-dev googletest)
find_missing() {
  missing=()
  local p
  for p in "${PKGS[@]}"; do
    [[ $(dpkg-query -W -f='${Status}' "$p" 2>/dev/null) == 'install ok installed' ]] || missing+=("$p")
  done
}
have_deb_src() {
  grep -rqsE '^[[:space:]]*deb-src[[:space:]]|^Types:.*deb-src' \
    /etc/apt/sources.list /etc/apt/sources.list.d/ 2>/dev/null
}
# apt's lists lock does not wait; other apt users (or the other arch) may hold it.
apt_retry() {
  for _ in {1..10}; do
    apt-get -o DPkg::Lock::Timeout=600 "$@" && return 0
    sleep 15
  done
  return 1
}
apt_updated=0
apt_update() { run "$LOGS/apt.log" apt_retry update; apt_updated=1; }

need_src=0
for f in "libjpeg-turbo_$JPEG_VER-*.dsc" "libpng1.6_$PNG_VER-*.dsc" "tiff_$TIFF_VER-*.dsc" "giflib_$GIF_VER-*.dsc"; do
  compgen -G "$SRC/$f" >/dev/null || need_src=1
done

find_missing
if (( ${#missing[@]} )) || { (( need_src )) && ! have_deb_src; }; then
  [[ $(id -u) -eq 0 ]] || die "need root to install: ${missing[*]:-deb-src entry}"
  export DEBIAN_FRONTEND=noninteractive
  # One setup at a time; a run that waited finds the work already done.
  exec 7>/var/lock/orvix-mingw-deps-apt.lock
  flock 7
  find_missing
  if (( need_src )) && ! have_deb_src; then
    say "adding deb-src for bookworm main"
    cat >/etc/apt/sources.list.d/orvix-src.sources <<'EOF'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
EOF
    apt_update
  fi
  if (( ${#missing[@]} )); then
    say "apt-get install ${missing[*]}"
    (( apt_updated )) || apt_update
    run "$LOGS/apt.log" apt_retry install -y --no-install-recommends "${missing[@]}"
  fi
  flock -u 7
fi
for t in "$HOST-gcc-posix" "$HOST-g++-posix" "$HOST-ar" "$HOST-ranlib" "$HOST-nm" nasm cmake; do
  command -v "$t" >/dev/null || die "missing tool $t"
done
[[ -f /usr/$HOST/lib/libz.a ]] || die "missing /usr/$HOST/lib/libz.a"
[[ -f /usr/src/googletest/CMakeLists.txt ]] || die "missing /usr/src/googletest"
grep -q "GOOGLETEST_VERSION $GTEST_VER" /usr/src/googletest/CMakeLists.txt ||
  die "/usr/src/googletest is not googletest $GTEST_VER"

# ---- sources (shared by all arches) -------------------------------------------
# newest cached .dsc for PKG_UPSTREAMVERSION
find_dsc() { { compgen -G "$SRC/$1-*.dsc" || true; } | sort -V | tail -n 1; }

{
  flock 9
  need=()
  [[ -n $(find_dsc "libjpeg-turbo_$JPEG_VER") ]] || need+=(libjpeg-turbo)
  [[ -n $(find_dsc "libpng1.6_$PNG_VER") ]] || need+=(libpng1.6)
  [[ -n $(find_dsc "tiff_$TIFF_VER") ]] || need+=(tiff)
  [[ -n $(find_dsc "giflib_$GIF_VER") ]] || need+=(giflib)
  if (( ${#need[@]} )); then
    say "downloading sources: ${need[*]}"
    # Stale package lists cannot locate the source packages.
    if ! (cd "$SRC" && apt-get source --download-only "${need[@]}") >>"$LOGS/apt.log" 2>&1; then
      (( apt_updated )) || apt_update
      # shellcheck disable=SC2016
      run "$LOGS/apt.log" bash -c 'cd "$1" && shift && apt-get source --download-only "$@"' _ "$SRC" "${need[@]}"
    fi
  fi
  for pkg in "libjpeg-turbo_$JPEG_VER" "libpng1.6_$PNG_VER" "tiff_$TIFF_VER" "giflib_$GIF_VER"; do
    dsc=$(find_dsc "$pkg")
    [[ -n $dsc ]] || die "no $pkg source in $SRC (did apt return another upstream version? see $LOGS/apt.log)"
    dir=${dsc%.dsc}
    if [[ ! -d $dir ]]; then
      say "unpacking $(basename "$dsc")"
      rm -rf "$dir.tmp"
      run "$LOGS/unpack.log" dpkg-source -x "$dsc" "$dir.tmp"
      mv "$dir.tmp" "$dir"
    fi
  done
} 9>"$SRC/.lock"

JPEG_SRC=$(find_dsc "libjpeg-turbo_$JPEG_VER"); JPEG_SRC=${JPEG_SRC%.dsc}
PNG_SRC=$(find_dsc "libpng1.6_$PNG_VER");       PNG_SRC=${PNG_SRC%.dsc}
TIFF_SRC=$(find_dsc "tiff_$TIFF_VER");          TIFF_SRC=${TIFF_SRC%.dsc}
GIF_SRC=$(find_dsc "giflib_$GIF_VER");          GIF_SRC=${GIF_SRC%.dsc}

# ---- build ----------------------------------------------------------------------
# Wrapper toolchain: the repo's one, plus PREFIX so the libraries find each other.
cat >"$BUILD/toolchain.cmake" <<EOF
include("$TOOLCHAIN")
list(APPEND CMAKE_FIND_ROOT_PATH "$PREFIX")
EOF

ZLIB_ARGS=(-DZLIB_INCLUDE_DIR="/usr/$HOST/include" -DZLIB_LIBRARY="/usr/$HOST/lib/libz.a")
JPEG_ARGS=(-DJPEG_INCLUDE_DIR="$PREFIX/include" -DJPEG_LIBRARY="$PREFIX/lib/libjpeg.a")

# cmake_dep NAME SRCDIR ARGS...: configure, build and install one CMake project.
cmake_dep() {
  local name=$1 srcdir=$2; shift 2
  local bdir=$BUILD/$name log=$LOGS/$name.log t=$SECONDS
  if [[ -f $BUILD/.done-$name ]]; then say "$name: already built"; return; fi
  say "$name: building (log: $log)"
  rm -rf "$bdir"; : >"$log"
  run "$log" cmake -S "$srcdir" -B "$bdir" -G "Unix Makefiles" \
    -DCMAKE_TOOLCHAIN_FILE="$BUILD/toolchain.cmake" \
    -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$PREFIX" \
    -DBUILD_SHARED_LIBS=OFF \
    "$@"
  run "$log" cmake --build "$bdir" -j "$JOBS"
  run "$log" cmake --install "$bdir"
  # A relative install dir once resolved against the caller's cwd: catch strays.
  if grep -v "^$PREFIX/" "$bdir/install_manifest.txt" >&2; then
    die "$name installed files outside $PREFIX"
  fi
  touch "$BUILD/.done-$name"
  say "$name: done ($((SECONDS - t))s)"
}

cmake_dep libjpeg-turbo "$JPEG_SRC" \
  -DCMAKE_INSTALL_DEFAULT_LIBDIR=lib \
  -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF \
  -DWITH_SIMD=ON -DREQUIRE_SIMD=ON -DCMAKE_ASM_NASM_COMPILER=nasm \
  -DWITH_JPEG7=OFF -DWITH_JPEG8=OFF -DWITH_JAVA=OFF -DWITH_12BIT=OFF

# The nasm-built kernels must be in the archive, not just the C fallbacks.
# (grep without -q: an early exit would SIGPIPE nm and trip pipefail)
"$HOST-nm" -g --defined-only "$PREFIX/lib/libjpeg.a" 2>/dev/null |
  grep -E ' T _?jsimd_ycc_rgb_convert_avx2$' >/dev/null ||
  die "libjpeg.a lacks the SIMD kernels (jsimd_ycc_rgb_convert_avx2)"

cmake_dep libpng "$PNG_SRC" \
  -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF \
  -DPNG_BUILD_ZLIB=OFF -Dld-version-script=OFF "${ZLIB_ARGS[@]}"

cmake_dep libtiff "$TIFF_SRC" \
  "${ZLIB_ARGS[@]}" "${JPEG_ARGS[@]}" \
  -Dzlib=ON -Djpeg=ON -Dold-jpeg=ON -Dpixarlog=ON -Djpeg12=OFF \
  -Dlzma=OFF -Dzstd=OFF -Dwebp=OFF -Djbig=OFF -Dlibdeflate=OFF -Dlerc=OFF \
  -Dcxx=OFF -Dtiff-tools=OFF -Dtiff-tests=OFF -Dtiff-contrib=OFF -Dtiff-docs=OFF \
  -Dtiff-opengl=OFF -Dsphinx=OFF -Dld-version-script=OFF
for def in JPEG_SUPPORT ZIP_SUPPORT; do
  grep -q "^#define $def 1" "$PREFIX/include/tiffconf.h" ||
    die "libtiff was configured without $def (see $LOGS/libtiff.log)"
done

if [[ ! -f $BUILD/.done-giflib ]]; then
  # giflib's Makefile builds shared libs and host tools; compile the library by hand.
  say "giflib: building (log: $LOGS/giflib.log)"
  t=$SECONDS; gdir=$BUILD/giflib log=$LOGS/giflib.log
  rm -rf "$gdir"; mkdir -p "$gdir"; : >"$log"
  # shellcheck disable=SC2016
  gif_sources=$(make -s -C "$GIF_SRC" --no-print-directory \
    --eval 'orvix-print-sources: ; @echo $(SOURCES)' orvix-print-sources 2>>"$log")
  [[ $gif_sources == *dgif_lib.c* ]] || die "cannot read giflib's source list (see $log)"
  objs=()
  for c in $gif_sources; do
    run "$log" "$HOST-gcc-posix" -std=gnu99 -O2 -Wall -Wno-format-truncation \
      -I"$GIF_SRC" -c "$GIF_SRC/$c" -o "$gdir/${c%.c}.o"
    objs+=("$gdir/${c%.c}.o")
  done
  run "$log" "$HOST-ar" rcs "$gdir/libgif.a" "${objs[@]}"
  install -D -m 644 "$gdir/libgif.a" "$PREFIX/lib/libgif.a"
  install -D -m 644 "$GIF_SRC/gif_lib.h" "$PREFIX/include/gif_lib.h"
  touch "$BUILD/.done-giflib"
  say "giflib: done ($((SECONDS - t))s)"
fi

cmake_dep googletest /usr/src/googletest \
  -DBUILD_GMOCK=ON -DINSTALL_GTEST=ON -Dgtest_disable_pthreads=OFF \
  -Dgtest_build_tests=OFF -Dgtest_build_samples=OFF -Dgmock_build_tests=OFF

# ---- final checks and stamp ----------------------------------------------------
for f in lib/libjpeg.a lib/libpng16.a lib/libtiff.a lib/libgif.a lib/libgtest.a \
         lib/libgtest_main.a lib/libgmock.a lib/libgmock_main.a lib/cmake/GTest/GTestConfig.cmake \
         include/jpeglib.h include/png.h include/tiffio.h include/gif_lib.h include/gtest/gtest.h; do
  [[ -f $PREFIX/$f ]] || die "missing $PREFIX/$f after build"
done
"$HOST-nm" -g "$PREFIX/lib/libtiff.a" 2>/dev/null | grep -E ' U _?jpeg_read_header$' >/dev/null ||
  die "libtiff.a does not use libjpeg"

ver() { basename "$1" | sed 's/^[^_]*_//'; }
mkdir -p "$PREFIX/share/orvix-deps"
echo "$HOST" >"$PREFIX/share/orvix-deps/host.txt"
{
  echo "host $HOST"
  echo "libjpeg-turbo $(ver "$JPEG_SRC")"
  echo "libpng1.6 $(ver "$PNG_SRC")"
  echo "tiff $(ver "$TIFF_SRC")"
  echo "giflib $(ver "$GIF_SRC")"
  echo "googletest $(dpkg-query -W -f='${Version}' googletest)"
  echo "zlib libz-mingw-w64-dev $(dpkg-query -W -f='${Version}' libz-mingw-w64-dev)"
} >"$PREFIX/share/orvix-deps/versions.txt"
rm -f "$PREFIX"/.built-*
cp "$PREFIX/share/orvix-deps/versions.txt" "$STAMP"
say "done in $((SECONDS - T0))s -> $PREFIX"

# Static libraries cross-built by scripts/lib/mingw-deps.sh ARCH PREFIX into ORVIX_DEPS_PREFIX;
# zlib comes from Debian's libz-mingw-w64-dev.
execute_process(COMMAND ${CMAKE_C_COMPILER} -dumpmachine
                OUTPUT_VARIABLE _orvix_host OUTPUT_STRIP_TRAILING_WHITESPACE)
string(REGEX REPLACE "-.*" "" _orvix_arch "${_orvix_host}")

set(ORVIX_DEPS_PREFIX "${CMAKE_SOURCE_DIR}/build/deps/mingw-${_orvix_arch}" CACHE PATH "cross-built dependencies")

file(GLOB _orvix_stamp "${ORVIX_DEPS_PREFIX}/.built-*")
if(NOT _orvix_stamp)
  message(FATAL_ERROR "No dependencies in ${ORVIX_DEPS_PREFIX}; run:\n"
    "  scripts/lib/mingw-deps.sh ${_orvix_arch} ${ORVIX_DEPS_PREFIX}")
endif()
# Mixing i686 and x86_64 archives only fails later, at link time, with obscure errors.
file(READ "${ORVIX_DEPS_PREFIX}/share/orvix-deps/host.txt" _orvix_deps_host)
string(STRIP "${_orvix_deps_host}" _orvix_deps_host)
if(NOT _orvix_deps_host STREQUAL _orvix_host)
  message(FATAL_ERROR "${ORVIX_DEPS_PREFIX} holds ${_orvix_deps_host} libraries, "
    "but the compiler targets ${_orvix_host}")
endif()

list(PREPEND CMAKE_FIND_ROOT_PATH "${ORVIX_DEPS_PREFIX}")
list(PREPEND CMAKE_PREFIX_PATH "${ORVIX_DEPS_PREFIX}")

# Cache + FORCE: FindGIF's find_library would otherwise ignore a plain variable,
# and a changed ORVIX_DEPS_PREFIX must win over an older cache.
macro(_orvix_dep var value)
  set(${var} "${value}" CACHE FILEPATH "from ORVIX_DEPS_PREFIX" FORCE)
  mark_as_advanced(${var})
endmacro()
_orvix_dep(ZLIB_INCLUDE_DIR "/usr/${_orvix_host}/include")
_orvix_dep(ZLIB_LIBRARY "/usr/${_orvix_host}/lib/libz.a")
_orvix_dep(JPEG_INCLUDE_DIR "${ORVIX_DEPS_PREFIX}/include")
_orvix_dep(JPEG_LIBRARY "${ORVIX_DEPS_PREFIX}/lib/libjpeg.a")
_orvix_dep(PNG_PNG_INCLUDE_DIR "${ORVIX_DEPS_PREFIX}/include")
_orvix_dep(PNG_LIBRARY "${ORVIX_DEPS_PREFIX}/lib/libpng16.a")
_orvix_dep(TIFF_INCLUDE_DIR "${ORVIX_DEPS_PREFIX}/include")
_orvix_dep(TIFF_LIBRARY "${ORVIX_DEPS_PREFIX}/lib/libtiff.a")
_orvix_dep(GIF_INCLUDE_DIR "${ORVIX_DEPS_PREFIX}/include")
_orvix_dep(GIF_LIBRARY "${ORVIX_DEPS_PREFIX}/lib/libgif.a")

find_package(ZLIB REQUIRED)
find_package(JPEG REQUIRED)
find_package(PNG REQUIRED)
find_package(TIFF REQUIRED)
find_package(GIF REQUIRED)
# GTestConfig.cmake from the prefix: GTest::gtest, gtest_main, gmock, gmock_main.
find_package(GTest REQUIRED)

# Static archives carry no dependency info: libtiff needs libjpeg and zlib after it
# (FindPNG already links ZLIB::ZLIB).
set_property(TARGET TIFF::TIFF APPEND PROPERTY INTERFACE_LINK_LIBRARIES JPEG::JPEG ZLIB::ZLIB)

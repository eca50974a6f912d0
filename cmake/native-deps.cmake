# Debian's own libraries for the native build.
find_package(JPEG REQUIRED)
find_package(PNG REQUIRED)
find_package(TIFF REQUIRED)
find_package(GIF REQUIRED)
find_package(ZLIB REQUIRED)
find_package(CURL REQUIRED)
find_package(GTest REQUIRED)
find_package(Iconv)

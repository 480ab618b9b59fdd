# The image codecs of the library: libpng (with zlib) and libjpeg, linked to zn_lib so that the
# library, its tests and its tools see their headers.
find_package(ZLIB REQUIRED)
find_package(PNG REQUIRED)
find_package(JPEG REQUIRED)
target_link_libraries(zn_lib PUBLIC PNG::PNG JPEG::JPEG ZLIB::ZLIB)

# The sound codecs of the library: Ogg Vorbis decoding through vorbisfile (with libvorbis and
# libogg), linked to zn_lib. The encoder (vorbisenc) is only for the tests, which make their
# Ogg Vorbis files themselves.
pkg_check_modules(VORBISFILE REQUIRED IMPORTED_TARGET vorbisfile vorbis ogg)
pkg_check_modules(VORBISENC REQUIRED IMPORTED_TARGET vorbisenc)
target_link_libraries(zn_lib PUBLIC PkgConfig::VORBISFILE)

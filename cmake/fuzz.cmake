# libFuzzer targets of the readers of outside bytes, one per reader (tests/fuzz/*_fuzz.cpp), built when
# ZN_FUZZ is ON. They need clang, in a build directory of their own:
#   cmake -S . -B build-fuzz -G Ninja -DZN_FUZZ=ON -DCMAKE_C_COMPILER=clang \
#         -DCMAKE_CXX_COMPILER=clang++
#   cmake --build build-fuzz --target zn_fuzz
# The library is then compiled with coverage and the address and undefined-behaviour
# sanitizers. clang takes no -fexec-charset but UTF-8, so the library's texts stay UTF-8 in this
# build; only the fuzz targets (target zn_fuzz) are meant to be built in it.
option(ZN_FUZZ "Build the libFuzzer targets of the image decoders (clang only)" OFF)
if(NOT ZN_FUZZ)
  return()
endif()
if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  message(FATAL_ERROR "ZN_FUZZ needs clang: configure with -DCMAKE_C_COMPILER=clang "
                      "-DCMAKE_CXX_COMPILER=clang++")
endif()

set(ZN_FUZZ_SANITIZERS -fsanitize=address,undefined -fno-sanitize-recover=undefined
                       -fno-omit-frame-pointer)
# The targets made below take the directory's options without the charset; those made before
# have it taken out of their own.
get_property(options DIRECTORY PROPERTY COMPILE_OPTIONS)
list(FILTER options EXCLUDE REGEX "fexec-charset=CP932")
set_property(DIRECTORY PROPERTY COMPILE_OPTIONS "${options}")
set(ZN_FUZZED_LIBRARIES zn_platform zn_lib)
if(TARGET zn_game)
  list(APPEND ZN_FUZZED_LIBRARIES zn_game)
endif()
foreach(target ${ZN_FUZZED_LIBRARIES})
  get_target_property(options ${target} COMPILE_OPTIONS)
  list(FILTER options EXCLUDE REGEX "fexec-charset=CP932")
  set_target_properties(${target} PROPERTIES COMPILE_OPTIONS "${options}")
  target_compile_options(${target} PRIVATE -fsanitize=fuzzer-no-link ${ZN_FUZZ_SANITIZERS})
  target_link_options(${target} INTERFACE -fsanitize=address,undefined)
endforeach()

add_custom_target(zn_fuzz)
file(GLOB ZN_FUZZ_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/fuzz/*_fuzz.cpp)
foreach(source ${ZN_FUZZ_SOURCES})
  get_filename_component(name ${source} NAME_WE)
  add_executable(${name} ${source} ${CMAKE_SOURCE_DIR}/tests/fuzz/fuzz_program_defaults.cpp)
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer ${ZN_FUZZ_SANITIZERS})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer ${ZN_FUZZ_SANITIZERS})
  target_link_libraries(${name} PRIVATE zn_lib_internal)
  # The save-file reader is the game's: its target links the game's code too.
  if(name STREQUAL "save_file_fuzz")
    target_link_libraries(${name} PRIVATE zn_game)
  endif()
  add_dependencies(zn_fuzz ${name})
endforeach()

# Seed corpora: zn_fuzz_seeds <directory> writes small valid files of every format.
add_executable(zn_fuzz_seeds ${CMAKE_SOURCE_DIR}/tests/fuzz/write_seeds.cpp
                             ${CMAKE_SOURCE_DIR}/tests/graphics/image_fixtures.cpp)
target_link_libraries(zn_fuzz_seeds PRIVATE zn_lib_internal)
add_dependencies(zn_fuzz zn_fuzz_seeds)

# Movie seeds: zn_fuzz_movie_seeds <directory> writes two short clips through the test
# controls' clip writer (that library is not instrumented, only compiled without the charset).
get_target_property(options zn_platform_testing COMPILE_OPTIONS)
list(FILTER options EXCLUDE REGEX "fexec-charset=CP932")
set_target_properties(zn_platform_testing PROPERTIES COMPILE_OPTIONS "${options}")
add_executable(zn_fuzz_movie_seeds ${CMAKE_SOURCE_DIR}/tests/fuzz/movie_seeds.cpp)
target_include_directories(zn_fuzz_movie_seeds PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(zn_fuzz_movie_seeds PRIVATE zn_platform_testing)
add_dependencies(zn_fuzz zn_fuzz_movie_seeds)

# Archive seeds: zn_fuzz_archive_seeds <directory> writes small unscrambled archives.
add_executable(zn_fuzz_archive_seeds ${CMAKE_SOURCE_DIR}/tests/fuzz/archive_seeds.cpp)
target_link_libraries(zn_fuzz_archive_seeds PRIVATE zn_lib_internal)
add_dependencies(zn_fuzz zn_fuzz_archive_seeds)

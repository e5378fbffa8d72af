# LUMICAST_FUZZ: builds the libFuzzer targets of fuzz/ (clang only). Every target of the build is
# then compiled with coverage for the fuzzer and with AddressSanitizer and
# UndefinedBehaviorSanitizer, so the parsers the targets call are instrumented too; only the
# targets themselves link the fuzzer's main. Configure with CC=clang CXX=clang++ and
# -DLUMICAST_BUILD_GUI=OFF (scripts/fuzz.sh does). The tests may be on too: their programs link
# GoogleTest's main and run under the same sanitizers (the sanitizer pass of scripts/test.sh builds
# the tests and the fuzz targets in one folder this way).
option(LUMICAST_FUZZ "Build the libFuzzer targets in fuzz/ (needs clang)" OFF)
if(LUMICAST_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "LUMICAST_FUZZ needs clang: configure with CC=clang CXX=clang++")
  endif()
  if(NOT LUMICAST_SANITIZE STREQUAL "")
    message(FATAL_ERROR "LUMICAST_FUZZ brings its own sanitizers: leave LUMICAST_SANITIZE empty")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined
                      -fno-omit-frame-pointer -g)
  add_link_options(-fsanitize=address,undefined)
  # A Debug build still optimises a little, as the sanitizer builds do: the tests and the fuzz runs
  # keep their pace.
  if(CMAKE_BUILD_TYPE STREQUAL "Debug")
    add_compile_options(-O1)
  endif()
endif()

option(QUILL_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
if(QUILL_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

option(QUILL_FUZZ "Build the libFuzzer targets in fuzz/ (clang; instruments every layer)" OFF)
# The fuzz build: coverage for libFuzzer in every layer, with both sanitizers; the fuzz targets
# add the fuzzer's own main at link time.
if(QUILL_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "QUILL_FUZZ needs clang (for example CXX=clang++-14)")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
                      -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

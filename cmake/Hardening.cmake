# Builds that look for memory and undefined-behaviour faults:
#   -DZORV_SANITIZE=ON  everything with AddressSanitizer and UndefinedBehaviorSanitizer
#   -DZORV_FUZZ=ON      also the libFuzzer targets of tests/fuzz (clang only)
option(ZORV_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(ZORV_FUZZ "Build the libFuzzer targets; implies ZORV_SANITIZE and needs clang" OFF)

if(ZORV_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "ZORV_FUZZ needs clang: -DCMAKE_CXX_COMPILER=clang++")
  endif()
  set(ZORV_SANITIZE ON)
  # Coverage feedback for the fuzzer in all code; only the fuzz targets
  # link libFuzzer itself, so the unit tests keep their own main().
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()

if(ZORV_SANITIZE)
  set(zorv_sanitizers -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_compile_options(${zorv_sanitizers} -O1 -g)
  add_link_options(${zorv_sanitizers})
endif()

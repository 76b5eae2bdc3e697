# Builds that look for memory and undefined-behaviour faults:
#   -DZORV_SANITIZE=ON  everything with AddressSanitizer and UndefinedBehaviorSanitizer
#   -DZORV_FUZZ=ON      also the libFuzzer targets of tests/fuzz (clang only)
# Every other build is hardened the way Debian hardens its packages
# (dpkg-buildflags with hardening=+all): checked libc calls, stack
# protector and clash protection, control-flow protection, a read-only
# relocation table resolved at start, and a position-independent program.
#   -DZORV_HARDEN=OFF   leaves those flags out
option(ZORV_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(ZORV_FUZZ "Build the libFuzzer targets; implies ZORV_SANITIZE and needs clang" OFF)
option(ZORV_HARDEN "Build with Debian's hardening flags (not with the sanitizers)" ON)

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
elseif(ZORV_HARDEN)
  include(CheckCXXCompilerFlag)
  include(CheckLinkerFlag)
  include(CheckPIESupported)

  # Position-independent code everywhere (Qt 6 asks for it too), and a
  # position-independent executable where the toolchain can link one.
  set(CMAKE_POSITION_INDEPENDENT_CODE ON)
  check_pie_supported(OUTPUT_VARIABLE zorv_pie_error LANGUAGES CXX)
  if(NOT CMAKE_CXX_LINK_PIE_SUPPORTED)
    message(WARNING "No position-independent executable: ${zorv_pie_error}")
  endif()

  # glibc checks buffer sizes only in optimised code, and warns (an error
  # here) when asked to without optimisation; a toolchain that defines the
  # macro itself is overridden rather than warned about.
  add_compile_options("$<$<NOT:$<CONFIG:Debug>>:-U_FORTIFY_SOURCE;-D_FORTIFY_SOURCE=2>")

  add_compile_options(-Wformat -Werror=format-security)
  foreach(flag -fstack-protector-strong -fstack-clash-protection -fcf-protection)
    string(MAKE_C_IDENTIFIER "zorv_has${flag}" result)
    check_cxx_compiler_flag(${flag} ${result})
    if(${result})
      add_compile_options(${flag})
    endif()
  endforeach()

  foreach(flag -Wl,-z,relro -Wl,-z,now)
    string(MAKE_C_IDENTIFIER "zorv_links${flag}" result)
    check_linker_flag(CXX ${flag} ${result})
    if(${result})
      add_link_options(${flag})
    endif()
  endforeach()
endif()

# LW_SANITIZE builds every target with AddressSanitizer and
# UndefinedBehaviorSanitizer; undefined behaviour aborts instead of being
# reported and skipped, so a test that hits it fails.
option(LW_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
# The libFuzzer targets in tests/fuzz need clang; with clang the whole
# sanitizer build also carries coverage hooks so the targets can link
# against the project's own libraries.
if(CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  set(lw_fuzz_default ${LW_SANITIZE})
else()
  set(lw_fuzz_default OFF)
endif()
option(LW_FUZZ "Build the libFuzzer targets (clang and LW_SANITIZE only)" ${lw_fuzz_default})
if(LW_FUZZ AND NOT (LW_SANITIZE AND CMAKE_CXX_COMPILER_ID MATCHES "Clang"))
  message(FATAL_ERROR "LW_FUZZ needs clang and LW_SANITIZE=ON")
endif()

# -O1 on top of the Debug build: unoptimised code runs several times slower
# under the sanitizers (every string_view index and span access a call), which
# starves the fuzz targets of inputs; -O1 keeps the checks, assertions and
# usable stack traces.
if(LW_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all
                      -fno-omit-frame-pointer -O1)
  add_link_options(-fsanitize=address,undefined)
  if(LW_FUZZ)
    add_compile_options(-fsanitize=fuzzer-no-link)
  endif()
endif()

# The run-time modules are linked with --no-undefined so that a missing
# symbol shows at build time. clang links the sanitizer run-time into
# executables only, and a module finds it there when loaded, so the
# sanitizer build of clang leaves the check out.
if(LW_SANITIZE AND CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  set(LW_MODULE_NO_UNDEFINED "")
else()
  set(LW_MODULE_NO_UNDEFINED -Wl,--no-undefined)
endif()

# The fuzzing build: only the libFuzzer harnesses and the libraries they link, instrumented for
# coverage with AddressSanitizer and UndefinedBehaviorSanitizer. tools/fuzz.sh configures it
# with clang in a build tree of its own; the ordinary build and its tests are left out.
if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  message(FATAL_ERROR "KAROMIL_FUZZ needs clang (libFuzzer): configure with CC=clang-14 CXX=clang++-14")
endif()

add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined
  -fno-omit-frame-pointer -gline-tables-only)
add_link_options(-fsanitize=address,undefined)
set(KAROMIL_TESTS OFF)  # no test kit, no GoogleTest


add_subdirectory(platform/rtl)
add_subdirectory(platform/classes)
add_subdirectory(platform/settings)
add_subdirectory(platform/db)
add_subdirectory(platform/gui)
add_subdirectory(platform/printing)
add_subdirectory(platform/ole)
add_subdirectory(platform/daoengine)
add_subdirectory(script)
add_subdirectory(report/core)
add_subdirectory(tests/fuzz)

# karomil_module(NAME folder/of/module SOURCES ... DEPS ...)
# One static library per module folder; include paths are rooted at the source tree,
# so code includes "platform/rtl/Variant.h".
function(karomil_module target)
  cmake_parse_arguments(M "" "" "SOURCES;DEPS;PRIVATE_DEPS" ${ARGN})
  add_library(${target} STATIC ${M_SOURCES})
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
  target_compile_options(${target} PRIVATE ${KAROMIL_WARNINGS})
  target_link_libraries(${target} PUBLIC ${M_DEPS} PRIVATE ${M_PRIVATE_DEPS})
endfunction()

# karomil_test(NAME LABEL module/folder SOURCES ... DEPS ...)
# A GoogleTest executable whose tests all carry the module's label.
function(karomil_test target)
  cmake_parse_arguments(T "" "LABEL" "SOURCES;DEPS" ${ARGN})
  if(NOT T_SOURCES)
    return()   # a module whose tests are not written yet
  endif()
  add_executable(${target} ${T_SOURCES})
  target_compile_options(${target} PRIVATE ${KAROMIL_WARNINGS})
  target_link_libraries(${target} PRIVATE ${T_DEPS} GTest::gtest GTest::gtest_main)
  gtest_discover_tests(${target}
    PROPERTIES LABELS "${T_LABEL}" ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 300
    DISCOVERY_TIMEOUT 60)
endfunction()

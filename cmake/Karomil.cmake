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

# karomil_forbid(TARGET LINKS lib ... REASON text)
# The arrows between modules point down only: fails the configuration when the target links
# one of the named libraries, directly or through any target it links. A target that is not
# defined (a module not yet written) is skipped, so the rules can name every module ahead.
function(karomil_collect_links target out)
  set(seen ${${out}})
  foreach(prop LINK_LIBRARIES INTERFACE_LINK_LIBRARIES)
    get_target_property(libs ${target} ${prop})
    if(NOT libs)
      continue()
    endif()
    foreach(lib IN LISTS libs)
      # A static library's private links reach its users as $<LINK_ONLY:lib>.
      string(REGEX REPLACE "^\\$<LINK_ONLY:(.*)>$" "\\1" lib "${lib}")
      if(lib IN_LIST seen)
        continue()
      endif()
      list(APPEND seen ${lib})
      if(TARGET ${lib})
        karomil_collect_links(${lib} seen)
      endif()
    endforeach()
  endforeach()
  set(${out} ${seen} PARENT_SCOPE)
endfunction()

function(karomil_forbid target)
  cmake_parse_arguments(F "" "REASON" "LINKS" ${ARGN})
  if(NOT TARGET ${target})
    return()
  endif()
  set(links)
  karomil_collect_links(${target} links)
  foreach(forbidden IN LISTS F_LINKS)
    if(forbidden IN_LIST links)
      message(FATAL_ERROR "${target} links ${forbidden}: ${F_REASON}")
    endif()
  endforeach()
endfunction()

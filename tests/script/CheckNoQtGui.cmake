# cmake -DBINARY=<program> -P CheckNoQtGui.cmake
# Fails when the program would load Qt's GUI or Widgets library (or any Qt at all beyond Core).
execute_process(COMMAND ldd ${BINARY} OUTPUT_VARIABLE libs RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "ldd ${BINARY} failed")
endif()
foreach(lib libQt6Widgets libQt6Gui libQt6PrintSupport)
  string(FIND "${libs}" "${lib}" at)
  if(NOT at EQUAL -1)
    message(FATAL_ERROR "${BINARY} loads ${lib}")
  endif()
endforeach()
message(STATUS "${BINARY} loads no Qt GUI library")

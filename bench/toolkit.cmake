# Screen toolkit benchmark: a full redraw of a typical screen (a window, 20 buttons, a 25-row
# list) and its presentation on the headless display, beside a plain frame copy of the same run.
# Run: build/bench/toolkit_bench [frames]
if(TARGET ksv_toolkit)
  add_executable(toolkit_bench ${CMAKE_CURRENT_LIST_DIR}/toolkit_bench.cpp)
  target_link_libraries(toolkit_bench PRIVATE ksv_toolkit)
endif()

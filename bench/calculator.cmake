# Calculator benchmark: segmentation and stitch simulation of a synthetic logo at the largest
# working size, a quarter and a sixteenth of it, beside a plain flood-fill labelling of the same
# picture in the same run. Run: build/bench/calculator_bench
add_executable(calculator_bench ${CMAKE_CURRENT_LIST_DIR}/calculator_bench.cpp)
target_link_libraries(calculator_bench PRIVATE ksv_calculator_engine)

# Data store benchmark: the order search (mode 6 with the programs examined, and mode 7) over a
# generated tree of 5,000 orders with 4 programs each, beside a plain read of the same files in
# the same run. Run: build/bench/store_bench [orders] [programs per order] [kept tree directory]
if(TARGET ksv_server)
  add_executable(store_bench ${CMAKE_CURRENT_LIST_DIR}/store_bench.cpp)
  target_link_libraries(store_bench PRIVATE ksv_server)
endif()

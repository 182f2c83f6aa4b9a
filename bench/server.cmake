# Server benchmark over loopback: round trip of command 13 (p50, p99) and a 16 MiB download,
# each beside a raw 1024-byte TCP ping-pong measured in the same run. Run: build/bench/server_bench
if(TARGET ksv_server)
  add_executable(server_bench ${CMAKE_CURRENT_LIST_DIR}/server_bench.cpp)
  target_link_libraries(server_bench PRIVATE ksv_server)
endif()

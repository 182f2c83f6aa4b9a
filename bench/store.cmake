# Data store benchmark: the order search (mode 6 with the programs examined, and mode 7) over a
# generated tree of 5,000 orders with 4 programs each, beside a plain read of the same files in
# the same run. Run: build/bench/store_bench [orders] [programs per order] [kept tree directory]
if(TARGET ksv_server)
  add_executable(store_bench ${CMAKE_CURRENT_LIST_DIR}/store_bench.cpp)
  target_link_libraries(store_bench PRIVATE ksv_server)
endif()

# The orders browser's first page by the headless KSVDB against a real server over the same
# generated tree, beside the server's own search. Run: build/bench/orders_bench [orders] [programs]
if(TARGET ksv_server AND TARGET ksv_client)
  add_executable(orders_bench ${CMAKE_CURRENT_LIST_DIR}/orders_bench.cpp)
  target_link_libraries(orders_bench PRIVATE ksv_client ksv_server)
  target_compile_definitions(orders_bench PRIVATE
                             KSV_CLIENT_TEXTS="${KSV_RUN_DIR}/client/dbtexty.dat"
                             KSV_GUIDATA_DIR="${KSV_RUN_DIR}/client/guidata")
  add_dependencies(orders_bench client_texts guidata_pictures)
endif()

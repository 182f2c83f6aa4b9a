# Image slot benchmarks: BMP load with palette conversion, rescaling, KSV save and load, each
# beside a memcpy of the same bytes in the same run. Run: build/bench/images_bench
add_executable(images_bench ${CMAKE_CURRENT_LIST_DIR}/images_bench.cpp)
target_link_libraries(images_bench PRIVATE ksv_images)

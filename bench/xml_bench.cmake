# The XML layer against raw pugixml on the same data, in one program.
add_executable(xml_bench ${CMAKE_CURRENT_SOURCE_DIR}/xml_bench.cpp)
target_link_libraries(xml_bench PRIVATE KorvelToolchest pugixml::pugixml benchmark::benchmark_main)

# The geometry kernel against Eigen-based textbook routes, in one binary.
find_package(Eigen3 3.3 REQUIRED NO_MODULE)
add_executable(geometry_bench ${CMAKE_CURRENT_SOURCE_DIR}/geometry_bench.cpp)
target_link_libraries(geometry_bench PRIVATE KorvelToolchest Eigen3::Eigen benchmark::benchmark)

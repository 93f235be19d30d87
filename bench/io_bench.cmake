# OBJ reading through KorOBJ against tinyobjloader (Debian's
# libtinyobjloader-dev, a benchmark-only peer), in one binary.
find_package(tinyobjloader CONFIG QUIET)
if(TARGET tinyobjloader::tinyobjloader AND TARGET FacetEngine)
  add_executable(io_bench ${CMAKE_CURRENT_SOURCE_DIR}/io_bench.cpp)
  target_link_libraries(io_bench PRIVATE FacetEngine tinyobjloader::tinyobjloader benchmark::benchmark)
else()
  message(STATUS "io_bench skipped: tinyobjloader (libtinyobjloader-dev) not found")
endif()

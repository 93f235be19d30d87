# Delaunay2D and ConstrainTriangulation against CGAL's Delaunay and
# constrained Delaunay triangulations (Debian's libcgal-dev, header-only,
# a benchmark-only peer). Built only when CGAL is found.
find_package(CGAL QUIET)
if(CGAL_FOUND AND TARGET FacetEngine)
  add_executable(triangulation_bench ${CMAKE_CURRENT_SOURCE_DIR}/triangulation_bench.cpp)
  target_link_libraries(triangulation_bench PRIVATE FacetEngine CGAL::CGAL benchmark::benchmark_main)
else()
  message(STATUS "triangulation_bench skipped: CGAL (libcgal-dev) not found")
endif()

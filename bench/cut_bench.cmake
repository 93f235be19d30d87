# The intersection line, the cut and the kd-tree against CGAL (surface
# intersection, clip, AABB tree) and, for rays, Embree, in one program. Both
# peers are benchmark-only (Debian's libcgal-dev, libembree-dev); without
# them the program measures our code alone.
if(TARGET FacetEngine)
  add_executable(cut_bench ${CMAKE_CURRENT_SOURCE_DIR}/cut_bench.cpp)
  target_link_libraries(cut_bench PRIVATE FacetEngine benchmark::benchmark_main)
  find_package(CGAL QUIET)
  if(CGAL_FOUND)
    target_link_libraries(cut_bench PRIVATE CGAL::CGAL)
    target_compile_definitions(cut_bench PRIVATE VORN_HAVE_CGAL)
  else()
    message(STATUS "cut_bench: CGAL (libcgal-dev) not found, measured without it")
  endif()
  find_package(embree 3 QUIET)
  if(TARGET embree)
    target_link_libraries(cut_bench PRIVATE embree)
    target_compile_definitions(cut_bench PRIVATE VORN_HAVE_EMBREE)
  else()
    message(STATUS "cut_bench: Embree (libembree-dev) not found, rays measured without it")
  endif()
endif()

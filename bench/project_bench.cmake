# Open to the first volume and Save of a project of 3 large layers, each
# measured step in a child process for its peak memory.
if(TARGET VornModel)
  add_executable(project_bench ${CMAKE_CURRENT_SOURCE_DIR}/project_bench.cpp)
  target_link_libraries(project_bench PRIVATE VornModel benchmark::benchmark)
else()
  message(STATUS "project_bench skipped: no project model")
endif()

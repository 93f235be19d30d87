# A project of many layers without point: opened and computed, with the
# peak resident memory.
if(TARGET VornModel)
  add_executable(empty_layers_bench ${CMAKE_CURRENT_SOURCE_DIR}/empty_layers_bench.cpp)
  target_link_libraries(empty_layers_bench PRIVATE VornModel benchmark::benchmark)
else()
  message(STATUS "empty_layers_bench skipped: no project model")
endif()

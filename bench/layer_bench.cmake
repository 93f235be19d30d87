# The layers of the project model: altitude queries (the altitude grid's face
# queries against the literal scan) and the Open and Save of a project of large layers.
if(TARGET VornModel)
  add_executable(layer_bench ${CMAKE_CURRENT_SOURCE_DIR}/layer_bench.cpp)
  target_link_libraries(layer_bench PRIVATE VornModel benchmark::benchmark)
else()
  message(STATUS "layer_bench skipped: no project model")
endif()

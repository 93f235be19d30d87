# The series of calculations: the head moved along the axis and the
# excavation computed at each position, on terrains of 1 and 3 layers.
if(TARGET VornModel)
  add_executable(series_bench ${CMAKE_CURRENT_SOURCE_DIR}/series_bench.cpp)
  target_link_libraries(series_bench PRIVATE VornModel benchmark::benchmark)
else()
  message(STATUS "series_bench skipped: no project model")
endif()

# The series of calculations through the program's main frame against the
# same positions headless; runs under a display.
if(TARGET VornUi)
  add_executable(series_frame_bench ${CMAKE_CURRENT_SOURCE_DIR}/series_frame_bench.cpp)
  target_link_libraries(series_frame_bench PRIVATE VornUi benchmark::benchmark)
  add_dependencies(series_frame_bench Vorn)
  target_compile_definitions(series_frame_bench PRIVATE VORN_PROGRAM_DIR="$<TARGET_FILE_DIR:Vorn>")
else()
  message(STATUS "series_frame_bench skipped: no interface library")
endif()

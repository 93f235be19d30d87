# The 3D view's frame through the program's main frame, drawn from GL
# buffers and in immediate mode (the reference); runs under a display.
if(TARGET VornUi)
  add_executable(view_bench ${CMAKE_CURRENT_SOURCE_DIR}/view_bench.cpp)
  target_link_libraries(view_bench PRIVATE VornUi benchmark::benchmark)
  add_dependencies(view_bench Vorn)
  target_compile_definitions(view_bench PRIVATE VORN_PROGRAM_DIR="$<TARGET_FILE_DIR:Vorn>")
else()
  message(STATUS "view_bench skipped: no interface library")
endif()

# The evaluator against muparser in the same program; without muparser the
# program measures the evaluator alone.
add_executable(equation_bench ${CMAKE_CURRENT_SOURCE_DIR}/equation_bench.cpp)
target_link_libraries(equation_bench PRIVATE KorvelToolchest benchmark::benchmark_main)
if(TARGET PkgConfig::MUPARSER)
  target_link_libraries(equation_bench PRIVATE PkgConfig::MUPARSER)
  target_compile_definitions(equation_bench PRIVATE VORN_HAVE_MUPARSER)
endif()

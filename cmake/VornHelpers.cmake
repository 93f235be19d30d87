# Build helpers shared by every folder. Sources are picked up by glob so that
# adding a class never needs an edit of a CMakeLists.txt.

# vorn_sources(<out-var> <dir>...): the .cpp files directly inside each dir.
function(vorn_sources out)
  set(files)
  foreach(dir ${ARGN})
    file(GLOB found CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.cpp)
    list(APPEND files ${found})
  endforeach()
  set(${out} ${files} PARENT_SCOPE)
endfunction()

# vorn_test_executable(<name> <dir> <main> <libs>...): a GoogleTest program
# from the .cpp files of <dir> and the given test main; sets <name>_CREATED.
function(vorn_test_executable name dir main)
  set(${name}_CREATED FALSE PARENT_SCOPE)
  if(NOT VORN_BUILD_TESTS)
    return()
  endif()
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.cpp)
  if(NOT srcs)
    return()
  endif()
  add_executable(${name} ${srcs})
  target_link_libraries(${name} PRIVATE ${ARGN} ${main} GTest::gtest)
  target_compile_definitions(${name} PRIVATE VORN_TEST_DATA="${CMAKE_CURRENT_SOURCE_DIR}/${dir}/data")
  set(${name}_CREATED TRUE PARENT_SCOPE)
endfunction()

# Every test case is a test of its own, run once as is and once more under a
# French numeric locale (the toolkit may set one at start-up), so that the
# cases of one program run side by side. A case's time limit is five times
# the minute no case should need on a quiet machine.
set(VORN_TEST_TIMEOUT 300)

# vorn_discover_tests(<name> <properties>...): both runs of every case.
function(vorn_discover_tests name)
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
    PROPERTIES TIMEOUT ${VORN_TEST_TIMEOUT} ${ARGN})
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60 TEST_SUFFIX .fr_FR
    PROPERTIES TIMEOUT ${VORN_TEST_TIMEOUT} ENVIRONMENT LC_ALL=fr_FR.UTF-8 ${ARGN})
endfunction()

# vorn_add_tests(<name> <dir> <libs>...): one GoogleTest executable from the
# .cpp files of <dir>.
function(vorn_add_tests name dir)
  vorn_test_executable(${name} ${dir} VornTestMain ${ARGN})
  if(NOT ${name}_CREATED)
    return()
  endif()
  vorn_discover_tests(${name})
endfunction()

# vorn_add_gui_tests(<name> <dir> <libs>...): the same for tests that open
# windows. Their main starts wx; each test process runs through
# testsupport/window-test.sh, on a virtual display of its own. They carry
# the label "gui", so that `ctest -LE gui` runs the others alone.
function(vorn_add_gui_tests name dir)
  vorn_test_executable(${name} ${dir} VornGuiTestMain ${ARGN})
  if(NOT ${name}_CREATED)
    return()
  endif()
  set_target_properties(${name} PROPERTIES CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/testsupport/window-test.sh)
  vorn_discover_tests(${name} LABELS gui)
endfunction()

# vorn_add_fuzzers(<dir> <libs>...): one libFuzzer program per .cpp in <dir>.
function(vorn_add_fuzzers dir)
  if(NOT VORN_FUZZ)
    return()
  endif()
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.cpp)
  foreach(src ${srcs})
    get_filename_component(stem ${src} NAME_WE)
    add_executable(fuzz_${stem} ${src})
    target_compile_options(fuzz_${stem} PRIVATE -fsanitize=fuzzer,address,undefined)
    target_link_options(fuzz_${stem} PRIVATE -fsanitize=fuzzer,address,undefined)
    target_link_libraries(fuzz_${stem} PRIVATE ${ARGN})
  endforeach()
endfunction()

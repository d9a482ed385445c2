# murmur_library(NAME [DEPS ...]): a static library from every .cpp file of the
# calling folder. Headers are included by their path from the source root
# ("math/mat4.h").
function(murmur_library name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(sources)
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${ARG_DEPS})
  else()
    # A folder of headers only (or not written yet).
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} INTERFACE ${ARG_DEPS})
  endif()
endfunction()

# murmur_test(NAME [DEPS ...] [LABELS label]): a GoogleTest executable from every
# .cpp file of the calling folder, its cases registered with CTest one by one.
# Tests run in the build's bin folder, where the content and the program lie.
function(murmur_test name)
  cmake_parse_arguments(ARG "" "LABELS" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(NOT sources)
    return()
  endif()
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gmock GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE
    MURMUR_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    MURMUR_TESTDATA_DIR="${PROJECT_SOURCE_DIR}/../shared/testdata"
    MURMUR_BIN_DIR="${CMAKE_BINARY_DIR}/bin")
  set(labels ${ARG_LABELS})
  if(NOT labels)
    set(labels unit)
  endif()
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
    PROPERTIES LABELS "${labels}" TIMEOUT 300)
endfunction()

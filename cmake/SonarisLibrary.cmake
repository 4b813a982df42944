# sonaris_library(NAME [DEPS ...]): a static library from every .cpp of the
# calling folder, with the repository root on the include path, so that
# headers are named by folder ("console/snwin.h").
function(sonaris_library name)
  cmake_parse_arguments(ARG "" "" "DEPS;EXCLUDE" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/*.cpp")
  foreach(ex ${ARG_EXCLUDE})
    list(REMOVE_ITEM sources "${CMAKE_CURRENT_SOURCE_DIR}/${ex}")
  endforeach()
  if(sources)
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC "${PROJECT_SOURCE_DIR}")
    if(ARG_DEPS)
      target_link_libraries(${name} PUBLIC ${ARG_DEPS})
    endif()
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE "${PROJECT_SOURCE_DIR}")
    if(ARG_DEPS)
      target_link_libraries(${name} INTERFACE ${ARG_DEPS})
    endif()
  endif()
endfunction()

# sonaris_test_program(NAME SOURCES ... [DEPS ...]): one GoogleTest program
# from the given sources.
function(sonaris_test_program name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gmock GTest::gtest_main)
  target_include_directories(${name} PRIVATE "${PROJECT_SOURCE_DIR}")
  # The tests' own code is not optimised: GoogleTest's macros compile in
  # half the time, and what they test is the optimised product libraries.
  target_compile_options(${name} PRIVATE -O0)
  target_compile_definitions(${name} PRIVATE
    SONARIS_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    SONARIS_BINARY_DIR="${PROJECT_BINARY_DIR}"
    SONARIS_DATA_DIR="${SONARIS_DATA_DIR}")
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 120)
endfunction()

# sonaris_test(NAME [DEPS ...]): one GoogleTest program from every .cpp of
# the calling folder.
function(sonaris_test name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/*.cpp")
  if(sources)
    sonaris_test_program(${name} SOURCES ${sources} DEPS ${ARG_DEPS})
  endif()
endfunction()

# Adds every subfolder of the calling folder that has a CMakeLists.txt.
function(sonaris_add_subfolders)
  file(GLOB children LIST_DIRECTORIES true "${CMAKE_CURRENT_SOURCE_DIR}/*")
  foreach(child ${children})
    if(IS_DIRECTORY "${child}" AND EXISTS "${child}/CMakeLists.txt")
      add_subdirectory("${child}")
    endif()
  endforeach()
endfunction()

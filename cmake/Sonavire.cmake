# Shared helpers for the project's targets.

set(SONAVIRE_WARNINGS -Wall -Wextra)

set(SONAVIRE_SANITIZER_FLAGS "")
if(SONAVIRE_BUILD_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "The fuzz targets need clang (CC=clang CXX=clang++)")
  endif()
  set(SONAVIRE_SANITIZER_FLAGS -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
elseif(SONAVIRE_SANITIZE)
  set(SONAVIRE_SANITIZER_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

# Applies our warnings and sanitizer flags to one of our own targets (never to JUCE).
function(sonavire_target_options target)
  target_compile_options(${target} PRIVATE ${SONAVIRE_WARNINGS} ${SONAVIRE_SANITIZER_FLAGS})
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
endfunction()

# sonavire_library(<name> DIRS <dir>... [DEPS <target>...])
# A static library from every .cpp below the given folders, relative to the caller.
function(sonavire_library name)
  cmake_parse_arguments(ARG "" "" "DIRS;DEPS" ${ARGN})
  set(sources "")
  foreach(dir IN LISTS ARG_DIRS)
    file(GLOB_RECURSE found CONFIGURE_DEPENDS
      "${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.cpp" "${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.h")
    list(APPEND sources ${found})
  endforeach()
  if(NOT sources)
    # A subsystem that has no code yet still links.
    set(placeholder "${CMAKE_CURRENT_BINARY_DIR}/${name}_empty.cpp")
    # Written only when it differs, so configuring again rebuilds nothing.
    file(CONFIGURE OUTPUT "${placeholder}" CONTENT "// nothing here yet\n")
    set(sources "${placeholder}")
  endif()
  add_library(${name} STATIC ${sources})
  sonavire_target_options(${name})
  # The subsystem libraries call each other; repeat the cycle on link lines until all is resolved.
  set_property(TARGET ${name} PROPERTY LINK_INTERFACE_MULTIPLICITY 4)
  target_link_libraries(${name} PUBLIC sonavire_juce ${ARG_DEPS})
endfunction()

# sonavire_test(<name> DIRS <dir>... DEPS <target>... [GUI])
# One GoogleTest binary from every .cpp below the given folders; GUI tests get a display in the test command.
function(sonavire_test name)
  cmake_parse_arguments(ARG "GUI" "" "DIRS;DEPS" ${ARGN})
  set(sources "")
  foreach(dir IN LISTS ARG_DIRS)
    file(GLOB_RECURSE found CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.cpp")
    list(APPEND sources ${found})
  endforeach()
  add_executable(${name} ${sources})
  sonavire_target_options(${name})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} sonavire_test_support GTest::gtest)
  if(ARG_GUI)
    # Window tests may start the real program.
    add_dependencies(${name} sonavire_sound_librarian)
  endif()
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    PROPERTIES TIMEOUT 300)
endfunction()

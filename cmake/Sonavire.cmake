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

# Every source of ours includes the toolkit's headers, which take longer to compile than most of our files:
# targets with several sources compile them once into a precompiled header (and GoogleTest's for tests).
# The header is the whole toolkit unless SONAVIRE_TOOLKIT_HEADER names a smaller part: a header seen by
# every source is part of each, and the graphics part alone makes a program load the font libraries.
option(SONAVIRE_PRECOMPILED_HEADERS "Precompile the toolkit's headers for each target" ON)
function(sonavire_precompile_toolkit target)
  if(NOT SONAVIRE_PRECOMPILED_HEADERS)
    return()
  endif()
  get_target_property(sources ${target} SOURCES)
  list(FILTER sources INCLUDE REGEX "\\.cpp$")
  list(LENGTH sources count)
  if(count LESS 3)
    return()
  endif()
  if(NOT SONAVIRE_TOOLKIT_HEADER)
    set(SONAVIRE_TOOLKIT_HEADER <juce_gui_extra/juce_gui_extra.h>)
  endif()
  target_precompile_headers(${target} PRIVATE ${SONAVIRE_TOOLKIT_HEADER} ${ARGN})
  # Sources that set the toolkit's options before including it must see its headers afresh.
  foreach(source IN LISTS sources)
    set(path "${source}")
    if(NOT IS_ABSOLUTE "${path}")
      set(path "${CMAKE_CURRENT_SOURCE_DIR}/${source}")
    endif()
    file(READ "${path}" text LIMIT 4096)
    if(text MATCHES "\n#define JUCE_")
      set_source_files_properties(${source} TARGET_DIRECTORY ${target} PROPERTIES SKIP_PRECOMPILE_HEADERS ON)
    endif()
  endforeach()
endfunction()

# Applies our warnings and sanitizer flags to one of our own targets (never to JUCE).
function(sonavire_target_options target)
  target_compile_options(${target} PRIVATE ${SONAVIRE_WARNINGS} ${SONAVIRE_SANITIZER_FLAGS})
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
endfunction()

# sonavire_library(<name> DIRS <dir>... [DEPS <target>...] [OBJECTS <objects> [APART <regex>]] [TOOLKIT <header>])
# A static library from every .cpp below the given folders, relative to the caller. With OBJECTS, the
# sources (those matching APART aside) compile once into the object library <objects>, which another
# target can take in too; its compile needs only the toolkit and what COMPILE_DEPS name. TOOLKIT names the
# part of the toolkit its sources precompile, for code that draws nothing.
function(sonavire_library name)
  cmake_parse_arguments(ARG "" "OBJECTS;APART;TOOLKIT" "DIRS;DEPS;COMPILE_DEPS" ${ARGN})
  if(ARG_TOOLKIT)
    set(SONAVIRE_TOOLKIT_HEADER "${ARG_TOOLKIT}")
  endif()
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
  if(ARG_OBJECTS)
    set(apart "")
    if(ARG_APART)
      set(apart ${sources})
      list(FILTER apart INCLUDE REGEX "${ARG_APART}")
      list(FILTER sources EXCLUDE REGEX "${ARG_APART}")
    endif()
    add_library(${ARG_OBJECTS} OBJECT ${sources})
    sonavire_target_options(${ARG_OBJECTS})
    sonavire_precompile_toolkit(${ARG_OBJECTS})
    target_link_libraries(${ARG_OBJECTS} PUBLIC sonavire_juce ${ARG_COMPILE_DEPS})
    set(sources $<TARGET_OBJECTS:${ARG_OBJECTS}> ${apart})
  endif()
  add_library(${name} STATIC ${sources})
  sonavire_target_options(${name})
  sonavire_precompile_toolkit(${name})
  # The subsystem libraries call each other; repeat the cycle on link lines until all is resolved.
  set_property(TARGET ${name} PROPERTY LINK_INTERFACE_MULTIPLICITY 4)
  target_link_libraries(${name} PUBLIC sonavire_juce ${ARG_DEPS})
endfunction()

# sonavire_test(<name> DIRS <dir>... DEPS <target>... [GUI] [PROPERTIES <CTest property> <value>...])
# One GoogleTest binary from every .cpp below the given folders; GUI tests get a display in the test command.
function(sonavire_test name)
  cmake_parse_arguments(ARG "GUI" "" "DIRS;DEPS;PROPERTIES" ${ARGN})
  set(sources "")
  foreach(dir IN LISTS ARG_DIRS)
    file(GLOB_RECURSE found CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.cpp")
    list(APPEND sources ${found})
  endforeach()
  add_executable(${name} ${sources})
  sonavire_target_options(${name})
  sonavire_precompile_toolkit(${name} <gtest/gtest.h>)
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} sonavire_test_support GTest::gtest)
  if(ARG_GUI)
    # Window tests may start the real program.
    add_dependencies(${name} sonavire_sound_librarian)
  endif()
  # The time-outs only bound a hang: the end-to-end day takes minutes on a busy machine of two cores.
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 300
    PROPERTIES TIMEOUT 1200 ${ARG_PROPERTIES})
endfunction()

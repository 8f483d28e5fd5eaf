# cmake -DBUILD_DIR=<build> -DDESTDIR=<staging folder> -DPREFIX=<prefix> -P InstallForTests.cmake
# Installs the build afresh into the staging folder, as a package build does.
file(REMOVE_RECURSE "${DESTDIR}")
set(ENV{DESTDIR} "${DESTDIR}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}" RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${result}")
endif()

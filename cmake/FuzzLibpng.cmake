# The fuzz build compiles libpng from the source that scripts/setup.sh keeps,
# with the same coverage and sanitizer instrumentation as our own code: the
# PNG fuzzer then sees inside the decoder, and AddressSanitizer checks every
# write libpng makes into our bitmaps. Provides PNG::PNG like find_package(PNG).
set(TORVANE_LIBPNG_SOURCE ${CMAKE_SOURCE_DIR}/.deps/libpng-src CACHE PATH "libpng source for the fuzz build")
if(NOT EXISTS ${TORVANE_LIBPNG_SOURCE}/png.h)
  message(FATAL_ERROR "No libpng source in ${TORVANE_LIBPNG_SOURCE}: run scripts/setup.sh")
endif()

set(PNG_SHARED OFF CACHE BOOL "" FORCE)
set(PNG_STATIC ON CACHE BOOL "" FORCE)
set(PNG_TESTS OFF CACHE BOOL "" FORCE)
set(PNG_EXECUTABLES OFF CACHE BOOL "" FORCE)
set(SKIP_INSTALL_ALL ON)
add_subdirectory(${TORVANE_LIBPNG_SOURCE} ${CMAKE_BINARY_DIR}/libpng EXCLUDE_FROM_ALL)
set_target_properties(png_static PROPERTIES POSITION_INDEPENDENT_CODE ON)

add_library(torvane_libpng INTERFACE)
target_include_directories(torvane_libpng SYSTEM INTERFACE ${TORVANE_LIBPNG_SOURCE} ${CMAKE_BINARY_DIR}/libpng)
target_link_libraries(torvane_libpng INTERFACE png_static ZLIB::ZLIB m)
add_library(PNG::PNG ALIAS torvane_libpng)

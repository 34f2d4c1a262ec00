# Settings shared by every target of the project.

# Filters, envelopes, blends and layout rounding must match hand-computed values
# bit for bit: no fused multiply-add anywhere, no fast-math.
add_compile_options(-ffp-contract=off)

if(WIN32)
  # A plug-in DLL may depend on system DLLs only: link the C and C++ runtimes,
  # winpthread and everything else statically. Test programs link the same way.
  add_link_options(-static -static-libgcc -static-libstdc++)
endif()

# Undefined behaviour stops a sanitized program like a memory error does,
# instead of printing a note and running on. gcc leaves float-to-integer
# overflow out of its undefined set; clang has it in.
set(TORVANE_UNDEFINED_OPTIONS -fsanitize=float-cast-overflow -fno-sanitize-recover=undefined,float-cast-overflow)

if(TORVANE_SANITIZE)
  add_compile_options(-fsanitize=${TORVANE_SANITIZE} -fno-omit-frame-pointer)
  add_link_options(-fsanitize=${TORVANE_SANITIZE})
  if(TORVANE_SANITIZE MATCHES "undefined")
    add_compile_options(${TORVANE_UNDEFINED_OPTIONS})
    add_link_options(-fsanitize=float-cast-overflow)
  endif()
endif()

if(TORVANE_FUZZ)
  # Coverage instrumentation for everything the fuzz targets reach.
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined ${TORVANE_UNDEFINED_OPTIONS}
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

# Warnings and the no-exceptions rule for the project's own code.
function(torvane_library_settings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow
    -Wnon-virtual-dtor -Wno-missing-field-initializers -fno-exceptions)
endfunction()

function(torvane_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wno-missing-field-initializers)
endfunction()

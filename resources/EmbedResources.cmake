# Writes a C++ source that holds every PNG resource listed in the .rc file as a
# byte array, with the table system/linux/ModuleResourcesLinux.cpp searches.
# Run at build time: cmake -DRC_FILE=... -DOUTPUT=... -P EmbedResources.cmake
get_filename_component(base_dir "${RC_FILE}" DIRECTORY)
file(STRINGS "${RC_FILE}" lines REGEX "^[0-9]+[ \t]+PNG[ \t]+\"[^\"]+\"")

set(arrays "")
set(entries "")
foreach(line IN LISTS lines)
  string(REGEX MATCH "^([0-9]+)[ \t]+PNG[ \t]+\"([^\"]+)\"" _ "${line}")
  set(id ${CMAKE_MATCH_1})
  set(path "${base_dir}/${CMAKE_MATCH_2}")
  file(READ "${path}" hex HEX)
  string(LENGTH "${hex}" hex_length)
  if(hex_length EQUAL 0)
    message(FATAL_ERROR "resource ${id}: ${path} is empty or missing")
  endif()
  # Sixteen bytes per line keeps the generated file readable in an editor.
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(REGEX REPLACE "((0x..,){16})" "\\1\n" bytes "${bytes}")
  string(APPEND arrays "const unsigned char kResource${id}[] = {\n${bytes}\n};\n")
  string(APPEND entries "    {${id}, kResource${id}, sizeof(kResource${id})},\n")
endforeach()

file(WRITE "${OUTPUT}.tmp"
  "// Generated from ${RC_FILE} by EmbedResources.cmake; do not edit.\n"
  "#include \"system/linux/EmbeddedResources.h\"\n\n"
  "namespace torvane {\nnamespace {\n${arrays}}  // namespace\n\n"
  "const EmbeddedResource kEmbeddedResources[] = {\n${entries}    {0, nullptr, 0},\n};\n\n}  // namespace torvane\n")
file(RENAME "${OUTPUT}.tmp" "${OUTPUT}")

# Turns a data file of the repository into a C++ source that returns its
# bytes, so the program carries its shipped data and never reads the source
# tree at run time. Re-run on change through CMAKE_CONFIGURE_DEPENDS.
function(qp_embed_file out_cpp function_name file)
  file(READ ${file} hex HEX)
  string(LENGTH "${hex}" hex_length)
  math(EXPR byte_count "${hex_length} / 2")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  get_filename_component(name ${file} NAME)
  file(WRITE ${out_cpp}
"// Generated from ${name}; do not edit.\n#include <string_view>\n\nnamespace qp::store {\nstd::string_view ${function_name}()\n{\n    static const unsigned char bytes[] = {\n    ${bytes}0};\n    return {reinterpret_cast<const char*>(bytes), ${byte_count}};\n}\n} // namespace qp::store\n")
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${file})
endfunction()

# Files compiled in as they are. zr5_embed_file(TARGET FILE NAMESPACE FUNCTION)
# adds to TARGET a source defining `std::string_view NAMESPACE::FUNCTION()`
# that returns FILE's bytes, made again whenever FILE changes, so the file is
# edited as what it is rather than as an escaped literal. The conversion is
# this same file run by `cmake -P`: no tool beyond CMake.
if(CMAKE_SCRIPT_MODE_FILE)
  file(READ "${INPUT}" hex HEX)
  # Sixteen bytes to a line, each as a character literal.
  string(REGEX REPLACE "(................................)" "\\1\n        " hex "${hex}")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1', " bytes "${hex}")
  string(REPLACE ", \n" ",\n" bytes "${bytes}")
  file(WRITE "${OUTPUT}"
    "// Made from ${INPUT} at build time; edit that file instead.\n"
    "#include <string_view>\n\n"
    "namespace ${NAMESPACE} {\n\n"
    "std::string_view ${FUNCTION}();\n\n"
    "std::string_view ${FUNCTION}()\n{\n"
    "    // The terminator keeps the array non-empty for an empty file.\n"
    "    static constexpr char kBytes[] = {\n        ${bytes}'\\0' };\n"
    "    return { kBytes, sizeof kBytes - 1 };\n}\n\n"
    "} // namespace ${NAMESPACE}\n")
  return()
endif()

set(ZR5_EMBED_FILE_SCRIPT "${CMAKE_CURRENT_LIST_FILE}")

function(zr5_embed_file target file namespace function)
  get_filename_component(input "${file}" ABSOLUTE)
  set(output "${CMAKE_CURRENT_BINARY_DIR}/embedded/${function}.cpp")
  add_custom_command(OUTPUT "${output}"
    COMMAND ${CMAKE_COMMAND} -DINPUT=${input} -DOUTPUT=${output} -DNAMESPACE=${namespace}
            -DFUNCTION=${function} -P ${ZR5_EMBED_FILE_SCRIPT}
    DEPENDS "${input}" "${ZR5_EMBED_FILE_SCRIPT}"
    COMMENT "Embedding ${file}"
    VERBATIM)
  target_sources(${target} PRIVATE "${output}")
endfunction()

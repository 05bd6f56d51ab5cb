# Golden-file tests: a program run with arguments, its standard output (and,
# when given, its standard error and exit status) compared byte for byte.
#
# zr5_add_golden_dir(PREFIX RUNNER DIR [EXT ext] [LABELS ...])
#   For every file NAME.EXT in DIR that has a NAME.out beside it, one test
#   PREFIX/NAME runs RUNNER with the arguments of NAME.args (default "{file}";
#   "{file}" stands for the input's path, "{dir}" for DIR), in DIR, and compares:
#     NAME.out     expected standard output (required)
#     NAME.err     expected standard error (optional)
#     NAME.status  expected exit status (optional, default 0)
#   On a mismatch the actual output is written to the build tree as NAME.actual.
set(ZR5_GOLDEN_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/run_golden.cmake)

function(zr5_add_golden_dir prefix runner dir)
  cmake_parse_arguments(ARG "" "EXT" "LABELS;ENVIRONMENT" ${ARGN})
  if(NOT ARG_EXT)
    set(ARG_EXT zrs)
  endif()
  file(GLOB inputs CONFIGURE_DEPENDS ${dir}/*.${ARG_EXT})
  foreach(input IN LISTS inputs)
    get_filename_component(name ${input} NAME_WLE)
    if(NOT EXISTS ${dir}/${name}.out)
      continue()
    endif()
    add_test(NAME ${prefix}/${name}
             COMMAND ${CMAKE_COMMAND} -DRUNNER=$<TARGET_FILE:${runner}> -DINPUT=${input}
                     -DDIR=${dir} -DNAME=${name} -DACTUAL_DIR=${CMAKE_CURRENT_BINARY_DIR}
                     -P ${ZR5_GOLDEN_SCRIPT})
    set_tests_properties(${prefix}/${name} PROPERTIES LABELS "golden;${ARG_LABELS}" TIMEOUT 120)
    if(ARG_ENVIRONMENT)
      set_tests_properties(${prefix}/${name} PROPERTIES ENVIRONMENT "${ARG_ENVIRONMENT}")
    endif()
  endforeach()
endfunction()

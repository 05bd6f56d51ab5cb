# One warning list for every target of the project: link zr5_warnings.
add_library(zr5_warnings INTERFACE)
target_compile_options(zr5_warnings INTERFACE -Wall -Wextra -Wpedantic)
if(ZR5_WERROR)
  target_compile_options(zr5_warnings INTERFACE -Werror)
endif()

# Benchmarks of the desktop program.
# app_ticker_bench (run with `cmake --build DIR --target app_ticker_bench`):
# the ticker under a private Xvfb + openbox + picom scrolling the bundled skin
# with 100 headlines for 15 s at 600 px and across a 2560 px screen, and once
# more without a compositor (shaped window): the CPU shares of the program and
# of the whole desktop (with Xvfb and picom) beside the goals 1.5 %, 4 % and
# 3 % (2560 px), and beside a bare Qt window of the same size repainted 100
# times a second (bare_window_bench). Then peak memory (VmHWM) with 100 and
# 10 000 headlines beside 60 MB, and the first frame on screen beside 100 ms.
# Each CPU figure is the median of 3 sessions (about ten minutes in all).
# ZR5_BENCH_BEFORE_ZR5A may name an earlier build's zr5a to measure beside in
# the same run.
if(TARGET zr5a)
  find_package(Python3 REQUIRED COMPONENTS Interpreter)
  find_package(Qt6 REQUIRED COMPONENTS Widgets)
  add_executable(bare_window_bench app/bare_window.cpp)
  target_link_libraries(bare_window_bench PRIVATE Qt6::Widgets zr5_warnings)
  set(ZR5_BENCH_BEFORE_ZR5A "" CACHE FILEPATH "An earlier zr5a the ticker bench measures beside this one")
  set(before_option)
  if(ZR5_BENCH_BEFORE_ZR5A)
    set(before_option --before ${ZR5_BENCH_BEFORE_ZR5A})
  endif()
  add_custom_target(app_ticker_bench
    COMMAND Python3::Interpreter ${CMAKE_CURRENT_SOURCE_DIR}/app/ticker_bench.py
            --zr5a $<TARGET_FILE:zr5a> --data ${CMAKE_SOURCE_DIR}/data
            --bare $<TARGET_FILE:bare_window_bench> ${before_option}
    DEPENDS zr5a bare_window_bench
    USES_TERMINAL
    VERBATIM)
endif()

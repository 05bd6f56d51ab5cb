# Benchmarks of the desktop program.
# app_ticker_bench (run with `cmake --build DIR --target app_ticker_bench`):
# the ticker under a private Xvfb + openbox + picom scrolling the bundled skin
# with 100 headlines for 20 s: its CPU share, peak memory (VmHWM) and time to
# the first frame, printed beside the goals 1.5 %, 60 MB and 100 ms. Then 20 s
# more without a compositor, where the window is shaped: the CPU shares of the
# program and of Xvfb in both cases, and the program's ratio shaped/composited
# beside the goal 1.2 (about a minute in all).
if(TARGET zr5a)
  find_package(Python3 REQUIRED COMPONENTS Interpreter)
  add_custom_target(app_ticker_bench
    COMMAND Python3::Interpreter ${CMAKE_CURRENT_SOURCE_DIR}/app/ticker_bench.py
            --zr5a $<TARGET_FILE:zr5a> --data ${CMAKE_SOURCE_DIR}/data
    DEPENDS zr5a
    USES_TERMINAL
    VERBATIM)
endif()

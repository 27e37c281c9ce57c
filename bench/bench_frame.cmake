# The frame benchmark runs the real program through the end-to-end driver.
if(TARGET vx_e2edriver)
  list(APPEND BENCH_DEPS vx_e2edriver)
endif()
# Every frame the devices show passes through one of these; the tour notes when.
list(APPEND BENCH_DEPS "-Wl,--wrap=SDL_GL_SwapWindow" "-Wl,--wrap=SDL_UpdateWindowSurface" "-Wl,--wrap=SDL_RenderPresent")

# The event loop, and the SDL drawing control and input headless.
emberlrn_add_test(event_loop_test SOURCES event_loop_test.cpp LIBS emberlrn_platform)
emberlrn_add_test(sdl_tego_ddrw_test SOURCES sdl_tego_ddrw_test.cpp LIBS emberlrn_platform_sdl)
emberlrn_add_test(sdl_saver_input_test SOURCES sdl_saver_input_test.cpp LIBS emberlrn_platform_sdl)

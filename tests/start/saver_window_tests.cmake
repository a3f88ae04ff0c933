# The saver window: its start-up and the running saver in fake time.
emberlrn_add_test(saver_window_test SOURCES saver_window_test.cpp LIBS emberlrn_start)
# Two days of the whole saver in fake time.
emberlrn_add_test(saver_soak_test SOURCES saver_soak_test.cpp LIBS emberlrn_start emberlrn_platform)

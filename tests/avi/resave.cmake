# The compressing re-save: its movie engine, the stage with its messages and
# files, and the progress window. The movies are made with FFmpeg's tools.
senki_add_test(resave_tests
  ${PROJECT_SOURCE_DIR}/tests/support/gui_test_main.cpp
  ${CMAKE_CURRENT_LIST_DIR}/resave_engine_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/resave_stage_test.cpp
)

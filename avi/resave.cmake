# The compressing re-save: its movie engine, codec choice and progress window.
target_sources(senki_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/codec_preview.cpp
  ${CMAKE_CURRENT_LIST_DIR}/compressing_resave.cpp
  ${CMAKE_CURRENT_LIST_DIR}/movie_reader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/movie_transcoder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/progress_window.cpp
  ${CMAKE_CURRENT_LIST_DIR}/save_options_dialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/temp_movie_name.cpp
  ${CMAKE_CURRENT_LIST_DIR}/video_encoder.cpp
)

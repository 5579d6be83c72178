# The AVI writer component and the platform layer it stands on.
target_sources(senki_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/avi_file.cpp
  ${CMAKE_CURRENT_LIST_DIR}/avi_writer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/compressor_choice.cpp
  ${CMAKE_CURRENT_LIST_DIR}/dib_frame.cpp
  ${CMAKE_CURRENT_LIST_DIR}/file_sink.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sequence_compressor.cpp
)

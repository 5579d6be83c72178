# The AVI writer component and the platform layer it stands on.
target_sources(senki_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/avi_file.cpp
  ${CMAKE_CURRENT_LIST_DIR}/avi_writer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/compressor_choice.cpp
  ${CMAKE_CURRENT_LIST_DIR}/dib_frame.cpp
  ${CMAKE_CURRENT_LIST_DIR}/file_sink.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sequence_compressor.cpp
)
# The frame conversion runs once per frame over every pixel; let the compiler
# vectorise its loops.
set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/dib_frame.cpp PROPERTIES COMPILE_OPTIONS "-O3")

# Byte sinks, LZW, JPEG, Base64 and temporary names for the document writers.
target_sources(orvix_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/byte_sink.cpp
  ${CMAKE_CURRENT_LIST_DIR}/lzw_encoder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/jpeg_compress.cpp
  ${CMAKE_CURRENT_LIST_DIR}/jpeg_encoder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/base64.cpp
  ${CMAKE_CURRENT_LIST_DIR}/temp_names.cpp
)
if(ORVIX_WIN32)
  target_sources(orvix_core PRIVATE ${CMAKE_CURRENT_LIST_DIR}/win32/win32_temp_folder.cpp)
else()
  target_sources(orvix_core PRIVATE ${CMAKE_CURRENT_LIST_DIR}/posix/posix_temp_folder.cpp)
endif()

# The engine library: the media engine interface, its GStreamer engine, the
# decoders behind it and the reading of the marks recordings hold. GStreamer,
# the decoding libraries and TagLib are private:
# nothing outside this library can include them.
if(NOT TARGET tembrel_engine)
  find_package(PkgConfig REQUIRED)
  if(NOT TARGET PkgConfig::GST)
    pkg_check_modules(GST REQUIRED IMPORTED_TARGET gstreamer-1.0 gstreamer-app-1.0
                      gstreamer-audio-1.0)
  endif()
  if(NOT TARGET PkgConfig::MPG123)
    pkg_check_modules(MPG123 REQUIRED IMPORTED_TARGET libmpg123)
  endif()
  # FLAC, Ogg Vorbis and Opus through their own libraries, which seek exactly;
  # AAC and ALAC through FFmpeg.
  if(NOT TARGET PkgConfig::DECODERS)
    pkg_check_modules(DECODERS REQUIRED IMPORTED_TARGET flac vorbisfile opusfile libavformat
                      libavcodec libavutil)
  endif()
  # Marks in tags (ID3v2 chapters, Xiph comments) through TagLib.
  if(NOT TARGET PkgConfig::TAGLIB)
    pkg_check_modules(TAGLIB REQUIRED IMPORTED_TARGET taglib)
  endif()
  set(engine_dir ${CMAKE_CURRENT_LIST_DIR}/engine)
  add_library(tembrel_engine STATIC
    ${engine_dir}/media_engine.h ${engine_dir}/no_engine.h
    ${engine_dir}/feed.cpp ${engine_dir}/feed.h
    ${engine_dir}/gst_engine.cpp ${engine_dir}/gst_engine.h
    ${engine_dir}/pcm_source.cpp ${engine_dir}/pcm_source.h
    ${engine_dir}/recording_marks.cpp ${engine_dir}/recording_marks.h
    ${engine_dir}/decoders/audio_kind.cpp ${engine_dir}/decoders/audio_kind.h
    ${engine_dir}/decoders/block_source.cpp ${engine_dir}/decoders/block_source.h
    ${engine_dir}/decoders/file_reader.cpp ${engine_dir}/decoders/file_reader.h
    ${engine_dir}/decoders/flac_source.cpp ${engine_dir}/decoders/flac_source.h
    ${engine_dir}/decoders/mp3_length.cpp ${engine_dir}/decoders/mp3_length.h
    ${engine_dir}/decoders/mp3_source.cpp ${engine_dir}/decoders/mp3_source.h
    ${engine_dir}/decoders/mp4_source.cpp ${engine_dir}/decoders/mp4_source.h
    ${engine_dir}/decoders/ogg_source.cpp ${engine_dir}/decoders/ogg_source.h
    ${engine_dir}/decoders/wav_header.cpp ${engine_dir}/decoders/wav_header.h
    ${engine_dir}/decoders/wav_source.cpp ${engine_dir}/decoders/wav_source.h)
  target_include_directories(tembrel_engine PUBLIC ${CMAKE_CURRENT_LIST_DIR})
  target_link_libraries(tembrel_engine PUBLIC Qt6::Core
                        PRIVATE PkgConfig::GST PkgConfig::MPG123 PkgConfig::DECODERS
                                PkgConfig::TAGLIB)
endif()

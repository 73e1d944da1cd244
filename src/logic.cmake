# The logic library: file and text formats, path helpers, the settings store,
# lyrics naming and the cue rules. Qt Core only: no widget, no sound. Shared
# by the program's build and the fuzzers' build.
if(NOT TARGET tembrel_logic)
  set(logic_dir ${CMAKE_CURRENT_LIST_DIR})
  add_library(tembrel_logic STATIC
    ${logic_dir}/app/path_helpers.cpp ${logic_dir}/app/path_helpers.h
    ${logic_dir}/app/program_values.h
    ${logic_dir}/app/safe_save.cpp ${logic_dir}/app/safe_save.h
    ${logic_dir}/app/settings_store.cpp ${logic_dir}/app/settings_store.h
    ${logic_dir}/app/text_codec.cpp ${logic_dir}/app/text_codec.h
    ${logic_dir}/browser/folder_listing.cpp ${logic_dir}/browser/folder_listing.h
    ${logic_dir}/browser/mounted_volumes.cpp ${logic_dir}/browser/mounted_volumes.h
    ${logic_dir}/cues/cue_file.cpp ${logic_dir}/cues/cue_file.h
    ${logic_dir}/cues/cue_line.cpp ${logic_dir}/cues/cue_line.h
    ${logic_dir}/cues/cue_marks.cpp ${logic_dir}/cues/cue_marks.h
    ${logic_dir}/cues/cue_rules.cpp ${logic_dir}/cues/cue_rules.h
    ${logic_dir}/cues/cue_sheet.cpp ${logic_dir}/cues/cue_sheet.h
    ${logic_dir}/lyrics/lyrics_naming.cpp ${logic_dir}/lyrics/lyrics_naming.h
    ${logic_dir}/playback/time_text.cpp ${logic_dir}/playback/time_text.h)
  target_include_directories(tembrel_logic PUBLIC ${logic_dir})
  target_link_libraries(tembrel_logic PUBLIC Qt6::Core)
endif()

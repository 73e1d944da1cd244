# Installs the build into a scratch prefix and checks what a desktop needs:
# the program, a valid desktop entry, and the icon as SVG and as PNG in each
# size at exactly that many pixels.
# Run as: cmake -DBUILD_DIR=... -DPREFIX=... -DSIZES=16;22;... -P check_install.cmake
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${result}")
endif()

foreach(path bin/tembrel share/applications/tembrel.desktop share/metainfo/tembrel.metainfo.xml
             share/icons/hicolor/scalable/apps/tembrel.svg)
  if(NOT EXISTS ${PREFIX}/${path})
    message(FATAL_ERROR "not installed: ${path}")
  endif()
endforeach()

execute_process(COMMAND desktop-file-validate ${PREFIX}/share/applications/tembrel.desktop
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0 OR NOT output STREQUAL "")
  message(FATAL_ERROR "the installed desktop entry does not validate: ${result} ${output}")
endif()
file(STRINGS ${PREFIX}/share/applications/tembrel.desktop exec REGEX "^Exec=")
if(NOT exec STREQUAL "Exec=tembrel %f")
  message(FATAL_ERROR "the desktop entry does not pass the file: ${exec}")
endif()

foreach(size ${SIZES})
  set(png ${PREFIX}/share/icons/hicolor/${size}x${size}/apps/tembrel.png)
  if(NOT EXISTS ${png})
    message(FATAL_ERROR "no ${size} pixel icon")
  endif()
  # The PNG signature, then the header chunk with width and height (4 bytes each).
  file(READ ${png} header LIMIT 24 HEX)
  string(SUBSTRING "${header}" 0 16 signature)
  string(SUBSTRING "${header}" 32 16 dimensions)
  string(SUBSTRING "${dimensions}" 0 8 widthHex)
  string(SUBSTRING "${dimensions}" 8 8 heightHex)
  math(EXPR width "0x${widthHex}")
  math(EXPR height "0x${heightHex}")
  if(NOT signature STREQUAL "89504e470d0a1a0a" OR NOT width EQUAL size OR NOT height EQUAL size)
    message(FATAL_ERROR "the ${size} pixel icon is ${width} x ${height} (${signature})")
  endif()
endforeach()
file(REMOVE_RECURSE ${PREFIX})

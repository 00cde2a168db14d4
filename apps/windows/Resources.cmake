# The resources of the Windows programs: the icon (rendered from the project's
# SVG by rsvg-convert and packed by icotool, Debian's librsvg2-bin and
# icoutils), the version and the manifest. Sets SHEETJOB_WINDOWS_RESOURCES.

find_program(RSVG_CONVERT_EXECUTABLE rsvg-convert REQUIRED)
find_program(ICOTOOL_EXECUTABLE icotool REQUIRED)

set(svg ${PROJECT_SOURCE_DIR}/packaging/sheetjob.svg)
set(icon_dir ${CMAKE_CURRENT_BINARY_DIR}/icon)
set(SHEETJOB_WINDOWS_ICON ${icon_dir}/sheetjob.ico)
# The sizes Windows shows (menus and title bars, the taskbar, the desktop),
# and the large one of Explorer's views, which an icon holds as PNG.
set(icon_sizes 16 20 24 32 40 48 64)
set(large_size 256)
set(commands COMMAND ${CMAKE_COMMAND} -E make_directory ${icon_dir})
set(icon_pngs)
foreach(size IN LISTS icon_sizes large_size)
    set(png ${icon_dir}/sheetjob-${size}.png)
    list(APPEND commands COMMAND ${RSVG_CONVERT_EXECUTABLE} -w ${size} -h ${size} -o ${png} ${svg})
    if(NOT size EQUAL large_size)
        list(APPEND icon_pngs ${png})
    endif()
endforeach()
add_custom_command(OUTPUT ${SHEETJOB_WINDOWS_ICON} ${commands}
                   COMMAND ${ICOTOOL_EXECUTABLE} -c -o ${SHEETJOB_WINDOWS_ICON} ${icon_pngs}
                           --raw=${icon_dir}/sheetjob-${large_size}.png
                   DEPENDS ${svg} VERBATIM)
add_custom_target(sheetjob_windows_icon DEPENDS ${SHEETJOB_WINDOWS_ICON})

set(SHEETJOB_WINDOWS_MANIFEST ${CMAKE_CURRENT_LIST_DIR}/sheetjob.manifest)
set(rc ${CMAKE_CURRENT_BINARY_DIR}/sheetjob.rc)
configure_file(${CMAKE_CURRENT_LIST_DIR}/sheetjob.rc.in ${rc} @ONLY)
set_source_files_properties(${rc} PROPERTIES
    OBJECT_DEPENDS "${SHEETJOB_WINDOWS_ICON};${SHEETJOB_WINDOWS_MANIFEST}")
set(SHEETJOB_WINDOWS_RESOURCES ${rc})

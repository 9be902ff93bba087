# Installation and the Debian package.
#
#   <prefix>/lib/notoklyuv/          the program folder: notoklyuv, levels/, sound/, pictures/
#   <prefix>/bin/notoklyuv           launcher: runs the program on a per-user copy of that folder
#   <prefix>/share/applications/, share/metainfo/, share/icons/hicolor/
#
# `cpack` in the build folder (or scripts/package) makes the .deb.
if(NOT TARGET notoklyuv OR NOT TARGET nk_default_course)
    return()
endif()

set(NK_APP_ID example.notoklyuv.Notoklyuv)
set(NK_INSTALL_PROGRAM_DIR lib/notoklyuv)

# Icons rendered from the program's own artwork.
set(NK_ICON_DIR ${CMAKE_BINARY_DIR}/icons/hicolor)
set(NK_ICON_SIZES 16 22 24 32 48 64 128 256)
set(NK_ICON_FILES)
foreach(size ${NK_ICON_SIZES})
    list(APPEND NK_ICON_FILES ${NK_ICON_DIR}/${size}x${size}/apps/notoklyuv.png)
endforeach()
add_executable(nk_iconrender packaging/iconrender.cpp)
target_link_libraries(nk_iconrender PRIVATE Nk::App)
add_custom_command(
    OUTPUT ${NK_ICON_FILES}
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0
            $<TARGET_FILE:nk_iconrender> ${NK_ICON_DIR} ${NK_ICON_SIZES}
    DEPENDS nk_iconrender
    COMMENT "Rendering the program's icon"
    VERBATIM)
add_custom_target(nk_icons ALL DEPENDS ${NK_ICON_FILES})

# The program folder. What a run of the program in the build folder has written
# (settings, the log, upload copies of it, the answers' history) is not part of the course,
# nor is what the course build keeps to render only what changed (.rendered).
install(TARGETS notoklyuv RUNTIME DESTINATION ${NK_INSTALL_PROGRAM_DIR})
install(TARGETS nk_devices LIBRARY DESTINATION ${NK_INSTALL_PROGRAM_DIR})
install(DIRECTORY ${NK_PROGRAM_DIR}/levels ${NK_PROGRAM_DIR}/sound ${NK_PROGRAM_DIR}/pictures
        DESTINATION ${NK_INSTALL_PROGRAM_DIR}
        FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ
        PATTERN "settings.dat" EXCLUDE
        PATTERN "log.dat" EXCLUDE
        PATTERN "history.db*" EXCLUDE
        PATTERN "DEMO_*" EXCLUDE
        PATTERN ".rendered" EXCLUDE)
install(PROGRAMS packaging/notoklyuv DESTINATION bin)

install(FILES packaging/${NK_APP_ID}.desktop DESTINATION share/applications)
install(FILES packaging/${NK_APP_ID}.metainfo.xml DESTINATION share/metainfo)
foreach(size ${NK_ICON_SIZES})
    install(FILES ${NK_ICON_DIR}/${size}x${size}/apps/notoklyuv.png
            DESTINATION share/icons/hicolor/${size}x${size}/apps)
endforeach()

if(NK_BUILD_TESTS)
    add_test(NAME packaging_launcher
             COMMAND bash ${PROJECT_SOURCE_DIR}/packaging/test-launcher.sh
                     ${PROJECT_SOURCE_DIR}/packaging/notoklyuv)
    # --help and --version are answered without a display.
    add_test(NAME program_help
             COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY
                     --unset=QT_QPA_PLATFORM $<TARGET_FILE:notoklyuv> --help)
    set_tests_properties(packaging_launcher program_help PROPERTIES TIMEOUT 60 LABELS "packaging")
    set_tests_properties(program_help PROPERTIES PASS_REGULAR_EXPRESSION "--folder <")
    find_program(NK_DESKTOP_FILE_VALIDATE desktop-file-validate)
    if(NK_DESKTOP_FILE_VALIDATE)
        add_test(NAME packaging_desktop_file COMMAND ${NK_DESKTOP_FILE_VALIDATE}
                 ${PROJECT_SOURCE_DIR}/packaging/${NK_APP_ID}.desktop)
        set_tests_properties(packaging_desktop_file PROPERTIES LABELS "packaging")
    endif()
    find_program(NK_APPSTREAMCLI appstreamcli)
    if(NK_APPSTREAMCLI)
        add_test(NAME packaging_metainfo COMMAND ${NK_APPSTREAMCLI} validate --no-net
                 ${PROJECT_SOURCE_DIR}/packaging/${NK_APP_ID}.metainfo.xml)
        set_tests_properties(packaging_metainfo PROPERTIES LABELS "packaging")
    endif()
endif()

# The Debian package.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME notoklyuv)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Notoklyuv")
set(CPACK_PACKAGE_CONTACT "Notoklyuv maintainers <maintainers@notoklyuv.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "ear-training course: recognise notes by ear")
set(CPACK_PACKAGE_DESCRIPTION
    "Нотоклюв (Notoklyuv) is an ear-training course for Russian-speaking learners.
Level by level, 28 levels in four parts, the learner comes to recognise notes by
ear through associations: describing each note, memorising it by timed listening
with rests, naming random notes on an on-screen three-octave piano and picking
out melodies on it. The interface is in Russian.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES TRUE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://notoklyuv.example")
# Qt and the C++ runtime come from the executable's libraries; sound and the
# launcher need these besides: GStreamer for Qt Multimedia's media player, and
# the fonts the pages are laid out for (Arial resolves to Liberation Sans).
# MIDI keyboards are read through RtMidi (with libjack beneath it).
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "gstreamer1.0-plugins-base, gstreamer1.0-plugins-good, gstreamer1.0-pulseaudio, fonts-liberation, librtmidi6, libsqlite3-0")
# The libraries' packages come from dpkg-shlibdeps on the program and its device
# plug-in, the package's only binaries, when cpack runs: CPack's own search would run
# `file` on each of the course's hundreds of files first.
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_BINARY_DIR}/NkCPackDepends.cmake)
file(GENERATE OUTPUT ${CPACK_PROJECT_CONFIG_FILE} CONTENT
"set(NK_SHLIBDEPS_BINARIES \"$<TARGET_FILE:notoklyuv>\" \"$<TARGET_FILE:nk_devices>\")
include(\"${PROJECT_SOURCE_DIR}/cmake/NkShlibDepends.cmake\")
")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "pulseaudio | pipewire-pulse")
include(CPack)

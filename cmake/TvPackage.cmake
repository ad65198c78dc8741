# The Debian package (cpack -G DEB, through scripts/package.sh): both
# programs, the tools and the desktop files under /usr. The libraries it
# needs are found by dpkg-shlibdeps from the built programs; the data it
# loads (a General MIDI SoundFont, the label fonts), Qt's window-system
# plugins and Qt's SVG plugins (the icons are SVG), which no program links,
# are named here.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tapevantrel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The TapeVantrel team")
set(CPACK_PACKAGE_CONTACT "The TapeVantrel team <tapevantrel@tapevantrel.example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "put music from the computer onto cassette tape and MiniDisc")
# The long description; CPack puts the summary above it and indents it.
set(CPACK_PACKAGE_DESCRIPTION "TapeVantrel is a recording assistant for copying music onto cassette tape
or MiniDisc with an ordinary deck connected to the sound card's output:
choose the length of the blank medium, fill each side's playlist from MP3,
WAV, MIDI, AU/AIFF files and audio CDs while the program keeps account of
the time used and left, print the case insert or label, and record.

The package also holds TesteQuorvane, a five-house logic puzzle in
Portuguese, and the command-line tools tvmeasure and tvplay.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# Then the sections a stripped program does not need go as well.
set(CPACK_TV_STRIP ${CMAKE_STRIP})
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/TvPackageStrip.cmake)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "timgm6mb-soundfont | fluid-soundfont-gm, fonts-liberation2, qt6-qpa-plugins, libqt6svg6")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "pulseaudio | pipewire-pulse, xdg-utils")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "pavucontrol")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)

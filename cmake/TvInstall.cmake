# The installed tree. Each program and what it loads at run time live
# together in <prefix>/lib/tapevantrel, with a link from <prefix>/bin, so that
# QCoreApplication::applicationDirPath() (the executable's real folder) finds
# them in the build folder, in an install prefix and in the package alike.
# A fixed "lib", not the multiarch library folder: these are programs and
# their data, not libraries.
set(TV_INSTALL_PROGRAM_DIR lib/tapevantrel)
set(TV_INSTALL_DOC_DIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/tapevantrel)

# A relative symbolic link <prefix>/<link> to <prefix>/<target>, made at
# install time (DESTDIR and the packaging prefix included).
function(tv_install_link target link)
  get_filename_component(folder ${link} DIRECTORY)
  file(RELATIVE_PATH relative /${folder} /${target})
  install(CODE "
    file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${folder}\")
    file(CREATE_LINK \"${relative}\" \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${link}\" SYMBOLIC)")
endfunction()

function(tv_install_program target)
  install(TARGETS ${target} RUNTIME DESTINATION ${TV_INSTALL_PROGRAM_DIR})
  tv_install_link(${TV_INSTALL_PROGRAM_DIR}/${target} ${CMAKE_INSTALL_BINDIR}/${target})
endfunction()

# Copies a run-time file into the build's program folder and installs it beside the programs.
function(tv_program_file source)
  get_filename_component(name ${source} NAME)
  configure_file(${source} ${TV_PROGRAM_DIR}/${name} COPYONLY)
  install(FILES ${source} DESTINATION ${TV_INSTALL_PROGRAM_DIR})
endfunction()

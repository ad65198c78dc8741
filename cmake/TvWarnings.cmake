# Our own code builds warning-free; third-party headers come in as system includes.
function(tv_strict target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
endfunction()

# The program folder: each program and what it loads at run time live together
# in <prefix>/lib/tapevantrel, with a link from <prefix>/bin, so that
# QCoreApplication::applicationDirPath() finds them in the build and installed.
set(TV_INSTALL_PROGRAM_DIR ${CMAKE_INSTALL_LIBDIR}/tapevantrel)

function(tv_install_program target)
  install(TARGETS ${target} RUNTIME DESTINATION ${TV_INSTALL_PROGRAM_DIR})
  install(CODE "
    file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
    file(CREATE_LINK \"../${TV_INSTALL_PROGRAM_DIR}/${target}\"
         \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/${target}\" SYMBOLIC)")
endfunction()

# Copies a run-time file into the build's program folder and installs it beside the programs.
function(tv_program_file source)
  get_filename_component(name ${source} NAME)
  configure_file(${source} ${TV_PROGRAM_DIR}/${name} COPYONLY)
  install(FILES ${source} DESTINATION ${TV_INSTALL_PROGRAM_DIR})
endfunction()

# Run by CPack (CPACK_PRE_BUILD_SCRIPTS) on the staged files of the package,
# after CPACK_STRIP_FILES has stripped the programs: removes the .comment
# and .note sections (the compiler's version strings), which a stripped
# program does not need, as Debian's dh_strip does.
if(NOT CPACK_TV_STRIP)
  message(FATAL_ERROR "TvPackageStrip.cmake: no strip program (CPACK_TV_STRIP)")
endif()
file(GLOB_RECURSE staged LIST_DIRECTORIES false "${CPACK_TEMPORARY_DIRECTORY}/*")
foreach(file ${staged})
  if(IS_SYMLINK "${file}")
    continue()
  endif()
  file(READ "${file}" magic LIMIT 4 HEX)
  if(magic STREQUAL "7f454c46") # an ELF file
    execute_process(COMMAND "${CPACK_TV_STRIP}" --remove-section=.comment --remove-section=.note "${file}"
      RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
      message(FATAL_ERROR "TvPackageStrip.cmake: ${CPACK_TV_STRIP} failed on ${file}")
    endif()
  endif()
endforeach()

# Run by CPack after it wrote the .deb files (CPACK_POST_BUILD_SCRIPTS); finishes them the way the
# generator cannot, as Debian's own tools would have made them:
# - the postinst and postrm scripts it writes for every library under /usr/lib only run ldconfig,
#   which the packages' ldconfig trigger already does: they go;
# - the binaries lose the compiler's .comment section as well, and the checksums follow;
# - the library packages are marked Multi-Arch: same (their files live under the architecture's
#   own library folder, and the shared ones are the same bytes on every architecture).
find_program(objcopy NAMES objcopy REQUIRED)

function(drop_ldconfig_scripts tree deb)
  foreach(script postinst postrm)
    set(file ${tree}/DEBIAN/${script})
    if(EXISTS ${file})
      file(STRINGS ${file} lines REGEX "[^ \t]")
      list(FILTER lines EXCLUDE REGEX "^(#!/bin/sh|set -e|if \\[ \"\\$1\" = \"(configure|remove)\" \\]; then|[ \t]*ldconfig|fi)$")
      if(lines)
        message(FATAL_ERROR "${deb}: ${script} does more than run ldconfig:\n${lines}")
      endif()
      file(REMOVE ${file})
    endif()
  endforeach()
endfunction()

function(strip_comments tree)
  file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE ${tree} ${tree}/*)
  set(sums "")
  foreach(file IN LISTS files)
    if(file MATCHES "^DEBIAN/" OR IS_SYMLINK ${tree}/${file})
      continue()
    endif()
    file(READ ${tree}/${file} magic LIMIT 4 HEX)
    if(magic STREQUAL "7f454c46")
      execute_process(COMMAND ${objcopy} --remove-section=.comment ${tree}/${file} COMMAND_ERROR_IS_FATAL ANY)
    endif()
    file(MD5 ${tree}/${file} sum)
    string(APPEND sums "${sum}  ${file}\n")
  endforeach()
  file(WRITE ${tree}/DEBIAN/md5sums "${sums}")
endfunction()

foreach(deb IN LISTS CPACK_PACKAGE_FILES)
  get_filename_component(name ${deb} NAME)
  string(REGEX REPLACE "_.*" "" package ${name})
  set(tree ${CPACK_TOPLEVEL_DIRECTORY}/finish/${package})
  file(REMOVE_RECURSE ${tree})
  file(MAKE_DIRECTORY ${CPACK_TOPLEVEL_DIRECTORY}/finish)
  execute_process(COMMAND dpkg-deb --raw-extract ${deb} ${tree} COMMAND_ERROR_IS_FATAL ANY)
  drop_ldconfig_scripts(${tree} ${name})
  strip_comments(${tree})
  if(package IN_LIST CPACK_KOR2_MULTIARCH_SAME)
    file(READ ${tree}/DEBIAN/control control)
    string(REGEX REPLACE "(^|\n)(Architecture: [^\n]*\n)" "\\1\\2Multi-Arch: same\n" control "${control}")
    file(WRITE ${tree}/DEBIAN/control "${control}")
  endif()
  execute_process(COMMAND dpkg-deb --root-owner-group -Zxz --build ${tree} ${deb}
                  OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
  file(REMOVE_RECURSE ${tree})
endforeach()

# Debian's build flags for the binaries the packages carry: dpkg-buildflags' CPPFLAGS, CXXFLAGS and
# LDFLAGS (stack protector, _FORTIFY_SOURCE, format checks, relro; the optimisation level too, as
# they come after the build type's own), honouring DEB_BUILD_MAINT_OPTIONS and DEB_*FLAGS_APPEND
# the way a Debian build does. On by default for the optimised builds on a machine that has
# dpkg-buildflags; the sanitizer, fuzzing and cross builds keep their own.
find_program(KOR2_DPKG_BUILDFLAGS dpkg-buildflags)
set(kor2_debian_default OFF)
if(KOR2_DPKG_BUILDFLAGS AND NOT CMAKE_CROSSCOMPILING AND NOT KOR2_FUZZ
   AND CMAKE_BUILD_TYPE MATCHES "^(Release|RelWithDebInfo|MinSizeRel|None)$")
  set(kor2_debian_default ON)
endif()
option(KOR2_DEBIAN_BUILD_FLAGS "Compile and link with dpkg-buildflags' flags" ${kor2_debian_default})
if(NOT KOR2_DEBIAN_BUILD_FLAGS)
  return()
endif()
if(NOT KOR2_DPKG_BUILDFLAGS)
  message(FATAL_ERROR "KOR2_DEBIAN_BUILD_FLAGS needs dpkg-buildflags (package dpkg-dev)")
endif()

# Run from the source tree, so that its path is mapped away in the binaries' debug information.
foreach(kind CPPFLAGS CXXFLAGS LDFLAGS)
  execute_process(COMMAND ${KOR2_DPKG_BUILDFLAGS} --get ${kind}
                  WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
                  OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  separate_arguments(KOR2_DEBIAN_${kind} UNIX_COMMAND "${flags}")
endforeach()
add_compile_options(${KOR2_DEBIAN_CPPFLAGS} ${KOR2_DEBIAN_CXXFLAGS})
add_link_options(${KOR2_DEBIAN_LDFLAGS})
list(JOIN KOR2_DEBIAN_CXXFLAGS " " shown)
message(STATUS "Debian build flags: ${shown} ...")

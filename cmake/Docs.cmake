# The API reference: `docs` turns the public headers' doc comments into HTML (build/.../docs/html),
# built with everything else whenever Doxygen is there, so that the development package always
# carries it. The test `api_reference` fails when a symbol a host can reach has no comment.
# A host that adds the library's tree to its own has its own targets, `docs` perhaps among them.
if(NOT PROJECT_IS_TOP_LEVEL)
  return()
endif()
find_package(Doxygen QUIET)
if(NOT DOXYGEN_FOUND)
  message(STATUS "Doxygen not found: no API reference (target docs)")
  return()
endif()

set(KOR2_DOCS_DIR ${PROJECT_BINARY_DIR}/docs)
configure_file(${PROJECT_SOURCE_DIR}/cmake/Doxyfile.in ${KOR2_DOCS_DIR}/Doxyfile @ONLY)
file(GLOB_RECURSE KOR2_PUBLIC_HEADERS CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/include/Kor2_Sys/*.h)
# A page dropped from the headers must not stay behind in the package: the folder is written anew.
add_custom_command(OUTPUT ${KOR2_DOCS_DIR}/html/index.html
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${KOR2_DOCS_DIR}/html
  COMMAND Doxygen::doxygen ${KOR2_DOCS_DIR}/Doxyfile
  DEPENDS ${KOR2_PUBLIC_HEADERS} ${KOR2_DOCS_DIR}/Doxyfile
  WORKING_DIRECTORY ${KOR2_DOCS_DIR}
  COMMENT "Writing the API reference")
add_custom_target(docs ALL DEPENDS ${KOR2_DOCS_DIR}/html/index.html)

install(DIRECTORY ${KOR2_DOCS_DIR}/html/ DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/libkor2-sys-dev/html
        COMPONENT dev)
# Registered with the system's documentation index.
install(FILES ${PROJECT_SOURCE_DIR}/packaging/doc-base DESTINATION ${CMAKE_INSTALL_DATADIR}/doc-base
        RENAME libkor2-sys-dev COMPONENT dev)

if(KOR2_BUILD_TESTS)
  add_test(NAME api_reference
           COMMAND ${CMAKE_COMMAND} -DLOG=${KOR2_DOCS_DIR}/warnings.log -P ${PROJECT_SOURCE_DIR}/cmake/CheckDocWarnings.cmake)
endif()

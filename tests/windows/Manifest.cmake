# Use without registration: a folder as an application ships it (the module, its assembly manifest,
# a host and the host's application manifest naming the assembly), run in a prefix of its own where
# nothing is ever registered. A copy of the same host without an application manifest, in the same
# folder, must reach none of the classes.
set(sxs ${CMAKE_CURRENT_BINARY_DIR}/sxs)
add_executable(manifest_host ManifestHost.cpp)
target_include_directories(manifest_host PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests/support)
target_link_libraries(manifest_host PRIVATE ole32 oleaut32 uuid)
target_link_options(manifest_host PRIVATE ${KOR2_WHOLE_RUNTIME})
set_target_properties(manifest_host PROPERTIES OUTPUT_NAME host RUNTIME_OUTPUT_DIRECTORY ${sxs})
add_dependencies(manifest_host kor2_dispatch_ids)
add_custom_command(TARGET manifest_host POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:manifest_host> ${sxs}/sin_manifiesto.exe)
get_filename_component(assembly_file ${KOR2_ASSEMBLY_MANIFEST} NAME)
add_custom_command(OUTPUT ${sxs}/Kor2_Sys.dll ${sxs}/${assembly_file}
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:Kor2_Sys> ${KOR2_ASSEMBLY_MANIFEST} ${sxs}
  DEPENDS Kor2_Sys ${KOR2_ASSEMBLY_MANIFEST} kor2_assembly_manifest
  COMMENT "The module and its assembly manifest beside the host")
add_custom_target(manifest_folder ALL DEPENDS ${sxs}/Kor2_Sys.dll ${sxs}/${assembly_file})
# What a host writes to use the library: the assembly by name, version and architecture.
file(WRITE ${sxs}/host.exe.manifest
"<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>
<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\">
  <assemblyIdentity type=\"win32\" name=\"host\" version=\"1.0.0.0\" processorArchitecture=\"${KOR2_ASSEMBLY_ARCH}\"/>
  <dependency>
    <dependentAssembly>
      <assemblyIdentity type=\"win32\" name=\"Kor2_Sys.sxs\" version=\"${KOR2_ASSEMBLY_VERSION}\" processorArchitecture=\"${KOR2_ASSEMBLY_ARCH}\"/>
    </dependentAssembly>
  </dependency>
</assembly>
")

set(manifest_prefix ${CMAKE_CURRENT_BINARY_DIR}/manifestprefix)
add_test(NAME wine_manifest_prefix COMMAND sh -c "rm -rf \"$2\" && \"$1\" wineboot --init" sh ${KOR2_WINE} ${manifest_prefix})
set_tests_properties(wine_manifest_prefix PROPERTIES FIXTURES_SETUP wine_manifest TIMEOUT 300
                     ENVIRONMENT "WINEPREFIX=${manifest_prefix};WINEDEBUG=-all;WINEDLLOVERRIDES=mscoree,mshtml=")
kor2_wine_path(sxs_folder ${sxs})
kor2_wine_path(identifiers ${KOR2_DISPATCH_IDS})
foreach(test IN ITEMS "wine_manifest;host.exe" "wine_manifest_absent;sin_manifiesto.exe;--ausente")
  list(POP_FRONT test name program)
  add_test(NAME ${name} COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/wine-run.sh ${KOR2_WINE} ${manifest_prefix}
           -- ${sxs_folder}\\${program} ${identifiers} ${test})
  set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine_manifest RESOURCE_LOCK manifestprefix TIMEOUT 120
                       PASS_REGULAR_EXPRESSION "OK [0-9]+ comprobaciones" FAIL_REGULAR_EXPRESSION "FALLO")
endforeach()

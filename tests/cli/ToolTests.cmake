# kor2 as a Unix user meets it: version, help, the manual page and the shell completion written at
# build time, and windows refused where nobody would see them.
string(REPLACE "." "\\." KOR2_VERSION_PATTERN "${PROJECT_VERSION}")
kor2_cli_test(version 0 "^kor2 ${KOR2_VERSION_PATTERN}\n$" --version)
kor2_cli_test(help_lists_commands 0 "Órdenes:.*call.*login.*help" help)
kor2_cli_test(help_of_a_command 0 "kor2 call.*CLASE.*Opciones globales.*--headless.*--settings RUTA.*--decimal SEP" help call)
kor2_cli_test(help_of_unknown_command_exits_2 2 "orden desconocida: nada" help nada)
kor2_cli_test(command_help_names_its_globals 0 "Opciones globales.*--settings RUTA.*--json" settings --help)
kor2_cli_test(dialog_help_names_headless 0 "--headless.*--actions ARCHIVO" input --help)

# Without a display the advice is one that works; offscreen without --headless is refused at once
# instead of waiting for a click that no one can make.
# Both come from the Qt module: a build without it has no window to refuse.
if(TARGET Kor2_Sys_qt)
  add_test(NAME cli.input_without_display_advice
    COMMAND sh -c "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM \"$<TARGET_FILE:kor2>\" input; echo \"exit $?\"")
  set_tests_properties(cli.input_without_display_advice PROPERTIES LABELS core
    PASS_REGULAR_EXPRESSION "error 68: .*DISPLAY.*QT_QPA_PLATFORM.*--headless.*xvfb-run.*\nexit 3"
    FAIL_REGULAR_EXPRESSION "offscreen")
  # The file chooser fails like the other windows: a refusal is not a cancel.
  foreach(row IN ITEMS "input|error 68: .*nadie vería la ventana f_Imput .*offscreen.*--headless.*\nexit 3"
                       "login|error 68: .*nadie vería la ventana dlgLoging .*\nexit 3"
                       "color|error 68: .*nadie vería la ventana F_color .*\nexit 3"
                       "open|error 68: .*nadie vería la ventana de archivos .*\nexit 3"
                       "save|error 68: .*nadie vería la ventana de archivos .*\nexit 3")
    string(REPLACE "|" ";" row "${row}")
    list(GET row 0 command)
    list(GET row 1 pattern)
    add_test(NAME cli.${command}_offscreen_refused
      COMMAND sh -c "env -u DISPLAY QT_QPA_PLATFORM=offscreen KOR2_SETTINGS=:memory: \"$<TARGET_FILE:kor2>\" ${command}; echo \"exit $?\"")
    set_tests_properties(cli.${command}_offscreen_refused PROPERTIES LABELS core TIMEOUT 20 PASS_REGULAR_EXPRESSION "${pattern}")
  endforeach()
endif()

get_target_property(kor2_docs_dir kor2 BINARY_DIR)
add_test(NAME cli.completion COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/completion.sh ${kor2_docs_dir}/kor2.bash
  WORKING_DIRECTORY ${kor2_docs_dir})
set_tests_properties(cli.completion PROPERTIES LABELS core PASS_REGULAR_EXPRESSION "^0 fallos\n$")
add_test(NAME cli.manual COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/manual.sh ${kor2_docs_dir}/kor2.1
  ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR} $<TARGET_FILE:kor2>)
set_tests_properties(cli.manual PROPERTIES LABELS core SKIP_RETURN_CODE 77 FAIL_REGULAR_EXPRESSION "falta en la página"
  PASS_REGULAR_EXPRESSION "NOMBRE.*kor2 call CLASE MIEMBRO \\[ARG\\]\\.\\.\\..*kor2 help \\[ORDEN\\].*GUIONES DE VENTANAS.*CLASES.*CColores.*EJEMPLOS")

# Out of memory under an address-space limit, which the sanitizers' own reservations do not fit:
# not in the "core" label the sanitizer preset runs.
add_test(NAME cli.out_of_memory COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/memory.sh $<TARGET_FILE:kor2> ${CMAKE_CURRENT_BINARY_DIR})
set_tests_properties(cli.out_of_memory PROPERTIES LABELS memory TIMEOUT 120 PASS_REGULAR_EXPRESSION "^OK memoria\n$")

# The packages' descriptions: an English summary and long description, then the same in Spanish,
# the language of everything the library shows. CPack indents the lines after the summary and marks
# the empty ones, as the control file wants.
set(kor2_about "Kor2_Sys is a component library that a CAD and surveying application loads
into its own process: a colour catalogue and colour chooser, text and
number utilities, input and message prompts, file choosers that remember
the last path, per-user settings, status-bar progress, a stopwatch, the
identity of the machine, its volumes and disks, and a login dialog.
Everything it shows the user is in Spanish.")
set(kor2_acerca "Kor2_Sys es una biblioteca de componentes que una aplicación de CAD y
topografía carga en su propio proceso: catálogo y selector de colores,
utilidades de texto y números, peticiones de datos y mensajes, selectores
de archivos que recuerdan la última ruta, ajustes por usuario, progreso en
la barra de estado, cronómetro, identidad de la máquina, de los volúmenes
y de los discos, y diálogo de inicio de sesión.")

set(CPACK_COMPONENT_LIB_DESCRIPTION "shared services for CAD and surveying applications
${kor2_about}

This package contains the shared library. Its windows come from the Qt
window system, in a package of its own.

${kor2_acerca}

Este paquete contiene la biblioteca compartida; sus ventanas, el sistema
de ventanas Qt, en un paquete aparte.")
set(CPACK_COMPONENT_QT_DESCRIPTION "shared services for CAD and surveying applications (Qt windows)
${kor2_about}

This package contains the Qt window system, which the library loads to
show its windows, and the adapters that hand a Qt host's windows to it.

Este paquete contiene el sistema de ventanas Qt, que la biblioteca carga
para mostrar sus ventanas, y los adaptadores que le entregan las ventanas
de una aplicación Qt.")
set(CPACK_COMPONENT_DEV_DESCRIPTION "shared services for CAD and surveying applications (development)
${kor2_about}

This package contains the C and C++ headers, the CMake package
(find_package(Kor2_Sys)), the pkg-config file (kor2-sys) and the API
reference in HTML.

Este paquete contiene las cabeceras C y C++, el paquete de CMake, el
archivo de pkg-config y la referencia de la interfaz en HTML.")
set(CPACK_COMPONENT_QTDEV_DESCRIPTION "shared services for CAD and surveying applications (Qt development)
${kor2_about}

This package contains the Qt module's header and the Qt component of the
CMake package (find_package(Kor2_Sys COMPONENTS Qt)), for Qt hosts that
hand their windows to the library.

Este paquete contiene la cabecera del módulo Qt y el componente Qt del
paquete de CMake, para las aplicaciones Qt que entregan sus ventanas a la
biblioteca.")
set(CPACK_COMPONENT_TOOL_DESCRIPTION "command-line access to the Kor2_Sys library
kor2 calls the classes of Kor2_Sys by name, keeps a session of line-based
JSON requests, shows the library's dialogs to scripts, and reads and
writes the settings and the machine's data. It includes its manual page
and bash completion.

kor2 llama a las clases de Kor2_Sys por su nombre, mantiene una sesión de
peticiones JSON por líneas, muestra los diálogos de la biblioteca a los
guiones, y lee y escribe los ajustes y los datos de la máquina. Incluye su
página de manual y el completado para bash.")

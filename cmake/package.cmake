# The release zip of a Windows preset: Telvane-VERSION-win32.zip or -win64.zip
# in the build folder, holding one folder Telvane/ with the DLL, README.txt
# and the sample Telvane.rc. Unpacked into the shell's plugins folder, the
# settings file lands beside the DLL, where the plugin looks first.

# The version is the one pluginInfo reports (TELVANE_VERSION), so the zip's
# name cannot drift from it.
set(telvane_version ${TELVANE_VERSION})

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(package_system win64)
else()
    set(package_system win32)
endif()

# Windows users read the texts in Notepad: CR LF line ends.
set(package_texts)
# The README holds non-ASCII text (dashes, ellipses) and gets the UTF-8 mark;
# the settings file is ASCII, read by the shell, and gets none.
foreach(item README.md:README.txt:ON docs/Telvane.rc:Telvane.rc:OFF)
    string(REPLACE ":" ";" item ${item})
    list(GET item 0 source)
    list(GET item 1 target)
    list(GET item 2 bom)
    add_custom_command(
        OUTPUT ${CMAKE_BINARY_DIR}/package/${target}
        COMMAND ${CMAKE_COMMAND} -DIN=${PROJECT_SOURCE_DIR}/${source}
                -DOUT=${CMAKE_BINARY_DIR}/package/${target} -DBOM=${bom} -P ${CMAKE_CURRENT_LIST_DIR}/crlf.cmake
        DEPENDS ${PROJECT_SOURCE_DIR}/${source} ${CMAKE_CURRENT_LIST_DIR}/crlf.cmake
        COMMENT "Package text ${target}")
    list(APPEND package_texts ${CMAKE_BINARY_DIR}/package/${target})
endforeach()
add_custom_target(package_texts ALL DEPENDS ${package_texts})

# install() only the three files, and CPack takes only this component, so
# nothing else (shell, tests, import libraries) can slip into the zip. The
# DLL is copied as linked: already stripped.
install(FILES $<TARGET_FILE:Telvane> ${package_texts} DESTINATION Telvane COMPONENT release)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Telvane)
set(CPACK_PACKAGE_VERSION ${telvane_version})
set(CPACK_PACKAGE_FILE_NAME Telvane-${telvane_version}-${package_system})
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR})
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};Telvane;release;/")
include(CPack)

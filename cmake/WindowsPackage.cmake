# The folder that runs on Windows, made by `cmake --install BUILD --prefix DIR`, and its zip, made by
# `cpack -G ZIP` in BUILD: the program and its key-map file, the Qt DLLs with the plugins Qt loads at
# run time (the platform and the style) and Qt's Chinese texts, the MinGW runtime DLLs, and the README
# (the About box links to it) with its pictures and the pages it links to in docs/. tests/win32/check-dlls.sh checks the
# folder against the programs' imports.
install(TARGETS vornik RUNTIME DESTINATION .)
install(FILES ${VORNIK_KEYMAP} ${PROJECT_SOURCE_DIR}/README.md DESTINATION .)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/ DESTINATION docs FILES_MATCHING PATTERN "*.png" PATTERN "*.md")

foreach(module Core Gui Widgets)
    install(FILES $<TARGET_FILE:Qt6::${module}> DESTINATION .)
endforeach()
install(FILES $<TARGET_FILE:Qt6::QWindowsIntegrationPlugin> DESTINATION platforms)
install(FILES $<TARGET_FILE:Qt6::QWindowsVistaStylePlugin> DESTINATION styles)
# Qt's own texts in the program's Chinese (the standard buttons, the file dialogs), looked for in
# translations/ beside the program. The Qt kit has no translations: this is the build machine's
# Debian qt6-translations-l10n, made from the same Qt 6.4.2 as the kit's libraries.
find_file(VORNIK_QT_TRANSLATION qtbase_zh_TW.qm PATHS ${QT_HOST_PATH}/share/qt6/translations /usr/share/qt6/translations
          NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
if(VORNIK_QT_TRANSLATION)
    install(FILES ${VORNIK_QT_TRANSLATION} DESTINATION translations)
else()
    message(WARNING "qtbase_zh_TW.qm (Debian: qt6-translations-l10n) not found: Qt's own buttons and file dialogs stay English in the Chinese window")
endif()

# The compiler's runtime DLLs, found where the compiler itself looks for them.
foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll} OUTPUT_VARIABLE path
                    OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT IS_ABSOLUTE "${path}" OR NOT EXISTS "${path}")
        message(FATAL_ERROR "${CMAKE_CXX_COMPILER} does not know where ${dll} is")
    endif()
    get_filename_component(path "${path}" REALPATH)
    install(FILES "${path}" DESTINATION .)
endforeach()

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME vornik)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME vornik-${PROJECT_VERSION}-win64)
set(CPACK_PACKAGE_VENDOR Vornik)
include(CPack)

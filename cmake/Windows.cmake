# Windows: the executable's icon and version, and the program folder that the installer and the
# zip carry (cmake --install). The Firebird client is not part of it: it is the customer's own.

set(DEPURIX_ICON ${PROJECT_SOURCE_DIR}/app/resources/depurix.ico)
configure_file(${PROJECT_SOURCE_DIR}/cmake/depurix.rc.in ${PROJECT_BINARY_DIR}/depurix.rc @ONLY)
target_sources(depurix PRIVATE ${PROJECT_BINARY_DIR}/depurix.rc)

install(TARGETS depurix RUNTIME DESTINATION .)
install(FILES $<TARGET_FILE:Qt6::Core> $<TARGET_FILE:Qt6::Gui> $<TARGET_FILE:Qt6::Widgets>
        DESTINATION .)
install(FILES $<TARGET_FILE:Qt6::QWindowsIntegrationPlugin> DESTINATION platforms)
install(FILES $<TARGET_FILE:Qt6::QWindowsVistaStylePlugin> DESTINATION styles)
# Qt looks for its plugins and translations from the program's folder, not from where it was
# built.
file(WRITE ${PROJECT_BINARY_DIR}/qt.conf "[Paths]\nPrefix = .\nPlugins = .\nTranslations = translations\n")
install(FILES ${PROJECT_BINARY_DIR}/qt.conf DESTINATION .)

find_file(DEPURIX_QTBASE_PT_BR qtbase_pt_BR.qm PATHS /usr/share/qt6/translations
          NO_CMAKE_FIND_ROOT_PATH REQUIRED)
install(FILES ${DEPURIX_QTBASE_PT_BR} DESTINATION translations)

# The compiler's own runtime, wherever this compiler keeps it.
foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
                    OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT IS_ABSOLUTE "${path}" OR NOT EXISTS "${path}")
        message(FATAL_ERROR "${dll} not found beside ${CMAKE_CXX_COMPILER}")
    endif()
    list(APPEND DEPURIX_RUNTIME_DLLS ${path})
endforeach()
install(FILES ${DEPURIX_RUNTIME_DLLS} DESTINATION .)

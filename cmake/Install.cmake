# What `cmake --install` puts under a prefix: the two libraries other programs
# may use (Pragmix, Trazel), the platform libraries they stand on, their public
# headers and a pkg-config file for each.
include(GNUInstallDirs)

set(KV_INSTALL_INCLUDEDIR ${CMAKE_INSTALL_INCLUDEDIR}/korvane)
set(kv_installed_libraries kvplatform kvplatformui pragmix trazel)

foreach(library ${kv_installed_libraries})
  set_target_properties(${library} PROPERTIES
    VERSION ${PROJECT_VERSION}
    SOVERSION ${PROJECT_VERSION_MAJOR}
    INSTALL_RPATH "$ORIGIN")
endforeach()
target_include_directories(kvplatform PUBLIC $<INSTALL_INTERFACE:${KV_INSTALL_INCLUDEDIR}>)

install(TARGETS ${kv_installed_libraries} LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})

# Headers a user of the libraries reaches; the window layer's private headers
# (those that include the toolkit) stay behind.
file(GLOB kv_core_headers ${PROJECT_SOURCE_DIR}/platform/core/*.h)
file(GLOB kv_io_headers ${PROJECT_SOURCE_DIR}/platform/io/*.h)
file(GLOB kv_net_headers ${PROJECT_SOURCE_DIR}/platform/net/*.h)
file(GLOB kv_ui_headers ${PROJECT_SOURCE_DIR}/platform/ui/*.h)
list(FILTER kv_ui_headers EXCLUDE REGEX "(Impl|Private|Bridge|ControlWidgets)\\.h$")
install(FILES ${kv_core_headers} DESTINATION ${KV_INSTALL_INCLUDEDIR}/platform/core)
install(FILES ${kv_io_headers} DESTINATION ${KV_INSTALL_INCLUDEDIR}/platform/io)
install(FILES ${kv_net_headers} DESTINATION ${KV_INSTALL_INCLUDEDIR}/platform/net)
install(FILES ${kv_ui_headers} DESTINATION ${KV_INSTALL_INCLUDEDIR}/platform/ui)
install(FILES ${PROJECT_SOURCE_DIR}/pragmix/Pragmix.h DESTINATION ${KV_INSTALL_INCLUDEDIR}/pragmix)
install(FILES ${PROJECT_SOURCE_DIR}/trazel/Trazel.h DESTINATION ${KV_INSTALL_INCLUDEDIR}/trazel)

# The pkg-config files find the prefix from where they lie, so an installed
# tree may be moved or installed with `cmake --install --prefix`.
set(kv_pc_up "..")
string(REPLACE "/" ";" kv_libdir_parts "${CMAKE_INSTALL_LIBDIR}")
foreach(part ${kv_libdir_parts})
  string(APPEND kv_pc_up "/..")
endforeach()
set(PC_PREFIX "\${pcfiledir}/${kv_pc_up}")

# pkg-config: name, description, the libraries it needs, its own library.
function(kv_pkg_config name description requires library)
  set(PC_NAME ${name})
  set(PC_DESCRIPTION ${description})
  set(PC_REQUIRES ${requires})
  set(PC_LIBRARY ${library})
  configure_file(${PROJECT_SOURCE_DIR}/cmake/korvane-library.pc.in ${CMAKE_BINARY_DIR}/pkgconfig/${name}.pc @ONLY)
  install(FILES ${CMAKE_BINARY_DIR}/pkgconfig/${name}.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
endfunction()

kv_pkg_config(kvplatform "Korvane platform layer: text, containers, threads, files, serial ports" "" kvplatform)
kv_pkg_config(kvplatformui "Korvane window layer: windows, dialogs, controls, drawing" "kvplatform" kvplatformui)
kv_pkg_config(pragmix "Pragmix: macro preprocessor and expression solver" "kvplatform" pragmix)
kv_pkg_config(trazel "Trazel: time plots drawn into a device context" "kvplatformui" trazel)

# A program built against an installed copy, through pkg-config alone. Not in
# the sanitizer and fuzz builds, whose libraries need their runtimes linked in.
if(NOT KV_SANITIZE AND NOT KV_TSAN AND NOT KV_FUZZ)
  foreach(pair "pragmix;UsePragmix" "trazel;UseTrazel")
    list(GET pair 0 package)
    list(GET pair 1 program)
    add_test(NAME installed.${package}
      COMMAND ${PROJECT_SOURCE_DIR}/testing/installed/check-installed-library.sh
              ${CMAKE_BINARY_DIR} ${package} ${PROJECT_SOURCE_DIR}/testing/installed/${program}.cpp)
    set_tests_properties(installed.${package} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
  endforeach()
endif()

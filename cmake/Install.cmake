# The install tree is an SDK for plug-ins built outside this tree:
#
#   <prefix>/include/touchpanel/{contract,util,mx,phal,registry,host}/*.h
#   <prefix>/lib/                      libmx, libtplogger, libtouchhost and the other libraries
#   <prefix>/lib/touchpanel/plugins/   every plug-in
#   <prefix>/bin/                      touchhost, nvset and the other programs
#   <prefix>/lib/cmake/TouchPanel/     find_package(TouchPanel): TouchPanel::headers,
#                                      TouchPanel::touchhost ... and touchpanel_add_plugin()
#   <prefix>/lib/pkgconfig/touchpanel.pc
#
# The tree is relocatable: programs find the libraries and plug-ins relative to themselves.

include(CMakePackageConfigHelpers)

set(TP_INSTALL_CMAKEDIR lib/cmake/TouchPanel)
set(TP_INSTALL_PLUGINDIR lib/touchpanel/plugins)

foreach(dir contract util mx phal registry host)
  if(EXISTS ${CMAKE_SOURCE_DIR}/${dir})
    install(DIRECTORY ${CMAKE_SOURCE_DIR}/${dir}/ DESTINATION include/touchpanel/${dir}
            FILES_MATCHING PATTERN "*.h" PATTERN "tests" EXCLUDE)
  endif()
endforeach()

# The libraries a host program links, exported for find_package.
set(tp_sdk_libraries)
foreach(lib mx tplogger tphost)
  if(TARGET ${lib})
    list(APPEND tp_sdk_libraries ${lib})
  endif()
endforeach()
set_target_properties(tp_headers PROPERTIES EXPORT_NAME headers)
if(TARGET tphost)
  set_target_properties(tphost PROPERTIES EXPORT_NAME touchhost)
endif()
foreach(lib ${tp_sdk_libraries})
  set_target_properties(${lib} PROPERTIES INSTALL_RPATH "$ORIGIN")
endforeach()
install(TARGETS tp_headers ${tp_sdk_libraries} EXPORT TouchPanelTargets
        LIBRARY DESTINATION lib ARCHIVE DESTINATION lib RUNTIME DESTINATION bin)
install(EXPORT TouchPanelTargets NAMESPACE TouchPanel:: DESTINATION ${TP_INSTALL_CMAKEDIR})

# Everything else that is built: plug-ins, further libraries, programs. Tests, benchmarks
# and test fixtures stay out.
get_property(tp_plugins GLOBAL PROPERTY TP_PLUGINS)
function(tp_collect_targets dir out)
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(sub ${subdirs})
    string(FIND "${sub}" "${CMAKE_SOURCE_DIR}/" at)
    if(at EQUAL 0)
      tp_collect_targets(${sub} more)
      list(APPEND targets ${more})
    endif()
  endforeach()
  set(${out} ${targets} PARENT_SCOPE)
endfunction()
tp_collect_targets(${CMAKE_SOURCE_DIR} tp_all_targets)

foreach(t ${tp_all_targets})
  if(t IN_LIST tp_sdk_libraries OR t MATCHES "(_test|_bench)$" OR t MATCHES "^host_Fixture")
    continue()
  endif()
  get_target_property(type ${t} TYPE)
  get_target_property(links ${t} LINK_LIBRARIES)
  get_target_property(excluded ${t} EXCLUDE_FROM_ALL)
  if(excluded OR "${links}" MATCHES "GTest::")
    continue()
  endif()
  if(t IN_LIST tp_plugins)
    install(TARGETS ${t} LIBRARY DESTINATION ${TP_INSTALL_PLUGINDIR})
  elseif(type STREQUAL "SHARED_LIBRARY" OR type STREQUAL "MODULE_LIBRARY")
    set_target_properties(${t} PROPERTIES INSTALL_RPATH "$ORIGIN")
    install(TARGETS ${t} LIBRARY DESTINATION lib)
  elseif(type STREQUAL "EXECUTABLE")
    set_target_properties(${t} PROPERTIES INSTALL_RPATH "$ORIGIN/../lib")
    install(TARGETS ${t} RUNTIME DESTINATION bin)
  endif()
endforeach()

configure_package_config_file(${CMAKE_SOURCE_DIR}/cmake/TouchPanelConfig.cmake.in
  ${CMAKE_BINARY_DIR}/TouchPanelConfig.cmake
  INSTALL_DESTINATION ${TP_INSTALL_CMAKEDIR}
  PATH_VARS TP_INSTALL_PLUGINDIR)
write_basic_package_version_file(${CMAKE_BINARY_DIR}/TouchPanelConfigVersion.cmake
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/TouchPanelConfig.cmake
              ${CMAKE_BINARY_DIR}/TouchPanelConfigVersion.cmake
        DESTINATION ${TP_INSTALL_CMAKEDIR})

configure_file(${CMAKE_SOURCE_DIR}/cmake/touchpanel.pc.in ${CMAKE_BINARY_DIR}/touchpanel.pc @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/touchpanel.pc DESTINATION lib/pkgconfig)

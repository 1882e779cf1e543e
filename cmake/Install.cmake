# `make install`: the plug-in with the libraries it needs, the command-line
# host and the factory content, laid out so that the tool finds the others
# from where it lies (tools/voltara/base/Installation.h):
#   PREFIX/bin/voltara
#   PREFIX/lib/voltara/voltara_fx.so and libvoltara_platform.so beside it
#   PREFIX/share/voltara/content/ (Presets/Default.fxb, Players/Voltara.sty)
#   PREFIX/lib/lv2/voltara.lv2/, the LV2 bundle
install(TARGETS voltara RUNTIME DESTINATION bin)
install(TARGETS voltara_fx voltara_platform voltara_presenter LIBRARY DESTINATION lib/voltara)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/content/ DESTINATION share/voltara/content)
if(TARGET voltara_lv2_bundle)
    install(DIRECTORY ${VOLTARA_LV2_BUNDLE} DESTINATION lib/lv2 USE_SOURCE_PERMISSIONS)
endif()

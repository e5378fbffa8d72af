# One static library per folder, linked only to the folders below it, so that the link order is the
# layering: a folder that calls into a higher one fails to link. scripts/check-layers.sh checks the
# includes the same way.
#
# lumicast_layer(NAME FOLDER folder [DEPENDS lower targets...] [QT [PCH_FROM target]])
#   builds every folder/*.cpp into the static library NAME. QT turns on moc for widget folders and
#   precompiles the Qt headers, or uses those of PCH_FROM, a widget library built with the same
#   flags.
function(lumicast_layer name)
  cmake_parse_arguments(ARG "QT" "FOLDER;PCH_FROM" "DEPENDS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${ARG_FOLDER}/*.cpp)
  file(GLOB headers CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${ARG_FOLDER}/*.h)
  list(FILTER sources EXCLUDE REGEX "/main\\.cpp$")
  add_library(${name} STATIC ${sources} ${headers})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR}/generated)
  target_link_libraries(${name} PUBLIC ${ARG_DEPENDS})
  if(ARG_QT)
    set_target_properties(${name} PROPERTIES AUTOMOC ON)
    if(ARG_PCH_FROM)
      target_precompile_headers(${name} REUSE_FROM ${ARG_PCH_FROM})
    else()
      lumicast_qt_precompiled_headers(${name})
    endif()
  endif()
endfunction()

# The Qt headers nearly every widget file includes, precompiled once per target (the widget
# libraries and the widget test kit).
function(lumicast_qt_precompiled_headers name)
  target_precompile_headers(${name} PRIVATE
    <QAbstractButton> <QComboBox> <QDialog> <QLabel> <QObject> <QString> <QStringList> <QTimer>
    <QWidget> <memory> <string> <vector>)
endfunction()

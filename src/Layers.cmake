# Each folder under src/ is a library of its own, linked only downward:
#
#   platform <- markup <- editor <- html, wizards, browser <- app
#
# A layer's code may include the headers of the layers it links and no others; the build fails
# when a layer reaches up. Each class's meta-object code is compiled with its class (its .cpp
# includes moc_<header>.cpp), so a program that uses one class links only that class.
#
# quillora_layers(<top>) declares the libraries from platform up to <top>: the fuzz build takes
# the lower ones only.
set(QUILLORA_SRC ${CMAKE_CURRENT_LIST_DIR})

function(quillora_layer name)
  cmake_parse_arguments(LAYER "" "" "LINKS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${QUILLORA_SRC}/${name}/*.cpp ${QUILLORA_SRC}/${name}/*.h)
  add_library(quillora_${name} STATIC ${sources})
  target_include_directories(quillora_${name} PUBLIC ${QUILLORA_SRC})
  target_link_libraries(quillora_${name} PUBLIC ${LAYER_LINKS})
endfunction()

macro(quillora_layers top)
  quillora_layer(platform LINKS Qt6::Core Qt6::Gui Qt6::Widgets Qt6::Network Qt6::PrintSupport)
  target_compile_definitions(quillora_platform PUBLIC
    QUILLORA_VERSION_MAJOR=${PROJECT_VERSION_MAJOR}
    QUILLORA_VERSION_MINOR=${PROJECT_VERSION_MINOR}
    QUILLORA_VERSION_REVISION=${PROJECT_VERSION_PATCH})
  # The plain procedures: Qt Core and the file helpers beneath them.
  quillora_layer(markup LINKS quillora_platform Qt6::Core)
  quillora_layer(editor LINKS quillora_markup Qt6::Concurrent PkgConfig::TIDY PkgConfig::HUNSPELL)
  if(NOT "${top}" STREQUAL "editor")
    quillora_layer(html LINKS quillora_editor)
    quillora_layer(wizards LINKS quillora_editor)
    quillora_layer(browser LINKS quillora_editor Qt6::WebEngineWidgets)
    quillora_layer(app LINKS quillora_html quillora_wizards quillora_browser)
  endif()
endmacro()

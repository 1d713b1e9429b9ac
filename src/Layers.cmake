# Each folder under src/ is a library of its own, linked only downward:
#
#   platform <- markup <- editor <- html, wizards, browser <- app
#                               editor <- check
#
# The browser layer is also built as a module the program loads when the first page is to be shown
# (quillora-browser.so): the program itself maps no browser engine until then. The module takes the
# lower layers' code from the program, which exports it. "check" is Check HTML's own process, the
# one part that links libtidy.
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

# The browser layer: its code compiled once (position-independent), then taken into a static
# library that tests and benchmarks link (with the module's entry as a static plugin they import)
# and into the module the program loads.
function(quillora_browser_layer)
  set(entry ${QUILLORA_SRC}/browser/BrowserPlugin.cpp ${QUILLORA_SRC}/browser/BrowserPlugin.h)
  file(GLOB sources CONFIGURE_DEPENDS ${QUILLORA_SRC}/browser/*.cpp ${QUILLORA_SRC}/browser/*.h)
  list(REMOVE_ITEM sources ${entry})
  add_library(quillora_browser_code OBJECT ${sources})
  set_target_properties(quillora_browser_code PROPERTIES POSITION_INDEPENDENT_CODE ON)
  # The lower layers' headers and definitions without their code, which the module must not carry
  # a second copy of (the program's tables, settings and dialog service are one).
  target_include_directories(quillora_browser_code PUBLIC ${QUILLORA_SRC})
  target_compile_definitions(quillora_browser_code PUBLIC
                             $<TARGET_PROPERTY:quillora_platform,INTERFACE_COMPILE_DEFINITIONS>)
  target_link_libraries(quillora_browser_code PUBLIC Qt6::Widgets Qt6::Network Qt6::PrintSupport Qt6::Concurrent
                        Qt6::WebEngineWidgets)

  add_library(quillora_browser STATIC ${entry})
  target_compile_definitions(quillora_browser PRIVATE QT_STATICPLUGIN)
  target_link_libraries(quillora_browser PUBLIC quillora_browser_code quillora_editor)
  target_sources(quillora_browser INTERFACE ${QUILLORA_SRC}/browser/static/ImportBrowserModule.cpp)

  # Its undefined symbols are the lower layers', resolved against the program when it is loaded.
  add_library(quillora-browser MODULE ${entry})
  target_link_libraries(quillora-browser PRIVATE quillora_browser_code)
  set_target_properties(quillora-browser PROPERTIES PREFIX "" LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
endfunction()

# `target` takes the lower layers whole and exports their symbols, as the browser module expects of
# the program that loads it.
function(quillora_hosts_browser_module target)
  set_target_properties(${target} PROPERTIES ENABLE_EXPORTS ON)
  target_link_options(${target} PRIVATE LINKER:--whole-archive $<TARGET_FILE:quillora_editor>
                      $<TARGET_FILE:quillora_markup> $<TARGET_FILE:quillora_platform> LINKER:--no-whole-archive)
endfunction()

macro(quillora_layers top)
  quillora_layer(platform LINKS Qt6::Core Qt6::Gui Qt6::Widgets Qt6::PrintSupport)
  target_compile_definitions(quillora_platform PUBLIC
    QUILLORA_VERSION_MAJOR=${PROJECT_VERSION_MAJOR}
    QUILLORA_VERSION_MINOR=${PROJECT_VERSION_MINOR}
    QUILLORA_VERSION_REVISION=${PROJECT_VERSION_PATCH})
  # The plain procedures: Qt Core and the file helpers beneath them.
  quillora_layer(markup LINKS quillora_platform Qt6::Core)
  quillora_layer(editor LINKS quillora_markup Qt6::Concurrent PkgConfig::HUNSPELL)
  quillora_layer(check LINKS quillora_editor PkgConfig::TIDY)
  if(NOT "${top}" STREQUAL "editor")
    quillora_layer(html LINKS quillora_editor)
    quillora_layer(wizards LINKS quillora_editor)
    quillora_browser_layer()
    quillora_layer(app LINKS quillora_html quillora_wizards)
  endif()
endmacro()

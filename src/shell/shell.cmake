# The Qt window: every Qt source of this folder joins the window library; main.cpp makes the program.
file(GLOB TORVANE_SHELL_QT_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
list(FILTER TORVANE_SHELL_QT_SOURCES EXCLUDE REGEX "/main\\.cpp$")

add_library(torvane_shell STATIC ${TORVANE_SHELL_QT_SOURCES})
target_include_directories(torvane_shell PUBLIC ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(torvane_shell PUBLIC
  torvane_settings torvane_text torvane_editor torvane_display torvane_link torvane_link_qt torvane_image
  Qt6::Widgets Qt6::PrintSupport Qt6::SerialPort Qt6::Charts)
if(TARGET Qt6::DataVisualization)
  target_link_libraries(torvane_shell PUBLIC Qt6::DataVisualization)
  target_compile_definitions(torvane_shell PUBLIC TORVANE_HAS_SURFACE=1)
endif()
foreach(optional_lib torvane_sim torvane_files)
  if(TARGET ${optional_lib})
    target_link_libraries(torvane_shell PUBLIC ${optional_lib})
  endif()
endforeach()

add_executable(torvane main.cpp)
target_link_libraries(torvane PRIVATE torvane_shell)

# Tool bar icons, drawn by tools/make_icons.sh.
qt_add_resources(torvane_shell "icons" PREFIX "/icons" BASE ${PROJECT_SOURCE_DIR}/assets/icons
  FILES ${PROJECT_SOURCE_DIR}/assets/icons/open.png ${PROJECT_SOURCE_DIR}/assets/icons/new.png
        ${PROJECT_SOURCE_DIR}/assets/icons/save.png ${PROJECT_SOURCE_DIR}/assets/icons/print.png
        ${PROJECT_SOURCE_DIR}/assets/icons/undo.png ${PROJECT_SOURCE_DIR}/assets/icons/redo.png)
# The About picture and the logo, drawn by tools/make_pictures.sh; JPEG, read by Qt's JPEG plugin.
qt_add_resources(torvane_shell "pictures" PREFIX "/pictures" BASE ${PROJECT_SOURCE_DIR}/assets/pictures
  FILES ${PROJECT_SOURCE_DIR}/assets/pictures/about.jpg ${PROJECT_SOURCE_DIR}/assets/pictures/logo.jpg)

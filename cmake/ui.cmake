# The Qt side: windows and charts on top of the core, and the executable.
set(CMAKE_AUTOMOC ON)
find_package(Qt6 REQUIRED COMPONENTS Widgets PrintSupport)
find_package(QCustomPlotQt6 REQUIRED)

add_library(ui STATIC
  ui/clicklabel.cpp
  ui/formlayout.cpp
  ui/form1.cpp
  ui/form1session.cpp
  ui/drawfilereading.cpp
  ui/wrapbutton.cpp
  ui/forroulette.cpp
  ui/french.cpp
  ui/batchprogress.cpp
  ui/slicedwrite.cpp
  ui/chartview.cpp
  ui/helpwindow.cpp
  ui/tooltips.cpp
  ui/verdict.cpp
  ui/texttable.cpp
  ui/wheelchart.cpp
  ui/studywindow.cpp
)
qt_add_resources(ui icons PREFIX /icons BASE ui FILES ui/etude-roulette.xpm)
qt_add_resources(ui help PREFIX /help BASE ui/help FILES ui/help/aide.html)
target_link_libraries(ui PUBLIC core Qt6::Widgets Qt6::PrintSupport QCustomPlotQt6::QCustomPlotQt6)

add_executable(etude-roulette app/main.cpp)
target_link_libraries(etude-roulette PRIVATE ui)

include(cmake/install.cmake)

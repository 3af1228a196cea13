# The Qt side: windows and charts on top of the core, and the executable.
set(CMAKE_AUTOMOC ON)
find_package(Qt6 REQUIRED COMPONENTS Widgets PrintSupport)
find_package(QCustomPlotQt6 REQUIRED)

add_library(ui STATIC
  # The board window and its helpers.
  ui/board/clicklabel.cpp
  ui/board/fitfont.cpp
  ui/board/formlayout.cpp
  ui/board/boardmodel.cpp
  ui/board/form1.cpp
  ui/board/form1session.cpp
  ui/board/sessionfiles.cpp
  ui/board/form1menus.cpp
  ui/board/form1keyboard.cpp
  ui/board/form1view.cpp
  ui/board/focusmark.cpp
  ui/board/zoom.cpp
  ui/board/wrapbutton.cpp
  ui/board/forroulette.cpp
  ui/board/tooltips.cpp
  # The two charts of the board.
  ui/charts/chartview.cpp
  # « Étude du cylindre ».
  ui/study/texttable.cpp
  ui/study/wheelchart.cpp
  ui/study/studytexts.cpp
  ui/study/reportheadline.cpp
  ui/study/reportpins.cpp
  ui/study/reportcounts.cpp
  ui/study/reportsequences.cpp
  ui/study/studywindow.cpp
  ui/study/studyfollow.cpp
  ui/study/studyaccessible.cpp
  ui/study/studyexport.cpp
  ui/study/studycommands.cpp
  # « Carnet des roues »: the board's wheel and the notebook window.
  ui/notebook/notebookpath.cpp
  ui/notebook/notebookchanges.cpp
  ui/notebook/changereport.cpp
  ui/notebook/boardnotebook.cpp
  ui/notebook/notebookwindow.cpp
  # What several windows share: long tasks, French, help, the dialogs' folder.
  ui/common/backgroundwork.cpp
  ui/common/drawfilereading.cpp
  ui/common/french.cpp
  ui/common/batchprogress.cpp
  ui/common/slicedwrite.cpp
  ui/common/helpwindow.cpp
  ui/common/verdict.cpp
  ui/common/lastfolder.cpp
  ui/common/ownwindow.cpp
  # « Importer une permanence… ».
  ui/import/permanencedialog.cpp
  ui/import/notebookimport.cpp
)
qt_add_resources(ui icons PREFIX /icons BASE ui/common FILES ui/common/etude-roulette.xpm)
qt_add_resources(ui help PREFIX /help BASE ui/common/help FILES ui/common/help/aide.html)
target_link_libraries(ui PUBLIC core store Qt6::Widgets Qt6::PrintSupport QCustomPlotQt6::QCustomPlotQt6)

add_executable(etude-roulette app/main.cpp)
target_link_libraries(etude-roulette PRIVATE ui)

include(cmake/install.cmake)

# Resources of Orrivan.exe: one neutral script that includes the per-language dialogs.
set(panel_resources ${CMAKE_CURRENT_LIST_DIR}/panel.rc)
# The artwork is read by windres but not seen by CMake's include scanner.
set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/panel.rc PROPERTIES OBJECT_DEPENDS
    "${CMAKE_CURRENT_LIST_DIR}/resource.h;${CMAKE_CURRENT_LIST_DIR}/lang/en-US.rc;${CMAKE_CURRENT_LIST_DIR}/lang/ko-KR.rc;${CMAKE_CURRENT_LIST_DIR}/orrivan.ico;${CMAKE_CURRENT_LIST_DIR}/logo.bmp;${CMAKE_CURRENT_LIST_DIR}/banner.bmp")

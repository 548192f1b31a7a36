cmake_minimum_required(VERSION 3.22)
# Dependencies point one way: IPlugin/ <- IGfx/ <- utils/ <- product/. Fails, naming file and line,
# when a file includes from a folder above its own. Run as a test: cmake -DROOT=<source dir> -P <this>.

# Folder checked, and the folders it must never include from.
set(rules
  "IPlugin|IGfx utils product"
  "utils|product")

# The framework's two seams to the graphics layer: the plug-in base derives from the graphics
# delegate, and the VST3 editor view sizes and rescales the graphics context it hosts.
set(allowed
  "IPlugin/IPluginDelegate.h:IGfx/IGfxEditorDelegate.h"
  "IPlugin/VST3/IPluginVST3View.cpp:IGfx/IGfx.h")

set(failures "")
foreach(rule IN LISTS rules)
  string(REPLACE "|" ";" parts "${rule}")
  list(GET parts 0 folder)
  list(GET parts 1 above)
  string(REPLACE " " ";" above "${above}")
  file(GLOB_RECURSE files RELATIVE ${ROOT} ${ROOT}/${folder}/*.h ${ROOT}/${folder}/*.cpp)
  foreach(f IN LISTS files)
    file(STRINGS ${ROOT}/${f} lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
    foreach(line IN LISTS lines)
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]+)\".*" "\\1" target "${line}")
      foreach(a IN LISTS above)
        if(target MATCHES "^${a}/")
          if("${f}:${target}" IN_LIST allowed)
            continue()
          endif()
          list(APPEND failures "${f} includes ${target}")
        endif()
      endforeach()
    endforeach()
  endforeach()
endforeach()

if(failures)
  list(JOIN failures "\n  " text)
  message(FATAL_ERROR "includes against the dependency direction:\n  ${text}")
endif()
message(STATUS "include direction: every folder includes only from below")

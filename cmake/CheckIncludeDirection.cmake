cmake_minimum_required(VERSION 3.22)
# Dependencies point one way, up this list of layers; a file includes from its own layer and the ones
# below, never from one above. Fails, naming file and line, at each include against the direction. Run
# as a test: cmake -DROOT=<source dir> -P <this>.

# Bottom first; the folders (or single files) of one layer share a line. A path belongs to the longest
# entry it lies in. The framework core knows nothing of graphics: the binding brings the two together.
# The plug-in class's files at the top of product/ and its editor operations in product/editor/ define
# one class, so they form one layer.
set(layers
  "IPlugin/VST3/sdk"
  "IPlugin"
  "IGfx"
  "IPlugin/VST3"
  "utils"
  "product/dsp"
  "product/params"
  "product/VemlorConfig.h"
  "product/patch"
  "product/state"
  "product/audio"
  "product/ui"
  "product product/editor"
  "product/bundle")

# Includes against the direction that stay for now, as "file:included file".
set(allowed "")

set(entries "")
set(index 0)
foreach(layer IN LISTS layers)
  string(REPLACE " " ";" folders "${layer}")
  foreach(entry IN LISTS folders)
    list(APPEND entries ${entry})
    set(rank_${entry} ${index})
  endforeach()
  math(EXPR index "${index} + 1")
endforeach()

# The rank of the layer a path lies in, or -1 for a path outside every layer (the standard library, an
# SDK, a dependency).
function(layer_of path out)
  if(DEFINED cached_${path})
    set(${out} ${cached_${path}} PARENT_SCOPE)
    return()
  endif()
  set(best "")
  foreach(entry IN LISTS entries)
    string(LENGTH "${entry}" length)
    string(LENGTH "${best}" best_length)
    if(length GREATER best_length AND (path STREQUAL entry OR path MATCHES "^${entry}/"))
      set(best ${entry})
    endif()
  endforeach()
  set(rank -1)
  if(best)
    set(rank ${rank_${best}})
  endif()
  set(cached_${path} ${rank} PARENT_SCOPE)
  set(${out} ${rank} PARENT_SCOPE)
endfunction()

set(globs "")
foreach(entry IN LISTS entries)
  if(IS_DIRECTORY ${ROOT}/${entry})
    list(APPEND globs ${ROOT}/${entry}/*.h ${ROOT}/${entry}/*.cpp ${ROOT}/${entry}/*.cxx)
  endif()
endforeach()
file(GLOB_RECURSE files RELATIVE ${ROOT} ${globs})
list(REMOVE_DUPLICATES files)
list(SORT files)

set(failures "")
foreach(f IN LISTS files)
  layer_of(${f} own)
  file(STRINGS ${ROOT}/${f} lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
  foreach(line IN LISTS lines)
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]+)\".*" "\\1" target "${line}")
    layer_of(${target} theirs)
    if(theirs LESS_EQUAL own OR "${f}:${target}" IN_LIST allowed)
      continue()
    endif()
    # The line number: the newlines before the include's first occurrence.
    file(READ ${ROOT}/${f} content)
    string(FIND "${content}" "${line}" at)
    string(SUBSTRING "${content}" 0 ${at} before)
    string(REGEX MATCHALL "\n" newlines "${before}")
    list(LENGTH newlines number)
    math(EXPR number "${number} + 1")
    list(GET layers ${own} own_layer)
    list(GET layers ${theirs} their_layer)
    list(APPEND failures "${f}:${number}: includes ${target} (${their_layer} lies above ${own_layer})")
  endforeach()
endforeach()

if(failures)
  list(JOIN failures "\n  " text)
  message(FATAL_ERROR "includes against the dependency direction:\n  ${text}")
endif()
message(STATUS "include direction: every file includes only from its own layer and the ones below")

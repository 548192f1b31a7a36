# vemlor_add_vst3_bundle(target SOURCES ... LINK ... [BUNDLE name] [OUTPUT_DIR dir] [NO_RESOURCES])
#
# Builds <OUTPUT_DIR>/<BUNDLE>.vst3/Contents/x86_64-linux/<BUNDLE>.so (default Vemlor in the build
# folder) that exports only the three VST3 entry points, and fills Contents/Resources/ with the fonts,
# their licences and the repository's resources/ folder. The bundle folder is the target property VEMLOR_BUNDLE_DIR.

set(VEMLOR_VST3_EXPORTS ${CMAKE_BINARY_DIR}/vst3-exports.map)
file(WRITE ${VEMLOR_VST3_EXPORTS}.in "{\n  global:\n    GetPluginFactory;\n    ModuleEntry;\n    ModuleExit;\n  local:\n    *;\n};\n")
configure_file(${VEMLOR_VST3_EXPORTS}.in ${VEMLOR_VST3_EXPORTS} COPYONLY)

# The fonts every bundle carries, found once: Debian's Roboto and the two npm fonts (scripts/setup),
# each with its licence text beside it: Roboto is Apache-2.0 (its Debian copyright file), RobotoMono
# OFL-1.1 (its npm package's font licence), the icon font its npm package's licence.
function(vemlor_find_bundle_fonts out)
  set(roboto /usr/share/fonts/truetype/roboto/unhinted/RobotoTTF/Roboto-Regular.ttf)
  set(roboto_licence /usr/share/common-licenses/Apache-2.0)
  file(GLOB_RECURSE mono ${VEMLOR_NPM_DIR}/@expo-google-fonts/roboto-mono/RobotoMono_400Regular.ttf)
  set(mono_licence ${VEMLOR_NPM_DIR}/@expo-google-fonts/roboto-mono/LICENSE_FONT)
  set(icons ${VEMLOR_NPM_DIR}/@mdi/font/fonts/materialdesignicons-webfont.ttf)
  set(icons_licence ${VEMLOR_NPM_DIR}/@mdi/font/LICENSE)
  if(NOT EXISTS ${roboto} OR NOT mono OR NOT EXISTS ${icons}
     OR NOT EXISTS ${roboto_licence} OR NOT EXISTS ${mono_licence} OR NOT EXISTS ${icons_licence})
    message(FATAL_ERROR "Bundle fonts or their licences missing (Roboto-Regular.ttf from fonts-roboto-unhinted "
      "with ${roboto_licence}, RobotoMono_400Regular.ttf and materialdesignicons-webfont.ttf with their "
      "packages' licence files under ${VEMLOR_NPM_DIR}): run scripts/setup")
  endif()
  list(GET mono 0 mono)
  # Pairs of source file and name inside Resources/.
  set(${out}
    ${roboto} Roboto-Regular.ttf ${roboto_licence} Roboto-Regular-LICENSE.txt
    ${mono} RobotoMono-Regular.ttf ${mono_licence} RobotoMono-Regular-LICENSE.txt
    ${icons} materialdesignicons-webfont.ttf ${icons_licence} materialdesignicons-webfont-LICENSE.txt
    PARENT_SCOPE)
endfunction()

function(vemlor_add_vst3_bundle target)
  cmake_parse_arguments(ARG "NO_RESOURCES" "BUNDLE;OUTPUT_DIR" "SOURCES;LINK" ${ARGN})
  if(NOT ARG_BUNDLE)
    set(ARG_BUNDLE Vemlor)
  endif()
  if(NOT ARG_OUTPUT_DIR)
    set(ARG_OUTPUT_DIR ${CMAKE_BINARY_DIR})
  endif()
  set(bundle_dir ${ARG_OUTPUT_DIR}/${ARG_BUNDLE}.vst3)

  add_library(${target} MODULE ${ARG_SOURCES})
  vemlor_target_defaults(${target})
  target_link_libraries(${target} PRIVATE ${ARG_LINK} vst3_sdk)
  set_target_properties(${target} PROPERTIES
    PREFIX "" OUTPUT_NAME ${ARG_BUNDLE} SUFFIX .so
    LIBRARY_OUTPUT_DIRECTORY ${bundle_dir}/Contents/x86_64-linux
    CXX_VISIBILITY_PRESET hidden C_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON
    LINK_DEPENDS ${VEMLOR_VST3_EXPORTS}
    VEMLOR_BUNDLE_DIR ${bundle_dir})
  # The entry points live in the SDK glue library: pull them in, and export nothing else.
  target_link_options(${target} PRIVATE
    LINKER:--version-script=${VEMLOR_VST3_EXPORTS}
    LINKER:--no-undefined
    LINKER:--undefined=ModuleEntry
    LINKER:--undefined=ModuleExit)

  if(ARG_NO_RESOURCES)
    return()
  endif()
  vemlor_find_bundle_fonts(fonts)
  file(GLOB repo_resources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/resources/*)
  foreach(file IN LISTS repo_resources)
    if(NOT IS_DIRECTORY ${file})
      get_filename_component(name ${file} NAME)
      list(APPEND fonts ${file} ${name})
    endif()
  endforeach()
  set(copies)
  while(fonts)
    list(POP_FRONT fonts source name)
    set(dest ${bundle_dir}/Contents/Resources/${name})
    add_custom_command(OUTPUT ${dest}
      COMMAND ${CMAKE_COMMAND} -E copy ${source} ${dest}
      DEPENDS ${source} VERBATIM)
    list(APPEND copies ${dest})
  endwhile()
  add_custom_target(${target}_resources DEPENDS ${copies})
  add_dependencies(${target} ${target}_resources)
endfunction()

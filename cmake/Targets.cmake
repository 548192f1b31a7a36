# Shared settings for the project's own targets.

function(vemlor_target_defaults target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
  if(VEMLOR_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
  if(VEMLOR_SANITIZE)
    target_compile_options(${target} PRIVATE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    target_link_options(${target} PRIVATE -fsanitize=address,undefined)
  endif()
  if(VEMLOR_FUZZ)
    # Coverage for the libraries the fuzz targets link, not only for the harness itself.
    target_compile_options(${target} PRIVATE -fsanitize=fuzzer-no-link,address,undefined)
  endif()
endfunction()

# A static library from every .cpp in a folder; a folder without one fails the configuration.
function(vemlor_folder_library name dir)
  cmake_parse_arguments(ARG "" "" "LINK;EXCLUDE" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${dir}/*.cpp)
  foreach(ex IN LISTS ARG_EXCLUDE)
    list(REMOVE_ITEM sources ${dir}/${ex})
  endforeach()
  if(NOT sources)
    message(FATAL_ERROR "${name}: no sources in ${dir}")
  endif()
  add_library(${name} STATIC ${sources})
  vemlor_target_defaults(${name})
  target_link_libraries(${name} PUBLIC ${ARG_LINK})
endfunction()

# Adds every .cpp of the current folder to a library defined in a folder above it; a folder without
# one fails the configuration.
function(vemlor_folder_sources target)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(NOT sources)
    message(FATAL_ERROR "${target}: no sources in ${CMAKE_CURRENT_SOURCE_DIR}")
  endif()
  target_sources(${target} PRIVATE ${sources})
endfunction()

# One GoogleTest executable from every .cpp in a folder, registered with CTest under a label (unit
# unless given). The suites named after GL draw through the offscreen OpenGL context of
# tests/support/offscreen_gl.h: they carry the label "gl" instead, in the same program. FONTS gives
# the program the fonts' folders and the folder screenshots go to; OWN_PREFS keeps its preferences
# in a folder of its own.
function(vemlor_folder_tests name dir)
  cmake_parse_arguments(ARG "FONTS;OWN_PREFS" "LABEL" "LINK;GL" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${dir}/*.cpp)
  if(NOT sources OR VEMLOR_FUZZ)
    return()
  endif()
  add_executable(${name} ${sources})
  vemlor_target_defaults(${name})
  target_link_libraries(${name} PRIVATE ${ARG_LINK} vemlor_test_support GTest::gtest GTest::gmock GTest::gtest_main
                        Threads::Threads)
  if(ARG_GL)
    target_link_libraries(${name} PRIVATE vemlor_gl_test_support)
  endif()
  if(ARG_FONTS OR ARG_GL)
    target_compile_definitions(${name} PRIVATE
      VEMLOR_ROBOTO_DIR="/usr/share/fonts/truetype/roboto/unhinted/RobotoTTF"
      VEMLOR_NPM_DIR="${VEMLOR_NPM_DIR}"
      VEMLOR_TTC_FONT="/usr/share/fonts/truetype/wqy/wqy-microhei.ttc"
      VEMLOR_TEST_ARTIFACTS="${PROJECT_BINARY_DIR}/test-artifacts")
  endif()
  if(ARG_OWN_PREFS)
    target_sources(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests/support/prefs_folder_environment.cpp)
  endif()
  if(NOT ARG_LABEL)
    set(ARG_LABEL unit)
  endif()
  if(ARG_GL)
    set(gl_filter)
    foreach(suite IN LISTS ARG_GL)
      list(APPEND gl_filter "${suite}.*" "*/${suite}.*")
    endforeach()
    list(JOIN gl_filter ":" gl_filter)
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 NO_PRETTY_VALUES TEST_FILTER "-${gl_filter}"
                         PROPERTIES LABELS ${ARG_LABEL})
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 NO_PRETTY_VALUES TEST_FILTER "${gl_filter}"
                         PROPERTIES LABELS gl)
  else()
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 NO_PRETTY_VALUES PROPERTIES LABELS ${ARG_LABEL})
  endif()
  # The sanitizer configuration builds vemlor_tests, and none of its runs takes the long soak runs.
  if(TARGET vemlor_tests AND NOT ARG_LABEL STREQUAL "soak")
    add_dependencies(vemlor_tests ${name})
  endif()
endfunction()

# A libFuzzer target, built only in the clang fuzz configuration (-DVEMLOR_FUZZ=ON) and run by CTest
# for a bounded number of inputs under the label "fuzz".
function(vemlor_fuzz_target name)
  cmake_parse_arguments(ARG "" "RUNS" "SOURCES;LINK" ${ARGN})
  if(NOT VEMLOR_FUZZ)
    return()
  endif()
  if(NOT ARG_RUNS)
    set(ARG_RUNS 200000)
  endif()
  add_executable(${name} ${ARG_SOURCES})
  vemlor_target_defaults(${name})
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_libraries(${name} PRIVATE ${ARG_LINK})
  # A fixed seed, and the corpus checked in beside the target (fuzz/corpus/<name>) when there is one,
  # make every bounded run try the same inputs. The inputs a run finds go to a scratch folder of the
  # build, emptied first, so the checked-in corpus never changes and each run starts the same.
  set(limits -seed=1 -runs=${ARG_RUNS} -max_total_time=120 -rss_limit_mb=1024 -malloc_limit_mb=256)
  set(corpus ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/corpus/${name})
  if(EXISTS ${corpus})
    set(scratch ${CMAKE_CURRENT_BINARY_DIR}/${name}_found)
    add_test(NAME ${name} COMMAND sh -c "rm -rf \"$1\" && mkdir -p \"$1\" && shift && exec \"$@\"" sh ${scratch}
                                  $<TARGET_FILE:${name}> ${limits} ${scratch} ${corpus})
  else()
    add_test(NAME ${name} COMMAND ${name} ${limits})
  endif()
  set_tests_properties(${name} PROPERTIES LABELS fuzz)
  if(NOT TARGET fuzz_all)
    add_custom_target(fuzz_all)
  endif()
  add_dependencies(fuzz_all ${name})
endfunction()

# A program of the product's editor end to end: the built bundle in the test host's real X11 window,
# driven with xdotool, with the session helpers of tests/editor_e2e (added unless among the sources).
function(vemlor_editor_e2e_program name)
  set(e2e ${PROJECT_SOURCE_DIR}/tests/editor_e2e)
  set(sources ${ARGN} ${e2e}/editor_session.cpp ${e2e}/editor_geometry.cpp ${e2e}/screen_capture.cpp
    ${e2e}/xdo_driver.cpp)
  list(REMOVE_DUPLICATES sources)
  add_executable(${name} ${sources}
    ${PROJECT_SOURCE_DIR}/tests/plugin_it/support.cpp
    ${PROJECT_SOURCE_DIR}/tests/plugin_it/chunk_model.cpp
    ${PROJECT_SOURCE_DIR}/tests/IGfx/Platforms/x11_test_support.cpp)
  vemlor_target_defaults(${name})
  target_link_libraries(${name} PRIVATE vemlor_testhost vemlor_product plugkit_core plugkit_x11
    vemlor_test_support GTest::gtest GTest::gmock GTest::gtest_main Threads::Threads)
  get_target_property(vemlor_bundle Vemlor_vst3 VEMLOR_BUNDLE_DIR)
  target_compile_definitions(${name} PRIVATE VEMLOR_BUNDLE_PATH="${vemlor_bundle}"
    VEMLOR_SCREENSHOT_DIR="${PROJECT_BINARY_DIR}/artifacts/screenshots"
    VEMLOR_FAKE_BIN="${PROJECT_SOURCE_DIR}/tests/IGfx/Platforms/fakebin")
  add_dependencies(${name} Vemlor_vst3)
  add_dependencies(vemlor_tests ${name})
endfunction()

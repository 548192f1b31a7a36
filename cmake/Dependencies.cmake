# Third-party packages come from Debian (scripts/setup installs them); their headers are SYSTEM.
find_package(Threads REQUIRED)
find_package(fmt REQUIRED)
find_package(GTest REQUIRED)
# The X11 platform layer and the test host's parent windows.
find_package(X11 REQUIRED)
find_package(OpenGL REQUIRED COMPONENTS OpenGL GLX)
if(VEMLOR_BENCH)
  find_package(benchmark REQUIRED)
endif()

find_path(VST3_SDK_DIR pluginterfaces/base/funknown.h
  PATHS /usr/share/juce/modules/juce_audio_processors/format_types/VST3_SDK
  NO_DEFAULT_PATH REQUIRED)
message(STATUS "VST3 SDK: ${VST3_SDK_DIR}")

# Fonts installed from npm by scripts/setup; copied into the bundle by the build.
set(VEMLOR_NPM_DIR "${PROJECT_SOURCE_DIR}/.deps/npm/node_modules" CACHE PATH "npm packages for fonts")

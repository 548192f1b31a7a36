# ThreadSanitizer over everything this build compiles, the SDK and NanoVG included, so that a race
# through their code into ours is seen. A configuration of its own (build-tsan), for the concurrency
# tests: it cannot be combined with the other sanitizers, and libFuzzer brings its own.
if(NOT VEMLOR_TSAN)
  return()
endif()
if(VEMLOR_SANITIZE OR VEMLOR_FUZZ)
  message(FATAL_ERROR "VEMLOR_TSAN excludes VEMLOR_SANITIZE and VEMLOR_FUZZ")
endif()
add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
# The tool does not model standalone fences. The seqlock that uses them keeps its payload in relaxed
# atomics, so the tool sees no race there either way; the warning that fences are unsupported is off.
add_compile_options($<$<COMPILE_LANG_AND_ID:CXX,GNU>:-Wno-tsan>)
add_link_options(-fsanitize=thread)
# What the system's uninstrumented libraries do among their own threads (Mesa, fontconfig, X).
set(VEMLOR_TSAN_SUPPRESSIONS ${PROJECT_SOURCE_DIR}/tests/editor_concurrency/tsan.supp)

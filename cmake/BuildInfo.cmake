# What the about box says about the build: the target architecture, the source branch and revision
# (when built from a git checkout) and the date of configuration, as compile definitions.
function(vemlor_build_info out)
  set(branch "unknown")
  set(revision "unknown")
  find_package(Git QUIET)
  if(GIT_FOUND)
    execute_process(COMMAND ${GIT_EXECUTABLE} rev-parse --abbrev-ref HEAD WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
                    OUTPUT_VARIABLE git_branch OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET RESULT_VARIABLE branch_rc)
    execute_process(COMMAND ${GIT_EXECUTABLE} rev-parse --short HEAD WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
                    OUTPUT_VARIABLE git_revision OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET RESULT_VARIABLE rev_rc)
    if(branch_rc EQUAL 0 AND git_branch)
      set(branch "${git_branch}")
    endif()
    if(rev_rc EQUAL 0 AND git_revision)
      set(revision "${git_revision}")
    endif()
  endif()
  string(TIMESTAMP date "%Y-%m-%d" UTC)
  set(${out}
      "VEMLOR_BUILD_ARCH=\"${CMAKE_SYSTEM_PROCESSOR}\";VEMLOR_BUILD_BRANCH=\"${branch}\";VEMLOR_BUILD_REVISION=\"${revision}\";VEMLOR_BUILD_DATE=\"${date}\""
      PARENT_SCOPE)
endfunction()

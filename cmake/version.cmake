# Writes the program's version, as the build embeds it, to OUTPUT_HEADER (C/rc macros) and
# OUTPUT_TEXT (one line, for the packaging), each only when it changed, so that nothing rebuilds
# without need. Run at every build (cmake -P) with SOURCE_DIR, BASE_VERSION (the project
# version: MAJOR.MINOR.PATCH), OUTPUT_HEADER and OUTPUT_TEXT.
#
# A release is built from its tag vMAJOR.MINOR.PATCH with no local change and carries the bare
# project version. Any other build appends what `git describe` says of it
# ("1.0.0+3c0b9e7-dirty", "1.0.0+v1.0.0-4-g9a1b2c3"), so two different builds never share a
# version. A source tree without git carries the bare project version.

find_program(KV_GIT git)
set(describe "")
if(KV_GIT)
  execute_process(COMMAND ${KV_GIT} -C ${SOURCE_DIR} describe --tags --match "v[0-9]*"
                          --dirty --always --abbrev=7
                  OUTPUT_VARIABLE describe RESULT_VARIABLE failed ERROR_QUIET
                  OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(failed)
    set(describe "")
  endif()
endif()

if(describe STREQUAL "" OR describe STREQUAL "v${BASE_VERSION}")
  set(version "${BASE_VERSION}")
else()
  # Only characters every file name and package version can carry.
  string(REGEX REPLACE "[^0-9A-Za-z.-]" "." describe "${describe}")
  set(version "${BASE_VERSION}+${describe}")
endif()

string(REPLACE "." ";" parts "${BASE_VERSION}")
list(GET parts 0 major)
list(GET parts 1 minor)
list(GET parts 2 patch)

set(header "// Made by cmake/version.cmake at build time; not for editing.
#pragma once
#define KV720_VERSION \"${version}\"
#define KV720_VERSION_MAJOR ${major}
#define KV720_VERSION_MINOR ${minor}
#define KV720_VERSION_PATCH ${patch}
")

function(write_if_changed path text)
  if(EXISTS "${path}")
    file(READ "${path}" old)
    if(old STREQUAL text)
      return()
    endif()
  endif()
  file(WRITE "${path}" "${text}")
endfunction()

write_if_changed("${OUTPUT_HEADER}" "${header}")
write_if_changed("${OUTPUT_TEXT}" "${version}\n")

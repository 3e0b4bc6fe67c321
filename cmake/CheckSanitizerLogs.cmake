# cmake -DLOGS=DIR -P CheckSanitizerLogs.cmake: fails, printing them, when the
# sanitizers wrote any report into DIR during the test run.
file(GLOB reports "${LOGS}/*")
if(reports)
  foreach(report ${reports})
    file(READ ${report} text)
    message("${report}:\n${text}")
  endforeach()
  list(LENGTH reports count)
  message(FATAL_ERROR "${count} sanitizer report(s) in ${LOGS}")
endif()
message("no sanitizer reports in ${LOGS}")

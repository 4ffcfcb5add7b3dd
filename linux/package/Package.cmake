# The .deb's documents, made when CMake configures: the copyright file from LICENSE, the changelog,
# the manual pages (English and Chinese) and the AppStream data for software centres. The version
# comes from project(), the date from SOURCE_DATE_EPOCH (without it, the time of configuring).
string(TIMESTAMP VELMORA_RELEASE_DATE "%Y-%m-%d" UTC)
string(TIMESTAMP VELMORA_CHANGELOG_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)

set(VELMORA_SCREENSHOT_URL "" CACHE STRING
    "The address of drasken's screenshot for software centres; empty: screenshot-linux.png under VELMORA_WEB_ADDRESS")
set(screenshot "${VELMORA_SCREENSHOT_URL}")
if(screenshot STREQUAL "")
  if(NOT VELMORA_WEB_ADDRESS MATCHES "/$")
    message(FATAL_ERROR "VELMORA_WEB_ADDRESS does not end with /: set VELMORA_SCREENSHOT_URL to the screenshot's address")
  endif()
  set(screenshot "${VELMORA_WEB_ADDRESS}screenshot-linux.png")
endif()

# A build setting as XML text and as roff text: VELMORA_XML_<NAME> and VELMORA_ROFF_<NAME>.
function(velmora_document_text name text)
  string(REPLACE "&" "&amp;" xml "${text}")
  string(REPLACE "<" "&lt;" xml "${xml}")
  string(REPLACE ">" "&gt;" xml "${xml}")
  string(REPLACE "\\" "\\e" roff "${text}")
  string(REPLACE "-" "\\-" roff "${roff}")
  set(VELMORA_XML_${name} "${xml}" PARENT_SCOPE)
  set(VELMORA_ROFF_${name} "${roff}" PARENT_SCOPE)
endfunction()
velmora_document_text(WEB_ADDRESS "${VELMORA_WEB_ADDRESS}")
velmora_document_text(EMAIL "${VELMORA_EMAIL}")
velmora_document_text(SCREENSHOT_URL "${screenshot}")

# The copyright file: LICENSE's holder and terms, in Debian's machine-readable form.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/LICENSE")
file(READ "${PROJECT_SOURCE_DIR}/LICENSE" license)
if(NOT license MATCHES "\nCopyright \\(c\\) ([^\n]+)\n\n(Permission is hereby granted.*)")
  message(FATAL_ERROR "LICENSE: no \"Copyright (c) YEAR HOLDER\" line followed by the MIT terms")
endif()
set(VELMORA_COPYRIGHT "${CMAKE_MATCH_1}")
string(STRIP "${CMAKE_MATCH_2}" terms)
string(REPLACE "\n\n" "\n.\n" terms "${terms}")  # a paragraph break in a field is " ."
string(REPLACE "\n" "\n " VELMORA_LICENSE_TEXT " ${terms}")

set(documents "${CMAKE_CURRENT_BINARY_DIR}/package")
foreach(document copyright changelog drasken.1 drasken.zh_CN.1 example.velmora.drasken.metainfo.xml)
  configure_file("package/${document}.in" "${documents}/${document}" @ONLY)
endforeach()
foreach(document changelog drasken.1 drasken.zh_CN.1)  # gzip's most, without name or time
  execute_process(COMMAND gzip -9nc "${documents}/${document}" OUTPUT_FILE "${documents}/${document}.gz"
                  COMMAND_ERROR_IS_FATAL ANY)
endforeach()

install(FILES "${documents}/copyright" "${documents}/changelog.gz" DESTINATION "${CMAKE_INSTALL_DATADIR}/doc/velmora")
install(FILES "${documents}/drasken.1.gz" DESTINATION "${CMAKE_INSTALL_MANDIR}/man1")
install(FILES "${documents}/drasken.zh_CN.1.gz" DESTINATION "${CMAKE_INSTALL_MANDIR}/zh_CN/man1" RENAME drasken.1.gz)
install(FILES "${documents}/example.velmora.drasken.metainfo.xml" DESTINATION "${CMAKE_INSTALL_DATADIR}/metainfo")

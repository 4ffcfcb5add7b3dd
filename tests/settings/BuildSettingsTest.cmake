# Configures the project with build settings that must be refused (with a message that names the
# setting, before any compiler is looked for) and with ones that must be accepted (the program's
# texts, built over the generated header with warnings as errors, hold exactly the settings given).
#   cmake -DSOURCE=<project> -DWORK=<scratch folder> -DCXX=<host C++ compiler> -P BuildSettingsTest.cmake
# setting|value: each refused on its own, the other setting good.
set(refused
  "WEB|www.foo.com" "WEB|www.velmora.example/" "WEB|ftp://velmora.example/" "WEB|file:///C:/Windows/notepad.exe"
  "WEB|javascript:alert(1)" "WEB|http://" "WEB|https:///path" "WEB|http://-velmora.example/"
  "WEB|http://velmora..example/" "WEB|http://user@velmora.example/" "WEB|http://velmora.example:80x/"
  "WEB|http://velmora.example/a\"b" "WEB|http://velmora.example/a\\b" "WEB|http://velmora.example/a b"
  "WEB|http://velmora.example/a\tb" "WEB|http://velmora.example/\n" "WEB| http://velmora.example/"
  "WEB|http://velmora.example/a%2" "WEB|http://velmora.example/??=" "WEB|http://维尔.example/"
  "EMAIL|support" "EMAIL|@velmora.example" "EMAIL|support@" "EMAIL|a\"b@velmora.example"
  "EMAIL|a\\b@velmora.example" "EMAIL|a b@velmora.example" "EMAIL|a@b@velmora.example"
  "EMAIL|a..b@velmora.example" "EMAIL|.a@velmora.example" "EMAIL|support@velmora.example?cc=x@x.example"
  "EMAIL|a%40b@velmora.example" "EMAIL|support@velmora.example\n" "EMAIL|支持@velmora.example")
# web|e-mail, both accepted.
set(accepted
  "http://www.velmora.example/|support@velmora.example"
  "https://www.velmora.example|first.last+tag@mail.velmora.example"
  "http://192.0.2.1:8080/path/a%20b?q=1&r=(2)*,:@!$'~#top|o'neil!$*~_-@xn--vlmora-bva.example"
  "https://xn--vlmora-bva.example/~user/|a@b")

set(must_WEB "VELMORA_WEB_ADDRESS is \".*\": it must be http:// or https:// followed by a host name")
set(must_EMAIL "VELMORA_EMAIL is \".*\": it must be a plain address local@domain")

foreach(case IN LISTS refused)
  string(REGEX MATCH "^[^|]*" setting "${case}")
  string(REGEX REPLACE "^[^|]*\\|" "" value "${case}")
  set(WEB "http://www.velmora.example/")
  set(EMAIL "support@velmora.example")
  set(${setting} "${value}")
  file(REMOVE_RECURSE "${WORK}/refused")
  execute_process(COMMAND "${CMAKE_COMMAND}" -S "${SOURCE}" -B "${WORK}/refused" -G Ninja
                          "-DVELMORA_WEB_ADDRESS=${WEB}" "-DVELMORA_EMAIL=${EMAIL}"
                  RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE out)
  string(REGEX REPLACE "\n *" " " flat "${out}")  # CMake indents the lines of a message
  if(result EQUAL 0 OR NOT flat MATCHES "${must_${setting}}" OR flat MATCHES "compiler identification")
    message(SEND_ERROR "${setting} \"${value}\": expected a refusal before any compiler is looked for, "
                       "got ${result}:\n${out}")
  endif()
endforeach()

foreach(case IN LISTS accepted)
  string(REGEX MATCH "^[^|]*" web "${case}")
  string(REGEX REPLACE "^[^|]*\\|" "" email "${case}")
  execute_process(COMMAND "${CMAKE_COMMAND}" -S "${SOURCE}" -B "${WORK}/accepted" -G Ninja -DVELMORA_TESTS=OFF
                          "-DVELMORA_WEB_ADDRESS=${web}" "-DVELMORA_EMAIL=${email}"
                  RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(result EQUAL 0)
    execute_process(COMMAND "${CXX}" -std=c++20 -Wall -Wextra -Wpedantic -Werror -I "${SOURCE}"
                            -I "${WORK}/accepted/generated" "${CMAKE_CURRENT_LIST_DIR}/PrintLinkTargets.cpp"
                            -o "${WORK}/print-link-targets"
                    RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE out)
  endif()
  if(result EQUAL 0)
    execute_process(COMMAND "${WORK}/print-link-targets" RESULT_VARIABLE result OUTPUT_VARIABLE out)
  endif()
  if(NOT result EQUAL 0 OR NOT out STREQUAL "${web}\nmailto:${email}\n")
    message(SEND_ERROR "\"${web}\" and \"${email}\": expected to configure, and the program's texts to build "
                       "and hold them (${result}):\n${out}")
  endif()
endforeach()

# Writes the static site: the page's files, the program, the files a host reads for its headers,
# and the service worker that keeps the site for use without the network. The worker's cache is
# named by the version and the files' contents.
#   cmake -DSITE=<folder> -DFILES=<file;...> -DTEMPLATES=<file;...> -DTEXTS=<Texts.h>
#         -DVERSION=<x.y.z.w> -DWORKER=<sw.js.in> -P MakeSite.cmake
# FILES are copied as they are. TEMPLATES get @kName@ (a text of Texts.h, written for HTML in a
# .html file, as in the C++ source elsewhere: the C++ literal is a JavaScript one too) and the
# site's policies: @VELMORA_POLICY@ (for the page's meta tag) and @VELMORA_HEADER_POLICY@ (for the
# Content-Security-Policy header, which alone can forbid framing).
file(REMOVE_RECURSE "${SITE}")
file(MAKE_DIRECTORY "${SITE}")

set(VELMORA_POLICY "default-src 'self'; script-src 'self' 'wasm-unsafe-eval'; style-src 'self'; img-src 'self'; connect-src 'self'; manifest-src 'self'; worker-src 'self'; object-src 'none'; base-uri 'none'; form-action 'none'")
set(VELMORA_HEADER_POLICY "${VELMORA_POLICY}; frame-ancestors 'none'")

# The texts: every `inline constexpr std::wstring_view kName = L"...";` written on one line. A ';'
# would split CMake's lists: it travels as \x01 until the text is set.
file(READ "${TEXTS}" source)
string(ASCII 1 semicolon)
string(REPLACE ";" "${semicolon}" source "${source}")
string(REGEX MATCHALL "inline constexpr std::wstring_view k[A-Za-z0-9]+ = L\"[^\n]*\"" definitions "${source}")
set(text_names "")
foreach(definition IN LISTS definitions)
  string(REGEX REPLACE "^inline constexpr std::wstring_view (k[A-Za-z0-9]+) = L\"(.*)\"$" "\\1" name "${definition}")
  string(REGEX REPLACE "^inline constexpr std::wstring_view (k[A-Za-z0-9]+) = L\"(.*)\"$" "\\2" text "${definition}")
  string(REPLACE "${semicolon}" ";" text "${text}")
  set(text_${name} "${text}")
  list(APPEND text_names "${name}")
endforeach()

set(names "")
set(digests "")
foreach(file IN LISTS TEMPLATES)
  get_filename_component(name "${file}" NAME)
  foreach(text IN LISTS text_names)
    set(value "${text_${text}}")
    if(name MATCHES "\\.html$")
      string(REPLACE "&" "&amp;" value "${value}")
      string(REPLACE "<" "&lt;" value "${value}")
      string(REPLACE ">" "&gt;" value "${value}")
      string(REPLACE "\"" "&quot;" value "${value}")
    endif()
    set("${text}" "${value}")
  endforeach()
  configure_file("${file}" "${SITE}/${name}" @ONLY)
  file(SHA256 "${SITE}/${name}" digest)
  if(NOT name MATCHES "^[._]|\\.conf$")  # the hosting files are for the host, not the page
    list(APPEND names "${name}")
  endif()
  string(APPEND digests "${name} ${digest}\n")
endforeach()
foreach(file IN LISTS FILES)
  get_filename_component(name "${file}" NAME)
  configure_file("${file}" "${SITE}/${name}" COPYONLY)
  file(SHA256 "${file}" digest)
  list(APPEND names "${name}")
  string(APPEND digests "${name} ${digest}\n")
endforeach()
list(SORT names)
string(SHA256 contents "${digests}")
string(SUBSTRING "${contents}" 0 16 contents)
set(VELMORA_SITE_ID "${VERSION}-${contents}")
set(VELMORA_SITE_FILES "'./'")
foreach(name IN LISTS names)
  string(APPEND VELMORA_SITE_FILES ", '${name}'")
endforeach()
configure_file("${WORKER}" "${SITE}/sw.js" @ONLY)

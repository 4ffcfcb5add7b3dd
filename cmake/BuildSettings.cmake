# The maker's web address and the contact e-mail address: build settings that go into a wide
# string literal (app/BuildSettings.h.in), into the links the window hands to the desktop, and into
# the .deb's metadata. Configure accepts only what is safe in all of them and fails otherwise:
# - the web address: http:// or https://, a host name, optionally a port and a path; without
#   the scheme the desktop would open it as a file (www.foo.com, an executable on Windows);
# - the e-mail address: a plain local@domain that a mailto: link carries as it is.
# Both are ASCII, with no quote, backslash, space or control character (which would break the
# literal or the link), and no "??" (a trigraph, which the compilers warn about in a literal).
set(VELMORA_WEB_ADDRESS "http://www.velmora.example/" CACHE STRING "The maker's web address shown and opened by the web link")
set(VELMORA_EMAIL "support@velmora.example" CACHE STRING "The contact e-mail address shown and opened by the e-mail link")

function(velmora_check_build_settings)
  set(label "[A-Za-z0-9]([A-Za-z0-9-]*[A-Za-z0-9])?")
  set(host "${label}(\\.${label})*")
  set(url_char "([A-Za-z0-9._~!$&'()*+,;=:@/?#-]|%[0-9A-Fa-f][0-9A-Fa-f])")
  set(web "^https?://${host}(:[0-9]+)?([/?#]${url_char}*)?$")
  set(atom "[A-Za-z0-9!$'*+_~-]+")
  set(email "^${atom}(\\.${atom})*@${host}$")

  if(NOT "${VELMORA_WEB_ADDRESS}" MATCHES "${web}" OR "${VELMORA_WEB_ADDRESS}" MATCHES "\\?\\?")
    message(FATAL_ERROR "VELMORA_WEB_ADDRESS is \"${VELMORA_WEB_ADDRESS}\": it must be http:// or https:// "
      "followed by a host name (ASCII letters, digits, hyphens and dots; an international name in its xn-- form), "
      "then optionally :port and a path of URL characters (anything else %-encoded: no quote, backslash, space "
      "or control character) without \"??\". Without the scheme the link would open it as a file.")
  endif()
  if(NOT "${VELMORA_EMAIL}" MATCHES "${email}")
    message(FATAL_ERROR "VELMORA_EMAIL is \"${VELMORA_EMAIL}\": it must be a plain address local@domain: "
      "the local part of ASCII letters, digits and ! $ ' * + - _ ~, with single dots between them; the domain a "
      "host name (ASCII letters, digits, hyphens and dots). No quote, backslash, space or control character.")
  endif()
endfunction()
velmora_check_build_settings()

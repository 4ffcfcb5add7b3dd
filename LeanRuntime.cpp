// Drasken.exe's own versions of the C++ library's error helpers (bits/functexcept.h). The
// library's versions throw std::length_error, std::out_of_range and the like, whose message
// strings bring a second std::string implementation (the old reference-counted one) and its
// helpers into the exe: about 45 KB of the 32-bit exe. These throw the same kinds of failure
// with a fixed text; the event boundary catches them as std::exception, as before.
#include <exception>
#include <new>

#if defined(__GLIBCXX__)
#include <bits/functexcept.h>

namespace {
class LibraryError : public std::exception {
 public:
  explicit LibraryError(const char* what) noexcept : what_(what) {}
  const char* what() const noexcept override { return what_; }

 private:
  const char* what_;
};
}  // namespace

namespace std {
void __throw_bad_alloc() {
  throw bad_alloc();
}
void __throw_bad_array_new_length() {
  throw bad_array_new_length();
}
void __throw_length_error(const char* what) {
  throw LibraryError(what);
}
void __throw_logic_error(const char* what) {
  throw LibraryError(what);
}
void __throw_out_of_range(const char* what) {
  throw LibraryError(what);
}
void __throw_out_of_range_fmt(const char* format, ...) {
  throw LibraryError(format);
}
void __throw_invalid_argument(const char* what) {
  throw LibraryError(what);
}
}  // namespace std
#endif

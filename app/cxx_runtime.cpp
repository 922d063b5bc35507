// Setup.exe's own versions of a few C++ library hooks, linked into the
// program only (the tests keep the library's). Setup.exe has to fit on disk 1
// beside the install description, and the library's defaults bring in large
// parts that a window program without a console never uses.
#include <cstdlib>
#include <new>

namespace __gnu_cxx {

// The default handler prints the type of an uncaught exception on stderr and
// needs the 45 KB demangler for it; a window program has no stderr to print on.
void __verbose_terminate_handler()
{
    std::abort();
}

}  // namespace __gnu_cxx

namespace std {

// std::string and std::vector report their failures through these. The
// library's versions build std::logic_error objects, whose messages live in
// the library's second, reference-counted string class (some 30 KB with its
// exception classes). Setup.exe catches none of these errors, so each would
// end in the terminate handler above: ending there at once is the same
// outcome. A failed allocation stays an exception, which callers do catch.
void __throw_bad_alloc()
{
    throw bad_alloc();
}

void __throw_bad_array_new_length()
{
    throw bad_array_new_length();
}

void __throw_length_error(const char*)
{
    std::abort();
}

void __throw_logic_error(const char*)
{
    std::abort();
}

void __throw_out_of_range_fmt(const char*, ...)
{
    std::abort();
}

}  // namespace std

// The programs' own versions of a few C++ library hooks, linked into Setup.exe
// and Uninst.exe only (the tests keep the library's). Both have to fit on disk
// 1 beside the install description, and the library's defaults bring in large
// parts that a window program without a console never uses.
#include <cstdint>
#include <cstdlib>
#include <cstring>
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
// exception classes). The programs catch none of these errors, so each would
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

// The exception being handled is kept in a thread-local object, which this
// toolchain emulates with per-thread storage through the pthreads library:
// the emulation and what it draws in from that library weigh some 25 KB.
// The programs run their own code on one thread only, so a thread-local object
// needs one copy: made on first use, as the emulation makes it, and kept
// until the process ends.
namespace {

// The compiler's description of one emulated thread-local object.
struct EmulatedTlsObject {
    std::uintptr_t size;
    std::uintptr_t align;
    void* pStorage;  // the emulation keeps an index here; this one the copy itself
    const void* pInitial;
};

}  // namespace

extern "C" void* __emutls_get_address(EmulatedTlsObject* pObject)
{
    if (pObject->pStorage == nullptr) {
        // malloc's alignment suits every object the compiler emulates here.
        void* pStorage = std::calloc(1, pObject->size);
        if (pStorage == nullptr)
            std::abort();
        if (pObject->pInitial != nullptr)
            std::memcpy(pStorage, pObject->pInitial, pObject->size);
        pObject->pStorage = pStorage;
    }
    return pObject->pStorage;
}

// The same holds for the lock around the library's emergency pool for
// exceptions, which would draw in the pthreads library's mutexes (some 3 KB
// with what they need): with one thread there is nothing to lock against.
// The 32-bit unwinder needs that library for itself, mutexes included, so
// there they stay.
#ifdef _WIN64
extern "C" {

int pthread_mutex_init(void*, const void*) { return 0; }
int pthread_mutex_destroy(void*) { return 0; }
int pthread_mutex_lock(void*) { return 0; }
int pthread_mutex_unlock(void*) { return 0; }

}  // extern "C"
#endif

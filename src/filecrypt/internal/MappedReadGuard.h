#pragma once

#include <csetjmp>

namespace kiv {

// Lets code read a file's mapped pages without the process dying when the file shrinks under it
// (somebody truncates it) or its storage fails: the kernel then raises SIGBUS on the read, and
// the guard ends the code there instead. Reading through read() would have come up short or
// failed with an error at that point; a guarded read reports the same.
class MappedReadGuard {
  public:
    // Runs work on this thread; false when a read of mapped pages failed, work being left at
    // that read. So work must hold nothing that needs a destructor (plain coding loops). May be
    // nested, and used on several threads at once.
    template <class Work>
    static bool Run(Work&& work) {
        sigjmp_buf here;
        Scope scope(&here);
        // The mask is not saved: the handler runs with nothing newly blocked, so there is none to
        // restore, and sigsetjmp costs no system call.
        if (sigsetjmp(here, 0) != 0) return false;
        work();
        return true;
    }

  private:
    // Installs the handler (once per process, after any handler installed before it, which it
    // passes every other SIGBUS on to) and marks this thread's innermost guarded code.
    class Scope {
      public:
        explicit Scope(sigjmp_buf* jump);
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

      private:
        sigjmp_buf* outer_;
    };
};

}  // namespace kiv

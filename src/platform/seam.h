#pragma once
// How the system reaches the adapter installed behind a seam: one pointer per
// seam, set by a front end's main() or by a test's scoped guard.

#include <cstdio>
#include <cstdlib>

namespace kestrova::platform {

template <class Seam>
class Installed {
public:
    static Seam& get() {
        if (current_ == nullptr) {
            // A programming error of the front end or test, never of the user.
            std::fprintf(stderr, "kestrova: no adapter installed for %s\n", Seam::seamName);
            std::abort();
        }
        return *current_;
    }
    static Seam* exchange(Seam* adapter) {
        Seam* previous = current_;
        current_ = adapter;
        return previous;
    }

private:
    // Written before any harvest thread starts and only read after that.
    static inline Seam* current_ = nullptr;
};

// Installs an adapter for the guard's lifetime and puts the previous one back.
template <class Seam>
class ScopedAdapter {
public:
    explicit ScopedAdapter(Seam& adapter) : previous_(Installed<Seam>::exchange(&adapter)) {}
    ~ScopedAdapter() { Installed<Seam>::exchange(previous_); }
    ScopedAdapter(const ScopedAdapter&) = delete;
    ScopedAdapter& operator=(const ScopedAdapter&) = delete;

private:
    Seam* previous_;
};

}  // namespace kestrova::platform

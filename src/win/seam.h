// The one way a test stands in for part of the program: the part is an interface whose own
// implementation does the real thing, and the program reaches it through Seam<I>::Current().
// A Seam object puts another implementation in its place for as long as it lives and the
// previous one back when it ends, also when a failing test leaves the scope early.
#pragma once

#include <utility>

namespace quaff::win {

template <class Interface>
class Seam {
public:
    // The implementation in use: the one installed last and still alive, else the real one.
    static Interface& Current() { return current_ ? *current_ : Real(); }

    // The caller keeps `replacement` alive while this object lives.
    explicit Seam(Interface& replacement) : previous_(std::exchange(current_, &replacement)) {}
    ~Seam() { current_ = previous_; }
    Seam(const Seam&) = delete;
    Seam& operator=(const Seam&) = delete;

private:
    static Interface& Real() {
        static Interface real;
        return real;
    }

    static inline Interface* current_ = nullptr;
    Interface* previous_;
};

}  // namespace quaff::win
